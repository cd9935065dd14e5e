#include "world/objects/sphere.h"

#include <cmath>
#include <cstring>

#include "game/net_doc.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/frame_cycle.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CSphere, CGenericObject, VERSIONABLE_SCHEMA | 1)

CSphere::CSphere(DPID owner, uint32_t objectId, float x, float y, float z, float finalRadius)
    : CGenericObject(owner, objectId), position_{x, y, z}, finalRadius_(finalRadius) {
  typeCode_ = kTypeSphere;
  framePrefix_ = "!STATIC";
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
  Start();
}

CSphere::~CSphere() { Stop(); }

BOOL CSphere::Start() {
  if (active_) return TRUE;
  BuildShell();
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CSphere::Stop() {
  if (!active_) return TRUE;
  DeleteShieldShell(shell_);
  active_ = false;
  return TRUE;
}

int CSphere::CountShell() const {
  int n = 0;
  for (WorldPolygon* polygon : shell_) n += polygon != nullptr;
  return n;
}

void CSphere::BuildShell() {
  const int k = CycleFrame(framePosition_, frameCount_);
  float viewer[3] = {0, 0, 0};
  if (g_pNetDoc) g_pNetDoc->GetViewerPosition(&viewer[0], &viewer[1], &viewer[2]);
  Texture* frame = k < frameCount_ ? frames_[k] : nullptr;
  BuildShieldShell(EffectWorld(), position_, radius_, angle_, kSphereShellHeight, frame, viewer, shell_);
}

BOOL CSphere::Update(uint32_t elapsedMs) {
  DeleteShieldShell(shell_);
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  framePosition_ += 20.0f * t;
  radius_ += 1.2f * finalRadius_ * t;
  angle_ = std::fmod(angle_ + 3.1415927f * t / 4.0f, 6.2831853f);
  // Not "greater": a final radius that is no number ends the sphere too.
  if (!(radius_ <= finalRadius_)) return FALSE;
  BuildShell();
  return TRUE;
}

void CSphere::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CSphere::WriteCreateMessage(uint8_t out[kSphereMessageBytes]) const {
  std::memset(out, 0, kSphereMessageBytes);
  WriteCreatePrefix(out);
}

void CSphere::SendCreate(DPID to) {
  if (!active_) return;
  uint8_t message[kSphereMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kSphereMessageBytes);
}

void CSphere::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    const int32_t reserved = 0;
    ar << position_[0] << position_[1] << position_[2] << radius_ << finalRadius_ << angle_ << reserved
       << framePosition_ << framePrefix_;
    return;
  }
  int32_t reserved = 0;
  ar >> position_[0] >> position_[1] >> position_[2] >> radius_ >> finalRadius_ >> angle_ >> reserved >>
      framePosition_ >> framePrefix_;
  if (!std::isfinite(angle_)) angle_ = 0.0f;
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  for (WorldPolygon*& polygon : shell_) polygon = nullptr;
  Start();
}
