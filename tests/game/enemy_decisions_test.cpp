// The enemy manager's frame: a hit turret firing back, nothing decided
// under a script camera, the dead exploding by their size and removed with
// their kill counts and death events, and the four-part boss's stages.
#include <string>

#include "engine/name_hash.h"
#include "engine/properties.h"
#include "tests/game/enemy_combat_fixture.h"
#include "world/enemies/enemy_types.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/paths/path_point.h"

namespace {

int Explosions() {
  int n = 0;
  for (POSITION at = g_pObjectManager->GetObjects().GetHeadPosition(); at;) {
    n += g_pObjectManager->GetObjects().GetNext(at)->GetTypeCode() == kTypeExplosion ? 1 : 0;
  }
  return n;
}

TEST_F(EnemyCombatTest, AHitTurretFiresBackAtOnceFromBeyondItsRanges) {
  Start({}, [](DemoLevel* level) {
    // Facing the ship at the origin, 900 units off: beyond its detection.
    level->instances.push_back({kDemoGunModel, {0, 0, -900}, {0, 0, 0}, 0.0f, "gun9", {{"level", "123"}}});
  });
  CNewEnemy* gun = g_pEnemyManager->FindByNamePrefix("gun9");
  ASSERT_NE(gun, nullptr);
  ASSERT_EQ(gun->GetMovementMode(), kMoveStationary);
  Advance(100);
  g_pEnemyManager->Update();
  EXPECT_TRUE(RecordedShots().empty());
  EXPECT_FALSE(gun->IsBusy());
  gun->TakeDamage(10, 10, 0);
  gun->SetLineOfSight(true);
  Advance(100);
  g_pEnemyManager->Update();
  EXPECT_TRUE(gun->IsBusy());
  EXPECT_EQ(Count(EnemyShot::kHeavyFireBall), 1);
}

TEST_F(EnemyCombatTest, TheDeadExplodeByTheirSizeAndAreCountedOnceRemoved) {
  Start({"thunder.3ds"});
  // Explosions: (2r)^2 x 0.005, at least 1, at most 10.
  const struct {
    float radius;
    int explosions;
  } sizes[] = {{3, 1}, {10, 2}, {30, 10}, {0.2f, 1}};
  for (const auto& c : sizes) {
    SCOPED_TRACE(c.radius);
    CNewEnemy* drone = Spawn("drone 0 -100 0", "boom");
    drone->GetInstance()->radius = c.radius;
    const int before = Explosions();
    g_pEnemyManager->ExplodeEnemy(drone);
    EXPECT_EQ(Explosions() - before, c.explosions);
    EXPECT_TRUE(drone->IsDying());
    g_pEnemyManager->RemoveEnemy(drone->GetInstance());
  }
  int total0 = 0, killed0 = 0;
  g_pEnemyManager->GetCounts(&total0, &killed0);
  // A drone whose death event destroys another drone, a thunder and a
  // sentry, all dead in one frame.
  CNewEnemy* a = Spawn("drone 0 -100 0", "a");
  CNewEnemy* b = Spawn("drone 60 -100 0", "b");
  CNewEnemy* thunder = Spawn("thunder 120 -100 0", "thunder");
  CNewEnemy* sentry = g_pEnemyManager->SpawnSentry(0, -60, -100, 0);
  ASSERT_TRUE(a && b && thunder && sentry);
  PropSet(&a->GetInstance()->props, NameHash("deathevent"), "destroy b");
  events_->runs = true;
  for (CNewEnemy* e : {a, b, thunder, sentry}) e->SetHitPoints(-1);
  g_pEnemyManager->ProcessDead();
  EXPECT_EQ(g_pEnemyManager->FindByNamePrefix("thunder"), nullptr);  // at once, no delay
  EXPECT_TRUE(a->IsDying());
  Advance(251);
  g_pEnemyManager->ProcessDead();
  EXPECT_EQ(g_pEnemyManager->FindByNamePrefix("a"), nullptr);
  EXPECT_EQ(g_pEnemyManager->FindByNamePrefix("b"), nullptr);
  EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), 0);
  int total = 0, killed = 0;
  g_pEnemyManager->GetCounts(&total, &killed);
  // a only: b went by its order (no kill), the thunder and sentry never count.
  EXPECT_EQ(killed - killed0, 1);
  EXPECT_EQ(total - total0, 3);
}

