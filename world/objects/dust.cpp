#include "world/objects/dust.h"

#include <cmath>
#include <cstdlib>

#include "engine/particle.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CDust, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kPi = 3.1415927f;

int Dimmed(uint32_t channel) {
  return static_cast<int>((1.0f - static_cast<float>(CrtRand()) * 6.103702e-6f) * static_cast<float>(channel));
}

}  // namespace

CDust::CDust(DPID owner, uint32_t objectId, float x, float y, float z, uint32_t colour, float size)
    : CGenericObject(owner, objectId), position_{x, y, z}, startX_(x), startZ_(z), size_(std::fabs(size)) {
  typeCode_ = kTypeDust;
  sinking_ = size > 0.0f;
  phase_ = static_cast<float>(CrtRand()) * 6.103702e-5f;
  const int red = Dimmed(colour & 0xFF);
  const int green = Dimmed((colour >> 8) & 0xFF);
  const int blue = Dimmed((colour >> 16) & 0xFF);
  paletteIndex_ = NearestPaletteIndex(red, green, blue);
  Start();
}

CDust::~CDust() { Stop(); }

void CDust::Start() {
  if (active_) return;
  Draw();
  active_ = true;
}

void CDust::Stop() {
  if (!active_) return;
  ParticleDelete(particle_);
  particle_ = nullptr;
  active_ = false;
}

BOOL CDust::Draw() {
  if (!particle_) {
    particle_ = ParticleCreate(EffectWorld(), position_[0], position_[1], position_[2], size_, paletteIndex_);
    return particle_ ? TRUE : FALSE;
  }
  ParticleSet(particle_, position_[0], position_[1], position_[2], size_, paletteIndex_);
  return TRUE;
}

BOOL CDust::Update(uint32_t elapsedMs) {
  const float t = static_cast<float>(elapsedMs) / 1000.0f;
  size_ -= 0.3f * t;
  if (!(size_ >= 0.1f)) return FALSE;
  phase_ += t;
  position_[0] = startX_ + 0.5f * std::sin(kPi * phase_);
  position_[2] = startZ_ + 0.5f * std::cos(kPi * phase_);
  // Scaled by the update's time, so that the drift is the same at every
  // frame rate (the Part's once-per-update change at 30 updates a second).
  const float change = 0.5f * phase_ * t * kDustReferenceUpdatesPerSecond;
  verticalSpeed_ += sinking_ ? change : -change;
  position_[1] += t * verticalSpeed_;
  return Draw();
}

void CDust::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CDust::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << startX_ << verticalSpeed_ << startZ_ << size_ << phase_;
    ArchiveStoreBool(ar, sinking_);
    ar << paletteIndex_;
    return;
  }
  ar >> position_[0] >> position_[1] >> position_[2] >> startX_ >> verticalSpeed_ >> startZ_ >> size_ >> phase_;
  ArchiveLoadBool(ar, sinking_);
  ar >> paletteIndex_;
  paletteIndex_ &= 0xFF;
  particle_ = nullptr;
  Start();
}
