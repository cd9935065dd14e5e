// Missile launch: the selected missile type from the local ship, the missile
// factories that other players' messages and the enemies use as well, the
// sentries, the script's launch and the satellite strike.
#include <cmath>
#include <cstdlib>
#include <new>

#include "engine/collision.h"
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
#include "world/enemies/new_enemy.h"
#include "world/objects/collision_settings.h"
#include "world/objects/missile.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/weapon_math.h"

namespace {

constexpr int kSoundLaunchRocket = 12;  // "launch1"
constexpr int kSoundLaunchHoming = 13;  // "launch3"
constexpr int kSoundOutOfAmmo = 40;     // "outoammo"
constexpr uint32_t kNoDelay = 0xFFFFFFFFu;
constexpr size_t kSentryMessageBytes = 48;
constexpr int kScanLeftShift = 42;
constexpr int kScanRightShift = 54;

uint32_t Now() { return static_cast<uint32_t>(GetGameTime()); }

void PlayFixed(int id) {
  if (g_pSoundManager) g_pSoundManager->PlaySoundVolume(id, 0, 0);
}

void PlayAt(int id, float x, float y, float z) {
  if (g_pSoundManager) g_pSoundManager->PlaySoundAt(id, x, y, z, 2);
}

// The ship's axes: row 0 side, 1 vertical, 2 forward, 3 position.
V3 Row(const float* m, int row) { return {m[4 * row], m[4 * row + 1], m[4 * row + 2]}; }

// One unit behind the launch point for a fast missile (its own length for
// a slow one).
V3 TailBehind(V3 p, V3 v) {
  V3 d = v * -1.0f;
  if (LengthSquared(d) > 1.0f) d = d * (1.0f / Length(d));
  return p + d;
}

bool AddMissile(CGenericMissile* missile) {
  if (!missile) return false;
  if (g_pObjectManager) {
    g_pObjectManager->AddObject(missile);
  } else {
    delete missile;
    return false;
  }
  return true;
}

}  // namespace

void CNetDoc::FireMissile() {
  if (!localPlayer_ || localPlayer_->IsDead() || missileLockout_ > 0) return;
  const uint32_t now = Now();
  const bool god = localPlayer_->IsGodMode();
  float* orientation = localPlayer_->GetOrientation();
  const float radius = localPlayer_->GetRadius();
  auto take = [&](int counter) {
    if (god) return;
    if (ammo_[counter] > 0) --ammo_[counter];
    InvalidateAmmoPanel();
  };
  auto due = [&](int kind, int interval) { return now - lastFireTimes_[kind] > static_cast<uint32_t>(interval); };
  if (selectedMissile_ & 1) {
    if (ammo_[kAmmoRockets] <= 0 && ammo_[kAmmoHoming] <= 0) {
      PlayFixed(kSoundOutOfAmmo);
      return;
    }
    if (!due(kFireRockets, tuning_.rocketInterval)) return;
    if (GetSelectedTarget() != 0 && ammo_[kAmmoHoming] > 0) {
      if (LaunchPlayerHoming(0, shipInstance_, 0, 0, orientation, radius)) {
        lastFireTimes_[kFireRockets] = now;
        take(kAmmoHoming);
        return;
      }
    }
    if (ammo_[kAmmoRockets] <= 0) return;
    LaunchPlayerRocket(0, shipInstance_, orientation, radius);
    lastFireTimes_[kFireRockets] = now;
    take(kAmmoRockets);
    return;
  }
  if (selectedMissile_ & 32) {
    if (ammo_[kAmmoVortexShields] <= 0) {
      PlayFixed(kSoundOutOfAmmo);
      return;
    }
    if (!due(kFireVortexShield, tuning_.vortexShieldInterval)) return;
    lastFireTimes_[kFireVortexShield] = now;
    take(kAmmoVortexShields);
    SpawnPlayerVortexShield(0);
    return;
  }
  struct Slot {
    uint8_t bit;
    int counter;
    int kind;
    int interval;
  };
  const Slot slots[] = {{4, kAmmoMicroMissiles, kFireMicroMissiles, tuning_.microMissileInterval},
                        {8, kAmmoNukes, kFireNuke, tuning_.nukeInterval},
                        {64, kAmmoSentries, kFireSentry, tuning_.sentryInterval}};
  for (const Slot& slot : slots) {
    if (!(selectedMissile_ & slot.bit)) continue;
    if (ammo_[slot.counter] <= 0) {
      SelectMissile(1);
      PlayFixed(kSoundOutOfAmmo);
      return;
    }
    if (!due(slot.kind, slot.interval)) return;
    lastFireTimes_[slot.kind] = now;
    take(slot.counter);
    if (slot.bit == 4) {
      LaunchMicroMissiles(0, shipInstance_, orientation, radius);
    } else if (slot.bit == 8) {
      ThrowNuke(0, orientation, radius);
    } else {
      const V3 p = Row(orientation, 3) + Row(orientation, 1) * radius;
      DeploySentry(0, p.x, p.y, p.z);
    }
    return;
  }
}

