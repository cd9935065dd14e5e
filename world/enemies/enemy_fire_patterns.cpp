// CNewEnemy::Fire: the line of fire, then the enemy type's firing pattern
// (which routines, from which muzzle points, alternating how, in what
// bursts). A pattern sets a routine's stamp to now plus a random delay after
// a shot; a burst pause holds the whole pattern back.
#include <cstdlib>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/polygon_math.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "world/document/hud_targets.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/collision_settings.h"

using polymath::operator+;
using polymath::operator-;
using polymath::operator*;

namespace {
constexpr float kLineOfFireLength = 1000.0f;
constexpr float kSlugReachSq = 500.0f;
constexpr float kPi = 3.1415925f;

int32_t Later(int32_t now, int range) { return GameTimeAdd(now, CrtRand() % range); }
float RandomSign() { return (CrtRand() & 1) ? 1.0f : -1.0f; }

Vec3 Turn(Vec3 v, Vec3 w, float a) {
  Vec3 out = v;
  const bool pushed = MatrixPush() != 0;
  MatrixIdentity();
  MatrixRotateAxis(w.x, w.y, w.z, a);
  MatrixTransformPoint(v.x, v.y, v.z, &out.x, &out.y, &out.z);
  if (pushed) MatrixPop();
  return out;
}

uint64_t LocalPlayerKey() {
  CNetDoc* doc = GetNetDoc();
  return PlayerTargetKey(doc ? doc->GetLocalPlayer() : nullptr);
}
}  // namespace

bool CNewEnemy::BurstReady(int32_t pause, int32_t now) const {
  return burstStamp_ == 0 || GameTimeSince(burstStamp_, now) > pause;
}

void CNewEnemy::BurstTail(int32_t now) {
  if (shotCounter_ % 2 == 0) burstStamp_ = Later(now, 1000);
}

bool CNewEnemy::InLineOfFire(int32_t now, Vec3* hit) {
  if (mode_ == kMoveStationary || type_ == kKindBossa || type_ == kKindFboss5) return true;
  World* world = instance_ ? instance_->world : nullptr;
  if (!world) return false;
  float mx, my, mz, dx, dy, dz;
  GetMuzzlePos(&mx, &my, &mz);
  GetMuzzleDir(&dx, &dy, &dz);
  Instance* met = nullptr;
  int kind;
  {
    CollisionSettingsScope settings;
    CollideSetIgnore(instance_);
    kind = CollideRay(world, &hit->x, &hit->y, &hit->z, nullptr, &met, mx, my, mz, mx + kLineOfFireLength * dx,
                      my + kLineOfFireLength * dy, mz + kLineOfFireLength * dz);
  }
  if (kind != 1 || !met) return false;
  CNewEnemy* escort = attackEscort_ ? Live(attackTargetId_) : nullptr;
  if (escort) {
    if (met != escort->instance_) return false;
  } else if (type_ != kKindSentry) {
    CNetDoc* doc = GetNetDoc();
    if (!doc || met != doc->GetPlayerShip()) return false;
  }
  lineOfFireStamp_ = now;
  return true;
}

