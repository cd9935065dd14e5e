#pragma once
// The fast straight projectile of the lasers and the core accelerator: it
// casts a ray along each step and hits the first thing the ray meets. A
// laser bolt draws a streak facing the viewer, carries a light and is
// announced; a slug (one of the accelerator's salvo) leaves dust puffs that
// redden as its damage decays, and only one slug in seven carries a light.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

class CArchive;

inline constexpr int kBulletCreateBytes = kShotCreateBytes;
inline constexpr float kBulletRange = 1200.0f;

class CBullet : public CGenericObject {
  DECLARE_SERIAL_CLASS(CBullet)
 public:
  CBullet() = default;
  CBullet(DPID owner, uint32_t objectId, Instance* ignored, float x, float y, float z, float vx, float vy, float vz,
          float damage, bool secondTexture, bool slug);
  ~CBullet() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  BOOL Start();
  BOOL Stop();

  void WriteCreateMessage(uint8_t out[kBulletCreateBytes]) const;
  bool IsSlug() const { return slug_; }
  bool IsFinished() const { return finished_; }
  float GetDamage() const { return damage_; }
  float GetInitialDamage() const { return initialDamage_; }
  float GetDistance() const { return distance_; }
  Light* GetLight() const { return light_; }
  WorldPolygon* GetStreak() const { return streak_; }

  // The program-wide count that gives every seventh slug a light (tests
  // set it).
  static int slugCounter;

 private:
  float position_[3] = {};
  float velocity_[3] = {};
  float distance_ = 0.0f;
  WorldPolygon* streak_ = nullptr;
  Instance* ignored_ = nullptr;
  bool finished_ = false;
  bool slug_ = false;
  bool secondTexture_ = false;
  float damage_ = 0.0f;
  float initialDamage_ = 0.01f;
  float lightSize_ = 50.0f;
  Light* light_ = nullptr;
};