namespace {

// A launch point in a wall (the segment from the ship blocked, or a sphere
// there pushed out) explodes in place; the launch point may move.
bool LaunchPointBlocked(World* world, V3 ship, V3& point, float sphereRadius) {
  if (!world) return false;
  if (WorldSegmentBlocked(world, ship.x, ship.y, ship.z, point.x, point.y, point.z)) return true;
  return WorldCollideSphere(world, &point.x, &point.y, &point.z, sphereRadius) != 0;
}

// The player's rocket and homing missile leave from a point ahead of the
// ship, tested with the ships' vertical scale; in a wall the missile
// explodes there with its damage instead. True when it may fly.
bool LaunchPointClear(CNetDoc& doc, World* world, DPID owner, V3 ship, V3& launch, float damage) {
  bool blocked = false;
  {
    CollisionSettingsScope settings;
    g_CollideVerticalScale = 1.2f;
    blocked = LaunchPointBlocked(world, ship, launch, 3.6f);
  }
  if (blocked) doc.SpawnExplosion(owner, launch.x, launch.y, launch.z, 16.0f, damage, true, false, 0, kNoDelay);
  return !blocked;
}

}  // namespace

BOOL CNetDoc::LaunchPlayerHoming(DPID owner, Instance* ship, uint32_t targetLow, uint32_t targetHigh,
                                 const float orientation[16], float radius) {
  const V3 pos = Row(orientation, 3), up = Row(orientation, 1), forward = Row(orientation, 2);
  V3 launch = pos + (forward * 1.5f + up * 0.2f) * radius;
  if (!LaunchPointClear(*this, world_, owner, pos, launch, tuning_.homingDamage)) return TRUE;
  const V3 v = forward * (0.8f * static_cast<float>(tuning_.homingSpeed));
  if (IsExternalView()) {
    return LaunchHomingMissile(owner, ship, targetLow, targetHigh, launch.x, launch.y, launch.z, v.x, v.y, v.z, -1.0f);
  }
  const V3 tail = launch + up * (0.5f * radius);
  return LaunchHomingMissileWithTail(owner, ship, targetLow, targetHigh, launch.x, launch.y, launch.z, v.x, v.y, v.z,
                                     tail.x, tail.y, tail.z, -1.0f);
}

void CNetDoc::LaunchPlayerRocket(DPID owner, Instance* ship, const float orientation[16], float radius) {
  const V3 pos = Row(orientation, 3), up = Row(orientation, 1), forward = Row(orientation, 2);
  V3 launch = pos + (forward * 1.5f + up * 0.12f) * radius;
  if (!LaunchPointClear(*this, world_, owner, pos, launch, tuning_.rocketDamage)) return;
  const V3 v = forward * (0.8f * static_cast<float>(tuning_.rocketSpeed));
  if (IsExternalView()) {
    LaunchMissile(owner, ship, launch.x, launch.y, launch.z, v.x, v.y, v.z, -1.0f);
    return;
  }
  const V3 tail = launch + up * (0.6f * radius) - forward * (0.8f * radius);
  LaunchMissileWithTail(owner, ship, launch.x, launch.y, launch.z, v.x, v.y, v.z, tail.x, tail.y, tail.z, -1.0f);
}

