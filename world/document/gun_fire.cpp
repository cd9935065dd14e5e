// Gun fire: the selected gun while fire is held, the shots (hitscan, laser
// bolts, slug salvoes, the molnia arc) that the enemies, the level's arcs
// and other players' messages share, auto-aim, and the one-frame effect
// polygons of the arcs.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/collision.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/view.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"
#include "platform/clock.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/effect_services.h"
#include "world/objects/bullet.h"
#include "world/objects/collision_settings.h"
#include "world/objects/missile.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/weapon_math.h"
#include "world/script/event_manager.h"

namespace {

constexpr int kSoundMachineGun = 5;    // "machgun1"
constexpr int kSoundBulletRicochet = 6;  // "bulltric"
constexpr int kSoundLaser = 7;         // "laser1"
constexpr int kSoundMolnia = 32;       // "molnia"
constexpr int kSoundMolniaHit = 33;    // "molniarc"
constexpr int kSoundFlechette = 34;    // "fletchet"
constexpr int kSlugsPerShot = 18;
constexpr size_t kShotMessageBytes = 52;
constexpr size_t kArcMessageBytes = 68;
constexpr float kArcPathLimit = 200.0f;
constexpr int kArcTurnLimit = 3;
// A path that makes no headway still ends (it cannot reach 200 units).
constexpr int kArcSegmentLimit = 1000;
constexpr uint32_t kArcSparkColour = 0xFFFF00;
constexpr int kCockpitProjectionHeight = 248;

uint32_t Now() { return static_cast<uint32_t>(GetGameTime()); }

V3 Row(const float* m, int row) { return {m[4 * row], m[4 * row + 1], m[4 * row + 2]}; }

void PlayAt(int id, V3 p, int flags) {
  if (g_pSoundManager) g_pSoundManager->PlaySoundAt(id, p.x, p.y, p.z, flags);
}

// The common header and the create action of a shot message.
void WriteShotHeader(CNetDoc& doc, uint8_t* out, uint16_t type) {
  NetWriteU32(out, kMessageIdBase + type);
  NetWriteU32(out + 4, doc.GetLocalPlayerId());
  NetWriteU32(out + 8, timeGetTime());
  NetWriteU32(out + 12, doc.NewObjectId());
  out[16] = kCreateAction;
}

void WriteVec(uint8_t* at, V3 v) {
  NetWriteF32(at, v.x);
  NetWriteF32(at + 4, v.y);
  NetWriteF32(at + 8, v.z);
}

void SendShot(CNetDoc& doc, uint16_t type, V3 a, V3 b, float damage, int secondTexture) {
  uint8_t message[kShotMessageBytes] = {};
  WriteShotHeader(doc, message, type);
  WriteVec(message + 20, a);
  WriteVec(message + 32, b);
  NetWriteF32(message + 44, damage);
  if (secondTexture >= 0) message[48] = static_cast<uint8_t>(secondTexture);
  g_Net.Send(0, message, static_cast<int>(kShotMessageBytes), true);
}

const char* DamageEventOf(Instance* instance) {
  const char* text = InstanceGetProperty(instance, "damage_event");
  return text ? text : InstanceGetProperty(instance, "damageevent");
}

int SparkCount() { return g_pInterface && g_pInterface->GetParticleLevel() == 2 ? 8 : 3; }

// The shooter's instance, when it is still in the world.
Instance* LiveSource(World* world, Instance* source) { return WorldHasInstance(world, source) ? source : nullptr; }

}  // namespace

float RandomSignedSquare(float x) {
  const float r = Random01();
  return (CrtRand() & 1) ? r * r * x : -(r * r * x);
}

void CNetDoc::FlushDeferredDeletes() {
  while (!effectPolygons_.IsEmpty()) PolygonDelete(static_cast<WorldPolygon*>(effectPolygons_.RemoveHead()));
}

void CNetDoc::SetTargetMarker(int x, int y) { PlaceTargetMarker(x, y, true); }

