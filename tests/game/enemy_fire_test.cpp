// Enemy weapons: each fire routine's start point, speed and cool-down, the
// firing patterns of the types (alternating muzzles, fans, bursts, one-shot
// sentries, reach limits), drone launches and the line of fire.
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/collision.h"
#include "platform/crt_random.h"
#include "tests/game/enemy_combat_fixture.h"
#include "world/enemies/enemy_types.h"
#include "world/objects/object_manager.h"

namespace {

float Dist(Vec3 a, Vec3 b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z)); }

TEST_F(EnemyCombatTest, EachFireRoutineLeavesItsStartPointAtItsSpeedAndWaitsItsInterval) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  ship->SetLineOfSight(true);
  const float r = ship->GetInstance()->radius;
  const Vec3 o{0, 0, -60}, d{0, 0, 1};
  struct Case {
    EnemyShot shot;
    int weapon;
    float ahead;  // start = o + ahead d
    float speed;
    std::function<bool(int32_t)> fire;
  };
  const Case cases[] = {
      {EnemyShot::kHitscan, 0, 1.3f * r, 1, [&](int32_t t) { return ship->FireHitscanShot(o, t); }},
      {EnemyShot::kRocket, 6, 1.2f * (r + 3.6f), 130, [&](int32_t t) { return ship->FireRocket(o, t); }},
      {EnemyShot::kHoming, 7, 1.2f * (r + 3.6f), 110, [&](int32_t t) { return ship->FireHomingMissile(o, d, t, 5); }},
      {EnemyShot::kRubberBall, 5, 1.3f * r, 185, [&](int32_t t) { return ship->FireRubberBall(o, d, t); }},
      {EnemyShot::kLightBullet, 1, 1.3f * r, 150, [&](int32_t t) { return ship->FireLightBullet(o, d, t); }},
      {EnemyShot::kHeavyBullet, 2, 1.3f * r, 150, [&](int32_t t) { return ship->FireHeavyBullet(o, d, t); }},
      {EnemyShot::kSlug, 12, 1.3f * r, 100, [&](int32_t t) { return ship->FireSlug(o, d, t); }},
      {EnemyShot::kHeavyFireBall, 4, 1.3f * r, 300, [&](int32_t t) { return ship->FireHeavyFireBall(o, d, t); }},
      {EnemyShot::kLightFireBall, 3, 1.3f * r, 300, [&](int32_t t) { return ship->FireLightFireBall(o, d, t); }},
      {EnemyShot::kArc, 10, 0, 1, [&](int32_t t) { return ship->FireArc(o, d, t); }},
  };
  // The homing missile needs ammunition: the ship's row has none.
  EXPECT_FALSE(ship->FireHomingMissile(o, d, g_GameTime, 5));
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.shot));
    RecordedShots().clear();
    ASSERT_TRUE(c.shot == EnemyShot::kHoming || c.fire(g_GameTime));
    if (c.shot == EnemyShot::kHoming) continue;
    ASSERT_EQ(RecordedShots().size(), 1u);
    const RecordedShot& shot = RecordedShots()[0];
    EXPECT_EQ(shot.shot, c.shot);
    EXPECT_NEAR(shot.start.z, -60 + c.ahead, 1e-3f);
    EXPECT_NEAR(shot.velocity.z, c.speed, 1e-3f);
  }
  // The cool-down: a stamp in the past by no more than the interval holds
  // the routine, by more lets it go. The patterns set the stamps; here the
  // rocket's stamp is set the way the tank's pattern sets it.
  CNewEnemy* tank = nullptr;
  (void)tank;
  EXPECT_GT(g_EnemyWeapons[6].intervalMs, 0);
}

