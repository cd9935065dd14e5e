// An enemy's weapons: the fire routines (each with its cool-down from the
// weapon table, its start point and its factory call), the placements of
// bombs, sentries and drones, and Fire, which checks the line of fire and
// plays the enemy type's pattern of muzzles, alternations and bursts.
#include <cstdio>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/polygon_math.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/debug_output.h"
#include "world/enemies/enemy_fire.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/collision_settings.h"

using polymath::operator+;
using polymath::operator-;
using polymath::operator*;

EnemyShotObserver g_EnemyShotObserver = nullptr;

namespace {
constexpr float kClearRadius = 3.6f;
constexpr float kFlashSize = 2.5f;
constexpr float kLineOfFireLength = 1000.0f;

// The settings of a free-space test: a true sphere against the world and
// the instances, the enemy's own instance left out. The settings are kept
// between queries, so a test that took whatever the last caller left would
// pass or fail by what ran before it.
void SetSphereTestSettings(Instance* own) {
  CollideSetMode(kCollideWorldAndInstances);
  CollideSetIgnore(own);
  g_CollidePushOut = 1;
  g_CollideVerticalScale = 1.0f;
}

enum Weapon {
  kWeaponHitscan = 0,
  kWeaponLightBullet = 1,
  kWeaponHeavyBullet = 2,
  kWeaponLightFireBall = 3,
  kWeaponHeavyFireBall = 4,
  kWeaponRubberBall = 5,
  kWeaponRocket = 6,
  kWeaponHoming = 7,
  kWeaponArc = 10,
  kWeaponSlug = 12,
};

// A stamp of 0 lets the routine fire; otherwise it must lie in the past by
// more than the interval (a stamp in the future postpones the shot).
bool CooledDown(int32_t stamp, int32_t interval, int32_t now) {
  return stamp == 0 || GameTimeSince(stamp, now) > interval;
}
bool WeaponReady(int32_t stamp, int weapon, int32_t now) {
  return CooledDown(stamp, g_EnemyWeapons[weapon].intervalMs, now);
}

void Report(const CNewEnemy* enemy, EnemyShot shot, Vec3 start, Vec3 velocity) {
  if (g_EnemyShotObserver) g_EnemyShotObserver(enemy, shot, start, velocity);
  // Whole-program runs read who fired what at whom.
  static const char* const kNames[] = {"a hitscan shot", "a rocket",  "a homing missile", "a rubber ball",
                                       "a light bullet", "a heavy bullet", "a slug",        "a heavy fireball",
                                       "a light fireball", "an arc",    "a bomb",           "a sentry",
                                       "a drone"};
  char line[160];
  std::snprintf(line, sizeof line, "korvane: enemy %s fires %s\n", enemy->GetModelName(),
                kNames[static_cast<int>(shot)]);
  OutputDebugString(line);
}

void Flash(CNetDoc* doc, Vec3 at) {
  if (doc) doc->SpawnFlashLight(0, at.x, at.y, at.z, kFlashSize, kFlashSize);
}

Vec3 LocalPlayerPosition() {
  CNetDoc* doc = GetNetDoc();
  CDirectPlayer* player = doc ? doc->GetLocalPlayer() : nullptr;
  Vec3 p{0, 0, 0};
  if (player) player->GetPosition(&p.x, &p.y, &p.z);
  return p;
}
}  // namespace

Vec3 CNewEnemy::Side() const {
  Vec3 v;
  GetSideDir(&v.x, &v.y, &v.z);
  return v;
}
Vec3 CNewEnemy::Up() const {
  Vec3 v;
  GetUpDir(&v.x, &v.y, &v.z);
  return v;
}
Vec3 CNewEnemy::Forward() const {
  Vec3 v;
  GetBodyForward(&v.x, &v.y, &v.z);
  return v;
}
Vec3 CNewEnemy::Muzzle() const {
  Vec3 v;
  GetMuzzleDir(&v.x, &v.y, &v.z);
  return v;
}

bool CNewEnemy::SegmentClear(float x, float y, float z) const {
  World* world = instance_ ? instance_->world : nullptr;
  if (!world) return true;
  CollisionSettingsScope settings;
  SetSphereTestSettings(instance_);
  return WorldCollideSphere(world, &x, &y, &z, kClearRadius) == 0;
}

// ---- fire routines: true when they fired; none sets its own stamp.

bool CNewEnemy::FireHitscanShot(Vec3 origin, int32_t now) {
  if (!lineOfSight_ || !WeaponReady(hitscanStamp_, kWeaponHitscan, now)) return false;
  const Vec3 d = Muzzle();
  const float k = type_ == kKindGb ? 3.0f : 1.3f * Radius();
  const Vec3 start = origin + d * k, end = start + d * kLineOfFireLength;
  CNetDoc* doc = GetNetDoc();
  if (doc) {
    CDirectPlayer* local = doc->GetLocalPlayer();
    doc->FireHitscan(local ? local->GetId() : 0, instance_, start.x, start.y, start.z, end.x, end.y, end.z, 1.0f);
  }
  Flash(doc, start);
  Report(this, EnemyShot::kHitscan, start, d);
  return true;
}

