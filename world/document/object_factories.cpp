// Object factories: every dynamic object is born here, for local play, the
// enemies, the script and the network alike (owner 0 is the local player).
// Each makes its object with a fresh id, gives it to the object manager (no
// manager: nothing is made) and plays its sound.
#include <cmath>

#include "engine/collision.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "platform/debug_output.h"
#include "world/objects/back_pack.h"
#include "world/objects/bomb.h"
#include "world/objects/dust.h"
#include "world/objects/energy_pulse.h"
#include "world/objects/fire_ball.h"
#include "world/objects/fire_sphere.h"
#include "world/objects/effect_services.h"
#include "world/objects/fire_wave.h"
#include "world/objects/flash_light.h"
#include "world/objects/object_manager.h"
#include "world/objects/rubber_ball.h"
#include "world/objects/smoke.h"
#include "world/objects/sphere.h"
#include "world/objects/static_sprite.h"
#include "world/objects/vortex_shield.h"
#include "world/objects/weapon_math.h"

void CNetDoc::SpawnBulletMark(DPID owner, float x, float y, float z) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CBulletMarkObject(owner, NewObjectId(), x, y, z));
}

void CNetDoc::SpawnLaserMark(DPID owner, float x, float y, float z) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CLaserMarkObject(owner, NewObjectId(), x, y, z));
}

void CNetDoc::SpawnStaticSmoke(DPID owner, float x, float y, float z, float size) {
  if (!g_pObjectManager || !EffectSmokeOn()) return;
  g_pObjectManager->AddObject(new CStaticSmoke(owner, NewObjectId(), x, y, z, size));
}

void CNetDoc::SpawnSmallExplosion(DPID owner, float x, float y, float z) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CSmallExplosionObject(owner, NewObjectId(), x, y, z));
}

void CNetDoc::SpawnExplosion(DPID owner, float x, float y, float z, float size, float damage, bool particles,
                             bool silent, uint8_t variant, uint32_t delay) {
  if (!g_pObjectManager) return;
  if (particles) SpawnTracerBurst(owner, x, y, z, static_cast<int>(size * 1.6f), 0x6496FF);
  g_pObjectManager->AddObject(
      new CExplosionObject(owner, NewObjectId(), x, y, z, size, damage, variant, static_cast<int32_t>(delay)));
  if (!silent) PlayEffectSound(kSoundRocketExplosion, x, y, z, kSoundRandomPitch);
}

void CNetDoc::SpawnBigExplosion(DPID owner, float x, float y, float z) {
  const float nukeDamage = tuning_.nukeDamage;
  SpawnExplosion(owner, x, y, z, 30.0f, nukeDamage, true, false, 1, static_cast<uint32_t>(-1));
  ApplyBlastDamage(x, y, z, 100.0f, nukeDamage, owner, false);
  PlayEffectSound(kSoundNukeExplosion, x, y, z, kSoundRandomPitch);
  FlashNearbyExplosion(x, y, z);
  // The ring of fire, 3 units under the centre; a segment whose way out is
  // walled off is left out.
  const float height = y - 3.0f;
  constexpr float kStep = 3.1415927f / 16.0f;
  for (int i = 1; i <= 32; ++i) {
    const float a = static_cast<float>(i) * kStep;
    const float b = static_cast<float>(i - 1) * kStep;
    if (world_ && WorldSegmentBlocked(world_, x, height, z, x + 25.0f * std::cos(a), height, z + 25.0f * std::sin(a))) {
      continue;
    }
    const float corners[8] = {x + 20.0f * std::cos(b), z + 20.0f * std::sin(b), x + 25.0f * std::cos(b),
                              z + 25.0f * std::sin(b), x + 25.0f * std::cos(a), z + 25.0f * std::sin(a),
                              x + 20.0f * std::cos(a), z + 20.0f * std::sin(a)};
    SpawnFireWave(owner, corners, x, height, z, static_cast<float>(tuning_.fireWaveValue));
  }
}

void CNetDoc::SpawnForceField(WorldPolygon* polygon, float x, float y, float z, float size) {
  if (!polygon || !g_pObjectManager) return;
  const Vec3 n = polygon->worldNormal;
  g_pObjectManager->AddObject(new CForceField(0, NewObjectId(), x, y, z, n.x, n.y, n.z, size));
}

void CNetDoc::SpawnBomb(DPID owner, float x, float y, float z, float vx, float vy, float vz, uint8_t sticky) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CBomb(owner, NewObjectId(), x, y, z, vx, vy, vz, sticky != 0));
  PlayEffectSound(kSoundLobNuke, x, y, z, kSoundRandomPitch);
}