bool CNetDoc::IsPulseLaserUpgraded() { return pulseLaserUpgraded_ != 0; }

void CNetDoc::FireGun() {
  if (!localPlayer_ || localPlayer_->IsDead() || IsGunOverheated() || gunLockout_ > 0) return;
  struct Gun {
    uint8_t bit;
    int kind;
    int interval;
    int counter;
    int cost;
    float heat;
    int shake;
  };
  int autocannonInterval = tuning_.autocannonInterval;
  if (autocannonUpgrade_ == 1) autocannonInterval = static_cast<int>(autocannonInterval * 0.71428573f);
  if (autocannonUpgrade_ >= 2) autocannonInterval = static_cast<int>(autocannonInterval * 0.5f);
  const Gun guns[] = {
      {1, kFireAutocannon, autocannonInterval, kAmmoShells, 1, tuning_.autocannonHeat, 200},
      {4, kFireLaser, tuning_.laserInterval, kAmmoEnergyCells, 4, tuning_.laserHeat, 400},
      {8, kFirePulseLaser, tuning_.pulseLaserInterval, kAmmoEnergyCells, 4, tuning_.pulseLaserHeat, 200},
      {2, kFirePlasmaCoil, tuning_.plasmaCoilInterval, kAmmoPlasmaBolts, 1, tuning_.plasmaCoilHeat, 200},
      {32, kFireCoreAccelerator, tuning_.coreAcceleratorInterval, kAmmoSlugs, 1, tuning_.coreAcceleratorHeat, 500},
      {16, kFireMolnia, tuning_.molniaInterval, kAmmoEnergyCells, 1, tuning_.molniaHeat, 400},
  };
  const Gun* gun = nullptr;
  for (const Gun& g : guns) {
    if (selectedGun_ & g.bit) {
      gun = &g;
      break;
    }
  }
  if (!gun) return;
  const uint32_t now = Now();
  if (now - lastFireTimes_[gun->kind] < static_cast<uint32_t>(gun->interval)) return;
  lastFireTimes_[gun->kind] = now;
  if (ammo_[gun->counter] <= 0) {
    CycleGun(gun->bit);
    return;
  }
  if (!localPlayer_->IsGodMode()) ammo_[gun->counter] = std::max(ammo_[gun->counter] - gun->cost, 0);
  InvalidateAmmoPanel();

  const float* m = localPlayer_->GetOrientation();
  const V3 pos = Row(m, 3), side = Row(m, 0), up = Row(m, 1), forward = Row(m, 2);
  Instance* ship = shipInstance_;
  switch (gun->bit) {
    case 1: {
      const float a = 0.012f - 0.024f * Random01();
      const float b = 0.012f - 0.024f * Random01();
      const V3 muzzle = pos + up;
      V3 far = muzzle + forward * 3000.0f;
      AutoAim(muzzle.x, muzzle.y, muzzle.z, &far.x, &far.y, &far.z);
      far = far + (up * b + side * a) * Length(far - muzzle);
      FireHitscan(0, ship, muzzle.x, muzzle.y, muzzle.z, far.x, far.y, far.z,
                  (1.0f - 0.2f * Random01()) * tuning_.shotDamage);
      break;
    }
    case 4:
      for (int i = -1; i <= 1; i += 2) {
        const V3 p = pos + up * 3.0f + side * (6.0f * static_cast<float>(i));
        const V3 v = forward * 6000.0f;
        const float damage = (1.0f - 0.2f * Random01()) * tuning_.laserDamage * (laserUpgraded_ ? 1.5f : 1.0f);
        FireBullet(0, ship, p.x, p.y, p.z, v.x, v.y, v.z, damage, laserUpgraded_ ? 1 : 0);
      }
      break;
    case 8:
      for (int i = -1; i <= 1; i += 2) {
        const V3 p = pos + side * (4.0f * static_cast<float>(i)) - up * 2.0f - forward * (5.0f * Random01());
        const V3 v = forward * static_cast<float>(tuning_.fireballSpeed);
        SpawnFireBall(0, ship, p.x, p.y, p.z, v.x, v.y, v.z, pulseLaserUpgraded_, -1.0f);
      }
      break;
    case 2: {
      const V3 p = pos + up * 3.0f;
      const V3 v = forward * static_cast<float>(tuning_.rubberBallSpeed);
      SpawnRubberBall(0, ship, p.x, p.y, p.z, v.x, v.y, v.z, -1.0f);
      break;
    }
    case 32: {
      const V3 p = pos + up + forward * (localPlayer_->GetRadius() / 3.0f);
      const V3 v = forward * static_cast<float>(tuning_.slugSpeed);
      FireAcceleratorSlug(0, ship, p.x, p.y, p.z, v.x, v.y, v.z, -1.0f);
      break;
    }
    default: {
      const V3 start = pos + up * (0.2f * localPlayer_->GetRadius());
      V3 dir;
      localPlayer_->GetDirection(&dir.x, &dir.y, &dir.z);
      V3 aim = start + dir * 200.0f;
      FindTargetInCone(start.x, start.y, start.z, &aim.x, &aim.y, &aim.z);
      const float words[11] = {dir.x,  dir.y,  dir.z,  start.x, start.y,
                               start.z, aim.x, aim.y, aim.z,  30.0f,   tuning_.molniaDamage};
      DischargeArc(0, ship, words, 1, 1);
      if (IsNetworkGame()) {
        uint8_t message[kArcMessageBytes] = {};
        WriteShotHeader(*this, message, kTypeArcShot);
        WriteVec(message + 20, start);
        WriteVec(message + 32, aim);
        WriteVec(message + 44, dir);
        NetWriteF32(message + 56, 30.0f);
        NetWriteF32(message + 60, tuning_.molniaDamage);
        message[64] = 1;
        message[65] = 1;
        g_Net.Send(0, message, static_cast<int>(kArcMessageBytes), true);
      }
      break;
    }
  }
  HeatGun(gun->heat);
  RaiseShake(gun->shake);
}

