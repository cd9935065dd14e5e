#include "world/objects/falling_part.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/collision_sweep.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CFallingPartObject, CGenericObject, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr float kTwoPi = 6.2831855f;

SweepRules DebrisRules() {
  SweepRules rules{};
  rules.radius = 1.2f;
  rules.subSteps = 2.0f;
  rules.liquids = true;
  rules.splashCount = 10;
  rules.pushThreshold = 0.01f;
  rules.spinFactor = 0.9f;
  rules.restitution = 0.7f;
  return rules;
}

}  // namespace

CFallingPartObject::CFallingPartObject(DPID owner, uint32_t objectId, float x, float y, float z, Model* model,
                                       const float* placement, uint32_t lifeMs, float speed)
    : CGenericObject(owner, objectId), position_{x, y, z}, model_(model) {
  typeCode_ = kTypeFallingPart;
  const float s = speed < 0.001f ? 300.0f : speed;
  speed_ = s * (2.0f / 3.0f + static_cast<float>(CrtRand()) / (3.0f * 32767.0f));
  uint32_t life = EffectDebrisOn() ? (lifeMs > 0 ? lifeMs : 4000u) : 800u;
  life = 2 * life / 3 + static_cast<uint32_t>(CrtRand()) * (life / 3) / 32767u;
  life_ = life;
  birth_ = GetGameTime();
  randomDirection_ = true;

  float offset[3];
  if (placement && model && g_pNetDoc && g_pNetDoc->GetDebrisPart(model->name, &offset[0], &offset[1], &offset[2])) {
    // The part's centre in the broken object, turned as the object was.
    float turned[3] = {offset[0], offset[1], offset[2]};
    if (MatrixPush()) {
      MatrixLoad(placement);
      MatrixTranslate(-placement[12], -placement[13], -placement[14]);
      MatrixTransformPoint(offset[0], offset[1], offset[2], &turned[0], &turned[1], &turned[2]);
      MatrixPop();
    }
    float direction[3] = {turned[0], turned[1], turned[2]};
    ScaleToLength(direction, 1.0f);
    for (int i = 0; i < 3; ++i) {
      position_[i] += turned[i];
      velocity_[i] = speed_ * direction[i];
    }
    spin_[0] = RandomSymmetric(6.0f);
    spin_[1] = RandomSymmetric(8.0f);
    spin_[2] = RandomSymmetric(1.0f);
    randomDirection_ = false;
  }
  Start();
}

CFallingPartObject::~CFallingPartObject() { Stop(); }

BOOL CFallingPartObject::Start() {
  if (active_) return TRUE;
  // A part whose model is gone is dropped rather than made from nothing.
  if (!model_) return FALSE;
  if (randomDirection_) {
    const float aboutX = kTwoPi * static_cast<float>(CrtRand()) / 32767.0f;
    const float aboutY = kTwoPi * static_cast<float>(CrtRand()) / 32767.0f;
    // (0, speed, 0) turned about x, then about y.
    const float vy = speed_ * std::cos(aboutX);
    const float vz = speed_ * std::sin(aboutX);
    velocity_[0] = vz * std::sin(aboutY);
    velocity_[1] = vy;
    velocity_[2] = vz * std::cos(aboutY);
    spin_[0] = RandomSymmetric(8.0f);
    spin_[1] = RandomSymmetric(11.0f);
    spin_[2] = RandomSymmetric(2.0f);
    randomDirection_ = false;
  }
  instance_ = InstanceCreate(EffectWorld(), model_, position_[0], position_[1], position_[2], 0.0f, 0.0f, 0.0f, 0.0f);
  if (!instance_) return FALSE;
  // Nothing collides with debris.
  instance_->radius = 0.0f;
  active_ = true;
  return TRUE;
}

BOOL CFallingPartObject::Stop() {
  if (!active_) return TRUE;
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
  active_ = false;
  return TRUE;
}

BOOL CFallingPartObject::Update(uint32_t elapsedMs) {
  const float from[3] = {position_[0], position_[1], position_[2]};
  if (static_cast<uint32_t>(GameTimeSince(birth_)) > life_) return FALSE;
  const float t = std::min(static_cast<float>(elapsedMs) / 1000.0f, 0.8f);
  velocity_[1] += 120.0f * t;
  if (velocity_[1] > 1000.0f) return FALSE;
  for (int i = 0; i < 3; ++i) position_[i] = from[i] + velocity_[i] * t;
  const float s = std::sqrt(velocity_[0] * velocity_[0] + velocity_[1] * velocity_[1] + velocity_[2] * velocity_[2]);
  if (s > 100.0f) {
    const float factor = std::max(0.5f, (s - std::pow(s - 100.0f, 1.25f) * t) / s);
    for (float& v : velocity_) v *= factor;
  }
  if (EffectDebrisOn()) {
    const SweepResult result = CollisionSweep(EffectWorld(), from, {position_, velocity_, spin_, instance_, owner_},
                                              DebrisRules());
    if (result == SweepResult::kSank) return FALSE;
  }
  // At rest: judged by its speed, so that the length of the frames does not
  // decide (a distance per update ends parts at the top of their arc when
  // frames are short).
  const float speed = std::sqrt(velocity_[0] * velocity_[0] + velocity_[1] * velocity_[1] + velocity_[2] * velocity_[2]);
  if (speed < kDebrisRestSpeed) return FALSE;
  for (int i = 0; i < 3; ++i) angles_[i] += spin_[i] * t;
  if (instance_) {
    InstanceSetPlacement(instance_, position_[0], position_[1], position_[2], angles_[0], angles_[1], angles_[2],
                         0.0f);
  }
  return TRUE;
}

void CFallingPartObject::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CFallingPartObject::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    for (const float* v : {position_, velocity_, angles_, spin_}) ar << v[0] << v[1] << v[2];
    ar << speed_ << CString(model_ ? model_->name : "") << GameTimeSince(GetGameTime(), birth_) << life_;
    return;
  }
  for (float* v : {position_, velocity_, angles_, spin_}) ar >> v[0] >> v[1] >> v[2];
  CString modelName;
  int32_t birth = 0;
  ar >> speed_ >> modelName >> birth >> life_;
  birth_ = GameTimeAdd(GetGameTime(), birth);
  model_ = ModelFindByFileName(modelName);
  randomDirection_ = false;
  instance_ = nullptr;
  Start();
}
