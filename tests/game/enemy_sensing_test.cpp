// Enemies sense and take damage: detection within the fog's reach, line of
// sight with the trail of places the target was seen, the attack range a
// hit opens, a sentry's own target, armour, shields, boss parts that cannot
// die and shares of blasts.
#include <cmath>

#include "engine/depth_cue.h"
#include "tests/game/enemy_combat_fixture.h"
#include "world/enemies/enemy_types.h"

namespace {

TEST_F(EnemyCombatTest, DetectionStopsAtTheFogAndTheAnswerIsKeptWhileNothingMoves) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");  // detection range 400 in its row
  ASSERT_NE(ship, nullptr);
  ASSERT_GE(ship->GetDetectRange(), 350.0f);
  const float range = ship->GetDetectRange();
  const struct {
    float fog;
    float distance;
    bool seen;
  } cases[] = {
      {300, 290, true}, {300, 310, false},  // the fog nearer than the range limits it
      {-1, range - 5, true}, {-1, range + 5, false},
      {range + 100, range - 5, true},  // a fog beyond the range does not widen it
      {range + 100, range + 5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fog);
    SCOPED_TRACE(c.distance);
    DepthCueSet(0, c.fog);
    EXPECT_EQ(ship->InDetectRange(0, 0, -60 + c.distance), c.seen);
  }
  // The stored target point, the enemy at rest: the kept answer, whatever
  // the fog says now.
  DepthCueSet(0, 300);
  EXPECT_TRUE(ship->InDetectRange(0, 0, 201));
  ship->StoreTargetPoint(0, 0, 200);
  DepthCueSet(0, 100);
  EXPECT_TRUE(ship->InDetectRange(0, 0, 200));
  EXPECT_FALSE(ship->InDetectRange(0, 0, 201));
}

TEST_F(EnemyCombatTest, TheTrailKeepsTenPointsFiveUnitsApartAtMostOnePerSecond) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  // Points 3 units apart: every other one is dropped as too near the newest.
  float z = 0;
  for (int i = 0; i < 30; ++i) {
    Advance(1001);
    EXPECT_TRUE(ship->TrackTarget(0, 0, z, g_GameTime));
    z += 3.0f;
  }
  EXPECT_EQ(ship->GetTrailCount(), 10);
  // Newest first: 87 is 3 past 84, dropped; then 84, 78, ...
  EXPECT_FLOAT_EQ(ship->TrailPoint(0)[2], 84.0f);
  EXPECT_FLOAT_EQ(ship->TrailPoint(1)[2], 78.0f);
  EXPECT_EQ(ship->TrailPoint(10), nullptr);
  // Within a second of the last sample nothing is added.
  Advance(500);
  EXPECT_TRUE(ship->TrackTarget(0, 0, 200, g_GameTime));
  EXPECT_FLOAT_EQ(ship->TrailPoint(0)[2], 84.0f);
  // Behind a wall: no sight, no point.
  Advance(2000);
  EXPECT_FALSE(ship->TrackTarget(0, 0, -5000, g_GameTime));
  EXPECT_FALSE(ship->HasLineOfSight());
  EXPECT_FLOAT_EQ(ship->TrailPoint(0)[2], 84.0f);
}

TEST_F(EnemyCombatTest, ArmourStopsWeakHitsButAHitOpensTheAttackRange) {
  Start({}, [](DemoLevel* level) {
    level->instances.push_back({kDemoTankModel, {0, 90, 300}, {0, 0, 0}, 0.0f, "tank9", {{"level", "123"}}});
  });
  CNewEnemy* tank = g_pEnemyManager->FindByNamePrefix("tank9");
  ASSERT_NE(tank, nullptr);
  ASSERT_FLOAT_EQ(tank->GetArmour(), 5.0f);
  const float full = tank->GetHitPoints();
  EXPECT_FALSE(tank->InAttackRange(0, 90, 5000));
  EXPECT_FLOAT_EQ(tank->TakeDamage(5, 5, 0), full);
  EXPECT_TRUE(tank->WasHit());
  EXPECT_FALSE(tank->IsWobbling());
  EXPECT_TRUE(tank->InAttackRange(0, 90, 5000));
  EXPECT_FLOAT_EQ(tank->TakeDamage(6, 6, 0), full - 6);
  EXPECT_TRUE(tank->IsWobbling());
  EXPECT_FLOAT_EQ(tank->TakeDamage(0, 0, 0), full - 6);
  EXPECT_FALSE(tank->WasHit());
}

