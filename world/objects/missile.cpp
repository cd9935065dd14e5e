#include "world/objects/missile.h"

#include <cstdlib>
#include <cstring>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/light.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"
#include "platform/clock.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/effect_services.h"
#include "world/document/level_group_effects.h"
#include "world/objects/collision_settings.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/target_locks.h"
#include "world/objects/weapon_math.h"

IMPLEMENT_SERIAL_CLASS(CGenericMissile, CGenericObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CMissileObject, CGenericMissile, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CHMissileObject, CGenericMissile, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL_CLASS(CSMissileObject, CGenericMissile, VERSIONABLE_SCHEMA | 1)

namespace {

constexpr int kSoundLock = 18;  // "lock2"
constexpr float kSubStepMs = 33.0f;
constexpr float kSearchAfterMs = 500.0f;
constexpr float kSearchRangeSquared = 1000.0f * 1000.0f;
constexpr float kTwoPi = 6.2831853f;
constexpr float kExplosionSize = 16.0f;

World* DocWorld() { return g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr; }

// A fresh search delay of 0..125 ms.
float SearchDelay() { return static_cast<float>(CrtRand() * 125 / 32767); }

// Multiplied by 1 / its length, or by 1000 when it has no length.
V3 Normalised(V3 v) {
  const float q = LengthSquared(v);
  return q > 1e-6f ? v * (1.0f / std::sqrt(q)) : v * 1000.0f;
}

}  // namespace

float Random01() { return static_cast<float>(CrtRand()) / 32767.0f; }

bool WorldHasInstance(World* world, const Instance* instance) {
  if (!world || !instance) return false;
  for (const Instance* at = world->firstInstance; at; at = at->next) {
    if (at == instance) return true;
  }
  return false;
}

CSuspendCollision::CSuspendCollision(World* world, Instance* instance) : world_(world), instance_(instance) {
  if (!instance_) return;
  radius_ = instance_->radius;
  instance_->radius = 0.0f;
}

CSuspendCollision::~CSuspendCollision() {
  // The instance may have left the world during the scope.
  if (instance_ && radius_ > 0.0f && WorldHasInstance(world_, instance_)) instance_->radius = radius_;
}

void ArchiveStoreTargetKey(CArchive& ar, uint64_t key) {
  ar << static_cast<uint32_t>(key >> 32) << static_cast<uint32_t>(key);
}

void ArchiveLoadTargetKey(CArchive& ar, uint64_t& key) {
  uint32_t high = 0, low = 0;
  ar >> high >> low;
  key = (static_cast<uint64_t>(high) << 32) | low;
}

CGenericMissile::CGenericMissile() { trailPrefix_ = "!hmi_"; }

CGenericMissile::CGenericMissile(DPID owner, uint32_t objectId, Instance* launcher, uint32_t targetLow,
                                 uint32_t targetHigh, float x, float y, float z, float vx, float vy, float vz,
                                 float tx, float ty, float tz)
    : CGenericObject(owner, objectId) {
  targetKey_ = (static_cast<uint64_t>(targetHigh) << 32) | targetLow;
  dumb_ = targetKey_ == 0;
  launcher_ = launcher;
  position_[0] = x, position_[1] = y, position_[2] = z;
  velocity_[0] = vx, velocity_[1] = vy, velocity_[2] = vz;
  tail_[0] = lastTrail_[0] = tx;
  tail_[1] = lastTrail_[1] = ty;
  tail_[2] = lastTrail_[2] = tz;
  searchTimer_ = 250.0f + SearchDelay();
  if (g_pNetDoc) {
    const TuningBlock& tuning = g_pNetDoc->GetTuning();
    speed_ = static_cast<float>(dumb_ ? tuning.rocketSpeed : tuning.homingSpeed);
  }
  trailPrefix_ = "!hmi_";
  LoadTrailFrames();
}

CGenericMissile::~CGenericMissile() { Stop(); }

void CGenericMissile::LoadTrailFrames() {
  trailFrameCount_ = 0;
  if (g_pNetDoc) g_pNetDoc->LoadFrameSequence(trailPrefix_, trailFrames_, &trailFrameCount_);
  if (trailFrameCount_ < 0 || trailFrameCount_ > kMissileTrailFrames) trailFrameCount_ = 0;
}

BOOL CGenericMissile::Start() {
  if (active_) return TRUE;
  light_ = LightCreate(DocWorld(), position_[0], position_[1], position_[2], 0.0f, 0.0f, 0.0f, lightIntensity_,
                       lightSize_, 4.0f * lightSize_, 0, 1);
  active_ = true;
  if (IsLocal()) SendCreate(0);
  return TRUE;
}

BOOL CGenericMissile::Stop() {
  if (!active_) return TRUE;
  for (int i = 0; i < trailFrameCount_; ++i) {
    if (trailRing_[i]) PolygonDelete(trailRing_[i]);
    trailRing_[i] = nullptr;
  }
  if (instance_) InstanceDelete(instance_);
  instance_ = nullptr;
  if (light_) LightDelete(light_);
  light_ = nullptr;
  active_ = false;
  return TRUE;
}

void CGenericMissile::Explode() {
  // The other programs receive the owner's explosion as a message.
  if (!IsLocal() || !g_pNetDoc) return;
  g_pNetDoc->SpawnExplosion(0, position_[0], position_[1], position_[2], kExplosionSize, damage_, true, false, 0,
                            0xFFFFFFFFu);
}

void CGenericMissile::GetPosition(float& x, float& y, float& z) {
  x = position_[0];
  y = position_[1];
  z = position_[2];
}

void CGenericMissile::WriteCreateMessage(uint8_t out[kMissileCreateBytes]) const {
  std::memset(out, 0, kMissileCreateBytes);
  WriteCreatePrefix(out);
  NetWriteU32(out + 24, static_cast<uint32_t>(targetKey_));
  NetWriteU32(out + 28, static_cast<uint32_t>(targetKey_ >> 32));
  for (int k = 0; k < 3; ++k) {
    NetWriteF32(out + 32 + 4 * k, position_[k]);
    NetWriteF32(out + 44 + 4 * k, velocity_[k]);
    NetWriteF32(out + 56 + 4 * k, tail_[k]);
  }
  NetWriteF32(out + 68, damage_);
}

void CGenericMissile::SendCreate(DPID to) {
  if (!active_ || !IsNetworkGame()) return;
  uint8_t message[kMissileCreateBytes];
  WriteCreateMessage(message);
  g_Net.Send(to, message, kMissileCreateBytes, true);
}

Instance* CGenericMissile::ResolveLauncher() {
  if (launcher_ && !WorldHasInstance(DocWorld(), launcher_)) launcher_ = nullptr;
  return launcher_;
}

float CGenericMissile::EffectiveSpeed() const {
  return dropLostTarget_ && targetKey_ == 0 ? speed_ * 0.5f : speed_;
}

float CGenericMissile::ScoreTarget(float x, float y, float z) {
  const V3 m = Load3(position_), v = Load3(velocity_), p = {x, y, z};
  const V3 to = p - m;
  const float q = LengthSquared(to);
  if (q > kSearchRangeSquared) return -1.0f;
  const float dot = Dot(to, v);
  if (dot < 0.0f) return -1.0f;
  const float product = LengthSquared(v) * q;
  float c = product > 1e-6f ? dot / product : dot * 1000.0f;
  if (std::fabs(c) > 1.0f) c = 1.0f;
  World* world = DocWorld();
  if (world && WorldSegmentBlocked(world, m.x, m.y, m.z, x, y, z)) return -1.0f;
  return q * (2.0f - c) * (1.0f + static_cast<float>(CrtRand()) * 0.1f / 32767.0f);
}

BOOL CGenericMissile::Update(uint32_t elapsedMs) {
  World* world = DocWorld();
  if (!world || !g_pNetDoc) return FALSE;
  CollisionSettingsScope settings;
  CollisionSourceScope source(kCollisionSourceOther);
  CSuspendCollision suspend(world, ResolveLauncher());
  const uint32_t n = elapsedMs / static_cast<uint32_t>(kSubStepMs) + 1;
  const float step = static_cast<float>(elapsedMs) / static_cast<float>(n);
  float lightPos[3] = {position_[0], position_[1], position_[2]};
  bool matrixBuilt = false;
  float matrix[16];
  for (uint32_t i = 0; i < n; ++i) {
    if (!Step(step, lightPos, &matrixBuilt, matrix)) return FALSE;
  }
  if (light_) {
    LightSet(light_, lightPos[0], lightPos[1], lightPos[2], lightIntensity_, lightSize_, 4.0f * lightSize_, 0);
  }
  if (!instance_) {
    instance_ = model_ ? InstanceCreate(world, model_, 1000000.0f, 1000000.0f, 1000000.0f, 0, 0, 0, 0) : nullptr;
    // Nothing collides with the missile's own model.
    if (instance_) instance_->radius = 0.0f;
  } else if (matrixBuilt) {
    InstanceSetMatrix(instance_, matrix, 0.0f);
  }
  return TRUE;
}

BOOL CGenericMissile::Step(float stepMs, float* lightPos, bool* matrixBuilt, float matrix[16]) {
  World* world = DocWorld();
  CNetDoc& doc = *g_pNetDoc;
  float speed = EffectiveSpeed();
  if (acquisitions_ < 2) searchTimer_ += stepMs;
  V3 pos = Load3(position_), vel = Load3(velocity_);
  V3 aim = pos;
  bool straight = dumb_;
  float tx = 0, ty = 0, tz = 0;
  if (!straight) {
    if ((targetKey_ == 0 && searchTimer_ < kSearchAfterMs) ||
        (targetKey_ != 0 && !doc.GetTargetPosition(targetKey_, &tx, &ty, &tz))) {
      straight = true;
    }
  }
  if (!straight) {
    ++acquisitions_;
    searchTimer_ = SearchDelay();
    if (targetKey_ != 0) {
      aim = {tx, ty, tz};
    } else {
      CPtrList candidates;
      doc.CollectTargetPositions(candidates, doc.FindPlayer(owner_), false);
      uint64_t chosen = 0;
      float best = -1.0f;
      for (POSITION at = candidates.GetHeadPosition(); at;) {
        const auto* target = static_cast<const TargetPosition*>(candidates.GetNext(at));
        if (IsTargetLocked(target->key)) continue;
        const float score = ScoreTarget(target->x, target->y, target->z);
        if (score >= 0.0f && (best < 0.0f || score < best)) {
          best = score;
          chosen = target->key;
        }
      }
      while (!candidates.IsEmpty()) delete static_cast<TargetPosition*>(candidates.RemoveHead());
      if (chosen) {
        targetKey_ = chosen;
        AddTargetLock(chosen);
        if (g_pSoundManager) g_pSoundManager->PlaySoundAt(kSoundLock, pos.x, pos.y, pos.z, 0);
      }
      if (targetKey_ != 0 && doc.GetTargetPosition(targetKey_, &tx, &ty, &tz)) {
        aim = {tx, ty, tz};
      } else {
        aim = pos + vel * 10.0f;
      }
    }
  }
  if (straight) {
    V3 jitter;
    jitter.x = 0.025f * speed - static_cast<float>(CrtRand()) * speed * 0.05f / 32767.0f;
    jitter.y = 0.025f * speed - static_cast<float>(CrtRand()) * speed * 0.05f / 32767.0f;
    jitter.z = 0.025f * speed - static_cast<float>(CrtRand()) * speed * 0.05f / 32767.0f;
    aim = pos + vel * 10.0f + jitter;
    if (dropLostTarget_ && targetKey_ != 0) {
      targetKey_ = 0;
      searchTimer_ = SearchDelay();
    }
  }
  const float hitReach = 2.0f * radius_;
  if (LengthSquared(aim - pos) < hitReach * hitReach) {
    Explode();
    return FALSE;
  }
  // Steering: turn towards the aim point; a target straight behind is
  // turned to sideways rather than braked for.
  const V3 d = Normalised(aim - pos), v = Normalised(vel);
  const float c = Dot(d, v);
  V3 w;
  if (c < -0.99f) {
    w = Cross(d, Load3(up_));
  } else if (c <= 0.0f) {
    w = d - v * (1.0f + 2.0f * c);
  } else {
    w = d - v * std::min(1.2f * c, 0.98f);
  }
  vel = vel + ScaledTo(w, speed * stepMs * 0.001f);
  speed = EffectiveSpeed();
  float length = Length(vel);
  if (length > speed) {
    vel = vel * (speed / length);
    length = speed;
  }
  if (length < speed / 6.0f && length > 0.000001f) {
    vel = vel * (speed / 6.0f / length);
    length = speed / 6.0f;
  }
  Store3(velocity_, vel);
  const V3 old = pos;
  pos = pos + vel * (stepMs * 0.001f);
  const V3 delta = pos - old;
  Store3(position_, pos);

  g_CollideVerticalScale = 1.0f;
  const float h = radius_ / 2.0f;
  const float moved = Length(delta);
  const float reach = 0.5f * moved + 1.1f * h;
  const V3 mid = (old + pos) * 0.5f;
  V3 probe = mid;
  const float nearAim = reach - h + radius_;
  const bool careful = moved < 0.8f * h || LengthSquared(aim - mid) < nearAim * nearAim ||
                       WorldSegmentBlocked(world, old.x, old.y, old.z, pos.x, pos.y, pos.z) ||
                       WorldCollideSphere(world, &probe.x, &probe.y, &probe.z, reach) != 0;
  if (careful) {
    const int samples = static_cast<int>(1.0f + 1.2f * moved / h);
    V3 previous = old;
    for (int i = 1; i <= samples; ++i) {
      const V3 p = old + delta * (static_cast<float>(i) / static_cast<float>(samples));
      if (LengthSquared(aim - p) < hitReach * hitReach) {
        Store3(position_, p);
        Explode();
        return FALSE;
      }
      V3 sphere = p;
      int touched = 0;
      {
        // Only the owner's program reports the missile's touch to the
        // level's groups, so a group's "missile_event" is raised once per
        // hit in the whole session.
        CollisionSourceScope missile(IsLocal() ? kCollisionSourceMissile : kCollisionSourceOther);
        touched = WorldCollideSphere(world, &sphere.x, &sphere.y, &sphere.z, h);
      }
      if (touched) {
        Store3(position_, previous);
        Explode();
        return FALSE;
      }
      previous = p;
    }
  }
  const float travelled = length * stepMs * 0.001f;
  rangeLeft_ -= travelled;
  trailCountdown_ -= travelled;
  if (rangeLeft_ < 0.0f) {
    Explode();
    return FALSE;
  }
  if (trailCountdown_ < 0.0f) LayTrailSegment(stepMs, lightPos, matrixBuilt, matrix);
  return TRUE;
}

void CGenericMissile::LayTrailSegment(float stepMs, float* lightPos, bool* matrixBuilt, float matrix[16]) {
  World* world = DocWorld();
  const V3 pos = Load3(position_), last = Load3(lastTrail_);
  const V3 t = pos - last;
  trailCountdown_ = trailSpacing_;
  const V3 a = Cross(t, Load3(up_));
  const V3 b = Cross(t, a);
  V3 viewer = {0, 0, 0};
  g_pNetDoc->GetViewerPosition(&viewer.x, &viewer.y, &viewer.z);
  const V3 nearer = LengthSquared(viewer - pos) < LengthSquared(viewer - last) ? pos : last;
  const V3 w = ScaledTo(Cross(viewer - nearer, t), trailHalfWidth_);
  const int count = trailFrameCount_;
  if (count > 0) {
    WorldPolygon*& slot = trailRing_[ringIndex_];
    if (slot) PolygonDelete(slot);
    slot = nullptr;
    if (g_pInterface && g_pInterface->IsSmokeOn() && trailFrames_[0]) {
      const V3 ca = pos - w, cb = pos + w, cc = last + w;
      const float fa[3] = {ca.x, ca.y, ca.z}, fb[3] = {cb.x, cb.y, cb.z}, fc[3] = {cc.x, cc.y, cc.z};
      Surface* surface = CreateSpriteQuad(world, fa, fb, fc, TextureAddRef(trailFrames_[0]));
      const V3 corners[4] = {last + w, last - w, pos - w, pos + w};
      float xs[4], ys[4], zs[4];
      const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
      for (int i = 0; i < 4; ++i) xs[i] = corners[i].x, ys[i] = corners[i].y, zs[i] = corners[i].z;
      WorldPolygon* polygon = surface ? PolygonCreate(world, 4, xs, ys, zs, light, surface) : nullptr;
      if (polygon) {
        MakeEffectObject(polygon);
        polygon->flags |= 0x200;
      }
      slot = polygon;
    }
    // Older segments show the later frames of the sequence; empty slots
    // (smoke off, or a failed polygon) are skipped.
    for (int j = 1; j < count; ++j) {
      WorldPolygon* older = trailRing_[(ringIndex_ - j + count) % count];
      if (!older || !older->surface || !trailFrames_[j]) continue;
      ReleaseTexture(older->surface->texture);
      older->surface->texture = TextureAddRef(trailFrames_[j]);
    }
  }
  if (instance_ && MatrixPush()) {
    const float rows[16] = {b.x, b.y, b.z, 0, -a.x, -a.y, -a.z, 0, t.x, t.y, t.z, 0, 0, 0, 0, 1};
    MatrixLoad(rows);
    MatrixOrthonormalise();
    MatrixRotateAxis(t.x, t.y, t.z, spin_);
    MatrixTranslate(pos.x, pos.y, pos.z);
    MatrixGet(matrix);
    MatrixPop();
    *matrixBuilt = true;
  }
  // (A full matrix stack leaves the model where it was for this update.)
  if (instance_) {
    spin_ += stepMs * 5.0f * 0.001f;
    if (spin_ > kTwoPi) spin_ -= kTwoPi;
  }
  Store3(lightPos, (last + pos) * 0.5f);
  if (count > 0) ringIndex_ = (ringIndex_ + 1) % count;
  Store3(lastTrail_, pos);
}

void CGenericMissile::Serialize(CArchive& ar) {
  CGenericObject::Serialize(ar);
  if (ar.IsStoring()) {
    ArchiveStoreTargetKey(ar, targetKey_);
    ar << CString(model_ ? model_->name : "") << trailPrefix_;
    for (const float* v : {lastTrail_, position_, tail_, velocity_}) ar << v[0] << v[1] << v[2];
    ar << rangeLeft_ << radius_ << speed_ << spin_ << trailCountdown_;
    ar << static_cast<uint8_t>(dumb_) << static_cast<uint8_t>(dropLostTarget_);
    ar << searchTimer_ << lightIntensity_ << lightSize_ << trailSpacing_ << trailHalfWidth_ << damage_;
  } else {
    ArchiveLoadTargetKey(ar, targetKey_);
    CString modelName;
    ar >> modelName >> trailPrefix_;
    for (float* v : {lastTrail_, position_, tail_, velocity_}) ar >> v[0] >> v[1] >> v[2];
    ar >> rangeLeft_ >> radius_ >> speed_ >> spin_ >> trailCountdown_;
    uint8_t dumb = 0, drop = 0;
    ar >> dumb >> drop;
    dumb_ = dumb != 0;
    dropLostTarget_ = drop != 0;
    ar >> searchTimer_ >> lightIntensity_ >> lightSize_ >> trailSpacing_ >> trailHalfWidth_ >> damage_;
    model_ = modelName.IsEmpty() ? nullptr : ModelFindByFileName(modelName);
    // The ring, the model instance, the launcher and the acquisitions are
    // not saved: a loaded missile can hit the ship that fired it.
    LoadTrailFrames();
    launcher_ = nullptr;
    acquisitions_ = 0;
  }
}

CMissileObject::CMissileObject(DPID owner, uint32_t objectId, Instance* launcher, float x, float y, float z, float vx,
                               float vy, float vz, float tx, float ty, float tz, float damage)
    : CGenericMissile(owner, objectId, launcher, 0, 0, x, y, z, vx, vy, vz, tx, ty, tz) {
  typeCode_ = kTypeMissile;
  if (g_pNetDoc) {
    speed_ = static_cast<float>(g_pNetDoc->GetTuning().rocketSpeed);
    model_ = g_pNetDoc->GetRocketModel();
  }
  trailHalfWidth_ = 0.96f;
  damage_ = damage;
  Start();
}

void CMissileObject::Serialize(CArchive& ar) {
  CGenericMissile::Serialize(ar);
  if (ar.IsLoading()) Start();
}

CHMissileObject::CHMissileObject(DPID owner, uint32_t objectId, Instance* launcher, uint32_t targetLow,
                                 uint32_t targetHigh, float x, float y, float z, float vx, float vy, float vz,
                                 float tx, float ty, float tz, float damage)
    : CGenericMissile(owner, objectId, launcher, targetLow, targetHigh, x, y, z, vx, vy, vz, tx, ty, tz) {
  typeCode_ = kTypeMissile;
  if (g_pNetDoc) {
    speed_ = static_cast<float>(g_pNetDoc->GetTuning().homingSpeed);
    // A missile of the sentries' strength shows the sentry's model.
    model_ = std::fabs(damage - 35.0f) <= 0.1f ? g_pNetDoc->GetSentryModel() : g_pNetDoc->GetRocketModel();
  }
  damage_ = damage;
  Start();
}

void CHMissileObject::Serialize(CArchive& ar) {
  CGenericMissile::Serialize(ar);
  if (ar.IsLoading()) Start();
}

CSMissileObject::CSMissileObject(DPID owner, uint32_t objectId, Instance* launcher, float x, float y, float z,
                                 float vx, float vy, float vz, float tx, float ty, float tz, float damage)
    : CGenericMissile(owner, objectId, launcher, 0, 0, x, y, z, vx, vy, vz, tx, ty, tz) {
  typeCode_ = kTypeMicroMissile;
  dumb_ = false;
  dropLostTarget_ = true;
  if (g_pNetDoc) {
    speed_ = static_cast<float>(g_pNetDoc->GetTuning().microMissileSpeed);
    model_ = g_pNetDoc->GetHomingModel();
  }
  radius_ = 2.4f;
  lightSize_ = 15.0f;
  trailSpacing_ = 10.0f;
  trailCountdown_ = 10.0f;
  trailHalfWidth_ = 0.8f;
  damage_ = damage;
  Start();
}

void CSMissileObject::Serialize(CArchive& ar) {
  CGenericMissile::Serialize(ar);
  if (ar.IsLoading()) Start();
}