// A shot met an instance: its damage event; the damage goes to the enemy of
// the instance (which learns who fired), else to the local player's ship
// only (every program runs every shot).
static void HitInstance(Instance* instance) {
  if (const char* text = DamageEventOf(instance)) {
    if (g_pEventManager) g_pEventManager->RaiseEvent(text, "from_object");
  }
}

static void DamageLocalShip(CNetDoc& doc, DPID owner, const Instance* shooter, Instance* instance, float damage) {
  if (g_pEnemyManager && g_pEnemyManager->DamageByInstance(instance, damage, shooter)) return;
  if (instance == doc.GetPlayerShip() && doc.GetLocalPlayer()) {
    doc.GetLocalPlayer()->TakeDamageFrom(damage, doc.FindPlayer(owner));
  }
}

void CNetDoc::FireHitscan(DPID owner, Instance* source, float x0, float y0, float z0, float x1, float y1, float z1,
                          float damage) {
  const V3 p0 = {x0, y0, z0};
  PlayAt(kSoundMachineGun, p0, 0);
  if (world_) {
    V3 hit = {x1, y1, z1};
    WorldPolygon* polygon = nullptr;
    Instance* instance = nullptr;
    int result = kRayNothing;
    {
      CollisionSettingsScope settings;
      CollideSetIgnore(LiveSource(world_, source));
      result = CollideRay(world_, &hit.x, &hit.y, &hit.z, &polygon, &instance, x0, y0, z0, x1, y1, z1);
      CollideSetIgnore(nullptr);
    }
    if (result == kRayPolygon && polygon) {
      if (!OnPolygonHit(polygon, hit.x, hit.y, hit.z, damage)) {
        PlayAt(kSoundBulletRicochet, hit, 2);
        if (IsDestructible(polygon)) {
          SpawnStaticSmoke(owner, hit.x, hit.y, hit.z, -1.0f);
          const Vec3& n = polygon->worldNormal;
          SpawnSparks(owner, hit.x, hit.y, hit.z, n.x, n.y, n.z, SurfaceColourAt(polygon, hit.x, hit.y, hit.z));
        } else {
          SpawnBulletMark(owner, hit.x, hit.y, hit.z);
        }
        OnSurfaceHit(polygon, hit.x, hit.y, hit.z, x0, y0, z0, 0.6f);
      }
    } else if (result == kRayInstance && instance) {
      HitInstance(instance);
      SpawnBulletMark(owner, hit.x, hit.y, hit.z);
      if (instance != shipInstance_) {
        const V3 back = p0 - hit;
        SpawnSparks(owner, hit.x, hit.y, hit.z, back.x, back.y, back.z, 0x32FF);
      }
      DamageLocalShip(*this, owner, source, instance, damage);
    }
  }
  if (owner == 0 && IsNetworkGame()) SendShot(*this, kTypeHitscanShot, p0, {x1, y1, z1}, damage, -1);
}

