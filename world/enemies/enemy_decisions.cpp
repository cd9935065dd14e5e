// The enemy manager's frame: for every enemy, its target and the decision
// of its group (aim and fire, flee, face and fire, approach and manoeuvre),
// then its motion; then the satellite strikes, the boss sequence and the
// removal of the dead with their explosions, debris and death events.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/model.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "platform/ascii.h"
#include "platform/debug_output.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/enemies/satellite.h"
#include "world/paths/path_manager.h"

namespace {

constexpr float kRiseHeight = 50.0f;
constexpr float kSprayDepth = 200.0f;
constexpr uint32_t kSprayBlue = 100u | (100u << 8) | (255u << 16);
constexpr uint32_t kSprayRed = 255u | (100u << 8) | (100u << 16);
constexpr uint32_t kSprayGreen = 100u | (255u << 8) | (100u << 16);

enum class Group { kGun, kVehicle, kCore, kSentry, kAttacker };

Group GroupOf(int type) {
  switch (type) {
    case 0: case 1: case 2: case 3: case 4: case 29: case 31: case 34:
      return Group::kGun;
    case 6: case 7: case 8: case 9: case 10: case 11:
      return Group::kVehicle;
    case kKindFboss5:
      return Group::kCore;
    case kKindSentry:
      return Group::kSentry;
    default:
      return Group::kAttacker;
  }
}

bool AimsParts(int type) {
  return type == kKindTank || type == kKindGb || type == kKindVardik || type == kKindAc || type == kKindTankm ||
         type == kKindThunder;
}

void DecideGun(CNewEnemy* e, Vec3 t, int32_t now) {
  e->SetBusy(false);
  if (e->WasHit() || (e->InDetectRange(t.x, t.y, t.z) && e->TrackTarget(t.x, t.y, t.z, now) &&
                      e->InAttackRange(t.x, t.y, t.z))) {
    e->AimAt(t.x, t.y, t.z);
    e->TurnParts(now);
    e->Fire(now);
    e->SetBusy(true);
  }
}

void DecideVehicle(CNewEnemy* e, Vec3 t, int32_t now) {
  if (e->IsFollowingPath()) return;
  if (e->InDetectRange(t.x, t.y, t.z) && e->TrackTarget(t.x, t.y, t.z, now) && e->IsFearful()) {
    if (CNewPath* path = g_pPathMgr ? g_pPathMgr->FindPath(e->GetFearName()) : nullptr) e->FollowPath(path, 0);
  }
}

void DecideCore(CNewEnemy* e, Vec3 t, int32_t now) {
  if (e->InDetectRange(t.x, t.y, t.z) && e->TrackTarget(t.x, t.y, t.z, now) && e->InAttackRange(t.x, t.y, t.z)) {
    e->Fire(now);
  }
}

void DecideSentry(CNewEnemy* e, Vec3 t, int32_t now) {
  if (e->IsOwnedLocally() && e->HasTarget() && e->InDetectRange(t.x, t.y, t.z) && e->TrackTarget(t.x, t.y, t.z, now)) {
    e->FaceToward(t.x, t.y, t.z);
    if (e->InAttackRange(t.x, t.y, t.z)) e->Fire(now);
  }
}

// One spray particle below a surfacing enemy, coloured by the surface under
// it (water or none blue, lava red, sludge green).
void Spray(CNewEnemy* e) {
  CNetDoc* doc = GetNetDoc();
  const Instance* instance = e->GetInstance();
  if (!doc || !instance) return;
  const int r = static_cast<int>(instance->radius);
  const float x = e->GetX(), y = e->GetY(), z = e->GetZ();
  int kind = 0;
  if (World* world = doc->GetWorld()) {
    float ex = x, ey = y + kSprayDepth, ez = z;
    if (CollideSegment(world, x, y, z, &ex, &ey, &ez)) {
      if (WorldPolygon* polygon = CollideLastHit()) kind = GetSurfaceType(polygon);
    }
  }
  const uint32_t colour = kind == 2 ? kSprayRed : kind == 3 ? kSprayGreen : kSprayBlue;
  // A body under one unit across has no room to scatter the spray.
  const float ox = r >= 1 ? static_cast<float>(CrtRand() % r) : 0.0f;
  const float oz = r >= 1 ? static_cast<float>(CrtRand() % r) : 0.0f;
  doc->SpawnTracer(0, x + ox, y, z + oz, 0.0f, 0.0f, 0.0f, colour, 5.0f, false);
}

void DecideAttacker(CNewEnemy* e, Vec3 t, int32_t now) {
  if (e->IsBossStage() || e->GetPathMode() != 0 || e->IsFalling() || e->IsDying() || e->IsCrashing()) return;
  const bool aimsParts = AimsParts(e->GetKind());
  if (e->InDetectRange(t.x, t.y, t.z)) {
    if (e->IsManoeuvring() && e->IsManoeuvreDone()) {
      e->ClearWaypoints();
      e->StartManoeuvre(t.x, t.y, t.z);
    }
    switch (e->GetCollisionState()) {
      case 2:
        if (e->TrackTarget(t.x, t.y, t.z, now)) {
          e->ClearPath();
          if (aimsParts) e->AimAt(t.x, t.y, t.z);
          if (e->InAttackRange(t.x, t.y, t.z)) {
            e->StopChase();
            e->TurnParts(now);
            e->Fire(now);
            if (!e->IsManoeuvring() && !e->HasEscortTarget()) e->StartManoeuvre(t.x, t.y, t.z);
          }
        } else if (e->IsManoeuvring()) {
          e->ChaseTrail(t.x, t.y, t.z);
        } else if (e->WasHit()) {
          e->StartManoeuvre(t.x, t.y, t.z);
        }
        break;
      case 0:
        if (e->TrackTarget(t.x, t.y, t.z, now)) {
          e->SetCollisionState(1);
          e->MoveTo(e->GetX(), e->GetY() - kRiseHeight, e->GetZ(), 0.0f, true);
        }
        break;
      default:
        if (e->IsMoving()) {
          Spray(e);
        } else {
          e->SetCollisionState(2);
        }
        break;
    }
    return;
  }
  if (e->WasHit()) {
    if (e->TrackTarget(t.x, t.y, t.z, now)) {
      if (aimsParts) {
        e->AimAt(t.x, t.y, t.z);
      } else {
        e->FaceToward(t.x, t.y, t.z);
      }
      e->TurnParts(now);
      e->Fire(now);
    }
    e->ChaseTrail(t.x, t.y, t.z);
  }
  if (e->IsChasing() && !e->IsMoving()) {
    e->ChaseTrail(t.x, t.y, t.z);
  } else if (e->HasOrderedTarget() || e->IsManoeuvring()) {
    e->ChaseTrail(t.x, t.y, t.z);
  }
}

}  // namespace