TEST_F(EnemyCombatTest, ADcRaisesItsShieldThreeTimesAndTakesNothingBehindIt) {
  Start({"dc.3ds", "ship.3ds", "fboss.3ds"});
  static int raised = 0;
  raised = 0;
  g_EnemyShieldRaiser = [](CNewEnemy*, float, int32_t ms, bool timed) {
    ++raised;
    return ms == (timed ? 2000 : 10000);
  };
  CNewEnemy* dc = Spawn("dc 0 0 -60", "dc1");
  ASSERT_NE(dc, nullptr);
  dc->SetHitPoints(1000);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    const float before = dc->GetHitPoints();
    dc->TakeDamage(10, 10, 0);
    EXPECT_FLOAT_EQ(dc->GetHitPoints(), before - 10);
    dc->TakeDamage(10, 10, 0);  // behind the shield, while charges lasted
    EXPECT_FLOAT_EQ(dc->GetHitPoints(), round < 3 ? before - 10 : before - 20);
    dc->ClearShieldFlags();  // the shield ends
  }
  EXPECT_EQ(raised, 3);
  EXPECT_EQ(dc->GetDcShieldCharges(), 0);
  // Another type raises its timed shield once per end, and only for a
  // shieldable hit.
  CNewEnemy* ship = Spawn("ship 0 0 60", "ship1");
  ASSERT_NE(ship, nullptr);
  raised = 0;
  ship->TakeDamage(1, 100, 0);
  EXPECT_EQ(raised, 0);
  ship->TakeDamage(1, 100, 1);
  ship->TakeDamage(1, 100, 1);
  EXPECT_EQ(raised, 1);
  // Without anyone to raise a shield no flag is set: the dc stays hurtable.
  g_EnemyShieldRaiser = nullptr;
  CNewEnemy* dc2 = Spawn("dc 60 0 -60", "dc2");
  const float before = dc2->GetHitPoints();
  dc2->TakeDamage(1, 100, 0);
  dc2->TakeDamage(1, 100, 0);
  EXPECT_FLOAT_EQ(dc2->GetHitPoints(), before - 2);
  EXPECT_EQ(dc2->GetDcShieldCharges(), 3);
  // An outer boss part cannot die from damage.
  CNewEnemy* part = Spawn("fboss -60 0 -60", "part");
  ASSERT_EQ(part->GetKind(), kKindFboss);
  EXPECT_FLOAT_EQ(part->TakeDamage(part->GetHitPoints() + 50, 1000, 0), 1.0f);
}

TEST_F(EnemyCombatTest, BlastSharesAtWorkedDistances) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  ship->GetInstance()->radius = 5.0f;
  // q = 1.1 d^2 against (R + r)^2 and r^2.
  const struct {
    float distance, radius, damage, share;
  } cases[] = {
      {0, 10, 40, -25 * 40 / 100.0f},  // within its own radius: 0 or below
      {6, 10, 40, 40},                 // 39.6 > 25: the full damage
      {4.7f, 10, 40, (1.1f * 4.7f * 4.7f - 25) * 40 / 100.0f},
      {14, 10, 40, 40},   // 215.6 < 225
      {14.5f, 10, 40, 0},  // 231.3 > 225
      {0, 0, 40, 0},       // no radius: nothing, no division
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance);
    EXPECT_NEAR(ship->SplashFactor(c.distance, 0, -60, c.radius, c.damage), c.share, 1e-3f);
  }
  // The energy pulse's column: full inside, shared by R / d to R + r,
  // nothing beyond; a column of no radius through the centre hurts fully.
  ship->SetHitPoints(100);
  const struct {
    float distance, radius, lost;
  } columns[] = {{3, 4, 10}, {8, 4, 5}, {9.5f, 4, 0}, {0, 0, 10}};
  for (const auto& c : columns) {
    SCOPED_TRACE(c.distance);
    const float before = ship->GetHitPoints();
    ship->SplashDamage(c.distance, -60, c.radius, 10, 100);
    EXPECT_FLOAT_EQ(before - ship->GetHitPoints(), c.lost);
  }
}

TEST_F(EnemyCombatTest, ASentryTargetsTheFirstSuitableEnemyAndHasNoTargetWithoutOne) {
  Start({"ship.3ds"});
  CNewEnemy* sentry = g_pEnemyManager->SpawnSentry(0, 0, 0, -60);
  ASSERT_NE(sentry, nullptr);
  // The level's own sentry aims at the local player.
  float x = 7, y = 7, z = 7;
  EXPECT_TRUE(sentry->GetTargetPos(&x, &y, &z));
  EXPECT_TRUE(sentry->HasTarget());
  const Vec3 p = PlayerPosition();
  EXPECT_FLOAT_EQ(x, p.x);
  EXPECT_FLOAT_EQ(z, p.z);
  // A player's sentry in single play: no enemy near, no target and the
  // outputs untouched.
  sentry->SetOwner(1234);
  x = y = z = 7;
  EXPECT_FALSE(sentry->GetTargetPos(&x, &y, &z));
  EXPECT_FALSE(sentry->HasTarget());
  EXPECT_FLOAT_EQ(x, 7.0f);
  // Two ships that can see it: the first in the list is taken.
  CNewEnemy* far = Spawn("ship 0 0 100", "far");
  CNewEnemy* near = Spawn("ship 0 0 -40", "near");
  ASSERT_NE(near, nullptr);
  EXPECT_TRUE(sentry->GetTargetPos(&x, &y, &z));
  EXPECT_TRUE(sentry->HasTarget());
  EXPECT_FLOAT_EQ(z, 100.0f);
  EXPECT_EQ(sentry->GetTargetKey(), far->GetId());
  // Other enemies have a target only by order.
  EXPECT_FALSE(near->GetTargetPos(&x, &y, &z));
  near->SetTargetPoint(1, 2, 3);
  EXPECT_TRUE(near->GetTargetPos(&x, &y, &z));
  EXPECT_FLOAT_EQ(y, 2.0f);
  near->SetEscort(far);
  EXPECT_TRUE(near->GetTargetPos(&x, &y, &z));
  EXPECT_FLOAT_EQ(z, 100.0f);
  far->GetInstance()->collidable = 0;
  EXPECT_FALSE(near->GetTargetPos(&x, &y, &z));
}

}  // namespace