TEST_F(EnemyCombatTest, UnderAScriptCameraEnemiesOnlyMove) {
  Start({"ship.3ds"});
  CNewEnemy* ship = Spawn("ship 0 0 -60", "ship1");
  ship->SetTargetPoint(0, 0, 0);
  auto* camera = new CPathPoint;
  doc_->SetCameraSlot(0, camera);
  for (int i = 0; i < 20; ++i) {
    Advance(100);
    g_pEnemyManager->Update();
  }
  doc_->SetCameraSlot(0, nullptr);
  delete camera;
  EXPECT_TRUE(RecordedShots().empty());
  EXPECT_EQ(ship->GetLastUpdate(), g_GameTime);  // its motion step still ran
  // Without it the ship fires at what it is ordered to attack.
  for (int i = 0; i < 50 && RecordedShots().empty(); ++i) {
    Advance(100);
    g_pEnemyManager->Update();
  }
  EXPECT_FALSE(RecordedShots().empty());
}

class BossTest : public EnemyCombatTest {
 protected:
  void Build() {
    Start({"fboss.3ds", "fboss2.3ds", "fboss4.3ds", "fboss5.3ds"});
    const char* texts[4] = {"fboss -60 -100 0", "fboss2 0 -100 60", "fboss4 60 -100 0", "fboss5 0 -100 0"};
    for (int i = 0; i < 4; ++i) {
      parts_[i] = Spawn(texts[i], ("boss" + std::to_string(i)).c_str());
      ASSERT_NE(parts_[i], nullptr);
      ASSERT_EQ(g_pEnemyManager->GetBossPart(i), parts_[i]);
      parts_[i]->Stop();  // no decisions of their own here
    }
  }
  // Boss updates and the parts' motion every 100 ms until the outer stage
  // is reached or the limit.
  int RunUntil(int stage, int limitMs) {
    int ms = 0;
    while (parts_[0]->GetBossStage() != stage && ms < limitMs) {
      Advance(100);
      ms += 100;
      for (CNewEnemy* p : parts_) {
        const bool stopped = p->IsStopped();
        p->Start();
        p->UpdateMotion(0, 0, 0, g_GameTime);
        if (stopped) p->Stop();
      }
      g_pEnemyManager->UpdateBoss();
    }
    return ms;
  }
  CNewEnemy* parts_[4] = {};
};

TEST_F(BossTest, AWornPartSendsAllHomeThenToTheCoreWhichShowsForItsTimeAndAllHeal) {
  Build();
  for (CNewEnemy* p : parts_) EXPECT_EQ(p->GetBossStage(), 2);
  const float radius = parts_[1]->GetInstance()->radius;
  RunUntil(3, 500);
  EXPECT_EQ(parts_[0]->GetBossStage(), 2);
  parts_[1]->SetHitPoints(4);
  g_pEnemyManager->UpdateBoss();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(parts_[i]->GetBossStage(), 3);
    EXPECT_FLOAT_EQ(parts_[i]->GetInstance()->radius, 0.0f);  // out of reach
  }
  // Home already: after 2000 ms they gather at the core.
  EXPECT_GE(RunUntil(4, 5000), 2000);
  ASSERT_EQ(parts_[0]->GetBossStage(), 4);
  const Vec3 core = parts_[3]->GetPosition();
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(parts_[i]->GetDestination().x, core.x);
  }
  EXPECT_LT(RunUntil(5, 60000), 60000);
  for (CNewEnemy* p : parts_) EXPECT_EQ(p->GetBossStage(), 5);
  EXPECT_EQ(parts_[3]->GetInstance()->collidable, 1);
  EXPECT_FALSE(parts_[3]->IsStopped());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(parts_[i]->GetInstance()->collidable, 0);
    EXPECT_TRUE(parts_[i]->IsStopped());
  }
  // The core shows 25000 ms, then everything heals and goes home.
  const int shown = RunUntil(6, 30000);
  EXPECT_GE(shown, 25000);
  EXPECT_LE(shown, 25100);
  EXPECT_GT(parts_[1]->GetHitPoints(), 4.0f);
  EXPECT_EQ(parts_[3]->GetInstance()->collidable, 0);
  EXPECT_LT(RunUntil(2, 60000), 60000);
  EXPECT_FLOAT_EQ(parts_[1]->GetInstance()->radius, radius);
  EXPECT_EQ(parts_[1]->GetInstance()->collidable, 1);
  // A part held short of home by a wall still arrives: within a unit.
  parts_[1]->SetHitPoints(1);
  g_pEnemyManager->UpdateBoss();
  ASSERT_EQ(parts_[0]->GetBossStage(), 3);
  parts_[2]->SetPosition(parts_[2]->GetX() + 0.5f, parts_[2]->GetY(), parts_[2]->GetZ());
  EXPECT_LT(RunUntil(4, 5000), 5000);
  // Destroying the core ends the sequence where it stands.
  g_pEnemyManager->RemoveEnemy(parts_[3]->GetInstance());
  parts_[3] = nullptr;
  EXPECT_EQ(g_pEnemyManager->GetBossPart(3), nullptr);
}

}  // namespace
