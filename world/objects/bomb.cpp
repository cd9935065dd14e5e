#include "world/objects/bomb.h"

#include <algorithm>

#include "engine/instance.h"
#include "engine/model.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/collision_sweep.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CGenBomb, CGenericObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CBomb, CGenBomb, VERSIONABLE_SCHEMA | 1)

CGenBomb::CGenBomb(DPID owner, uint32_t objectId, float x, float y, float z, float vx, float vy, float vz,
                   uint32_t fuseMs)
    : CGenericObject(owner, objectId),
      position_{x, y, z},
      velocity_{vx, vy, vz},
      model_(g_pNetDoc ? g_pNetDoc->GetBombModel() : nullptr),
      thrownAt_(GetGameTime()),
      fuse_(fuseMs) {
  typeCode_ = kTypeBomb;
}

CGenBomb::~CGenBomb() { Stop(); }

BOOL CGenBomb::Start() {
  if (active_) return TRUE;
  // No bomb model (a damaged saved game, a level without one): no bomb.
  if (!model_) return FALSE;
  instance_ = InstanceCreate(EffectWorld(), model_, position_[0], position_[1], position_[2], 0.0f, 0.0f, 0.0f, 0.0f);
  if (!instance_) return FALSE;
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CGenBomb::Stop() {
  if (!active_) return TRUE;
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
  active_ = false;
  return TRUE;
}

BOOL CGenBomb::Update(uint32_t elapsedMs) {
  const float from[3] = {position_[0], position_[1], position_[2]};
  if (static_cast<uint32_t>(GameTimeSince(thrownAt_)) > fuse_) {
    explode_ = true;
    return FALSE;
  }
  if (resting_) return TRUE;
  const float t = std::min(static_cast<float>(elapsedMs) / 1000.0f, 2.0f);
  velocity_[1] += 120.0f * t;
  if (velocity_[1] > 800.0f) {
    explode_ = true;
    return FALSE;
  }
  for (int i = 0; i < 3; ++i) position_[i] = from[i] + velocity_[i] * t;

  SweepRules rules{};
  rules.radius = instance_ && instance_->radius > 3.0f ? 0.9f * instance_->radius : 3.0f;
  rules.subSteps = 2.0f;
  rules.liquids = true;
  rules.splashCount = 80;
  rules.pushThreshold = 0.001f;
  rules.spinFactor = 0.7f;
  rules.restitution = 0.4f;
  rules.sticky = sticky_;
  const SweepResult result = CollisionSweep(EffectWorld(), from, {position_, velocity_, spin_, instance_, owner_}, rules);
  if (result == SweepResult::kSank) {
    explode_ = false;
    return FALSE;
  }
  if (result == SweepResult::kStuck) resting_ = true;
  if (result == SweepResult::kBounced) {
    const float speedSquared =
        velocity_[0] * velocity_[0] + velocity_[1] * velocity_[1] + velocity_[2] * velocity_[2];
    if (speedSquared > 80.0f) {
      PlayEffectSound(kSoundNukeBounce, position_[0], position_[1], position_[2], kSoundRandomPitch);
    }
  }
  for (int i = 0; i < 3; ++i) angles_[i] += spin_[i] * t;
  if (instance_) {
    InstanceSetPlacement(instance_, position_[0], position_[1], position_[2], angles_[0], angles_[1], angles_[2],
                         0.0f);
    instance_->radius = rules.radius;
  }
  return TRUE;
}

void CGenBomb::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CGenBomb::WriteCreateMessage(uint8_t out[kBombMessageBytes]) const {
  for (int i = 0; i < kBombMessageBytes; ++i) out[i] = 0;
  WriteCreatePrefix(out);
  for (int i = 0; i < 3; ++i) {
    PutMessageFloat(out + 20 + 4 * i, position_[i]);
    PutMessageFloat(out + 32 + 4 * i, velocity_[i]);
  }
  out[44] = sticky_ ? 1 : 0;
}

void CGenBomb::SendCreate(DPID to) {
  if (!active_) return;
  uint8_t message[kBombMessageBytes];
  WriteCreateMessage(message);
  SendEffectMessage(to, message, kBombMessageBytes);
}

void CGenBomb::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    for (const float* v : {position_, velocity_, angles_, spin_}) ar << v[0] << v[1] << v[2];
    ar << GameTimeSince(GetGameTime(), thrownAt_) << fuse_;
    ArchiveStoreBool(ar, explode_);
    ArchiveStoreBool(ar, sticky_);
    ArchiveStoreBool(ar, resting_);
    ar << CString(model_ ? model_->name : "");
    return;
  }
  for (float* v : {position_, velocity_, angles_, spin_}) ar >> v[0] >> v[1] >> v[2];
  int32_t thrown = 0;
  ar >> thrown >> fuse_;
  thrownAt_ = GameTimeAdd(GetGameTime(), thrown);
  ArchiveLoadBool(ar, explode_);
  ArchiveLoadBool(ar, sticky_);
  ArchiveLoadBool(ar, resting_);
  CString modelName;
  ar >> modelName;
  model_ = ModelFindByFileName(modelName);
  instance_ = nullptr;
}

CBomb::CBomb(DPID owner, uint32_t objectId, float x, float y, float z, float vx, float vy, float vz, bool sticky)
    : CGenBomb(owner, objectId, x, y, z, vx, vy, vz, kBombFuseMs) {
  sticky_ = sticky;
  Start();
}

void CBomb::Serialize(CArchive& ar) {
  CGenBomb::Serialize(ar);
  if (!ar.IsStoring()) Start();
}

BOOL CBomb::Update(uint32_t elapsedMs) {
  const BOOL alive = CGenBomb::Update(elapsedMs);
  if (!alive && explode_ && g_pNetDoc) g_pNetDoc->SpawnBigExplosion(owner_, position_[0], position_[1], position_[2]);
  return alive;
}