void CEnemyAI::Decide(CNewEnemy* enemy, Vec3 target, int32_t now) {
  if (enemy->GetKind() > 39) return;
  switch (GroupOf(enemy->GetKind())) {
    case Group::kGun:
      DecideGun(enemy, target, now);
      break;
    case Group::kVehicle:
      DecideVehicle(enemy, target, now);
      break;
    case Group::kCore:
      DecideCore(enemy, target, now);
      break;
    case Group::kSentry:
      DecideSentry(enemy, target, now);
      break;
    case Group::kAttacker:
      DecideAttacker(enemy, target, now);
      break;
  }
}

void CEnemyAI::Update() {
  const int32_t now = GetGameTime();
  updated_ = 1;
  updateTime_ = now;
  CNetDoc* doc = GetNetDoc();
  CDirectPlayer* player = doc ? doc->GetLocalPlayer() : nullptr;
  bool havePlayer = player != nullptr;
  Vec3 playerPos{0, 0, 0};
  if (player) player->GetPosition(&playerPos.x, &playerPos.y, &playerPos.z);
  const bool onlyMotion = (doc && doc->IsCustomCameraActive()) || (player && player->IsDead());
  // Each enemy is looked up again by id: decisions spawn drones and
  // sentries, and a path node's event may remove enemies.
  std::vector<uint64_t> ids;
  for (CNewEnemy* enemy : Enemies()) ids.push_back(enemy->GetId());
  for (uint64_t id : ids) {
    CNewEnemy* enemy = FindByKey(id);
    if (!enemy) continue;
    // Without a decision the motion still gets a sound target: the local
    // player, or the enemy's own last target point.
    Vec3 target = havePlayer ? playerPos : enemy->GetTargetPoint();
    if (!enemy->IsStopped() && !onlyMotion) {
      Vec3 t;
      const bool confirmed = enemy->GetTargetPos(&t.x, &t.y, &t.z) &&
                             (enemy->InDetectRange(t.x, t.y, t.z) || enemy->TrackTarget(t.x, t.y, t.z, now));
      if (confirmed) target = t;
      enemy->SetAttackEscort(confirmed);
      Decide(enemy, target, now);
      enemy = FindByKey(id);
      if (!enemy) continue;
    }
    enemy->UpdateMotion(target.x, target.y, target.z, now);
  }
  // The strikes hunt the local player, whatever enemy was decided last.
  if (g_pSatellite && havePlayer) g_pSatellite->Update(playerPos.x, playerPos.y, playerPos.z, now);
  UpdateBoss();
  ProcessDead();
}