void CNetDoc::SpawnFireWave(DPID owner, const float corners[8], float x, float y, float z, float speed) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CFireWave(owner, NewObjectId(), corners, x, y, z, speed));
}

void CNetDoc::SpawnFireBall(DPID owner, Instance* ship, float x, float y, float z, float vx, float vy, float vz,
                            uint8_t upgraded, float damage) {
  if (!g_pObjectManager) return;
  if (damage < 0.0f) {
    damage = (1.0f - 0.2f * Random01()) * tuning_.fireballDamage;
    if (upgraded) damage *= 1.5f;
  }
  g_pObjectManager->AddObject(
      new CFireBall(owner, NewObjectId(), ship, x, y, z, vx, vy, vz, upgraded != 0, damage));
  PlayEffectSound(kSoundLaser3, x, y, z, 0);
}

void CNetDoc::SpawnRubberBall(DPID owner, Instance* ship, float x, float y, float z, float vx, float vy, float vz,
                              float damage) {
  if (!g_pObjectManager) return;
  if (damage < 0.0f) damage = (1.0f - 0.2f * Random01()) * tuning_.rubberBallDamage;
  g_pObjectManager->AddObject(new CRubberBall(owner, NewObjectId(), ship, x, y, z, vx, vy, vz, damage));
  PlayEffectSound(kSoundMgr, x, y, z, 0);
}

void CNetDoc::SpawnSmoke(DPID owner, int noSend, float x, float y, float z, float size) {
  if (!g_pObjectManager || !EffectSmokeOn()) return;
  g_pObjectManager->AddObject(new CSmoke(owner, NewObjectId(), noSend != 0, x, y, z, size));
}

void CNetDoc::SpawnDust(DPID owner, float x, float y, float z, uint32_t colour, float size) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CDust(owner, NewObjectId(), x, y, z, colour, size));
}

void CNetDoc::SpawnEnergyPulse(DPID owner, float x, float y, float z, float radius, float damage) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CEnergyPulse(owner, NewObjectId(), x, y, z, radius, damage));
  PlayEffectSound(kSoundSat, x, y, z, 0);
}

void CNetDoc::SpawnSphere(DPID owner, float x, float y, float z, float finalRadius) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CSphere(owner, NewObjectId(), x, y, z, finalRadius));
}

void CNetDoc::SpawnFireSphere(DPID owner, float x, float y, float z, float finalRadius, int32_t durationMs) {
  if (!g_pObjectManager) return;
  if (durationMs <= 0) {
    // The script's growth time would divide by zero or shrink the ball.
    CString line;
    line.Format("korvane: a fire sphere with a duration of %d ms is refused\n", static_cast<int>(durationMs));
    OutputDebugString(line);
    return;
  }
  g_pObjectManager->AddObject(new CFireSphere(owner, NewObjectId(), x, y, z, finalRadius, durationMs));
}

void CNetDoc::SpawnFlashLight(DPID owner, float x, float y, float z, float intensity, float fadeRate) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CFlashLight(owner, NewObjectId(), x, y, z, intensity, fadeRate));
}

void CNetDoc::SpawnRespawnLight(DPID owner, float x, float y, float z) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CRespawnLight(owner, NewObjectId(), x, y, z));
}

void CNetDoc::SpawnPlayerVortexShield(DPID owner) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CVortexShield(owner, NewObjectId(), false));
}

void CNetDoc::SpawnStaticShield(DPID owner) {
  if (!g_pObjectManager) return;
  // One static shield at a time round the local ship; other ships' shields
  // are theirs to count.
  if (IsStaticShieldActive() && (owner == 0 || owner == GetLocalPlayerId())) return;
  g_pObjectManager->AddObject(new CVortexShield(owner, NewObjectId(), true));
}

void CNetDoc::SpawnEnemyVortexShield(uint64_t enemyId, float radius, int32_t lifetimeMs) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CVortexShield(NewObjectId(), enemyId, radius, lifetimeMs, false));
}

void CNetDoc::SpawnTimedVortexShield(uint64_t enemyId, float radius) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CVortexShield(NewObjectId(), enemyId, radius, kStaticShieldLifetime, true));
}

// The dead player's goods at the point (taken from the inventory).
void CNetDoc::SpawnBackPack(DPID owner, float x, float y, float z) {
  if (!g_pObjectManager) return;
  g_pObjectManager->AddObject(new CBackPack(owner, NewObjectId(), x, y, z));
}
