#include "world/objects/smoke.h"

#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/document/flat_polygons.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CSmoke, CGenericObject, VERSIONABLE_SCHEMA | 1)

CSmoke::CSmoke(DPID owner, uint32_t objectId, bool noSend, float x, float y, float z, float size)
    : CGenericObject(owner, objectId), position_{x, y, z}, noSend_(noSend), size_(size > 0.0f ? size : 1.8f) {
  typeCode_ = kTypeSmoke;
  framePrefix_ = (CrtRand() & 1) ? "!smok" : "!smkd";
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
  Start();
}

CSmoke::~CSmoke() {
  Stop();
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
}

BOOL CSmoke::Start() {
  if (active_) return TRUE;
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CSmoke::Stop() {
  if (!active_) return TRUE;
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
  active_ = false;
  return TRUE;
}

BOOL CSmoke::Update(uint32_t elapsedMs) {
  if (square_) PolygonDelete(square_);
  square_ = nullptr;
  if (finished_) return FALSE;
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  velocity_[1] -= 30.0f * t;
  const float from[3] = {position_[0], position_[1], position_[2]};
  for (int i = 0; i < 3; ++i) position_[i] = from[i] + velocity_[i] * t;
  // The Part's x (1 + t) per update, as a rate: e^t over any split of the
  // same time.
  size_ *= std::exp(t);
  World* world = EffectWorld();
  if (world && WorldSegmentBlocked(world, from[0], from[1], from[2], position_[0], position_[1], position_[2])) {
    finished_ = true;
    return TRUE;
  }
  framePosition_ += frameRate_ * t;
  if (!(framePosition_ < static_cast<float>(frameCount_))) return FALSE;
  const int k = static_cast<int>(framePosition_);
  float vx = 0, vy = 0, vz = 0;
  if (g_pNetDoc) g_pNetDoc->GetViewerPosition(&vx, &vy, &vz);
  const float middle[3] = {(from[0] + position_[0]) * 0.5f, (from[1] + position_[1]) * 0.5f,
                           (from[2] + position_[2]) * 0.5f};
  square_ = CreateSquareMarkPolygon(middle[0], middle[1], middle[2], middle[0] - vx, middle[1] - vy,
                                    middle[2] - vz, size_, frames_[k]);
  if (square_) square_->flags |= 0x200;
  return TRUE;
}

void CSmoke::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CSmoke::WriteCreateMessage(uint8_t out[kSmokeMessageBytes]) const {
  for (int i = 0; i < kSmokeMessageBytes; ++i) out[i] = 0;
  WriteCreatePrefix(out);
  PutMessageFloat(out + 20, position_[0]);
  PutMessageFloat(out + 24, position_[1]);
  PutMessageFloat(out + 28, position_[2]);
  PutMessageFloat(out + 32, size_);
}

void CSmoke::SendCreate(DPID to) {
  if (!active_ || noSend_) return;
  uint8_t message[kSmokeMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kSmokeMessageBytes);
}

void CSmoke::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << velocity_[0] << velocity_[1] << velocity_[2];
    ArchiveStoreBool(ar, finished_);
    ar << frameRate_ << framePosition_ << size_ << framePrefix_;
    ArchiveStoreBool(ar, noSend_);
    return;
  }
  ar >> position_[0] >> position_[1] >> position_[2] >> velocity_[0] >> velocity_[1] >> velocity_[2];
  ArchiveLoadBool(ar, finished_);
  ar >> frameRate_ >> framePosition_ >> size_ >> framePrefix_;
  ArchiveLoadBool(ar, noSend_);
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  // A prefix from a file that names no frames leaves the puff without any:
  // it ends at its first update.
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  if (!(framePosition_ >= 0.0f)) framePosition_ = 0.0f;
  square_ = nullptr;
  Start();
}