void CNetDoc::FireBullet(DPID owner, Instance* source, float x, float y, float z, float vx, float vy, float vz,
                         float damage, uint8_t secondTexture) {
  auto* bullet = new (std::nothrow)
      CBullet(owner, NewObjectId(), source, x, y, z, vx, vy, vz, damage, secondTexture != 0, false);
  if (!bullet) return;
  if (!g_pObjectManager) {
    delete bullet;
    return;
  }
  g_pObjectManager->AddObject(bullet);
  PlayAt(kSoundLaser, {x, y, z}, 0);
  if (owner == 0 && IsNetworkGame()) SendShot(*this, kTypeBulletShot, {x, y, z}, {vx, vy, vz}, damage, secondTexture);
}

void CNetDoc::FireAcceleratorSlug(DPID owner, Instance* source, float x, float y, float z, float vx, float vy,
                                  float vz, float damage) {
  if (damage < 0.0f) damage = (1.0f - 0.2f * Random01()) * tuning_.slugDamage;
  const V3 v = {vx, vy, vz};
  const float e = std::fabs(vx) + std::fabs(vz) < 0.01f ? 1.0f : 0.0f;
  V3 a = {-vz, e, vx};
  V3 b = Cross(v, a);
  const float spread = 0.11f * Length(v);
  a = ScaledTo(a, spread);
  b = ScaledTo(b, spread);
  if (!g_pObjectManager) return;
  for (int i = 0; i < kSlugsPerShot; ++i) {
    const float sa = RandomSignedSquare(0.9f);
    float sb = RandomSignedSquare(0.9f);
    if (sa * sa + sb * sb > 1.0f) sb = std::sqrt(1.0f - sa * sa);
    const V3 d = (v + a * sa + b * sb) * (1.05f - 0.1f * Random01());
    auto* slug = new (std::nothrow) CBullet(owner, NewObjectId(), source, x, y, z, d.x, d.y, d.z, damage, false, true);
    if (!slug) return;
    g_pObjectManager->AddObject(slug);
  }
  PlayAt(kSoundFlechette, {x, y, z}, 0);
  if (owner == 0 && IsNetworkGame()) SendShot(*this, kTypeSlugShot, {x, y, z}, v, damage, -1);
}