void CNewEnemy::Fire(int32_t now) {
  if (hitPoints_ < 0.0f) return;
  Vec3 hit = GetPosition();
  if (!InLineOfFire(now, &hit)) return;
  const Vec3 p = GetPosition(), s = Side(), u = Up(), f = Forward(), d = Muzzle();
  const float r = Radius();
  int32_t& counter = shotCounter_;
  switch (type_) {
    case 1: {
      const Vec3 from = counter % 2 == 0 ? p + s * 3.0f + u * 2.8f : p - s * 3.0f + u * 2.8f;
      if (FireHeavyFireBall(from, d, now)) {
        ++counter;
        fireballStamp_ = Later(now, 300);
        SetSpinning(true);
      }
      break;
    }
    case 3: {
      if (!BurstReady(4 * 300, now)) break;
      if (!spinning_) {
        if (counter & 1) {
          if (FireLightBullet(p - u + s * 2.0f, d, now)) counter &= ~1, SetSpinning(true);
        } else if (FireLightBullet(p - u - s * 2.0f, d, now)) {
          counter |= 1, SetSpinning(true);
        }
      } else if (spinPhase_ != 0) {
        bool fired;
        if (counter & 2) {
          fired = FireLightBullet(p + u - s * 2.0f, d, now);
          if (fired) counter &= ~2;
        } else {
          fired = FireLightBullet(p + u + s * 2.0f, d, now);
          if (fired) counter |= 2;
        }
        if (fired) lightBulletStamp_ = Later(now, 200);
      }
      if (counter == 3) burstStamp_ = Later(now, 2000);
      break;
    }
    case 4: {
      if (!BurstReady(6 * 300, now)) break;
      const int step = counter % 3;
      const Vec3 from = step == 0 ? p + u * 2.8f : step == 1 ? p + u * 1.5f + s * 5.0f : p + u * 1.5f - s * 5.0f;
      if (FireHeavyBullet(from, d, now)) {
        if (step == 2) burstStamp_ = Later(now, 1000);
        ++counter;
        heavyBulletStamp_ = Later(now, 300);
        SetSpinning(true);
      }
      break;
    }
    case 13:
    case 14:
    case 16: {
      const Vec3 from = shotIndex_ == 0 ? p - u : shotIndex_ == 1 ? p - u * 7.0f + s * 15.0f : p - u * 7.0f - s * 15.0f;
      if (FireHeavyBullet(from, d, now)) {
        shotIndex_ = (shotIndex_ + 1) % 3;
        heavyBulletStamp_ = Later(now, 1000);
      }
      break;
    }
    case 15: {
      if (!BurstReady(6 * 200, now)) break;
      if (FireHitscanShot(counter % 2 ? p + s * 2.0f : p - s * 2.0f, now)) {
        hitscanStamp_ = Later(now, 1000);
        ++counter;
        if (counter % 3 == 0) burstStamp_ = Later(now, 1000);
      }
      break;
    }
    case 17:
    case 27: {
      const bool heavy = type_ == 27;
      if (heavy && (bombStamp_ == 0 || GameTimeSince(bombStamp_, now) > 20000)) {
        DropBomb();
        bombStamp_ = Later(now, 1000);
      }
      if (!BurstReady(10 * 400, now)) break;
      const Vec3 from = counter % 2 ? p - s * 10.0f : p + s * 10.0f;
      auto shoot = [&](Vec3 dir) {
        return heavy ? FireHeavyFireBall(from, dir, now) : FireLightFireBall(from, dir, now);
      };
      if (shoot(d)) {
        // The fan: each further ball turned 0.1 rad about the up and the side
        // axis, each turn with its own random sign.
        Vec3 second = Turn(d, u, 0.1f * RandomSign());
        second = Turn(second, s, 0.1f * RandomSign());
        shoot(second);
        Vec3 third = Turn(second, u, 0.1f * RandomSign());
        third = Turn(third, s, 0.1f * RandomSign());
        shoot(third);
        fireballStamp_ = Later(now, 100);
        ++counter;
        if (counter % 6 == 0) burstStamp_ = Later(now, 1000);
      }
      break;
    }
    case 18: {
      if (!BurstReady(2 * 1500, now)) break;
      if (FireRocket(p, now)) {
        rocketStamp_ = GameTimeAdd(now, -1200);
        ++counter;
        BurstTail(now);
      }
      break;
    }
    case 19: {
      if (BurstReady(4 * 300, now)) {
        if (FireLightBullet(p + f * 9.0f + u * 3.0f, d, now)) lightBulletStamp_ = Later(now, 200);
        ++counter;
        if (counter % 3 == 0) burstStamp_ = Later(now, 1000);
      }
      if (FireHomingMissile(p + u * 3.0f - f * 6.0f, u, now, LocalPlayerKey())) homingStamp_ = Later(now, 1000);
      break;
    }
    case 20: {
      if (BurstReady(6 * 200, now)) {
        if (FireHitscanShot(counter % 2 ? p + s * 5.0f : p - s * 5.0f, now)) {
          hitscanStamp_ = Later(now, 1000);
          ++counter;
          if (counter % 4 == 0) burstStamp_ = Later(now, 1000);
        }
      }
      const Vec3 from = counter % 2 == 0 ? p + u * 7.0f + s * 8.0f : p + u * 7.0f - s * 8.0f;
      if (FireHomingMissile(from, d, now, LocalPlayerKey())) homingStamp_ = Later(now, 1000);
      if (FireRubberBall(p - u * 5.0f, d, now)) rubberBallStamp_ = Later(now, 100);
      break;
    }
    case 21:
    case 39: {
      if (!BurstReady(5 * 300, now)) break;
      const float k = type_ == 21 ? 5.0f : 1.0f;
      if (FireLightBullet(counter % 2 == 0 ? p + s * k : p - s * k, d, now)) {
        lightBulletStamp_ = Later(now, 1000);
        ++counter;
        if (counter % 5 == 0) burstStamp_ = Later(now, 1000);
      }
      break;
    }
    case 22: {
      const int step = counter % 3;
      const Vec3 from = step == 0 ? p + u * 3.5f : step == 1 ? p - u * 2.5f + s * 3.0f : p - u * 2.5f - s * 3.0f;
      if (FireHeavyBullet(from, d, now)) {
        ++counter;
        heavyBulletStamp_ = Later(now, 200);
      }
      break;
    }
    case 23: {
      if (arcStamp_ == 0 || GameTimeSince(arcStamp_, now) > 1000) {
        if (FireArc(p - u * 10.0f, Turn(d, u, 0.8f * RandomSign()), now)) {
          ++counter;
          if (counter % 10 == 0) arcStamp_ = Later(now, 1000);
        }
      }
      if ((sentryStamp_ == 0 || GameTimeSince(sentryStamp_, now) > 10000) && DropSentry()) {
        sentryStamp_ = Later(now, 1000);
      }
      break;
    }
    case 24: {
      if (FireHomingMissile(p + d * r, d, now, targetKey_)) hitPoints_ = -1.0f;
      break;
    }
    case 25: {
      if (FireLightBullet(counter % 2 == 0 ? p - u * 3.0f + s * 0.5f : p - u * 3.0f - s * 0.5f, d, now)) {
        ++counter;
        lightBulletStamp_ = Later(now, 500);
      }
      if (FireRocket(p + u * 3.0f, now)) rocketStamp_ = GameTimeAdd(now, 5000 + CrtRand() % 1000);
      break;
    }
    case 26: {
      if (GetDroneCount() <= 2 && (droneStamp_ == 0 || GameTimeSince(droneStamp_, now) > 10000)) {
        LaunchDrone();
        droneStamp_ = Later(now, 1000);
      }
      break;
    }
    case 28: {
      if (!BurstReady(6 * 2000, now)) break;
      if (counter % 4 < 3) {
        const uint64_t key = LocalPlayerKey();
        if (FireHomingMissile(p + s * 5.0f + u * 5.0f, Turn(d, u, kPi / 8.0f), now, key)) {
          FireHomingMissile(p - s * 5.0f + u * 5.0f, Turn(d, u, -kPi / 8.0f), now, key);
          homingStamp_ = Later(now, 1000);
          ++counter;
        }
      } else {
        burstStamp_ = Later(now, 1000);
        ++counter;
      }
      break;
    }
    case 29:
    case 35:
    case 36: {
      float mx, my, mz;
      GetMuzzlePos(&mx, &my, &mz);
      if (FireRubberBall(Vec3{mx, my, mz}, d, now)) rubberBallStamp_ = Later(now, 1000);
      break;
    }
    case 30: {
      if (arcStamp_ != 0 && GameTimeSince(arcStamp_, now) <= 1000) break;
      const Vec3 turned = Turn(d, u, 0.8f * RandomSign());
      if (FireArc(p + u * 3.0f + turned * 3.0f, turned, now)) arcStamp_ = Later(now, 1000);
      break;
    }
    case 31: {
      if (!BurstReady(2 * 1500, now)) break;
      if (!spinning_) {
        if (FireRocket(p + s * 10.0f + d * 30.0f, now)) FireRocket(p - s * 10.0f + d * 30.0f, now);
        SetSpinning(true);
      } else if (spinPhase_ != 0) {
        if (FireRocket(p + s * 12.0f + d * 30.0f, now)) FireRocket(p - s * 12.0f + d * 30.0f, now);
        burstStamp_ = Later(now, 1000);
      }
      break;
    }
    case 32: {
      // No exception for an unset stamp: the pause always counts.
      if (GameTimeSince(burstStamp_, now) <= 2000) break;
      const Vec3 gap = hit - p;
      if (gap.x * gap.x + gap.y * gap.y + gap.z * gap.z >= kSlugReachSq) break;
      if (FireSlug(counter % 2 ? p + s * 5.0f : p - s * 5.0f, d, now)) {
        hitscanStamp_ = Later(now, 500);
        ++counter;
        BurstTail(now);
      }
      break;
    }
    case 33: {
      if (bossStage_ != 1) break;
      if (FireHomingMissile(p + u * 10.0f + d * 5.0f, d, now, LocalPlayerKey())) {
        homingStamp_ = now;
        lineOfFireStamp_ = now;
      }
      break;
    }
    case 34: {
      if (!BurstReady(4 * 1500, now)) break;
      const Vec3 from = counter % 2 == 0 ? p + u * 5.0f - s * 5.0f + d * 10.0f : p + u * 5.0f + s * 5.0f + d * 10.0f;
      if (FireHomingMissile(from, d, now, LocalPlayerKey())) {
        homingStamp_ = GameTimeAdd(now, -2000);
        ++counter;
        BurstTail(now);
      }
      break;
    }
    case 37: {
      if (!BurstReady(4 * 1500, now)) break;
      if (FireRocket(counter % 2 == 0 ? p - s * 2.0f + d * 7.0f : p + s * 2.0f + d * 7.0f, now)) {
        rocketStamp_ = GameTimeAdd(now, -1200);
        ++counter;
        BurstTail(now);
      }
      break;
    }
    case 38: {
      if (bombStamp_ == 0 || GameTimeSince(bombStamp_, now) > 20000) {
        DropBomb();
        bombStamp_ = Later(now, 1000);
      }
      break;
    }
    default:
      break;  // no weapons
  }
}
