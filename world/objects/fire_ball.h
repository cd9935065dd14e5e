#pragma once
// The glowing plasma ball of the pulse laser (two a shot) and of some enemy
// weapons: it flies straight at a constant velocity with a green light
// (cyan when the pulse laser is upgraded), casts a ray along each step and
// ends at the first thing the ray meets, where it does its damage and its
// hit effects. Drawn as an animated square facing the viewer ("!gpulse", or
// "!dpulse" upgraded); gone after 1200 units.
//
// Saved record after the base: position, velocity, distance, hit, frame
// rate, frame position, size, frame prefix, damage, upgraded. The light
// (size 50 again), the ignored instance and the square are not saved.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"

inline constexpr int kFireBallMessageBytes = kShotCreateBytes;
inline constexpr float kFireBallRange = 1200.0f;
// Spark colours 0x00BBGGRR.
inline constexpr uint32_t kFireBallGreen = 0x00FF00;
inline constexpr uint32_t kFireBallCyan = 0xFFFF00;

class CFireBall : public CGenericObject {
  DECLARE_SERIAL_CLASS(CFireBall)
 public:
  CFireBall() = default;
  // Started: its light made, announced when local.
  CFireBall(DPID owner, uint32_t objectId, Instance* ignored, float x, float y, float z, float vx, float vy,
            float vz, bool upgraded, float damage);
  ~CFireBall() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  BOOL Start();
  BOOL Stop();

  void WriteCreateMessage(uint8_t out[kFireBallMessageBytes]) const;
  bool IsHit() const { return hit_; }
  bool IsUpgraded() const { return upgraded_; }
  float GetDamage() const { return damage_; }
  float GetDistance() const { return distance_; }
  float GetFramePosition() const { return framePosition_; }
  int GetFrameCount() const { return frameCount_; }
  Texture* GetFrame(int k) const { return k >= 0 && k < frameCount_ ? frames_[k] : nullptr; }
  const CString& GetFramePrefix() const { return framePrefix_; }
  Light* GetLight() const { return light_; }
  WorldPolygon* GetSquare() const { return square_; }
  Instance* GetIgnored() const { return ignored_; }
  // Tests set the animation's place.
  void SetFramePosition(float position) { framePosition_ = position; }

 private:
  float position_[3] = {};
  float velocity_[3] = {};
  float distance_ = 0.0f;
  WorldPolygon* square_ = nullptr;
  Instance* ignored_ = nullptr;
  bool hit_ = false;
  float frameRate_ = 30.0f;
  float framePosition_ = 0.0f;
  float size_ = 1.6f;
  CString framePrefix_;
  Texture* frames_[31] = {};
  int frameCount_ = 0;
  float damage_ = 0.0f;
  bool upgraded_ = false;
  Light* light_ = nullptr;
  float lightSize_ = 50.0f;
};