void CNetDoc::AutoAim(float x0, float y0, float z0, float* x1, float* y1, float* z1) {
  PlaceTargetMarker(targetMarkerX_, targetMarkerY_, false);
  const V3 p0 = {x0, y0, z0}, p1 = {*x1, *y1, *z1};
  const V3 dir = ScaledTo(p1 - p0, 1.0f);
  const float length = Length(p1 - p0);
  float best = length * length;
  bool kept = false;
  V3 target = {}, unit = {};
  CPtrList candidates;
  CollectTargetPositions(candidates, nullptr, false);
  for (POSITION at = candidates.GetHeadPosition(); at;) {
    const auto* t = static_cast<const TargetPosition*>(candidates.GetNext(at));
    const V3 tp = {t->x, t->y, t->z};
    const V3 u = ScaledTo(tp - p0, 1.0f);
    const float c = Dot(u, dir);
    if (c < 0.99f) continue;
    const float s = LengthSquared(tp - p0) * c;
    if (s < best && !(world_ && WorldSegmentBlocked(world_, x0, y0, z0, tp.x, tp.y, tp.z))) {
      best = s;
      target = tp;
      unit = u;
      kept = true;
    }
  }
  while (!candidates.IsEmpty()) delete static_cast<TargetPosition*>(candidates.RemoveHead());
  if (!kept) return;
  const V3 end = p0 + unit * length;
  *x1 = end.x, *y1 = end.y, *z1 = end.z;
  if (!viewer_) return;
  const int height = viewer_->height;
  if (g_pInterface && g_pInterface->IsCockpitShown()) viewer_->height = kCockpitProjectionHeight;
  int sx = 0, sy = 0;
  const int projected = ProjectToScreen(viewer_, target.x, target.y, target.z, &sx, &sy);
  viewer_->height = height;
  if (projected) SetTargetMarker(sx / 2, sy / 2);
}

bool CNetDoc::FindTargetInCone(float x0, float y0, float z0, float* ax, float* ay, float* az) {
  const V3 p0 = {x0, y0, z0}, aim = {*ax, *ay, *az};
  const V3 dir = ScaledTo(aim - p0, 1.0f);
  float best = LengthSquared(aim - p0);
  bool kept = false;
  V3 target = {};
  CPtrList candidates;
  CollectTargetPositions(candidates, nullptr, false);
  for (POSITION at = candidates.GetHeadPosition(); at;) {
    const auto* t = static_cast<const TargetPosition*>(candidates.GetNext(at));
    const V3 tp = {t->x, t->y, t->z};
    const float c = Dot(ScaledTo(tp - p0, 1.0f), dir);
    if (c < 0.8f) continue;
    const float s = LengthSquared(tp - p0) * c;
    if (s < best && !(world_ && WorldSegmentBlocked(world_, x0, y0, z0, tp.x, tp.y, tp.z))) {
      best = s;
      target = tp;
      kept = true;
    }
  }
  while (!candidates.IsEmpty()) delete static_cast<TargetPosition*>(candidates.RemoveHead());
  if (!kept) return false;
  *ax = target.x, *ay = target.y, *az = target.z;
  return true;
}