void CNetDoc::LaunchMicroMissiles(DPID owner, Instance* ship, const float orientation[16], float radius) {
  const V3 pos = Row(orientation, 3), side = Row(orientation, 0), up = Row(orientation, 1),
           forward = Row(orientation, 2);
  for (int i = -1; i <= 1; ++i) {
    const float fi = static_cast<float>(i);
    V3 launch = pos + (forward * 1.5f + up * 0.3f + side * (0.8f * fi)) * radius;
    bool blocked = false;
    {
      CollisionSettingsScope settings;
      blocked = LaunchPointBlocked(world_, pos, launch, 2.88f);
    }
    if (blocked) {
      SpawnExplosion(owner, launch.x, launch.y, launch.z, 16.0f, tuning_.microMissileDamage, true, false, 0,
                     kNoDelay);
      continue;
    }
    const V3 v = (forward + side * (0.1f * fi)) * (0.8f * static_cast<float>(tuning_.microMissileSpeed));
    if (IsExternalView()) {
      LaunchSentryMissile(owner, ship, launch.x, launch.y, launch.z, v.x, v.y, v.z, -1.0f);
    } else {
      const V3 tail = launch + up * (0.6f * radius) - forward * (0.8f * radius);
      LaunchSentryMissileWithTail(owner, ship, launch.x, launch.y, launch.z, v.x, v.y, v.z, tail.x, tail.y, tail.z,
                                  -1.0f);
    }
  }
}

void CNetDoc::ThrowNuke(DPID owner, const float orientation[16], float radius) {
  const bool sticky =
      g_pInterface && (g_pInterface->IsKeyDown(kScanLeftShift) || g_pInterface->IsKeyDown(kScanRightShift));
  const V3 pos = Row(orientation, 3), up = Row(orientation, 1), forward = Row(orientation, 2);
  const V3 start = pos - up * radius + forward * (0.5f * radius);
  const float f[3] = {forward.x, forward.y, forward.z}, u[3] = {up.x, up.y, up.z};
  float v[3];
  for (int k = 0; k < 3; ++k) v[k] = 300.0f * (f[k] - 0.2f * u[k] + 0.02f - 0.04f * Random01());
  SpawnBomb(owner, start.x, start.y, start.z, v[0], v[1], v[2], sticky ? 1 : 0);
}

BOOL CNetDoc::LaunchHomingMissile(DPID owner, Instance* launcher, uint32_t targetLow, uint32_t targetHigh, float x,
                                  float y, float z, float vx, float vy, float vz, float damage) {
  const V3 tail = TailBehind({x, y, z}, {vx, vy, vz});
  return LaunchHomingMissileWithTail(owner, launcher, targetLow, targetHigh, x, y, z, vx, vy, vz, tail.x, tail.y,
                                     tail.z, damage);
}

BOOL CNetDoc::LaunchHomingMissileWithTail(DPID owner, Instance* launcher, uint32_t targetLow, uint32_t targetHigh,
                                          float x, float y, float z, float vx, float vy, float vz, float tx, float ty,
                                          float tz, float damage) {
  uint64_t key = (static_cast<uint64_t>(targetHigh) << 32) | targetLow;
  if (key == 0) {
    const uint64_t selected = GetSelectedTarget();
    if (selected != 0 && targetMap_.Find(selected) && !IsTargetGone(selected)) key = selected;
  }
  if (key == 0) {
    if (g_pSoundManager) g_pSoundManager->PlayBzzzt();
    return FALSE;
  }
  if (damage < 0.0f) damage = tuning_.homingDamage;
  auto* missile = new (std::nothrow)
      CHMissileObject(owner, NewObjectId(), launcher, static_cast<uint32_t>(key), static_cast<uint32_t>(key >> 32), x,
                      y, z, vx, vy, vz, tx, ty, tz, damage);
  if (!AddMissile(missile)) return FALSE;
  PlayAt(kSoundLaunchHoming, x, y, z);
  return TRUE;
}

