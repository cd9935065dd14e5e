#include "world/objects/free_moving_object.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/collision_settings.h"
#include "world/objects/collision_sweep.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CFreeMovingObj, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kHalfPi = 1.5707964f;

// The first of the names the instance has, as a number; fallback otherwise.
float FirstProperty(const Instance* instance, std::initializer_list<const char*> names, float fallback) {
  for (const char* name : names) {
    if (const char* text = InstanceGetProperty(instance, name)) return static_cast<float>(std::atof(text));
  }
  return fallback;
}

}  // namespace

CGenericObject* MakeFreeMovingObject(Instance* instance) {
  if (!instance || !instance->model) return nullptr;
  return new CFreeMovingObj(instance);
}

CFreeMovingObj::CFreeMovingObj(Instance* instance)
    : CGenericObject(0, g_pNetDoc ? g_pNetDoc->NewObjectId() : 0),
      position_{instance->x, instance->y, instance->z},
      angles_{instance->angleX, instance->angleY, instance->angleZ},
      model_(instance->model) {
  typeCode_ = kTypeFreeMoving;
  maxSpeed_ = FirstProperty(instance, {"speed", "max_speed", "maxspeed"}, 300.0f);
  damage_ = FirstProperty(instance, {"damage_ship", "damageship"}, 5.0f) * 1000.0f;
  viewRadius_ = FirstProperty(instance, {"viewradius", "view_radius"}, 1000.0f);
  InstanceDelete(instance);
  // Forwards at 80 % of the maximum speed.
  float forward[3] = {0.0f, 0.0f, 0.8f * maxSpeed_};
  if (MatrixPush()) {
    MatrixIdentity();
    MatrixRotateX(angles_[0]);
    MatrixRotateY(angles_[1]);
    MatrixRotateZ(angles_[2]);
    MatrixTransformPoint(0.0f, 0.0f, 0.8f * maxSpeed_, &forward[0], &forward[1], &forward[2]);
    MatrixPop();
  }
  for (int i = 0; i < 3; ++i) {
    velocity_[i] = forward[i];
    spin_[i] = (1.0f - 2.0f * static_cast<float>(CrtRand()) / 32767.0f) * kHalfPi;
  }
  Start();
}

CFreeMovingObj::~CFreeMovingObj() { Stop(); }

void CFreeMovingObj::Stop() {
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
  active_ = false;
}

void CFreeMovingObj::HurtShipAt(void* context, const float point[3], int subSteps) {
  auto* self = static_cast<CFreeMovingObj*>(context);
  CDirectPlayer* ship = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!ship) return;
  const float d[3] = {point[0] - ship->GetX(), point[1] - ship->GetY(), point[2] - ship->GetZ()};
  const float reach = 1.2f * ship->GetRadius() + 2.0f * self->radius_;
  if (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] >= reach * reach) return;
  ship->TakeDamageFrom(self->damage_ * self->stepTime_ / static_cast<float>(subSteps), nullptr);
}

BOOL CFreeMovingObj::Update(uint32_t elapsedMs) {
  const float from[3] = {position_[0], position_[1], position_[2]};
  // Without a local ship nobody is near: the object sleeps.
  CDirectPlayer* ship = g_pNetDoc ? g_pNetDoc->GetLocalPlayer() : nullptr;
  if (!ship) return TRUE;
  const float d[3] = {ship->GetX() - from[0], ship->GetY() - from[1], ship->GetZ() - from[2]};
  if (d[0] * d[0] + d[1] * d[1] + d[2] * d[2] > viewRadius_ * viewRadius_) return TRUE;
  const float t = std::min(static_cast<float>(elapsedMs) / 1000.0f, 1.0f);
  stepTime_ = t;
  velocity_[1] += 120.0f * t;
  const float speed =
      std::sqrt(velocity_[0] * velocity_[0] + velocity_[1] * velocity_[1] + velocity_[2] * velocity_[2]);
  if (speed > maxSpeed_ && speed > 0.0f) {
    for (float& v : velocity_) v *= maxSpeed_ / speed;
  }
  for (int i = 0; i < 3; ++i) position_[i] = from[i] + velocity_[i] * t;
  radius_ = instance_ && instance_->radius > 5.0f ? 0.9f * instance_->radius : 5.0f;
  SweepRules rules{};
  rules.radius = radius_;
  rules.subSteps = 3.0f;
  rules.pushThreshold = 0.01f;
  rules.spinFactor = 0.9f;
  rules.restitution = 0.0f;  // random 1.0..1.1 per component
  rules.beforeQuery = &CFreeMovingObj::HurtShipAt;
  rules.context = this;
  {
    // The ship's own queries leave its instance as the one they skip. The
    // object must meet the ship all the same: one that sank into it would
    // push the ship out downwards, through the floor.
    CollisionSettingsScope settings;
    CollideSetIgnore(nullptr);
    CollisionSweep(EffectWorld(), from, {position_, velocity_, spin_, instance_, owner_}, rules);
  }
  for (int i = 0; i < 3; ++i) angles_[i] += spin_[i] * t;
  if (!instance_) {
    if (model_) {
      instance_ = InstanceCreate(EffectWorld(), model_, position_[0], position_[1], position_[2], angles_[0],
                                 angles_[1], angles_[2], 0.0f);
    }
    return TRUE;
  }
  InstanceSetPlacement(instance_, position_[0], position_[1], position_[2], angles_[0], angles_[1], angles_[2], 0.0f);
  instance_->radius = radius_;
  return TRUE;
}

void CFreeMovingObj::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CFreeMovingObj::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    for (const float* v : {position_, velocity_, angles_, spin_}) ar << v[0] << v[1] << v[2];
    ar << maxSpeed_ << damage_ << viewRadius_ << CString(model_ ? model_->name : "");
    return;
  }
  for (float* v : {position_, velocity_, angles_, spin_}) ar >> v[0] >> v[1] >> v[2];
  CString modelName;
  ar >> maxSpeed_ >> damage_ >> viewRadius_ >> modelName;
  model_ = ModelFindByFileName(modelName);
  instance_ = nullptr;
  Start();
}
