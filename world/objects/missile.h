#pragma once
// Missiles: self-propelled objects that steer towards an aim point, leave a
// smoke trail, carry a light and a model, and explode on the world, on
// their target or when their range is spent. Three kinds share
// CGenericMissile: the rocket (never seeks), the homing missile (given its
// target) and the micro missile (finds its own, drops a vanished one). Only
// the owner's program turns the explosion into damage.
//
// The launcher (the instance that fired, which the missile must not hit) is
// held as a pointer that is only used after it has been found again in the
// world's instance list at each update, so a launcher deleted in flight is
// simply forgotten, never written to.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"

class CArchive;

// While it lives, the instance's collision radius is 0 (so the queries of
// the scope ignore it); the radius comes back afterwards if it was above 0.
// A null instance is ignored; an instance that left the world meanwhile is
// not written to.
class CSuspendCollision {
 public:
  CSuspendCollision(World* world, Instance* instance);
  ~CSuspendCollision();
  CSuspendCollision(const CSuspendCollision&) = delete;
  CSuspendCollision& operator=(const CSuspendCollision&) = delete;

 private:
  World* world_;
  Instance* instance_;
  float radius_ = 0.0f;
};

// True when the instance is one of the world's (compared by address, never
// read through).
bool WorldHasInstance(World* world, const Instance* instance);

// A target key as two 32-bit words, high word first.
void ArchiveStoreTargetKey(CArchive& ar, uint64_t key);
void ArchiveLoadTargetKey(CArchive& ar, uint64_t& key);

inline constexpr int kMissileTrailFrames = 31;
inline constexpr int kMissileCreateBytes = 72;
inline constexpr float kMissileRange = 1800.0001f;

class CGenericMissile : public CGenericObject {
  DECLARE_SERIAL_CLASS(CGenericMissile)
 public:
  CGenericMissile();
  CGenericMissile(DPID owner, uint32_t objectId, Instance* launcher, uint32_t targetLow, uint32_t targetHigh, float x,
                  float y, float z, float vx, float vy, float vz, float tx, float ty, float tz);
  ~CGenericMissile() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  virtual BOOL Start();
  virtual BOOL Stop();
  virtual void Explode();

  // Lower is better; -1 for a point farther than 1000, behind the missile
  // or hidden by the world.
  float ScoreTarget(float x, float y, float z);
  // The 72-byte creation message.
  void WriteCreateMessage(uint8_t out[kMissileCreateBytes]) const;

  uint64_t GetTargetKey() const { return targetKey_; }
  void SetTargetKey(uint64_t key) { targetKey_ = key; }
  const float* GetVelocity() const { return velocity_; }
  float GetSpeed() const { return speed_; }
  float GetRangeLeft() const { return rangeLeft_; }
  float GetDamage() const { return damage_; }
  float GetRadius() const { return radius_; }
  float GetSearchTimer() const { return searchTimer_; }
  void SetSearchTimer(float ms) { searchTimer_ = ms; }
  int GetAcquisitions() const { return acquisitions_; }
  bool IsDumb() const { return dumb_; }
  Model* GetModel() const { return model_; }
  Instance* GetInstance() const { return instance_; }
  Light* GetLight() const { return light_; }
  Instance* GetLauncher() const { return launcher_; }

 protected:
  // One sub-step; FALSE when the missile exploded.
  BOOL Step(float stepMs, float* lightPos, bool* matrixBuilt, float matrix[16]);
  float EffectiveSpeed() const;
  void LayTrailSegment(float stepMs, float* lightPos, bool* matrixBuilt, float matrix[16]);
  // The launcher when it is still in the world; forgotten otherwise.
  Instance* ResolveLauncher();
  void LoadTrailFrames();

  uint64_t targetKey_ = 0;
  Model* model_ = nullptr;
  CString trailPrefix_;
  Texture* trailFrames_[kMissileTrailFrames] = {};
  int trailFrameCount_ = 0;
  float lastTrail_[3] = {};
  float position_[3] = {};
  float tail_[3] = {};
  float velocity_[3] = {};
  float rangeLeft_ = kMissileRange;
  float radius_ = 3.6f;
  float speed_ = 0.0f;
  WorldPolygon* trailRing_[kMissileTrailFrames] = {};
  int ringIndex_ = 0;
  Light* light_ = nullptr;
  Instance* instance_ = nullptr;
  Instance* launcher_ = nullptr;
  float spin_ = 0.0f;
  float trailCountdown_ = 1.0f;
  bool dumb_ = true;
  bool dropLostTarget_ = false;
  float searchTimer_ = 250.0f;
  float lightIntensity_ = 3.0f;
  float lightSize_ = 20.0f;
  float trailSpacing_ = 15.0f;
  float trailHalfWidth_ = 1.2f;
  float damage_ = 0.0f;
  int acquisitions_ = 0;
};

// The unguided rocket.
class CMissileObject : public CGenericMissile {
  DECLARE_SERIAL_CLASS(CMissileObject)
 public:
  CMissileObject() = default;
  CMissileObject(DPID owner, uint32_t objectId, Instance* launcher, float x, float y, float z, float vx, float vy,
                 float vz, float tx, float ty, float tz, float damage);
  void Serialize(CArchive& ar) override;
};

// The homing missile, given its target at launch.
class CHMissileObject : public CGenericMissile {
  DECLARE_SERIAL_CLASS(CHMissileObject)
 public:
  CHMissileObject() = default;
  CHMissileObject(DPID owner, uint32_t objectId, Instance* launcher, uint32_t targetLow, uint32_t targetHigh, float x,
                  float y, float z, float vx, float vy, float vz, float tx, float ty, float tz, float damage);
  void Serialize(CArchive& ar) override;
};

// The micro missile: searches for a target itself, at half speed until it
// has one, and drops a target that vanishes.
class CSMissileObject : public CGenericMissile {
  DECLARE_SERIAL_CLASS(CSMissileObject)
 public:
  CSMissileObject() = default;
  CSMissileObject(DPID owner, uint32_t objectId, Instance* launcher, float x, float y, float z, float vx, float vy,
                  float vz, float tx, float ty, float tz, float damage);
  void Serialize(CArchive& ar) override;
};