void CEnemyAI::ExplodeEnemy(CNewEnemy* enemy) {
  CNetDoc* doc = GetNetDoc();
  const Instance* instance = enemy->GetInstance();
  const float r = instance ? instance->radius : 0.0f;
  int n = static_cast<int>((2.0f * r) * (2.0f * r) * 0.005f);
  n = n < 1 ? 1 : n > 10 ? 10 : n;
  const float x = enemy->GetX(), y = enemy->GetY(), z = enemy->GetZ();
  if (doc) {
    const float damage = enemy->GetMovementMode() == kMoveStationary ? 10.0f : 100.0f;
    doc->SpawnExplosion(0, x, y, z, 1.25f * r, damage, true, false, static_cast<uint8_t>((CrtRand() & 1) * 2), 0);
    const int span = static_cast<int>(2.0f * r);
    for (int i = 1; i < n; ++i) {
      float offset[3];
      // A body under half a unit has no span to scatter over.
      for (float& o : offset) o = span > 0 ? r - static_cast<float>(CrtRand() % span) : 0.0f;
      const uint8_t variant = static_cast<uint8_t>((CrtRand() & 1) * 2);
      doc->SpawnExplosion(0, x + offset[0], y + offset[1], z + offset[2], 1.25f * r, 0.0f, false, true, variant,
                          static_cast<uint32_t>(CrtRand() % 1000));
    }
  }
  enemy->MarkDying();
}

void CEnemyAI::ProcessDead() {
  // Collected first: a death event may remove other enemies.
  std::vector<uint64_t> dead;
  for (CNewEnemy* enemy : Enemies()) {
    if (enemy->GetHitPoints() < 0.0f && !enemy->IsFalling()) dead.push_back(enemy->GetId());
  }
  CNetDoc* doc = GetNetDoc();
  for (uint64_t id : dead) {
    CNewEnemy* enemy = FindByKey(id);
    if (!enemy) continue;
    Instance* instance = enemy->GetInstance();
    if (enemy->GetKind() == kKindThunder) {
      if (doc) {
        doc->SpawnBigExplosion(0, enemy->GetX(), enemy->GetY(), enemy->GetZ());
        doc->SpawnDebris(0, enemy->GetX(), enemy->GetY(), enemy->GetZ(), enemy->GetModelName(),
                         instance ? instance->matrix : nullptr, false);
      }
      RemoveEnemy(instance);
      continue;
    }
    if (!enemy->IsDying()) {
      ExplodeEnemy(enemy);
      continue;
    }
    if (!enemy->DyingDelayOver()) continue;
    if (AsciiCompareNoCase(enemy->GetModelName(), "sentry.3ds") != 0) ++killed_;
    // Whole-program runs read what became of the enemies, and what killed
    // them when the manager saw it.
    static const char* const kKillers[] = {nullptr, "the ship's shot", "another shot", "a blast"};
    char line[160];
    if (const char* by = kKillers[static_cast<int>(enemy->GetKiller())]) {
      std::snprintf(line, sizeof line, "korvane: enemy %s killed by %s\n", enemy->GetModelName(), by);
      OutputDebugString(line);
    }
    std::snprintf(line, sizeof line, "korvane: enemy %s destroyed: %d of %d killed\n", enemy->GetModelName(),
                  killed_, total_);
    OutputDebugString(line);
    if (doc) {
      doc->SpawnDebris(0, enemy->GetX(), enemy->GetY(), enemy->GetZ(), enemy->GetModelName(),
                       instance ? instance->matrix : nullptr, false);
    }
    if (bossIds_[3] == id) bossIds_[3] = 0;
    RemoveEnemy(instance);
  }
}