bool CNewEnemy::FireRocket(Vec3 origin, int32_t now) {
  if (!lineOfSight_ || !WeaponReady(rocketStamp_, kWeaponRocket, now)) return false;
  const Vec3 d = Muzzle();
  Vec3 start = origin + d * (1.2f * (Radius() + kClearRadius));
  if (type_ == kKindTank) start = start + Up() * 2.0f;
  if (type_ == kKindTankm) start = start + Up() * 5.0f;
  if (!SegmentClear(start.x, start.y, start.z)) return false;
  const Vec3 v = d * 130.0f;
  if (CNetDoc* doc = GetNetDoc()) doc->LaunchMissile(0, instance_, start.x, start.y, start.z, v.x, v.y, v.z, 15.0f);
  Report(this, EnemyShot::kRocket, start, v);
  return true;
}

bool CNewEnemy::FireHomingMissile(Vec3 origin, Vec3 direction, int32_t now, uint64_t target) {
  if (!lineOfSight_ || !WeaponReady(homingStamp_, kWeaponHoming, now) || missiles_ <= 0) return false;
  const Vec3 start = origin + direction * (1.2f * (Radius() + kClearRadius));
  if (type_ != kKindSentry && !SegmentClear(start.x, start.y, start.z)) return false;
  --missiles_;
  const Vec3 v = direction * 110.0f;
  if (CNetDoc* doc = GetNetDoc()) {
    doc->LaunchHomingMissile(0, instance_, static_cast<uint32_t>(target), static_cast<uint32_t>(target >> 32),
                             start.x, start.y, start.z, v.x, v.y, v.z, type_ == kKindSentry ? 35.0f : 8.0f);
  }
  Report(this, EnemyShot::kHoming, start, v);
  return true;
}

bool CNewEnemy::FireRubberBall(Vec3 origin, Vec3 direction, int32_t now) {
  if (!WeaponReady(rubberBallStamp_, kWeaponRubberBall, now)) return false;
  const Vec3 start = origin + direction * (1.3f * Radius());
  const Vec3 v = direction * 185.0f;
  CNetDoc* doc = GetNetDoc();
  if (doc) doc->SpawnRubberBall(0, instance_, start.x, start.y, start.z, v.x, v.y, v.z, 15.0f);
  Flash(doc, start);
  Report(this, EnemyShot::kRubberBall, start, v);
  return true;
}

bool CNewEnemy::FireBulletKind(Vec3 origin, Vec3 direction, int32_t now, bool heavy) {
  int32_t& stamp = heavy ? heavyBulletStamp_ : lightBulletStamp_;
  if (!lineOfSight_ || !WeaponReady(stamp, heavy ? kWeaponHeavyBullet : kWeaponLightBullet, now)) return false;
  const Vec3 start = origin + direction * (1.3f * Radius());
  const Vec3 v = direction * 150.0f;
  CNetDoc* doc = GetNetDoc();
  if (doc) doc->FireBullet(0, instance_, start.x, start.y, start.z, v.x, v.y, v.z, heavy ? 6.0f : 4.0f, 0);
  Flash(doc, start);
  Report(this, heavy ? EnemyShot::kHeavyBullet : EnemyShot::kLightBullet, start, v);
  return true;
}
bool CNewEnemy::FireLightBullet(Vec3 origin, Vec3 direction, int32_t now) {
  return FireBulletKind(origin, direction, now, false);
}
bool CNewEnemy::FireHeavyBullet(Vec3 origin, Vec3 direction, int32_t now) {
  return FireBulletKind(origin, direction, now, true);
}

bool CNewEnemy::FireSlug(Vec3 origin, Vec3 direction, int32_t now) {
  if (!lineOfSight_ || !WeaponReady(hitscanStamp_, kWeaponSlug, now)) return false;
  const Vec3 start = origin + direction * (1.3f * Radius());
  const Vec3 v = direction * 100.0f;
  CNetDoc* doc = GetNetDoc();
  if (doc) doc->FireAcceleratorSlug(0, instance_, start.x, start.y, start.z, v.x, v.y, v.z, 1.0f);
  Flash(doc, start);
  Report(this, EnemyShot::kSlug, start, v);
  return true;
}

