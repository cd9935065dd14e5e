// Manoeuvres: clearance between two points for the enemy's body, and the
// waypoint list the motion update flies; the candidates themselves are
// drawn by the pursuit (enemy_pursuit.cpp).
#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/instance.h"
#include "game/game_clock.h"
#include "platform/crt_random.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/collision_settings.h"

namespace {
constexpr int kPlanAttempts = 20;
constexpr int32_t kPlannerPauseMs = 2000;
// The radius scale falls in steps of 0.1 from 1; in floats eight steps land
// a little under 0.2. The scale's two thresholds allow for that, so the
// planner pauses after nine failed plans (at 0.1), not eight, and stops
// shrinking there.
constexpr float kScaleStep = 0.1f;
constexpr float kScaleSlack = 1e-4f;
bool ScaleBelowPause(float scale) { return scale < 2 * kScaleStep - kScaleSlack; }
bool ScaleCanShrink(float scale) { return scale > kScaleStep + kScaleSlack; }
}  // namespace

bool CNewEnemy::IsClear(const float* a, const float* b, const float* f, const float* s, const float* u) const {
  if (mode_ == kMoveStationary || mode_ == kMoveSentry) return false;
  World* world = instance_ ? instance_->world : nullptr;
  if (!world) return true;
  const float r = Radius();
  const float offsets[7][3] = {
      {0, 0, 0},
      {r * u[0], r * u[1], r * u[2]},
      {r * s[0], r * s[1], r * s[2]},
      {r * f[0], r * f[1], r * f[2]},
      {-r * s[0], -r * s[1], -r * s[2]},
      {-r * f[0], -r * f[1], -r * f[2]},
      {-r * u[0], -r * u[1], -r * u[2]},
  };
  const int probes = mode_ == kMoveFree ? 7 : 6;
  for (int k = 0; k < probes; ++k) {
    const float* o = offsets[k];
    if (WorldSegmentBlocked(world, a[0] + o[0], a[1] + o[1], a[2] + o[2], b[0] + o[0], b[1] + o[1], b[2] + o[2])) {
      return false;
    }
  }
  return true;
}

void CNewEnemy::StartManoeuvre(float x, float y, float z) {
  ClearWaypoints();
  const float t[3] = {x, y, z};
  PlanManoeuvre(t, 60.0f);
  if (waypointCount_ < 2) {
    FaceToward(x, y, z);
    return;
  }
  manoeuvring_ = 1;
  waypointIndex_ = 1;
  manoeuvreReserved_ = 0;
  manoeuvreLength_ = 2000 + CrtRand() % 3000;
  MoveTo(waypoints_[1][0], waypoints_[1][1], waypoints_[1][2], 0.0f, false);
}

void CNewEnemy::PlanManoeuvre(const float* t, float radius) {
  if (type_ == kKindBossa && bossStage_ == 1) return;
  // Stationary guns and sentries draw no candidates: their plan stays.
  if (mode_ == kMoveStationary || mode_ == kMoveSentry) return;
  const int32_t now = GetGameTime();
  if (ScaleBelowPause(radiusScale_)) {
    if (GameTimeSince(plannerPause_, now) <= kPlannerPauseMs) return;
    radiusScale_ = 1.0f;
  }
  if (type_ == kKindDw || type_ == kKindDrone2) {
    radius = 40.0f;
    radiusScale_ = 1.0f;
  } else if (type_ >= kKindFboss && type_ <= kKindFboss4) {
    radius = 30.0f;
  }
  const float j = radius * radiusScale_;
  float f[3], s[3], u[3];
  PlanBasis(t, f, s, u);
  for (int i = 0; i < 3; ++i) waypoints_[0][i] = pos_[i];
  waypointCount_ = 1;
  World* world = instance_ ? instance_->world : nullptr;
  const int wanted = waypointsWanted_ < kEnemyWaypoints ? waypointsWanted_ : kEnemyWaypoints;
  float lastAngle = 0.0f;
  bool middleUsed = false;
  for (int attempt = 0; attempt < kPlanAttempts && waypointCount_ < wanted; ++attempt) {
    float c[3], angle = 0.0f;
    if (!DrawCandidate(t, j, f, s, u, waypointCount_, lastAngle, &middleUsed, c, &angle)) continue;
    const float* last = waypoints_[waypointCount_ - 1];
    const bool free = !world || (!WorldSegmentBlocked(world, c[0], c[1], c[2], t[0], t[1], t[2]) &&
                                 !WorldSegmentBlocked(world, t[0], t[1], t[2], c[0], c[1], c[2]));
    if (free && IsClear(c, last, f, s, u) && IsClear(last, c, f, s, u) && IsClear(c, waypoints_[0], f, s, u)) {
      for (int i = 0; i < 3; ++i) waypoints_[waypointCount_][i] = c[i];
      ++waypointCount_;
      lastAngle = angle;
    }
  }
  if (waypointCount_ > 1) {
    radiusScale_ = 1.0f;
  } else {
    if (ScaleCanShrink(radiusScale_)) radiusScale_ -= kScaleStep;
    if (ScaleBelowPause(radiusScale_)) plannerPause_ = now;
  }
  manoeuvreDone_ = 0;
}

void CNewEnemy::NextWaypoint(float x, float y, float z, int32_t now) {
  if (waypointCount_ < 2) return;
  int32_t interval = 250;
  switch (type_) {
    case 20: case 23: case 25: case 26: case 27: case 33: case 35: case 36: case 37:
      interval = 1000;
      break;
    default:
      break;
  }
  if (type_ == kKindDgh) {
    const EnemyTypeParams& row = g_EnemyTypeParams[type_];
    if (waypointIndex_ == 1) maxSpeed_ = 4.0f * row.speed, acceleration_ = 10.0f * row.acceleration;
    if (waypointIndex_ == 2) maxSpeed_ = row.speed, acceleration_ = row.acceleration;
  }
  const bool within = waypointIndex_ < waypointCount_;
  if (type_ == kKindTank || type_ == kKindGb || type_ == kKindTankm) {
    if (within && angle_[1] == targetAngle_[1] && moveDir_[0] == 0.0f && moveDir_[1] == 0.0f &&
        moveDir_[2] == 0.0f) {
      const float* w = waypoints_[waypointIndex_];
      MoveTo(w[0], w[1], w[2], 0.0f, false);
    }
  } else if (mode_ == kMoveFree || mode_ == kMoveTerrain || type_ == kKindBossa) {
    if (GameTimeSince(lineOfFireStamp_, now) > interval) FaceToward(x, y, z);
  }
  if (within && AtPoint(waypoints_[waypointIndex_])) {
    ++waypointIndex_;
    if (waypointIndex_ < waypointCount_) {
      const float* w = waypoints_[waypointIndex_];
      MoveTo(w[0], w[1], w[2], 0.0f, false);
      return;
    }
    if (crashing_ && (type_ == kKindManta || type_ == kKindDrone2)) {
      hitPoints_ = -1.0f;
      return;
    }
    manoeuvreDone_ = 1;
    if (type_ == kKindBossa) bossStage_ = 1;
    return;
  }
  if (!IsMoving() && waypointIndex_ < waypointCount_) {
    chasing_ = 1;
    const float* w = waypoints_[waypointIndex_];
    MoveTo(w[0], w[1], w[2], 0.0f, false);
    chasing_ = 0;
  }
}
