// Attack manoeuvres and pursuit: the planner's candidates round the enemy
// or its target by type, the shrinking radius of plans that find no room
// and their pause, and the chase along the trail.
#include <cmath>
#include <cstdlib>

#include "platform/crt_random.h"
#include "tests/game/enemy_combat_fixture.h"
#include "world/enemies/enemy_types.h"

namespace {

float Dist(Vec3 a, Vec3 b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

TEST_F(EnemyCombatTest, AFlierPlansWaypointsWithinItsScatteredRadius) {
  Start({"ship.3ds", "dw.3ds"});
  CrtSrand(11);
  // Clear of the ship's instance at the origin, which would push waypoints.
  CNewEnemy* ship = Spawn("ship 100 0 -100", "ship1");
  ASSERT_NE(ship, nullptr);
  const Vec3 p = ship->GetPosition();
  ship->StartManoeuvre(100, 0, 0);
  ASSERT_GE(ship->GetWaypointCount(), 2);
  EXPECT_LE(ship->GetWaypointCount(), 5);
  EXPECT_TRUE(ship->IsManoeuvring());
  EXPECT_EQ(ship->GetWaypointIndex(), 1);
  EXPECT_FLOAT_EQ(ship->GetWaypoint(0).z, p.z);
  // Round the ship itself: 60 x (0.5 .. 0.95) away.
  for (int i = 1; i < ship->GetWaypointCount(); ++i) {
    SCOPED_TRACE(i);
    const float d = Dist(ship->GetWaypoint(i), p);
    EXPECT_GE(d, 30.0f - 1e-3f);
    EXPECT_LE(d, 57.0f + 1e-3f);
  }
  // A dw: its radius is 40 whatever it is asked, round the target.
  CNewEnemy* dw = Spawn("dw -100 0 -100", "dw1");
  const Vec3 t{-100, 0, 0};
  dw->StartManoeuvre(t.x, t.y, t.z);
  ASSERT_EQ(dw->GetWaypointCount(), 2);
  // 40 from the target, give or take the push out of the hangar's walls
  // (a sphere of 1.2 r).
  EXPECT_NEAR(Dist(dw->GetWaypoint(1), t), 40.0f, 1.2f * dw->GetInstance()->radius + 1e-2f);
}

TEST_F(EnemyCombatTest, PlansWithNoRoomShrinkTheRadiusAndThenPause) {
  Start({"ship.3ds", "manta.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  // A target behind the level's wall: no candidate sees it.
  const float t[3] = {0, 0, -5000};
  // Each plan takes 0.1 off the scale; the eighth leaves 0.2 (less a
  // float's rounding), which still plans, and the ninth 0.1, which pauses.
  for (int plan = 1; plan <= 9; ++plan) {
    SCOPED_TRACE(plan);
    ship->PlanManoeuvre(t, 60);
    EXPECT_EQ(ship->GetWaypointCount(), 1);
    EXPECT_NEAR(ship->GetRadiusScale(), 1.0f - 0.1f * plan, 1e-4f);
  }
  // Paused: within 2000 ms even a good target plans nothing.
  const float good[3] = {0, 0, 40};
  EXPECT_NEAR(ship->GetRadiusScale(), 0.1f, 1e-4f);
  const float paused = ship->GetRadiusScale();
  Advance(1000);
  ship->PlanManoeuvre(good, 60);
  EXPECT_EQ(ship->GetWaypointCount(), 1);
  EXPECT_FLOAT_EQ(ship->GetRadiusScale(), paused);
  Advance(1001);
  ship->PlanManoeuvre(good, 60);
  EXPECT_GT(ship->GetWaypointCount(), 1);
  EXPECT_FLOAT_EQ(ship->GetRadiusScale(), 1.0f);
  // A turret draws nothing: its plan stays as it was.
  CNewEnemy* sentry = g_pEnemyManager->SpawnSentry(0, 60, 0, -60);
  ASSERT_NE(sentry, nullptr);
  sentry->PlanManoeuvre(good, 60);
  EXPECT_EQ(sentry->GetWaypointCount(), 0);
  EXPECT_FLOAT_EQ(sentry->GetRadiusScale(), 1.0f);
}

TEST_F(EnemyCombatTest, AChaseWithAnEmptyTrailGoesStraightForAClearTarget) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  EXPECT_EQ(ship->GetTrailCount(), 0);
  ship->ChaseTrail(0, 0, 40);
  EXPECT_TRUE(ship->IsChasing());
  EXPECT_FLOAT_EQ(ship->GetDestination().z, 40.0f);
  // With a trail: the newest point that sees the target is taken, and the
  // trail is emptied.
  for (float z : {-20.0f, 0.0f, 20.0f}) {
    Advance(1001);
    ship->TrackTarget(0, 0, z, g_GameTime);
  }
  ship->ChaseTrail(0, 0, 60);
  EXPECT_TRUE(ship->IsChasing());
  EXPECT_FLOAT_EQ(ship->GetDestination().z, 20.0f);
  EXPECT_EQ(ship->GetTrailCount(), 0);
}

}  // namespace
