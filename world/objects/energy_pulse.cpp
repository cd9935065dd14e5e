#include "world/objects/energy_pulse.h"

#include <cmath>
#include <cstring>

#include "engine/light.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/objects/enemy_effect_hooks.h"
#include "world/objects/frame_cycle.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CEnergyPulse, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kPi = 3.1415927f;
// The wall reaches from far above to far below whatever the pulse's own
// height; its texture covers the 40 units round y = 0 once and repeats.
constexpr float kWallReach = 10000.0f;
constexpr float kTextureBand = 20.0f;

}  // namespace

float CEnergyPulse::Brightness(uint32_t age) {
  // Signed: before age 1000 (a network game's pulse starts at 500) the
  // lights come up from dark instead of taking a wrapped time.
  const float since = static_cast<float>(static_cast<int64_t>(age) - 1000);
  return 2.0f * (1.0f + std::cos(kPi * 0.002f * since));
}

CEnergyPulse::CEnergyPulse(DPID owner, uint32_t objectId, float x, float y, float z, float radius, float damage)
    : CGenericObject(owner, objectId), position_{x, y, z}, radius_(radius), damage_(damage) {
  typeCode_ = kTypeEnergyPulse;
  framePrefix_ = "EMP";
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(framePrefix_, frames_, &frameCount_);
  Start();
}

CEnergyPulse::~CEnergyPulse() { Stop(); }

BOOL CEnergyPulse::Start() {
  if (active_) return TRUE;
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CEnergyPulse::Stop() {
  if (!active_) return TRUE;
  for (WorldPolygon*& polygon : wall_) {
    if (polygon) PolygonDelete(polygon);
    polygon = nullptr;
  }
  for (Light*& light : lights_) {
    if (light) LightDelete(light);
    light = nullptr;
  }
  active_ = false;
  return TRUE;
}

bool CEnergyPulse::HasWall() const {
  for (WorldPolygon* polygon : wall_) {
    if (polygon) return true;
  }
  for (Light* light : lights_) {
    if (light) return true;
  }
  return false;
}

void CEnergyPulse::BuildWall() {
  World* world = EffectWorld();
  if (!world) return;
  const float x = position_[0], y = position_[1], z = position_[2], r = radius_;
  float px[9], pz[9];
  for (int k = 0; k <= 8; ++k) {
    const float a = static_cast<float>(k % 8) * kPi / 4.0f;
    px[k] = x + r * std::sin(a);
    pz[k] = z + r * std::cos(a);
  }
  Texture* frame = GetFrame(frameIndex_);
  for (int k = 1; k <= 8; ++k) {
    const float xs[4] = {px[k], px[k], px[k - 1], px[k - 1]};
    const float ys[4] = {-kWallReach, kWallReach, kWallReach, -kWallReach};
    const float zs[4] = {pz[k], pz[k], pz[k - 1], pz[k - 1]};
    const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float a[3] = {px[k], -kTextureBand, pz[k]};
    const float b[3] = {px[k], kTextureBand, pz[k]};
    const float c[3] = {px[k - 1], kTextureBand, pz[k - 1]};
    Surface* surface = frame ? CreateSpriteQuad(world, a, b, c, TextureAddRef(frame)) : nullptr;
    WorldPolygon* polygon = surface ? PolygonCreate(world, 4, xs, ys, zs, light, surface) : nullptr;
    if (polygon) polygon->flags |= 0x70;
    wall_[k - 1] = polygon;
  }
  for (int i = 0; i < kEnergyPulseLights; ++i) {
    const float height = y + static_cast<float>(10 * (i - 1)) * r;
    lights_[i] = LightCreate(world, x, height, z, 0.0f, 0.0f, 0.0f, 2.0f, 4.0f * r, 16.0f * r, 0, 1);
  }
}

BOOL CEnergyPulse::Update(uint32_t elapsedMs) {
  age_ = age_ + elapsedMs < age_ ? UINT32_MAX : age_ + elapsedMs;
  const bool network = IsNetworkGame();
  if (age_ > EffectEnd(network)) return FALSE;
  if (age_ < EffectStart(network)) return TRUE;
  if (!HasWall()) BuildWall();

  const float b = Brightness(age_);
  const float x = position_[0], y = position_[1], z = position_[2], r = radius_;
  for (int i = 0; i < kEnergyPulseLights; ++i) {
    if (lights_[i]) LightSet(lights_[i], x, y + static_cast<float>(i - 1) * (b + 2.0f) * r, z, b, 4.0f * r, 16.0f * r, 0);
  }
  framePosition_ += static_cast<float>(elapsedMs) * 20.0f / 1000.0f;
  frameIndex_ = CycleFrame(framePosition_, frameCount_);
  Texture* frame = GetFrame(frameIndex_);
  const float shade = 0.5f + b / 8.0f;
  for (WorldPolygon* polygon : wall_) {
    if (!polygon) continue;
    if (frame && polygon->surface) {
      ReleaseTexture(polygon->surface->texture);
      polygon->surface->texture = TextureAddRef(frame);
    }
    for (BspFragment* piece = polygon->firstFragment; piece; piece = piece->nextInPolygon) {
      for (int v = 0; v < piece->vertexCount; ++v) piece->vertices[v].light = shade;
    }
  }
  if (g_EnemyEffectHooks.areaDamageScaled) g_EnemyEffectHooks.areaDamageScaled(x, z, r, damage_, elapsedMs);
  if (g_pNetDoc) g_pNetDoc->DamagePlayersNear(x, z, r, damage_, static_cast<int>(elapsedMs));
  return TRUE;
}

void CEnergyPulse::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CEnergyPulse::WriteCreateMessage(uint8_t out[kEnergyPulseMessageBytes]) const {
  std::memset(out, 0, kEnergyPulseMessageBytes);
  WriteCreatePrefix(out);
  for (int k = 0; k < 3; ++k) NetWriteF32(out + 20 + 4 * k, position_[k]);
  NetWriteF32(out + 32, radius_);
  NetWriteF32(out + 36, damage_);
}

void CEnergyPulse::SendCreate(DPID to) {
  if (!active_) return;
  uint8_t message[kEnergyPulseMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kEnergyPulseMessageBytes);
}

void CEnergyPulse::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << position_[0] << position_[1] << position_[2] << radius_ << damage_ << framePrefix_ << age_ << frameIndex_
       << framePosition_;
    return;
  }
  ar >> position_[0] >> position_[1] >> position_[2] >> radius_ >> damage_ >> framePrefix_ >> age_ >> frameIndex_ >>
      framePosition_;
  for (WorldPolygon*& polygon : wall_) polygon = nullptr;
  for (Light*& light : lights_) light = nullptr;
  frameCount_ = 0;
  for (Texture*& frame : frames_) frame = nullptr;
  if (g_pNetDoc) g_pNetDoc->FindFrameSequence(framePrefix_, frames_, &frameCount_);
  if (frameIndex_ < 0 || frameIndex_ >= frameCount_) frameIndex_ = 0;
  Start();
}