void CNetDoc::LaunchMissile(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy, float vz,
                            float damage) {
  const V3 tail = TailBehind({x, y, z}, {vx, vy, vz});
  LaunchMissileWithTail(owner, launcher, x, y, z, vx, vy, vz, tail.x, tail.y, tail.z, damage);
}

void CNetDoc::LaunchMissileWithTail(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy,
                                    float vz, float tx, float ty, float tz, float damage) {
  if (damage < 0.0f) damage = tuning_.rocketDamage;
  auto* missile =
      new (std::nothrow) CMissileObject(owner, NewObjectId(), launcher, x, y, z, vx, vy, vz, tx, ty, tz, damage);
  if (!AddMissile(missile)) return;
  PlayAt(kSoundLaunchRocket, x, y, z);
}

void CNetDoc::LaunchSentryMissile(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy,
                                  float vz, float damage) {
  const V3 tail = TailBehind({x, y, z}, {vx, vy, vz});
  LaunchSentryMissileWithTail(owner, launcher, x, y, z, vx, vy, vz, tail.x, tail.y, tail.z, damage);
}

void CNetDoc::LaunchSentryMissileWithTail(DPID owner, Instance* launcher, float x, float y, float z, float vx,
                                          float vy, float vz, float tx, float ty, float tz, float damage) {
  if (damage < 0.0f) damage = tuning_.microMissileDamage;
  auto* missile =
      new (std::nothrow) CSMissileObject(owner, NewObjectId(), launcher, x, y, z, vx, vy, vz, tx, ty, tz, damage);
  if (!AddMissile(missile)) return;
  PlayAt(kSoundLaunchHoming, x, y, z);
}

void CNetDoc::DeploySentry(DPID owner, float x, float y, float z) {
  if (owner == 0) owner = GetLocalPlayerId();
  if (g_pEnemyManager) g_pEnemyManager->SpawnSentry(owner, x, y, z);
  if (!IsNetworkGame() || owner != GetLocalPlayerId()) return;
  uint8_t message[kSentryMessageBytes] = {};
  NetWriteU32(message, kMessageIdBase + kTypeSentry);
  NetWriteU32(message + 4, owner);
  NetWriteU32(message + 8, timeGetTime());
  NetWriteU32(message + 12, NewObjectId());
  message[16] = 1;
  NetWriteF32(message + 20, x);
  NetWriteF32(message + 24, y);
  NetWriteF32(message + 28, z);
  g_Net.Send(0, message, static_cast<int>(kSentryMessageBytes), true);
}

void CNetDoc::LaunchMissileFromTable(const CString& enemyName) {
  if (!localPlayer_) return;
  const float* m = localPlayer_->GetOrientation();
  const V3 pos = Row(m, 3);
  const V3 v = Row(m, 2) * (0.8f * static_cast<float>(tuning_.homingSpeed));
  CString name = enemyName;
  name.TrimLeft();
  name.TrimRight();
  const CNewEnemy* enemy =
      name.GetLength() > 0 && g_pEnemyManager ? g_pEnemyManager->FindByNamePrefix(name.GetString()) : nullptr;
  if (enemy) {
    LaunchHomingMissile(0, shipInstance_, enemy->GetIdLow(), enemy->GetIdHigh(), pos.x, pos.y, pos.z, v.x, v.y, v.z,
                        -1.0f);
  } else {
    LaunchMissile(0, shipInstance_, pos.x, pos.y, pos.z, v.x, v.y, v.z, -1.0f);
  }
}

void CNetDoc::UpdateSatellite() {
  const uint64_t selected = GetSelectedTarget();
  if (!(selectedMissile_ & 32) || selected == 0 || !HasGun(64)) return;
  int interval = tuning_.satelliteInterval;
  if (IsNetworkGame()) interval /= 2;
  const uint32_t now = Now();
  if (now - lastFireTimes_[kFireSatellite] < static_cast<uint32_t>(interval)) return;
  lastFireTimes_[kFireSatellite] = now;
  if (!targetMap_.Find(selected) || IsTargetGone(selected)) return;
  float x, y, z;
  if (!GetTargetPosition(selected, &x, &y, &z)) return;
  SpawnEnergyPulse(0, x, y, z, 16.0f, 50.0f);
}