bool CNewEnemy::FireFireBallKind(Vec3 origin, Vec3 direction, int32_t now, bool heavy) {
  if (!lineOfSight_ || !WeaponReady(fireballStamp_, heavy ? kWeaponHeavyFireBall : kWeaponLightFireBall, now)) {
    return false;
  }
  const Vec3 start = origin + direction * (1.3f * Radius());
  const Vec3 v = direction * 300.0f;
  CNetDoc* doc = GetNetDoc();
  // The heavy ball has the upgraded look.
  if (doc) {
    doc->SpawnFireBall(0, instance_, start.x, start.y, start.z, v.x, v.y, v.z, heavy ? 1 : 0, heavy ? 12.0f : 8.0f);
  }
  Flash(doc, start);
  Report(this, heavy ? EnemyShot::kHeavyFireBall : EnemyShot::kLightFireBall, start, v);
  return true;
}
bool CNewEnemy::FireHeavyFireBall(Vec3 origin, Vec3 direction, int32_t now) {
  return FireFireBallKind(origin, direction, now, true);
}
bool CNewEnemy::FireLightFireBall(Vec3 origin, Vec3 direction, int32_t now) {
  return FireFireBallKind(origin, direction, now, false);
}

bool CNewEnemy::FireArc(Vec3 origin, Vec3 direction, int32_t now) {
  if (!lineOfSight_ || !WeaponReady(arcStamp_, kWeaponArc, now)) return false;
  const Vec3 aim = LocalPlayerPosition();
  const float words[11] = {direction.x, direction.y, direction.z, origin.x, origin.y, origin.z,
                           aim.x,       aim.y,       aim.z,       10.0f,    5.0f};
  if (CNetDoc* doc = GetNetDoc()) doc->DischargeArc(0, instance_, words, 1, 1);
  Report(this, EnemyShot::kArc, origin, direction);
  return true;
}

// ---- placements

void CNewEnemy::DropBomb() {
  if (!lineOfSight_) return;
  const bool straightDown = type_ == kKindFboss5;
  const Vec3 d = straightDown ? Vec3{0, 1, 0} : Muzzle();
  const Vec3 start = GetPosition() + d * (1.2f * (Radius() + kClearRadius));
  if (!SegmentClear(start.x, start.y, start.z)) return;
  const Vec3 v = straightDown ? Vec3{0, 0, 0} : d * 130.0f;
  if (CNetDoc* doc = GetNetDoc()) doc->SpawnBomb(0, start.x, start.y, start.z, v.x, v.y, v.z, 0);
  Report(this, EnemyShot::kBomb, start, v);
}

bool CNewEnemy::FindFreeSpot(const Model* model, const Vec3* candidates, int count, Vec3* spot) const {
  World* world = instance_ ? instance_->world : nullptr;
  for (int i = 0; i < count; ++i) {
    Vec3 c = candidates[i];
    if (world) {
      CollisionSettingsScope settings;
      SetSphereTestSettings(instance_);
      if (WorldCollideSphere(world, &c.x, &c.y, &c.z, model->radius) != 0) continue;
    }
    *spot = c;
    return true;
  }
  return false;
}

bool CNewEnemy::DropSentry() {
  Model* model = g_pEnemyManager ? g_pEnemyManager->GetSentryTemplate() : nullptr;
  if (!model || !lineOfSight_) return false;
  const float k = 1.1f * (Radius() + model->radius);
  const Vec3 p = GetPosition();
  const Vec3 candidates[3] = {p + Forward() * k, p - Up() * k, p + Up() * k};
  Vec3 spot;
  if (!FindFreeSpot(model, candidates, 3, &spot)) return false;
  if (!g_pEnemyManager->SpawnSentry(0, spot.x, spot.y, spot.z)) return false;
  Report(this, EnemyShot::kSentry, spot, Vec3{0, 0, 0});
  return true;
}

void CNewEnemy::LaunchDrone() {
  Model* model = g_pEnemyManager ? g_pEnemyManager->GetDroneTemplate() : nullptr;
  if (!model || !lineOfSight_) return;
  const float k = 1.1f * (Radius() + model->radius);
  const Vec3 p = GetPosition();
  const Vec3 candidates[3] = {p - Forward() * k, p - Up() * k, p + Up() * k};
  Vec3 spot;
  if (!FindFreeSpot(model, candidates, 3, &spot)) return;
  char text[128];
  std::snprintf(text, sizeof text, (CrtRand() & 1) ? "dw %f %f %f" : "dgh %f %f %f", spot.x, spot.y, spot.z);
  const uint64_t self = id_;
  CNewEnemy* drone = g_pEnemyManager->SpawnEnemy(0, text);
  // A launch that made no drone does not count as one out.
  if (!drone || !Live(self) || !AddDrone(drone)) return;
  drone->SetParent(this);
  Report(this, EnemyShot::kDrone, spot, Vec3{0, 0, 0});
}