void CNetDoc::DischargeArc(DPID owner, Instance* source, const float words[11], uint8_t hitEffects,
                           uint8_t collide) {
  const V3 direction = {words[0], words[1], words[2]};
  const V3 start = {words[3], words[4], words[5]};
  const V3 aim = {words[6], words[7], words[8]};
  const float m = words[9];
  const float damage = words[10];
  PlayAt(kSoundMolnia, start, 0);
  if (!world_ || !(m > 0.0f) || !std::isfinite(m)) return;
  V3 s = ScaledTo(direction, 0.6f * m);
  V3 cur = start, prev = start;
  float total = 0.0f;
  int turns = 0;
  CollisionSettingsScope settings;
  Instance* ignored = LiveSource(world_, source);
  for (int segment = 0; total < kArcPathLimit && turns < kArcTurnLimit && segment < kArcSegmentLimit; ++segment) {
    V3 pull = (cur * 0.2f + aim * 0.8f) - (cur + s);
    if (Length(pull) > 0.2f * m) pull = ScaledTo(pull, 0.2f * m);
    V3 next = s + pull;
    if (Length(next) > m) next = ScaledTo(next, m);
    if (Dot(s, next) < 0.0f) ++turns;
    s = next;
    next = cur + s;
    const float d2 = LengthSquared(next - aim);
    float jitter = Length(s) / 4.0f;
    if (jitter < 0.01f) {
      s = aim - cur;
      if (Length(s) > m) s = ScaledTo(s, m);
      next = cur + s;
    }
    bool last = false;
    if (d2 < 1.0f) {
      jitter = 0.0f;
      next = aim;
      last = true;
    } else if (d2 < 3.0f) {
      jitter = 0.0f;
    } else if (jitter > d2) {
      jitter = d2 / 2.0f;
    }
    if (collide) {
      V3 hit = next;
      WorldPolygon* polygon = nullptr;
      Instance* instance = nullptr;
      CollideSetIgnore(ignored);
      const int result = CollideRay(world_, &hit.x, &hit.y, &hit.z, &polygon, &instance, cur.x, cur.y, cur.z, next.x,
                                    next.y, next.z);
      if (result == kRayPolygon && polygon) {
        jitter = 0.0f;
        last = true;
        next = hit;
        if (hitEffects && !OnPolygonHit(polygon, hit.x, hit.y, hit.z, damage)) {
          PlayAt(kSoundMolniaHit, hit, 2);
          if (IsDestructible(polygon)) {
            SpawnStaticSmoke(owner, hit.x, hit.y, hit.z, -1.0f);
            const Vec3& n = polygon->worldNormal;
            for (int i = SparkCount(); i > 0; --i) {
              SpawnSparks(owner, hit.x, hit.y, hit.z, n.x, n.y, n.z, kArcSparkColour);
            }
          } else {
            SpawnLaserMark(owner, hit.x, hit.y, hit.z);
          }
          OnSurfaceHit(polygon, hit.x, hit.y, hit.z, cur.x, cur.y, cur.z, 0.8f);
        }
      } else if (result == kRayInstance && instance) {
        jitter = 0.0f;
        last = true;
        HitInstance(instance);
        next = (hit + next) * 0.5f;
        SpawnLaserMark(owner, next.x, next.y, next.z);
        if (instance != shipInstance_) {
          const V3 back = cur - next;
          for (int i = SparkCount(); i > 0; --i) {
            SpawnSparks(owner, next.x, next.y, next.z, back.x, back.y, back.z, kArcSparkColour);
          }
        }
        DamageLocalShip(*this, owner, source, instance, damage);
      }
    }
    V3 shown = next;
    shown.x += jitter * (1.0f - 2.0f * Random01());
    shown.y += jitter * (1.0f - 2.0f * Random01());
    shown.z += jitter * (1.0f - 2.0f * Random01());
    AddArcSegment(prev.x, prev.y, prev.z, shown.x, shown.y, shown.z, std::sqrt(m) / 12.0f, molniaTexture_);
    prev = shown;
    total += Length(next - cur);
    cur = next;
    if (last) break;
  }
  CollideSetIgnore(nullptr);
}

void CNetDoc::AddArcSegment(float x0, float y0, float z0, float x1, float y1, float z1, float width,
                            Texture* texture) {
  if (!world_ || !texture) return;
  const V3 a = {x0, y0, z0}, b = {x1, y1, z1};
  V3 viewer = {0, 0, 0};
  GetViewerPosition(&viewer.x, &viewer.y, &viewer.z);
  const V3 p = ScaledTo(Cross(viewer - a, b - a), width);
  const V3 corners[4] = {b - p, b + p, a + p, a - p};
  float xs[4], ys[4], zs[4];
  const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i) xs[i] = corners[i].x, ys[i] = corners[i].y, zs[i] = corners[i].z;
  const float ca[3] = {corners[2].x, corners[2].y, corners[2].z};
  const float cb[3] = {corners[3].x, corners[3].y, corners[3].z};
  const float cc[3] = {corners[0].x, corners[0].y, corners[0].z};
  Surface* surface = CreateSpriteQuad(world_, ca, cb, cc, TextureAddRef(texture));
  if (!surface) return;
  WorldPolygon* polygon = PolygonCreate(world_, 4, xs, ys, zs, light, surface);
  if (!polygon) return;
  MakeEffectObject(polygon);
  effectPolygons_.AddTail(polygon);
}
