#pragma once
// The level's free-moving objects: scene instances named "physical_..." (any
// case) that the object manager wraps when it is made. Each sets off along
// the way it faces at 80 % of its maximum speed, falls, bounces off the
// level a little faster each time (up to its maximum speed), tumbles and
// hurts the local ship while touching it; it moves only while the local
// ship is within its view radius. Never announced: every program moves its
// own copies, each hurting only its own ship.
//
// Instance properties: "speed"/"max_speed"/"maxspeed" (300),
// "damage_ship"/"damageship" (5, stored x 1000: damage per second of
// contact), "viewradius"/"view_radius" (1000). Saved record after the base:
// position, velocity, angles, spin, maximum speed, damage, view radius, the
// model's file name.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

class CFreeMovingObj : public CGenericObject {
  DECLARE_SERIAL_CLASS(CFreeMovingObj)
 public:
  CFreeMovingObj() = default;
  // Takes the level instance's place, model and properties, then deletes
  // the instance; started.
  explicit CFreeMovingObj(Instance* instance);
  ~CFreeMovingObj() override;

  void Serialize(CArchive& ar) override;
  // Always TRUE.
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;

  void Start() { active_ = true; }
  void Stop();

  const float* GetVelocity() const { return velocity_; }
  void SetVelocity(float vx, float vy, float vz) {
    velocity_[0] = vx;
    velocity_[1] = vy;
    velocity_[2] = vz;
  }
  float GetMaxSpeed() const { return maxSpeed_; }
  float GetDamage() const { return damage_; }
  float GetViewRadius() const { return viewRadius_; }
  Instance* GetInstance() const { return instance_; }

 private:
  // Contact damage to the local ship at one sub-step.
  static void HurtShipAt(void* context, const float point[3], int subSteps);

  float position_[3] = {};
  float velocity_[3] = {};
  float angles_[3] = {};
  float spin_[3] = {};
  Instance* instance_ = nullptr;
  Model* model_ = nullptr;
  float maxSpeed_ = 300.0f;
  float damage_ = 5000.0f;
  float viewRadius_ = 1000.0f;
  float radius_ = 5.0f;   // of the current sweep
  float stepTime_ = 0.0f;  // t of the current update
};

// The free-moving object made from the instance, which then leaves the
// world's list; null when none can be made (no model), the instance then
// stays as it is.
CGenericObject* MakeFreeMovingObject(Instance* instance);
