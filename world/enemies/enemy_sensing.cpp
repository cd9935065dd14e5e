// What an enemy knows of its target: where it is, whether the enemy sees
// it (with the trail of places it was seen at, for the pursuit), whether it
// is near enough to notice or to attack, and the targets the level script
// orders.
#include <cstring>

#include "engine/collision.h"
#include "engine/depth_cue.h"
#include "engine/instance.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "world/document/hud_targets.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"

namespace {
constexpr int32_t kTrailSampleMs = 1000;
constexpr int32_t kStationarySampleMs = 50;
constexpr float kTrailMinDistanceSq = 25.0f;

float DistanceSq(const float* a, const float* b) {
  const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  return dx * dx + dy * dy + dz * dz;
}
}  // namespace

bool CNewEnemy::GetTargetPos(float* x, float* y, float* z) {
  if (type_ != kKindSentry) {
    if (!orderedTarget_) return false;
    if (CNewEnemy* target = Live(attackTargetId_)) {
      if (!target->instance_ || !target->instance_->collidable) return false;
      *x = target->pos_[0], *y = target->pos_[1], *z = target->pos_[2];
      return true;
    }
    *x = targetPoint_[0], *y = targetPoint_[1], *z = targetPoint_[2];
    return true;
  }
  targetFound_ = 0;
  CNetDoc* doc = GetNetDoc();
  if (ownerId_ != 0) {
    if (IsNetworkGame()) {
      CDirectPlayer* player =
          doc ? doc->FindNearestVisiblePlayer(pos_[0], pos_[1], pos_[2], detectRange_ * detectRange_) : nullptr;
      if (!player) return false;  // nothing to shoot at: no stale point
      player->GetPosition(x, y, z);
      targetKey_ = PlayerTargetKey(player);
    } else {
      CNewEnemy* enemy = g_pEnemyManager ? g_pEnemyManager->FindHitByPoint(pos_[0], pos_[1], pos_[2]) : nullptr;
      if (!enemy) return false;
      *x = enemy->pos_[0], *y = enemy->pos_[1], *z = enemy->pos_[2];
      targetKey_ = enemy->id_;
    }
  } else {
    CDirectPlayer* player = doc ? doc->GetLocalPlayer() : nullptr;
    if (!player) return false;
    player->GetPosition(x, y, z);
    targetKey_ = PlayerTargetKey(player);
  }
  targetFound_ = 1;
  return true;
}

bool CNewEnemy::IsOwnedLocally() const {
  if (!IsNetworkGame()) return true;
  CNetDoc* doc = GetNetDoc();
  CDirectPlayer* local = doc ? doc->GetLocalPlayer() : nullptr;
  return local && local->GetId() == ownerId_;
}

bool CNewEnemy::TrackTarget(float x, float y, float z, int32_t now) {
  World* world = instance_ ? instance_->world : nullptr;
  const bool seen = !world || !WorldSegmentBlocked(world, pos_[0], pos_[1], pos_[2], x, y, z);
  lineOfSight_ = seen ? 1 : 0;
  if (!seen) return false;
  if (mode_ == kMoveStationary) {
    if (GameTimeSince(trailSample_, now) > kStationarySampleMs) trailSample_ = now;
    return true;
  }
  if (GameTimeSince(trailSample_, now) <= kTrailSampleMs) return true;
  const float t[3] = {x, y, z};
  const int newest = (trailHead_ + kEnemyTrailPoints - 1) % kEnemyTrailPoints;
  if (trailCount_ == 0 || DistanceSq(trail_[newest], t) > kTrailMinDistanceSq) {
    std::memcpy(trail_[trailHead_], t, sizeof t);
    if (trailCount_ < kEnemyTrailPoints) ++trailCount_;
    trailHead_ = (trailHead_ + 1) % kEnemyTrailPoints;
  }
  trailSample_ = now;
  return true;
}

bool CNewEnemy::InDetectRange(float x, float y, float z) {
  float range = detectRange_;
  const float fog = DepthCueFar();
  if (fog > 0.0f && fog <= range) range = fog;
  if (x == targetPoint_[0] && y == targetPoint_[1] && z == targetPoint_[2] && !IsMoving()) return detectAnswer_ != 0;
  const float t[3] = {x, y, z};
  detectAnswer_ = DistanceSq(t, pos_) < range * range ? 1 : 0;
  return detectAnswer_ != 0;
}

bool CNewEnemy::InAttackRange(float x, float y, float z) {
  if (hitThisFrame_) {
    attackAnswer_ = 1;
  } else {
    const float t[3] = {x, y, z};
    attackAnswer_ = DistanceSq(t, pos_) < attackRange_ * attackRange_ ? 1 : 0;
  }
  return attackAnswer_ != 0;
}

void CNewEnemy::SetTargetPoint(float x, float y, float z) {
  StoreTargetPoint(x, y, z);
  orderedTarget_ = 1;
}

void CNewEnemy::SetEscort(CNewEnemy* enemy) {
  if (!enemy || !g_pEnemyManager || !g_pEnemyManager->IsEnemy(enemy)) return;
  ClearPath();
  attackTargetId_ = enemy->id_;
  enemy->backLinkId_ = id_;
  orderedTarget_ = 1;
}

void CNewEnemy::SetEscortBackLink(CNewEnemy* enemy) { backLinkId_ = enemy ? enemy->id_ : 0; }

const float* CNewEnemy::TrailPoint(int newestBack) const {
  if (newestBack < 0 || newestBack >= trailCount_) return nullptr;
  return trail_[(trailHead_ + 2 * kEnemyTrailPoints - 1 - newestBack) % kEnemyTrailPoints];
}
