#pragma once
// Debris: a part of something that broke apart, or a piece of rubble. It
// flies off, tumbles, falls under gravity 120 with drag above a speed of
// 100, bounces off the level (restitution 0.7) while the "Collision" option
// is on, sinks with a splash in liquids and goes when its life is over, when
// it falls faster than 1000 or when it has come to rest. Never announced:
// every program makes its own (world/document/debris_factories.cpp).
//
// Saved record after the base: position, velocity, angles, spin, speed, the
// model's file name, birth as (birth - now), life.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

// Below this speed (units per second, after the update's gravity, drag and
// bounce) a part has come to rest, however long the updates are. A part
// lying on a floor keeps 0.7 x 120 x t of each update's fall, which stays
// below it at 10 updates a second and more.
inline constexpr float kDebrisRestSpeed = 10.0f;

class CFallingPartObject : public CGenericObject {
  DECLARE_SERIAL_CLASS(CFallingPartObject)
 public:
  CFallingPartObject() = default;
  // placement: the broken object's matrix (the part starts at its place in
  // it, flying outwards) or null (a random direction). Life and speed are
  // randomised to 2/3..1 of what is given (speed below 0.001: 300).
  CFallingPartObject(DPID owner, uint32_t objectId, float x, float y, float z, Model* model,
                     const float* placement, uint32_t lifeMs, float speed);
  ~CFallingPartObject() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;

  // The instance of the model; without a model the part stays inactive and
  // the manager drops it.
  BOOL Start();
  BOOL Stop();

  const float* GetVelocity() const { return velocity_; }
  void SetVelocity(float vx, float vy, float vz) {
    velocity_[0] = vx;
    velocity_[1] = vy;
    velocity_[2] = vz;
  }
  float GetSpeed() const { return speed_; }
  uint32_t GetLife() const { return life_; }
  Instance* GetInstance() const { return instance_; }

 private:
  float position_[3] = {};
  float velocity_[3] = {};
  float angles_[3] = {};
  float spin_[3] = {};
  float speed_ = 0.0f;
  Instance* instance_ = nullptr;
  Model* model_ = nullptr;
  int32_t birth_ = 0;
  uint32_t life_ = 0;
  bool randomDirection_ = false;
};
