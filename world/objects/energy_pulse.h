#pragma once
// The satellite strike: after a short wait a ring-shaped wall of animated
// energy ("EMP" frames) stands round the target point for one and a half
// seconds, reaching from far below to far above, with three pulsing lights
// on its axis; every enemy and player inside the ring, at any height, loses
// health at the pulse's rate for as long as the wall stands. The wall
// stands from age 1000 to 2500 ms in single play, 500 to 2000 ms in a
// network game. Every program runs its own copy and applies its damage.
//
// Saved record after the base: x, y, z, radius, damage, frame prefix, age,
// frame index, frame position. The wall is built again by the next update
// inside the effect's time.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"

inline constexpr int kEnergyPulseMessageBytes = 40;
inline constexpr int kEnergyPulseWall = 8;
inline constexpr int kEnergyPulseLights = 3;

class CEnergyPulse : public CGenericObject {
  DECLARE_SERIAL_CLASS(CEnergyPulse)
 public:
  CEnergyPulse() = default;
  // Age 0, waiting; announced at once when local.
  CEnergyPulse(DPID owner, uint32_t objectId, float x, float y, float z, float radius, float damage);
  ~CEnergyPulse() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  BOOL Start();
  BOOL Stop();

  void WriteCreateMessage(uint8_t out[kEnergyPulseMessageBytes]) const;
  // The lights' brightness at an age: 2 (1 + cos(pi x 0.002 x (age - 1000)))
  // with age - 1000 signed, 0..4.
  static float Brightness(uint32_t age);
  // When the wall stands, by the kind of game.
  static uint32_t EffectStart(bool network) { return network ? 500u : 1000u; }
  static uint32_t EffectEnd(bool network) { return network ? 2000u : 2500u; }

  uint32_t GetAge() const { return age_; }
  float GetRadius() const { return radius_; }
  float GetDamage() const { return damage_; }
  int GetFrameIndex() const { return frameIndex_; }
  float GetFramePosition() const { return framePosition_; }
  int GetFrameCount() const { return frameCount_; }
  Texture* GetFrame(int k) const { return k >= 0 && k < frameCount_ ? frames_[k] : nullptr; }
  WorldPolygon* GetWall(int k) const { return wall_[k]; }
  Light* GetLight(int k) const { return lights_[k]; }
  bool HasWall() const;
  // Tests set the animation's place.
  void SetFramePosition(float position) { framePosition_ = position; }

 private:
  void BuildWall();

  float position_[3] = {};
  float radius_ = 0.0f;
  float damage_ = 0.0f;
  WorldPolygon* wall_[kEnergyPulseWall] = {};
  Light* lights_[kEnergyPulseLights] = {};
  CString framePrefix_;
  uint32_t age_ = 0;
  Texture* frames_[31] = {};
  int frameCount_ = 0;
  int32_t frameIndex_ = 0;
  float framePosition_ = 0.0f;
};
