#pragma once
// Bombs: a thrown nuclear charge flies under gravity 120, bounces off the
// level with 0.4 of its speed ("nukebnce"), or, thrown sticky, stops where
// it first touches a wall or floor, and goes off with the big explosion 3000
// ms after the throw. One that falls into a liquid sinks without exploding;
// one that falls faster than 800 explodes at once. CGenBomb is the body,
// CBomb adds the fuse and the explosion. Every program runs its own copy.
//
// Saved record after the base: position, velocity, angles, spin, thrown at
// as (value - now), fuse, explode, sticky, resting, the model's file name.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

inline constexpr int kBombMessageBytes = 48;
inline constexpr uint32_t kBombFuseMs = 3000;

class CGenBomb : public CGenericObject {
  DECLARE_SERIAL_CLASS(CGenBomb)
 public:
  CGenBomb() = default;
  // The document's bomb model; thrown now; not started.
  CGenBomb(DPID owner, uint32_t objectId, float x, float y, float z, float vx, float vy, float vz, uint32_t fuseMs);
  ~CGenBomb() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;

  // The instance; active; announced when local. Without a model the bomb
  // stays inactive (the manager drops it).
  BOOL Start();
  BOOL Stop();

  void WriteCreateMessage(uint8_t out[kBombMessageBytes]) const;
  bool WillExplode() const { return explode_; }
  bool IsResting() const { return resting_; }
  bool IsSticky() const { return sticky_; }
  const float* GetVelocity() const { return velocity_; }
  Instance* GetInstance() const { return instance_; }

 protected:
  float position_[3] = {};
  float velocity_[3] = {};
  float angles_[3] = {};
  float spin_[3] = {};
  Instance* instance_ = nullptr;
  Model* model_ = nullptr;
  int32_t thrownAt_ = 0;
  uint32_t fuse_ = 0;
  bool explode_ = true;
  bool sticky_ = false;
  bool resting_ = false;
};

class CBomb : public CGenBomb {
  DECLARE_SERIAL_CLASS(CBomb)
 public:
  CBomb() = default;
  // Fuse 3000 ms; started.
  CBomb(DPID owner, uint32_t objectId, float x, float y, float z, float vx, float vy, float vz, bool sticky);
  void Serialize(CArchive& ar) override;
  // The body's update; when it ends with the explosion due, the big
  // explosion at the bomb with its owner.
  BOOL Update(uint32_t elapsedMs) override;
};