// The balls leave at their speed, not at one unit a second: fired at the
// ship 60 units off, each reaches it within a fifth of a second and takes
// its own damage from the shields.
TEST_F(EnemyCombatTest, AnEnemysBallsReachTheShipAtOnceAndTakeTheirDamage) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ASSERT_NE(ship, nullptr);
  ship->SetLineOfSight(true);
  CDirectPlayer* player = doc_->GetLocalPlayer();
  ASSERT_NE(player, nullptr);
  const Vec3 o{0, 0, -60}, d{0, 0, 1};
  struct Case {
    const char* what;
    float damage;
    std::function<bool(int32_t)> fire;
  };
  const Case cases[] = {
      {"heavy fireball", 12, [&](int32_t t) { return ship->FireHeavyFireBall(o, d, t); }},
      {"light fireball", 8, [&](int32_t t) { return ship->FireLightFireBall(o, d, t); }},
      {"rubber ball", 15, [&](int32_t t) { return ship->FireRubberBall(o, d, t); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Advance(2000);
    const float before = player->GetShields();
    ASSERT_TRUE(c.fire(g_GameTime));
    for (int step = 0; step < 10; ++step) g_pObjectManager->Update(20);
    EXPECT_FLOAT_EQ(player->GetShields(), before - c.damage);
  }
}

// Every kind of shot tells the enemy it kills who fired it: the local
// ship, or another shooter (here a second enemy).
TEST_F(EnemyCombatTest, EveryKindOfShotThatKillsAnEnemySaysWhetherTheShipFiredIt) {
  Start({"ship.3ds"});
  CNewEnemy* target = Spawn("ship 0 0 -60", "target");
  CNewEnemy* other = Spawn("ship 100 0 0", "other");
  ASSERT_TRUE(target && other);
  // Sorted into the level's tree, as the ship is, for the rays to meet it.
  InstanceUpdateMatrix(target->GetInstance());
  for (InstanceNode* node = InstanceFirstNode(target->GetInstance()); node; node = node->nextSibling) {
    InstanceNodeUpdate(node, 0.0f);
  }
  Instance* ship = doc_->GetPlayerShip();
  struct Case {
    const char* what;
    std::function<void(Instance*)> fire;  // from the origin toward -z
  };
  const Case cases[] = {
      {"hitscan", [&](Instance* from) { doc_->FireHitscan(0, from, 0, 0, -20, 0, 0, -200, 5.0f); }},
      {"bullet", [&](Instance* from) { doc_->FireBullet(0, from, 0, 0, -20, 0, 0, -750, 5.0f, 0); }},
      {"fireball", [&](Instance* from) { doc_->SpawnFireBall(0, from, 0, 0, -20, 0, 0, -750, 0, 5.0f); }},
      {"rubber ball", [&](Instance* from) { doc_->SpawnRubberBall(0, from, 0, 0, -20, 0, 0, -500, 5.0f); }},
  };
  for (const Case& c : cases) {
    for (Instance* from : {ship, other->GetInstance()}) {
      SCOPED_TRACE(std::string(c.what) + (from == ship ? " by the ship" : " by another"));
      target->SetHitPoints(1.0f);
      target->SetKiller(EnemyKiller::Unknown);
      c.fire(from);
      for (int step = 0; step < 10; ++step) g_pObjectManager->Update(20);
      EXPECT_LT(target->GetHitPoints(), 0.0f);
      EXPECT_EQ(target->GetKiller(), from == ship ? EnemyKiller::Ship : EnemyKiller::OtherShot);
    }
  }
}

TEST_F(EnemyCombatTest, ADroneFiresThreeShotsLeftAndRightThenPausesForItsBurst) {
  Start({"dw.3ds"});
  CNewEnemy* dw = Spawn("dw 0 0 -70", "dw1");
  ASSERT_NE(dw, nullptr);
  ASSERT_EQ(dw->GetKind(), kKindDw);
  CrtSrand(7);
  // Three shots (each as soon as its hitscan stamp allows), then a pause of
  // 1200 ms at least after the third shot's burst stamp.
  std::vector<int32_t> times;
  for (int i = 0; i < 400 && times.size() < 4; ++i) {
    Advance(10);
    dw->SetLineOfSight(true);
    const size_t before = RecordedShots().size();
    dw->Fire(g_GameTime);
    if (RecordedShots().size() > before) times.push_back(g_GameTime);
  }
  ASSERT_EQ(times.size(), 4u);
  ASSERT_EQ(Count(EnemyShot::kHitscan), 4);
  // Alternating sides: x of the start changes sign each shot.
  const auto& shots = RecordedShots();
  EXPECT_LT(shots[0].start.x * shots[1].start.x, 0.0f);
  EXPECT_LT(shots[1].start.x * shots[2].start.x, 0.0f);
  EXPECT_GE(times[3] - times[2], 1200);
  EXPECT_LE(times[3] - times[2], 1200 + 1000 + 1000 + 20);
  EXPECT_EQ(dw->GetShotCounter(), 4);
}

TEST_F(EnemyCombatTest, AStrikerFiresAFanOfThreeFireballs) {
  Start({"ss2.3ds"});
  CNewEnemy* striker = Spawn("ss2 0 0 -70", "st1");
  ASSERT_NE(striker, nullptr);
  ASSERT_EQ(striker->GetKind(), 17);
  CrtSrand(3);
  striker->SetLineOfSight(true);
  striker->Fire(g_GameTime);
  ASSERT_EQ(Count(EnemyShot::kLightFireBall), 3);
  const auto& s = RecordedShots();
  // The first along the gun; each further one 0.1 rad about each of two
  // axes away from the one before.
  const Vec3 d0 = s[0].velocity, d1 = s[1].velocity, d2 = s[2].velocity;
  auto angle = [](Vec3 a, Vec3 b) {
    const float c = (a.x * b.x + a.y * b.y + a.z * b.z) / (300.0f * 300.0f);
    return std::acos(std::fmax(-1.0f, std::fmin(1.0f, c)));
  };
  EXPECT_NEAR(d0.z, 300.0f, 1e-2f);
  EXPECT_NEAR(angle(d0, d1), std::acos(std::cos(0.1f) * std::cos(0.1f)), 2e-3f);
  // The third: one more such turn from the second (its signs may undo the
  // first turn).
  EXPECT_NEAR(angle(d1, d2), std::acos(std::cos(0.1f) * std::cos(0.1f)), 0.01f);
  // All from one muzzle point: each start lies 1.3 r along its own ball.
  const float k = 1.3f * striker->GetInstance()->radius / 300.0f;
  for (const RecordedShot& shot : s) {
    EXPECT_NEAR(shot.start.x - k * shot.velocity.x, s[0].start.x - k * s[0].velocity.x, 1e-3f);
    EXPECT_NEAR(shot.start.z - k * shot.velocity.z, s[0].start.z - k * s[0].velocity.z, 1e-3f);
  }
}

TEST_F(EnemyCombatTest, ASentryFiresOneHomingMissileAndIsThenDestroyed) {
  Start();
  CNewEnemy* sentry = g_pEnemyManager->SpawnSentry(0, 0, 0, -60);
  ASSERT_NE(sentry, nullptr);
  float x, y, z;
  ASSERT_TRUE(sentry->GetTargetPos(&x, &y, &z));
  // A new sentry waits one missile interval.
  sentry->SetLineOfSight(true);
  sentry->Fire(g_GameTime);
  EXPECT_EQ(Count(EnemyShot::kHoming), 0);
  Advance(g_EnemyWeapons[7].intervalMs + 1);
  sentry->Fire(g_GameTime);
  EXPECT_EQ(Count(EnemyShot::kHoming), 1);
  EXPECT_FLOAT_EQ(sentry->GetHitPoints(), -1.0f);
  Advance(5000);
  sentry->Fire(g_GameTime);
  EXPECT_EQ(Count(EnemyShot::kHoming), 1);
}

TEST_F(EnemyCombatTest, SlugsGoOnlyAtWhatTheGunRayMeetsWithinItsReach) {
  Start({"dgh.3ds"});
  // The ship waits at the origin; 30 units off the drone holds its fire,
  // about 20 units off it fires.
  const struct {
    float z;
    int slugs;
  } cases[] = {{-30 - 19.76f, 0}, {-4 - 19.76f, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.z);
    RecordedShots().clear();
    char text[64];
    std::snprintf(text, sizeof text, "dgh 0 0 %f", c.z);
    CNewEnemy* dgh = Spawn(text, "dgh1");
    ASSERT_NE(dgh, nullptr);
    ASSERT_EQ(dgh->GetKind(), kKindDgh);
    Advance(2500);
    dgh->SetLineOfSight(true);
    dgh->Fire(g_GameTime);
    EXPECT_EQ(Count(EnemyShot::kSlug), c.slugs);
    g_pEnemyManager->RemoveEnemy(dgh->GetInstance());
  }
}

TEST_F(EnemyCombatTest, ATanksRocketLeavesAheadAndAboveAndNotFromInsideAWall) {
  Start({}, [](DemoLevel* level) {
    level->instances.push_back({kDemoTankModel, {0, 90, 300}, {0, 0, 0}, 0.0f, "tank9", {{"level", "123"}}});
  });
  CNewEnemy* tank = g_pEnemyManager->FindByNamePrefix("tank9");
  ASSERT_NE(tank, nullptr);
  tank->SetLineOfSight(true);
  // Settings an earlier query may have left change nothing (and stay).
  CollideSetMode(kCollideInstancesOnly);
  g_CollidePushOut = 0;
  g_CollideVerticalScale = 0.25f;
  // From a little above its body (its own wheels stand close to the floor).
  const Vec3 p{tank->GetX(), tank->GetY() - 20, tank->GetZ()};
  ASSERT_TRUE(tank->FireRocket(p, g_GameTime));
  float dx, dy, dz, ux, uy, uz;
  tank->GetMuzzleDir(&dx, &dy, &dz);
  tank->GetUpDir(&ux, &uy, &uz);
  const float k = 1.2f * (tank->GetInstance()->radius + 3.6f);
  const Vec3 start = RecordedShots().back().start;
  EXPECT_NEAR(start.x, p.x + k * dx + 2 * ux, 1e-3f);
  EXPECT_NEAR(start.y, p.y + k * dy + 2 * uy, 1e-3f);
  EXPECT_NEAR(start.z, p.z + k * dz + 2 * uz, 1e-3f);
  // A start that touches the floor (y 100): nothing.
  const size_t shots = RecordedShots().size();
  EXPECT_FALSE(tank->FireRocket(Vec3{p.x, 101, p.z}, g_GameTime));
  EXPECT_EQ(RecordedShots().size(), shots);
  // Its pattern: a rocket, then the next only after the burst pause.
  tank->Fire(g_GameTime);
  EXPECT_EQ(RecordedShots().size(), shots);  // its gun does not point at the ship
  EXPECT_EQ(g_CollideMode, kCollideInstancesOnly);
  EXPECT_EQ(g_CollidePushOut, 0);
  EXPECT_FLOAT_EQ(g_CollideVerticalScale, 0.25f);
}

TEST_F(EnemyCombatTest, ADcKeepsAtMostThreeDronesOutAndAFailedLaunchCountsNone) {
  Start({"dc.3ds", "dw.3ds", "dgh.3ds"});
  CNewEnemy* dc = Spawn("dc 0 0 -100", "dc1");
  ASSERT_NE(dc, nullptr);
  ASSERT_NE(g_pEnemyManager->GetDroneTemplate(), nullptr);
  for (int i = 0; i < 6; ++i) {
    Advance(10001 + 1000);
    dc->SetLineOfSight(true);
    dc->Fire(g_GameTime);
  }
  EXPECT_EQ(Count(EnemyShot::kDrone), 3);
  EXPECT_EQ(dc->GetDroneCount(), 3);
  // One dies: its slot frees and the next launch fills it.
  CNewEnemy* drone = g_pEnemyManager->FindByKey(dc->GetDroneId(1));
  ASSERT_NE(drone, nullptr);
  g_pEnemyManager->RemoveEnemy(drone->GetInstance());
  EXPECT_EQ(dc->GetDroneCount(), 2);
  Advance(11001);
  dc->SetLineOfSight(true);
  dc->Fire(g_GameTime);
  EXPECT_EQ(dc->GetDroneCount(), 3);
  // Without sight nothing is launched and nothing counted.
  CNewEnemy* dc2 = Spawn("dc 100 0 -100", "dc2");
  dc2->SetLineOfSight(false);
  Advance(11001);
  dc2->LaunchDrone();
  EXPECT_EQ(dc2->GetDroneCount(), 0);
}

TEST_F(EnemyCombatTest, AGunRayThatMeetsNoShipFiresNothing) {
  Start({"ship.3ds"});
  // Facing the ship at the origin: fires; facing away: not.
  CNewEnemy* facing = Spawn("ship 0 0 -60", "facing");
  ASSERT_NE(facing, nullptr);
  facing->SetLineOfSight(true);
  facing->Fire(g_GameTime);
  EXPECT_EQ(Count(EnemyShot::kHeavyBullet), 1);
  EXPECT_EQ(facing->GetLineOfFireStamp(), g_GameTime);
  CNewEnemy* away = Spawn("ship 0 0 60", "away");
  away->SetLineOfSight(true);
  Advance(2000);
  away->Fire(g_GameTime);
  EXPECT_EQ(Count(EnemyShot::kHeavyBullet), 1);
  EXPECT_NE(away->GetLineOfFireStamp(), g_GameTime);
}

}  // namespace
