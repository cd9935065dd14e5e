// Enemies in the demo level: construction from the level's instances with
// their type rows and properties, the difficulty filter, spawned enemies and
// sentries, removal with death events, motion (legs, falls, paths), turret
// and barrel aiming, damage routed by instance, and the saved game.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/model.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/mesh_shapes.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/enemy_types.h"
#include "world/enemies/new_enemy.h"
#include "world/enemies/satellite.h"
#include "world/objects/object_manager.h"
#include "world/paths/path.h"
#include "world/paths/path_manager.h"

namespace {

constexpr float kPi = 3.1415925f;

int InstanceCount(World* world) {
  int n = 0;
  for (Instance* i = world->firstInstance; i; i = i->next) ++n;
  return n;
}

Instance* FindInstance(World* world, const char* name) {
  for (Instance* i = world->firstInstance; i; i = i->next) {
    if (std::strcmp(i->name, name) == 0) return i;
  }
  return nullptr;
}

float Length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A one-node box model under a type-table name, for the types the demo
// has no model of.
BuilderModel BoxEnemy(const char* name) {
  BuilderModel model;
  model.name = name;
  BuilderMeshNode node;
  node.name = "body";
  AddSolid(&node, BoxSolid({4, 2, 6}), {kDemoMetalPlate});
  model.nodes.push_back(std::move(node));
  return model;
}

// Removes the enemy named in a "kill <name>" event while the event is
// raised: death events that remove other enemies.
class KillingEventManager : public RecordingEventManager {
 public:
  BOOL RaiseEvent(const CString& command, const char* source) override {
    RecordingEventManager::RaiseEvent(command, source);
    const std::string text = command.Str();
    if (text.rfind("kill ", 0) == 0 && g_pEnemyManager) {
      if (CNewEnemy* victim = g_pEnemyManager->FindByNamePrefix(text.c_str() + 5)) {
        g_pEnemyManager->RemoveEnemy(victim->GetInstance());
      }
    }
    return TRUE;
  }
};

class EnemiesTest : public DocumentTest {
 protected:
  // The demo mission at a difficulty, its level changed by edit and its
  // models by extraModels.
  void Start(int difficulty, const std::function<void(DemoLevel*)>& edit = {},
             const std::vector<BuilderModel>& extraModels = {}) {
    WriteMission(edit, extraModels);
    MakeInterface(difficulty);
    g_GameTime = 50000;
    MakeDocument();
    delete g_pEventManager;
    g_pEventManager = events_ = new KillingEventManager();
    ASSERT_TRUE(doc_->StartLevel());
    ASSERT_NE(g_pEnemyManager, nullptr);
    events_->raised.clear();
  }
  void WriteMission(const std::function<void(DemoLevel*)>& edit, const std::vector<BuilderModel>& extraModels) {
    if (!edit && extraModels.empty()) return;
    ArchiveWriter mission = ArchiveWithout(ArchiveWithout(DemoMissionArchive(), kDemoLevelMember), "OBJECTS");
    std::vector<BuilderModel> models = MakeDemoModels();
    for (const BuilderModel& model : extraModels) models.push_back(model);
    ASSERT_TRUE(AddObjectsMember(&mission, models));
    ASSERT_TRUE(mission.AddMember(kDemoLevelMember, DemoLevelMember(edit)));
    ASSERT_TRUE(mission.WriteFile(folder_.Join("M1.CAN")));
  }
  CNewEnemy* Named(const char* name) { return g_pEnemyManager->FindByNamePrefix(name); }
  // A spawned enemy with an instance name, seeing its target.
  CNewEnemy* Spawn(const char* text, const char* name) {
    CNewEnemy* enemy = g_pEnemyManager->SpawnEnemy(0, text);
    if (!enemy) return nullptr;
    std::strcpy(enemy->GetInstance()->name, name);
    enemy->SetLineOfSight(true);
    return enemy;
  }
  // Motion updates every stepMs until done or the limit.
  int Run(CNewEnemy* enemy, int stepMs, int limit, const std::function<bool()>& done) {
    int steps = 0;
    while (steps < limit && !done()) {
      g_GameTime = GameTimeAdd(g_GameTime, stepMs);
      const Vec3 t = enemy->GetTargetPoint();
      enemy->UpdateMotion(t.x, t.y, t.z, g_GameTime);
      ++steps;
    }
    return steps;
  }
  void FirstUpdate(CNewEnemy* enemy) { enemy->UpdateMotion(0, 0, 0, g_GameTime); }
};

TEST_F(EnemiesTest, TheDemoEnemiesAreBuiltWithTheirTypeRowsPartsAndProperties) {
  Start(2, [](DemoLevel* level) {
    level->instances.push_back({kDemoDroneModel, {0, -150, 0}, {0.4f, 0, 0.3f}, 0.0f, "escort1",
                                {{"level", "2"}, {"speed", "12.5"}, {"escort", "gun"}, {"fear", "player"}}});
    const std::string longText(200, 'x');
    level->instances.push_back({kDemoDroneModel, {100, -150, 0}, {0, 0, 0}, 0.0f, "longnames",
                                {{"level", "2"}, {"escort", longText}, {"fear", longText}}});
  });
  World* world = doc_->GetWorld();
  struct Case {
    const char* name;
    int type;
    int mode;
    float hitPoints;
    float armour;
    float speed;
    float ambient;
  } cases[] = {
      {kDemoGunInstance, kKindTplt, kMoveStationary, 60, 3, 0, 0.6f},
      {kDemoTankInstance, kKindTank, kMoveGround, 69, 5, 30, 0.6f},
      {kDemoDroneInstance, 12, kMoveFree, 10, 0, 30, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CNewEnemy* enemy = Named(c.name);
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->GetKind(), c.type);
    EXPECT_EQ(enemy->GetMovementMode(), c.mode);
    EXPECT_FLOAT_EQ(enemy->GetHitPoints(), c.hitPoints);
    EXPECT_FLOAT_EQ(enemy->GetArmour(), c.armour);
    EXPECT_FLOAT_EQ(enemy->GetMaxSpeed(), c.speed);
    EXPECT_FLOAT_EQ(enemy->GetInstance()->ownAmbient, c.ambient);
    EXPECT_EQ(enemy->GetCollisionState(), 2);
    EXPECT_EQ(enemy->GetDcShieldCharges(), 3);
    EXPECT_EQ(enemy->GetIdHigh(), doc_->GetLocalPlayerId());
    EXPECT_NE(enemy->GetIdLow(), 0u);
    EXPECT_EQ(g_pEnemyManager->FindById(enemy->GetIdLow(), enemy->GetIdHigh()), enemy);
  }
  // The gun's parts: turret, and barrels that keep their recoil frames.
  CNewEnemy* gun = Named(kDemoGunInstance);
  ASSERT_NE(gun->GetPart(kPartTurret).node, nullptr);
  ASSERT_NE(gun->GetPart(kPartGun).node, nullptr);
  EXPECT_EQ(gun->GetPart(kPartGun2).node, nullptr);
  EXPECT_EQ(gun->GetPart(kPartTurret).node->animated, 0);
  EXPECT_EQ(gun->GetPart(kPartGun).node->animated, 1);
  EXPECT_EQ(gun->GetSpinLength(), static_cast<int>(kDemoGunRecoilFrames));
  EXPECT_EQ(gun->MissingPartLine(), 0);
  CNewEnemy* tank = Named(kDemoTankInstance);
  EXPECT_EQ(tank->GetPart(kPartGun).node->animated, 0);
  EXPECT_FLOAT_EQ(tank->GetPart(kPartGun).pivot[1], -3.5f * 2.5f);

  // The escort's properties, and its link resolved by name prefix.
  CNewEnemy* escort = Named("escort1");
  ASSERT_NE(escort, nullptr);
  EXPECT_FLOAT_EQ(escort->GetMaxSpeed(), 12.5f);
  EXPECT_FLOAT_EQ(escort->GetAcceleration(), 20.0f);
  EXPECT_FLOAT_EQ(escort->GetLeash(), 40.0f);
  EXPECT_TRUE(escort->IsFearful());
  EXPECT_STREQ(escort->GetFearName(), "player");
  EXPECT_EQ(escort->GetEscortTargetId(), gun->GetId());
  CNewEnemy* longNames = Named("longnames");
  ASSERT_NE(longNames, nullptr);
  EXPECT_EQ(std::strlen(longNames->GetFearName()), 63u);
  EXPECT_EQ(std::strlen(longNames->GetEscortName()), 63u);

  // The level's sentry marker is no enemy: it stays, lit at 1.0.
  Instance* marker = FindInstance(world, "sentry1");
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(g_pEnemyManager->FindByInstance(marker), nullptr);
  EXPECT_FLOAT_EQ(marker->ownAmbient, 1.0f);
  int total = 0, killed = 0;
  g_pEnemyManager->GetCounts(&total, &killed);
  EXPECT_EQ(total, 5);
  EXPECT_EQ(killed, 0);
  EXPECT_NE(g_pSatellite, nullptr);
  EXPECT_EQ(g_pSatellite->GetAimingBaseDelay(), 2000);
  EXPECT_EQ(g_pSatellite->GetStrikeBaseDelay(), 25000);

  // A sentry: type 24, not counted, waiting a missile interval.
  ASSERT_NE(g_pEnemyManager->GetSentryTemplate(), nullptr);
  CNewEnemy* sentry = g_pEnemyManager->SpawnSentry(0, 0, 60, 0);
  ASSERT_NE(sentry, nullptr);
  EXPECT_EQ(sentry->GetKind(), kKindSentry);
  EXPECT_EQ(sentry->GetMovementMode(), kMoveSentry);
  EXPECT_FLOAT_EQ(sentry->GetHitPoints(), 10.0f);
  g_pEnemyManager->GetCounts(&total, &killed);
  EXPECT_EQ(total, 5);
  // Deployed by the player: the document's sentry goes through the manager.
  const int before = g_pEnemyManager->GetEnemyCount();
  doc_->DeploySentry(0, 0, 60, 100);
  EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), before + 1);
}

TEST_F(EnemiesTest, TheLevelPropertyKeepsAnEnemyOnlyAtTheDifficultiesItNames) {
  const struct {
    int difficulty;
    bool kept23, kept1, keptNone;
  } cases[] = {{1, false, true, false}, {2, true, false, false}, {3, true, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.difficulty);
    Start(c.difficulty, [](DemoLevel* level) {
      level->instances.push_back({kDemoDroneModel, {0, -150, 0}, {0, 0, 0}, 0.0f, "d23", {{"level", "23"}}});
      level->instances.push_back({kDemoDroneModel, {50, -150, 0}, {0, 0, 0}, 0.0f, "d1", {{"level", "1"}}});
      level->instances.push_back({kDemoDroneModel, {-50, -150, 0}, {0, 0, 0}, 0.0f, "dnone", {}});
    });
    World* world = doc_->GetWorld();
    EXPECT_EQ(Named("d23") != nullptr, c.kept23);
    EXPECT_EQ(FindInstance(world, "d23") != nullptr, c.kept23);
    EXPECT_EQ(Named("d1") != nullptr, c.kept1);
    EXPECT_EQ(FindInstance(world, "d1") != nullptr, c.kept1);
    EXPECT_EQ(Named("dnone"), nullptr);
    EXPECT_EQ(FindInstance(world, "dnone"), nullptr);
    DeleteDocument();
  }
}

TEST_F(EnemiesTest, SpawnTextsMakeAnEnemyOnlyFromANameAndThreeNumbers) {
  Start(1);
  World* world = doc_->GetWorld();
  static std::vector<std::string> seen;
  seen.clear();
  g_EnemySpawnObserver = [](DPID, const char* text) { seen.emplace_back(text ? text : "(null)"); };
  const std::string longName(70, 'a');
  const struct {
    std::string text;
    bool made;
  } cases[] = {
      {"drone 10 -20 30", true},
      {"DRONE 1 2 3", true},
      {"drone 1 2", false},
      {"drone", false},
      {"", false},
      {"nosuch 1 2 3", false},
      {"cargo 1 2 3", false},  // a loaded model, but no enemy type
      {"drone 1 nan 3", false},
      {longName + " 1 2 3", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const int instances = InstanceCount(world);
    const int enemies = g_pEnemyManager->GetEnemyCount();
    CNewEnemy* enemy = g_pEnemyManager->SpawnEnemy(0, c.text.c_str());
    EXPECT_EQ(enemy != nullptr, c.made);
    EXPECT_EQ(InstanceCount(world), instances + (c.made ? 1 : 0));
    EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), enemies + (c.made ? 1 : 0));
    if (enemy) {
      EXPECT_EQ(enemy->GetKind(), 12);
      EXPECT_EQ(enemy->GetInstance()->angleY, 0.0f);
    }
  }
  EXPECT_EQ(g_pEnemyManager->SpawnEnemy(0, nullptr), nullptr);
  g_EnemySpawnObserver = nullptr;
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen[0], "drone 10 -20 30");
  CNewEnemy* first = g_pEnemyManager->FindByNamePrefix("");
  ASSERT_NE(first, nullptr);
  const Vec3 at = g_pEnemyManager->Enemies().back()->GetPosition();
  EXPECT_FLOAT_EQ(at.x, 1.0f);
  EXPECT_FLOAT_EQ(at.z, 3.0f);
}

TEST_F(EnemiesTest, ALegRisesToHalfWayThenSlowsAndStopsOnItsDestination) {
  Start(1);
  CNewEnemy* drone = Spawn("drone 0 -100 0", "legdrone");
  ASSERT_NE(drone, nullptr);
  FirstUpdate(drone);
  drone->MoveTo(0, -100, 100, 0, false);
  EXPECT_FLOAT_EQ(drone->GetHalfLeg(), 50.0f);
  EXPECT_FLOAT_EQ(drone->GetMoveDirection().z, 1.0f);
  EXPECT_FLOAT_EQ(drone->GetTargetAngles().y, 0.0f);
  // Speed grows by 20 units/s^2 until half way (50 units), then shrinks.
  float peak = 0.0f, peakAt = 0.0f;
  bool slowedAfterHalf = true;
  const int steps = Run(drone, 100, 200, [&] {
    const float z = drone->GetZ(), v = drone->GetCurrentSpeed();
    if (v > peak) peak = v, peakAt = z;
    if (z < 49.0f && v < peak - 1e-3f) slowedAfterHalf = false;
    return drone->IsAtDestination() && !drone->IsMoving();
  });
  EXPECT_LT(steps, 200);
  EXPECT_TRUE(slowedAfterHalf);
  // The stored speed is not capped (the step is): about sqrt(2 a d) at
  // half way, give or take the 100 ms steps.
  EXPECT_NEAR(peakAt, 50.0f, 6.0f);
  EXPECT_NEAR(peak, 20.0f * std::sqrt(2.0f * 50.0f / 20.0f), 4.0f);
  EXPECT_FLOAT_EQ(drone->GetZ(), 100.0f);
  EXPECT_FLOAT_EQ(drone->GetCurrentSpeed(), 0.0f);

  // A frame of 2 s moves no farther than one of 0.5 s.
  CNewEnemy* a = Spawn("drone -100 -100 0", "a");
  CNewEnemy* b = Spawn("drone 100 -100 0", "b");
  for (CNewEnemy* e : {a, b}) {
    FirstUpdate(e);
    e->MoveTo(e->GetX(), -100, 150, 0, true);
  }
  const int32_t start = g_GameTime;
  a->UpdateMotion(0, 0, 0, GameTimeAdd(start, 500));
  b->UpdateMotion(0, 0, 0, GameTimeAdd(start, 2000));
  EXPECT_FLOAT_EQ(a->GetZ(), b->GetZ());
  EXPECT_GT(a->GetZ(), 0.0f);
}

TEST_F(EnemiesTest, AKilledFlierTumblesDownAndStopsOnTheFloor) {
  Start(1);
  // Away from the ship, whose instance waits at the origin until it flies.
  CNewEnemy* drone = Spawn("drone 100 -100 -100", "faller");
  ASSERT_NE(drone, nullptr);
  FirstUpdate(drone);
  drone->SetHitPoints(-1.0f);
  drone->StartFalling(0);
  g_GameTime = GameTimeAdd(g_GameTime, 100);
  drone->UpdateMotion(0, 0, 0, g_GameTime);
  EXPECT_TRUE(drone->IsFalling());
  EXPECT_NEAR(drone->GetAngles().x, 0.15f, 1e-4f);
  EXPECT_NEAR(drone->GetY(), -100.0f + 32.15f * 0.1f * 0.1f, 1e-3f);
  const int steps = Run(drone, 100, 100, [&] { return !drone->IsFalling(); });
  EXPECT_LT(steps, 100);
  const float r = drone->GetInstance()->radius;
  EXPECT_LT(drone->GetY(), 100.0f - r + 0.01f);
  EXPECT_GT(drone->GetY(), 100.0f - r - 20.0f);
  // Landed dead: the manager marks it dying, then removes it, and it counts
  // as killed.
  int total = 0, killed = 0;
  g_pEnemyManager->GetCounts(&total, &killed);
  g_pEnemyManager->Update();
  EXPECT_TRUE(drone->IsDying());
  g_GameTime = GameTimeAdd(g_GameTime, 300);
  g_pEnemyManager->Update();
  EXPECT_EQ(g_pEnemyManager->FindByNamePrefix("faller"), nullptr);
  int killedAfter = 0;
  g_pEnemyManager->GetCounts(&total, &killedAfter);
  EXPECT_EQ(killedAfter, killed + 1);
}

TEST_F(EnemiesTest, APathFollowerRaisesEachNodesEventAndStopsAtTheLastInTraverseMode) {
  Start(1);
  auto* path = new CNewPath;
  path->SetName("path_test");
  CPathNode* a = path->FindOrAddNode(0, -100, 0, "log NODE_A");
  CPathNode* b = path->FindOrAddNode(0, -100, 60, nullptr);
  CPathNode* c = path->FindOrAddNode(60, -100, 60, "log NODE_C");
  a->SetNext(b), b->SetPrev(a), b->SetNext(c), c->SetPrev(b);
  path->FindFirstNode();
  g_pPathMgr->AddPath(path);
  CNewEnemy* drone = Spawn("drone 0 -100 0", "walker");
  ASSERT_NE(drone, nullptr);
  drone->SetLineOfSight(false);  // a path follower starts without sight
  FirstUpdate(drone);
  drone->FollowPath(g_pPathMgr->FindPath("PATH_TEST"), 1);
  EXPECT_TRUE(drone->IsFollowingPath());
  EXPECT_EQ(drone->GetPathNode(), a);
  const int steps = Run(drone, 100, 100, [&] { return !drone->IsFollowingPath(); });
  EXPECT_LT(steps, 100);
  EXPECT_FLOAT_EQ(drone->GetX(), 60.0f);
  EXPECT_FLOAT_EQ(drone->GetZ(), 60.0f);
  EXPECT_EQ(drone->GetPathMode(), 0);
  const std::vector<std::pair<std::string, std::string>> expected = {{"log NODE_A", "walker"},
                                                                      {"log NODE_C", "walker"}};
  EXPECT_EQ(events_->raised, expected);
  // Path speed is the full speed: 120 units at 30 units/s in about 4 s.
  EXPECT_NEAR(steps, 40, 4);
}

TEST_F(EnemiesTest, ATurretAimsItsTurretAndBarrelsAtWorkedAnglesAndTurnsTheShortWay) {
  Start(1);
  CNewEnemy* gun = Named(kDemoGunInstance);
  ASSERT_NE(gun, nullptr);
  const Vec3 p = gun->GetPosition();  // the muzzle of type 1 is its position
  // The gun faces -z (heading pi); aim points in the world and the angles
  // they give in the gun's own frame.
  const struct {
    Vec3 at;
    float pitch, heading;
  } cases[] = {
      {{p.x, p.y, p.z - 100}, 0.0f, 0.0f},            // straight ahead
      {{p.x - 100, p.y, p.z}, 0.0f, kPi / 2},         // its right
      {{p.x + 100, p.y, p.z}, 0.0f, -kPi / 2},        // its left
      {{p.x, p.y - 100, p.z - 100}, kPi / 4, 0.0f},   // up ahead
      {{p.x, p.y - 100, p.z}, kPi / 2, NAN},          // straight above: any heading
  };
  for (const auto& c : cases) {
    gun->AimAt(c.at.x, c.at.y, c.at.z);
    EXPECT_NEAR(gun->GetPart(kPartGun).target, c.pitch, 1e-3f);
    if (!std::isnan(c.heading)) {
      EXPECT_NEAR(std::fabs(CNewEnemy::AngleDelta(gun->GetPart(kPartTurret).target, c.heading)), 0.0f, 1e-3f);
    }
  }
  // Turning: the first call only starts the clock; a 500 ms step turns
  // the turret at three times the gun's rate (0.7 rad/s); two calls after
  // the motion update turn nothing.
  gun->AimAt(p.x - 100, p.y - 100, p.z);
  EXPECT_FLOAT_EQ(gun->GetPart(kPartTurret).rate, 3.0f * 0.7f);
  EXPECT_FLOAT_EQ(gun->GetPart(kPartGun).rate, 0.7f);
  gun->TurnParts(g_GameTime);
  gun->SetLastUpdate(GameTimeAdd(g_GameTime, -500));
  gun->TurnParts(g_GameTime);
  EXPECT_NEAR(gun->GetPart(kPartTurret).angle, 1.05f, 1e-4f);
  EXPECT_NEAR(gun->GetPart(kPartGun).angle, 0.35f, 1e-4f);
  gun->SetLastUpdate(g_GameTime);
  gun->TurnParts(g_GameTime);
  gun->TurnParts(g_GameTime);
  EXPECT_NEAR(gun->GetPart(kPartTurret).angle, 1.05f, 1e-4f);
  auto turnFully = [&] {
    for (int i = 0; i < 10; ++i) {
      gun->SetLastUpdate(GameTimeAdd(g_GameTime, -500));
      gun->TurnParts(g_GameTime);
    }
  };
  // Fully turned, the barrels point at the aim point.
  turnFully();
  EXPECT_FLOAT_EQ(gun->GetPart(kPartTurret).rate, 0.0f);
  Vec3 d;
  gun->GetMuzzleDir(&d.x, &d.y, &d.z);
  const float s = 1.0f / std::sqrt(2.0f);
  EXPECT_NEAR(d.x, -s, 1e-3f);
  EXPECT_NEAR(d.y, -s, 1e-3f);
  EXPECT_NEAR(d.z, 0.0f, 1e-3f);
  // From just left of straight behind to just right of it is the short way
  // through behind, not three quarters of a turn back.
  gun->AimAt(p.x - 1, p.y, p.z + 100);
  turnFully();
  const float left = gun->GetPart(kPartTurret).angle;
  EXPECT_NEAR(left, kPi - 0.01f, 1e-3f);
  gun->AimAt(p.x + 1, p.y, p.z + 100);
  EXPECT_GT(gun->GetPart(kPartTurret).rate, 0.0f);
  gun->SetLastUpdate(GameTimeAdd(g_GameTime, -20));
  gun->TurnParts(g_GameTime);
  EXPECT_NEAR(gun->GetPart(kPartTurret).angle, -kPi + 0.01f, 1e-3f);

  // A body turned toward a point straight to its side keeps that side.
  CNewEnemy* drone = Spawn("drone 0 -100 0", "looker");
  for (float x : {50.0f, -50.0f}) {
    drone->FaceToward(x, -100, 0.0005f);
    EXPECT_NEAR(drone->GetTargetAngles().y, x > 0 ? kPi / 2 : -kPi / 2, 1e-3f) << x;
  }
}

TEST_F(EnemiesTest, DamageGoesByInstanceThroughArmourAndShotsAndBlastsFindTheEnemy) {
  Start(1);
  CNewEnemy* tank = Named(kDemoTankInstance);
  CNewEnemy* gun = Named(kDemoGunInstance);
  ASSERT_NE(tank, nullptr);
  // Armour 5 stops a 5-point hit, which still counts as a hit.
  EXPECT_EQ(g_pEnemyManager->DamageByInstance(tank->GetInstance(), 5.0f), 1);
  EXPECT_FLOAT_EQ(tank->GetHitPoints(), 69.0f);
  EXPECT_TRUE(tank->WasHit());
  EXPECT_EQ(g_pEnemyManager->DamageByInstance(tank->GetInstance(), 9.0f), 1);
  EXPECT_FLOAT_EQ(tank->GetHitPoints(), 60.0f);
  EXPECT_TRUE(tank->IsWobbling());
  EXPECT_EQ(g_pEnemyManager->DamageByInstance(doc_->GetPlayerShip(), 9.0f), 0);
  tank->GetInstance()->collidable = 0;
  EXPECT_EQ(g_pEnemyManager->DamageByInstance(tank->GetInstance(), 9.0f), 0);
  tank->GetInstance()->collidable = 1;
  // A blast at the gun's centre does nothing; outside its radius, all.
  const float r = gun->GetInstance()->radius;
  g_pEnemyManager->AreaDamage(gun->GetX(), gun->GetY(), gun->GetZ(), 10.0f, 20.0f);
  EXPECT_FLOAT_EQ(gun->GetHitPoints(), 60.0f);
  g_pEnemyManager->AreaDamage(gun->GetX() + r + 1.0f, gun->GetY(), gun->GetZ(), 10.0f, 20.0f);
  EXPECT_FLOAT_EQ(gun->GetHitPoints(), 40.0f);
  // Weapons name enemies by key.
  float x = 0, y = 0, z = 0;
  const uint64_t key = gun->GetId();
  ASSERT_TRUE(doc_->GetTargetPosition(key, &x, &y, &z));
  EXPECT_FLOAT_EQ(z, kDemoGunAt.z);
  EXPECT_FALSE(doc_->IsTargetGone(key));
  g_pEnemyManager->RemoveEnemy(gun->GetInstance());
  EXPECT_FALSE(doc_->GetTargetPosition(key, &x, &y, &z));
  EXPECT_TRUE(doc_->IsTargetGone(key));
}

// The hit that kills says what did it: the local ship's shot, another
// shooter's, or a blast; a hit that does not kill, or one after the death,
// changes nothing.
TEST_F(EnemiesTest, TheHitThatKillsRecordsWhetherTheShipFiredIt) {
  Start(1);
  CNewEnemy* tank = Named(kDemoTankInstance);
  CNewEnemy* gun = Named(kDemoGunInstance);
  CNewEnemy* drone = Named(kDemoDroneInstance);
  ASSERT_TRUE(tank && gun && drone);
  Instance* ship = doc_->GetPlayerShip();
  g_pEnemyManager->DamageByInstance(tank->GetInstance(), 20.0f, ship);
  EXPECT_EQ(tank->GetKiller(), EnemyKiller::Unknown) << "still alive";
  g_pEnemyManager->DamageByInstance(tank->GetInstance(), 100.0f, ship);
  EXPECT_EQ(tank->GetKiller(), EnemyKiller::Ship);
  g_pEnemyManager->DamageByInstance(gun->GetInstance(), 100.0f, tank->GetInstance());
  EXPECT_EQ(gun->GetKiller(), EnemyKiller::OtherShot);
  const float r = drone->GetInstance()->radius;
  g_pEnemyManager->AreaDamage(drone->GetX() + r + 1.0f, drone->GetY(), drone->GetZ(), 10.0f, 100.0f);
  EXPECT_EQ(drone->GetKiller(), EnemyKiller::Blast);
  // The dead take no more hits: the tank stays the ship's.
  g_pEnemyManager->AreaDamage(tank->GetX() + 40.0f, tank->GetY(), tank->GetZ(), 60.0f, 100.0f);
  g_pEnemyManager->DamageByInstance(tank->GetInstance(), 100.0f, nullptr);
  EXPECT_EQ(tank->GetKiller(), EnemyKiller::Ship);
}

TEST_F(EnemiesTest, RemovingAnEnemyRaisesItsDeathEventWhichMayRemoveOthers) {
  Start(1, [](DemoLevel* level) {
    for (BuilderInstance& instance : level->instances) {
      if (instance.name == kDemoGunInstance) instance.properties.push_back({"deathevent", "kill tank1"});
      if (instance.name == kDemoTankInstance) instance.properties.push_back({"deathevent", "log TANK_DOWN"});
    }
  });
  World* world = doc_->GetWorld();
  CNewEnemy* gun = Named(kDemoGunInstance);
  ASSERT_NE(gun, nullptr);
  const int instances = InstanceCount(world);
  g_pEnemyManager->RemoveEnemy(gun->GetInstance());
  const std::vector<std::pair<std::string, std::string>> expected = {{"kill tank1", kDemoGunInstance},
                                                                      {"log TANK_DOWN", kDemoTankInstance}};
  EXPECT_EQ(events_->raised, expected);
  EXPECT_EQ(Named(kDemoGunInstance), nullptr);
  EXPECT_EQ(Named(kDemoTankInstance), nullptr);
  EXPECT_EQ(InstanceCount(world), instances - 2);
  // An instance that is no enemy changes nothing.
  g_pEnemyManager->RemoveEnemy(doc_->GetPlayerShip());
  EXPECT_EQ(InstanceCount(world), instances - 2);
}

TEST_F(EnemiesTest, LinksNameEnemiesByIdSoANewEnemyInAFreedPlaceIsNotTheOldOne) {
  Start(1, [](DemoLevel* level) {
    level->instances.push_back(
        {kDemoDroneModel, {0, -150, 0}, {0, 0, 0}, 0.0f, "escort1", {{"level", "1"}, {"escort", "drone1"}}});
  });
  CNewEnemy* escort = Named("escort1");
  CNewEnemy* target = Named(kDemoDroneInstance);
  ASSERT_EQ(escort->GetEscortTargetId(), target->GetId());
  const uint64_t oldId = target->GetId();
  g_pEnemyManager->RemoveEnemy(target->GetInstance());
  // New enemies, one of which may well take the freed memory.
  for (int i = 0; i < 4; ++i) ASSERT_NE(g_pEnemyManager->SpawnEnemy(0, "drone 0 -120 0"), nullptr);
  EXPECT_EQ(g_pEnemyManager->FindByKey(oldId), nullptr);
  // The leash no longer pulls: the escort stays where it is.
  const Vec3 at = escort->GetPosition();
  escort->KeepEscortDistance();
  EXPECT_FLOAT_EQ(escort->GetX(), at.x);
  EXPECT_FLOAT_EQ(escort->GetZ(), at.z);
}

TEST_F(EnemiesTest, FindingTheGroundLeavesTheCollisionSettingsAsTheyWere) {
  Start(1);
  CNewEnemy* tank = Named(kDemoTankInstance);
  CollideSetInstanceChecks(1);
  CollideSetMode(kCollideInstancesOnly);
  float g = 0.0f;
  ASSERT_TRUE(tank->FindGround(tank->GetX(), tank->GetY(), tank->GetZ(), &g));
  EXPECT_FLOAT_EQ(g, 100.0f);
  EXPECT_EQ(CollideInstanceChecks(), 1);
  EXPECT_EQ(g_CollideMode, kCollideInstancesOnly);
  CollideSetInstanceChecks(0);
  CollideSetMode(kCollideWorldAndInstances);
}

TEST_F(EnemiesTest, AFiringGunsBarrelsRunForwardIn100MsAndBackIn700Ms) {
  Start(1);
  CNewEnemy* gun = Named(kDemoGunInstance);
  const int32_t t0 = g_GameTime;
  gun->SetSpinning(true);
  const float last = kDemoGunRecoilFrames - 1;
  const struct {
    int32_t at;
    float frame;
    bool spinning;
  } steps[] = {{0, 0, true},       {50, last * 0.5f, true}, {120, last, true},
               {120 + 350, last * 0.5f, true}, {120 + 701, 0, false}};
  for (const auto& step : steps) {
    gun->AnimateParts(GameTimeAdd(t0, step.at));
    EXPECT_NEAR(gun->GetAnimationFrame(), step.frame, 1e-3f) << step.at;
    EXPECT_EQ(gun->IsSpinning(), step.spinning) << step.at;
    EXPECT_FLOAT_EQ(gun->GetInstance()->animTime, gun->GetAnimationFrame());
  }
}

TEST_F(EnemiesTest, ATankTurnsOnTheSpotBeforeItDrivesAndStaysOnTheFloor) {
  Start(1);
  CNewEnemy* tank = Named(kDemoTankInstance);
  tank->SetLineOfSight(true);
  FirstUpdate(tank);
  const float y = tank->GetY();
  // Behind it (it faces about 135 degrees): it only turns.
  const Vec3 p = tank->GetPosition();
  const Vec3 goal = {p.x + 80, p.y, p.z + 80};
  tank->MoveTo(goal.x, goal.y, goal.z, 0, false);
  EXPECT_FALSE(tank->GetMoveDirection().x != 0.0f || tank->GetMoveDirection().z != 0.0f);
  EXPECT_NE(tank->GetAngularDirection().y, 0.0f);
  Run(tank, 100, 100, [&] {
    tank->MoveTo(goal.x, goal.y, goal.z, 0, false);
    return tank->GetMoveDirection().x != 0.0f;
  });
  EXPECT_LE(std::fabs(CNewEnemy::AngleDelta(tank->GetTargetAngles().y, tank->GetAngles().y)), 0.1f);
  EXPECT_NEAR(tank->GetX(), p.x, 1e-3f);
  // Then it drives there, on the floor.
  Run(tank, 100, 200, [&] { return tank->IsAtDestination(); });
  EXPECT_NEAR(tank->GetX(), goal.x, 0.1f);
  EXPECT_NEAR(tank->GetZ(), goal.z, 0.1f);
  float ground = 0;
  ASSERT_TRUE(tank->FindGround(tank->GetX(), tank->GetY(), tank->GetZ(), &ground));
  EXPECT_FLOAT_EQ(ground, 100.0f);
  EXPECT_NEAR(tank->GetY(), y, 20.0f);
}

TEST_F(EnemiesTest, AnEnemyRidingAGroupIsCarriedWhenTheGroupTurns) {
  Start(1, [](DemoLevel* level) {
    level->instances.push_back({kDemoDroneModel, {150, -220, 1200}, {0, 0, 0}, 0.0f, "rider",
                                {{"level", "1"}, {"parent", kDemoFanGroup}}});
  });
  CNewEnemy* rider = Named("rider");
  ASSERT_NE(rider, nullptr);
  ASSERT_NE(rider->GetInstance()->parentGroup, nullptr);
  FirstUpdate(rider);
  // A quarter turn of the fan (four seconds a turn) about its hub.
  PolygonGroup* fan = GroupFindByName(doc_->GetWorld(), kDemoFanGroup);
  ASSERT_NE(fan, nullptr);
  GroupStartMover(fan);
  WorldUpdateMovers(doc_->GetWorld(), 1.0f);
  WorldRebuildGroups(doc_->GetWorld());
  g_GameTime = GameTimeAdd(g_GameTime, 100);
  rider->UpdateMotion(0, 0, 0, g_GameTime);
  const float dx = rider->GetX() - 0.0f, dz = rider->GetZ() - 1200.0f;
  EXPECT_NEAR(std::sqrt(dx * dx + dz * dz), 150.0f, 0.5f);
  EXPECT_NEAR(std::fabs(dx), 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(rider->GetY(), -220.0f);
  EXPECT_FLOAT_EQ(rider->GetHome().x, 150.0f);
}

TEST_F(EnemiesTest, PairedDronesBossSlotsAndAPartnersDive) {
  Start(1,
        [](DemoLevel* level) {
          for (auto [name, x] : {std::pair{"pa", -100.0f}, {"pb", 0.0f}, {"pc", 90.0f}}) {
            level->instances.push_back({"drone2.3ds", {x, -100, 100}, {0.3f, 0, 0.2f}, 0.0f, name, {{"level", "1"}}});
          }
          level->instances.push_back({"fboss.3ds", {0, -150, -100}, {0, 0, 0}, 0.0f, "core0", {{"level", "1"}}});
          level->instances.push_back({"fboss5.3ds", {0, -150, 200}, {0, 0, 0}, 0.0f, "spinner", {{"level", "1"}}});
        },
        {BoxEnemy("drone2.3ds"), BoxEnemy("fboss.3ds"), BoxEnemy("fboss5.3ds")});
  CNewEnemy* a = Named("pa");
  CNewEnemy* b = Named("pb");
  CNewEnemy* c = Named("pc");
  ASSERT_TRUE(a && b && c);
  // B is nearest to both: A and B pair first, then C takes B again.
  EXPECT_EQ(a->GetPairRole(), 1);
  EXPECT_EQ(b->GetPairRole(), 2);
  EXPECT_EQ(c->GetPairRole(), 1);
  EXPECT_EQ(a->GetPartnerId(), b->GetId());
  EXPECT_EQ(c->GetPartnerId(), b->GetId());
  EXPECT_EQ(b->GetPartnerId(), c->GetId());
  // Drones of this type start level.
  EXPECT_FLOAT_EQ(a->GetAngles().x, 0.0f);
  EXPECT_FLOAT_EQ(a->GetAngles().z, 0.0f);
  EXPECT_FLOAT_EQ(a->GetTargetAngles().x, 0.3f);
  // The boss parts take their slots; the spinning part turns 0.375 rad in
  // a 500 ms step.
  CNewEnemy* core = Named("core0");
  EXPECT_EQ(g_pEnemyManager->GetBossPart(0), core);
  EXPECT_EQ(core->GetBossStage(), 2);
  CNewEnemy* spinner = Named("spinner");
  EXPECT_EQ(g_pEnemyManager->GetBossPart(3), spinner);
  FirstUpdate(spinner);
  const Vec3 turned = spinner->GetAngles();
  spinner->UpdateMotion(0, 0, 0, GameTimeAdd(g_GameTime, 2000));
  EXPECT_NEAR(spinner->GetAngles().y - turned.y, 0.375f, 1e-5f);
  EXPECT_NEAR(spinner->GetAngles().x - turned.x, 0.375f, 1e-5f);
  // A boss part of type 35 keeps 1 hit point whatever hits it.
  EXPECT_EQ(g_pEnemyManager->DamageByInstance(core->GetInstance(), 500.0f), 1);
  EXPECT_FLOAT_EQ(core->GetHitPoints(), 1.0f);
  g_pEnemyManager->RemoveEnemy(core->GetInstance());
  EXPECT_EQ(g_pEnemyManager->GetBossPart(0), nullptr);
  // C's partner B goes: C dives at the player.
  g_pEnemyManager->RemoveEnemy(b->GetInstance());
  EXPECT_TRUE(c->IsCrashing());
  EXPECT_EQ(c->GetPartnerId(), 0u);
  EXPECT_FLOAT_EQ(c->GetMaxSpeed(), 4.0f * 90.0f);
  EXPECT_EQ(c->GetWaypointsWanted(), 2);
  ASSERT_EQ(c->GetWaypointCount(), 2);
  const Vec3 dive = c->GetWaypoint(1);
  float px, py, pz;
  doc_->GetLocalPlayer()->GetPosition(&px, &py, &pz);
  EXPECT_NEAR(dive.z, pz, 15.0f);
}

TEST_F(EnemiesTest, ThePulsesColumnHurtsByHorizontalDistanceAndABlastCanFellAFlier) {
  Start(1);
  CNewEnemy* drone = Named(kDemoDroneInstance);
  const float r = drone->GetInstance()->radius;
  // Inside the column whatever the height: damage x elapsed.
  g_pEnemyManager->AreaDamageScaled(drone->GetX() + 5, drone->GetZ(), 10.0f, 4.0f, 500);
  EXPECT_FLOAT_EQ(drone->GetHitPoints(), 10.0f - 2.0f);
  // At the column's edge plus part of the radius: scaled by R / d.
  g_pEnemyManager->AreaDamageScaled(drone->GetX() + 10.0f + r / 2, drone->GetZ(), 10.0f, 4.0f, 500);
  EXPECT_NEAR(drone->GetHitPoints(), 8.0f - 2.0f * 10.0f / (10.0f + r / 2), 1e-4f);
  // Out of reach: nothing.
  g_pEnemyManager->AreaDamageScaled(drone->GetX() + 10.0f + r + 1, drone->GetZ(), 10.0f, 4.0f, 500);
  EXPECT_NEAR(drone->GetHitPoints(), 8.0f - 2.0f * 10.0f / (10.0f + r / 2), 1e-4f);
}

TEST_F(EnemiesTest, AModelWithoutAPartItsTypeNeedsEndsTheProgramNamingTheCheck) {
  // Forked, not re-run: the child writes into this test's folders.
  GTEST_FLAG_SET(death_test_style, "fast");
  // "ttg.3ds" (type 29) needs a "turret" and "barrels": this one has a
  // turret only.
  BuilderModel ttg = BoxEnemy("ttg.3ds");
  ttg.nodes[0].name = "turret";
  const auto edit = [](DemoLevel* level) {
    level->instances.push_back({"ttg.3ds", {0, 80, 0}, {0, 0, 0}, 0.0f, "ttg1", {{"level", "123"}}});
  };
  EXPECT_EXIT(Start(1, edit, {ttg}), ::testing::ExitedWithCode(1), "");
  std::ifstream log(data_.Join("korvane/ERROR.LOG"));
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_NE(text.str().find("newenemy(4193): Abnormal exit"), std::string::npos) << text.str();
}

TEST_F(EnemiesTest, DeadEnemiesWhoseDeathEventsRemoveOthersLeaveTheManagersWalkWhole) {
  Start(1, [](DemoLevel* level) {
    for (BuilderInstance& instance : level->instances) {
      if (instance.name == kDemoGunInstance) instance.properties.push_back({"deathevent", "kill tank1"});
    }
  });
  CNewEnemy* gun = Named(kDemoGunInstance);
  CNewEnemy* tank = Named(kDemoTankInstance);
  gun->SetHitPoints(-1.0f);
  tank->SetHitPoints(-1.0f);
  g_pEnemyManager->Update();
  EXPECT_TRUE(gun->IsDying());
  EXPECT_TRUE(tank->IsDying());
  g_GameTime = GameTimeAdd(g_GameTime, 300);
  g_pEnemyManager->Update();
  EXPECT_EQ(Named(kDemoGunInstance), nullptr);
  EXPECT_EQ(Named(kDemoTankInstance), nullptr);
  EXPECT_NE(Named(kDemoDroneInstance), nullptr);
  int total = 0, killed = 0;
  g_pEnemyManager->GetCounts(&total, &killed);
  EXPECT_EQ(killed, 1);  // the tank went by the gun's event, not by dying
}

class EnemySavedGameTest : public EnemiesTest {
 protected:
  std::string Save() {
    const std::string path = folder_.Join("enemies.sav");
    EXPECT_TRUE(doc_->SaveGame(path.c_str()));
    return path;
  }
  void Load(const std::string& path, int laterMs) {
    DeleteDocument();
    MakeDocument();
    g_GameTime = GameTimeAdd(g_GameTime, laterMs);
    ASSERT_TRUE(doc_->OnOpenDocument(path.c_str()));
    ASSERT_NE(g_pEnemyManager, nullptr);
  }
};

TEST_F(EnemySavedGameTest, EnemiesMidMotionComeBackWithTheirStateAndFinishTheirLegs) {
  Start(1);
  CNewEnemy* drone = Spawn("drone 0 -100 0", "saved_drone");
  ASSERT_NE(drone, nullptr);
  PropSet(&drone->GetInstance()->props, NameHash("colour"), "red");
  FirstUpdate(drone);
  drone->MoveTo(0, -100, 100, 0, false);
  Run(drone, 100, 20, [] { return false; });
  ASSERT_GT(drone->GetZ(), 10.0f);
  ASSERT_LT(drone->GetZ(), 90.0f);
  CNewEnemy* gun = Named(kDemoGunInstance);
  gun->AimAt(gun->GetX() - 100, gun->GetY() - 100, gun->GetZ());
  gun->TurnParts(g_GameTime);
  gun->SetLastUpdate(GameTimeAdd(g_GameTime, -200));
  gun->TurnParts(g_GameTime);
  gun->SetLastUpdate(g_GameTime);
  CNewEnemy* tank = Named(kDemoTankInstance);
  g_pEnemyManager->DamageByInstance(tank->GetInstance(), 20.0f);

  struct Kept {
    uint64_t id;
    Vec3 pos, dest, dir, angles;
    float speed, hitPoints, turret, turretRate, gunAngle;
    int32_t lastUpdate, sinceUpdate;
    bool wobbling;
  };
  auto keep = [&](CNewEnemy* e) {
    return Kept{e->GetId(),
                e->GetPosition(),
                e->GetDestination(),
                e->GetMoveDirection(),
                e->GetAngles(),
                e->GetCurrentSpeed(),
                e->GetHitPoints(),
                e->GetPart(kPartTurret).angle,
                e->GetPart(kPartTurret).rate,
                e->GetPart(kPartGun).angle,
                e->GetLastUpdate(),
                GameTimeSince(e->GetLastUpdate(), g_GameTime),
                e->IsWobbling()};
  };
  std::vector<Kept> before;
  for (CNewEnemy* e : g_pEnemyManager->Enemies()) before.push_back(keep(e));
  int total = 0, killed = 0;
  g_pEnemyManager->GetCounts(&total, &killed);
  const std::string path = Save();

  Load(path, 3600000);
  const std::vector<CNewEnemy*> after = g_pEnemyManager->Enemies();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    SCOPED_TRACE(i);
    const Kept now = keep(after[i]);
    EXPECT_EQ(now.id, before[i].id);
    EXPECT_FLOAT_EQ(now.pos.z, before[i].pos.z);
    EXPECT_FLOAT_EQ(now.dest.z, before[i].dest.z);
    EXPECT_FLOAT_EQ(now.dir.z, before[i].dir.z);
    EXPECT_FLOAT_EQ(now.angles.y, before[i].angles.y);
    EXPECT_FLOAT_EQ(now.speed, before[i].speed);
    EXPECT_FLOAT_EQ(now.hitPoints, before[i].hitPoints);
    EXPECT_FLOAT_EQ(now.turret, before[i].turret);
    EXPECT_FLOAT_EQ(now.turretRate, before[i].turretRate);
    EXPECT_FLOAT_EQ(now.gunAngle, before[i].gunAngle);
    // A stamp keeps its age; one never set stays unset.
    if (before[i].lastUpdate == 0) {
      EXPECT_EQ(now.lastUpdate, 0);
    } else {
      EXPECT_EQ(now.sinceUpdate, before[i].sinceUpdate);
    }
    EXPECT_EQ(now.wobbling, before[i].wobbling);
    ASSERT_NE(after[i]->GetInstance(), nullptr);
  }
  int totalAfter = 0, killedAfter = 0;
  g_pEnemyManager->GetCounts(&totalAfter, &killedAfter);
  EXPECT_EQ(totalAfter, total);
  CNewEnemy* loaded = Named("saved_drone");
  ASSERT_NE(loaded, nullptr);
  EXPECT_STREQ(InstanceGetProperty(loaded->GetInstance(), "colour"), "red");
  EXPECT_EQ(loaded->GetInstance()->collidable, 1);
  CNewEnemy* loadedGun = Named(kDemoGunInstance);
  ASSERT_NE(loadedGun->GetPart(kPartTurret).node, nullptr);
  EXPECT_EQ(loadedGun->GetSpinLength(), static_cast<int>(kDemoGunRecoilFrames));
  // The leg goes on to its end.
  loaded->SetLineOfSight(true);
  Run(loaded, 100, 100, [&] { return loaded->IsAtDestination() && !loaded->IsMoving(); });
  EXPECT_FLOAT_EQ(loaded->GetZ(), 100.0f);
}

TEST(EnemyAnglesTest, AnglesWrapWholeTurnsAndDeltasTakeTheShortWay) {
  const struct {
    float in, out;
  } wraps[] = {{0.5f, 0.5f}, {kPi + 0.5f, 0.5f - kPi}, {-kPi - 0.5f, kPi - 0.5f}, {7 * kPi + 0.25f, 0.25f - kPi},
               {-40.0f, -40.0f + 6 * 2 * kPi}, {NAN, 0.0f}};
  for (const auto& w : wraps) {
    float a = w.in;
    CNewEnemy::WrapAngle(&a);
    EXPECT_NEAR(a, w.out, 1e-3f) << w.in;
    EXPECT_LE(std::fabs(a), kPi);
  }
  EXPECT_NEAR(CNewEnemy::AngleDelta(3.0f, -3.0f), 2 * kPi - 6.0f, 1e-5f);
  EXPECT_NEAR(CNewEnemy::AngleDelta(-3.0f, 3.0f), -6.0f + 2 * kPi, 1e-5f);
  EXPECT_NEAR(CNewEnemy::AngleDelta(1.0f, 0.25f), 0.75f, 1e-6f);
}

// An enemy record from its start up to the fear name, whose length is
// given.
std::vector<uint8_t> RecordWithFearLength(uint32_t length) {
  CMemFile memory;
  {
    CArchive out(&memory, CArchive::store);
    out << uint32_t{0};
    for (int i = 0; i < 3; ++i) out << static_cast<const CObject*>(nullptr);
    out << uint32_t{12};
    out << static_cast<const CObject*>(nullptr) << static_cast<const CObject*>(nullptr);
    out << uint32_t{1} << uint32_t{2} << uint32_t{0} << uint32_t{0};
    out << length;
    for (uint32_t i = 0; i < 8; ++i) out << uint8_t{'a'};
    out.Close();
  }
  return memory.Data();
}

TEST(EnemySavedStateTest, ARecordWithATextTooLongForItsFieldIsRefused) {
  for (uint32_t length : {64u, 1000u, 0xFFFFFFFFu}) {
    CMemFile in(RecordWithFearLength(length));
    CArchive archive(&in, CArchive::load);
    CNewEnemy enemy;
    EXPECT_THROW(enemy.Serialize(archive), CArchiveException) << length;
    EXPECT_EQ(enemy.GetInstance(), nullptr);
  }
}

TEST(EnemySavedStateTest, StampsKeepTheirAgeAndTheUnsetStampStaysUnset) {
  const struct {
    int32_t stamp;
    int32_t saveNow, loadNow, expected;
  } cases[] = {
      {9700, 10000, 500000, 499700},      // 300 ms old
      {10500, 10000, 20000, 20500},       // 500 ms ahead
      {0, 10000, 500000, 0},              // never
      {-5, 10, 7000, 6985},               // before the clock's wrap
  };
  for (const auto& c : cases) {
    CMemFile memory;
    {
      CArchive out(&memory, CArchive::store);
      CNewEnemy::StoreTime(out, c.saveNow, c.stamp);
      out.Close();
    }
    CMemFile in(memory.Data());
    CArchive archive(&in, CArchive::load);
    int32_t stamp = 12345;
    CNewEnemy::LoadTime(archive, c.loadNow, &stamp);
    EXPECT_EQ(stamp, c.expected) << c.stamp;
  }
}

TEST_F(EnemySavedGameTest, AnEnemyWhoseModelIsGoneOnReloadIsDroppedAndTheRestLoads) {
  Start(1);
  const int enemies = g_pEnemyManager->GetEnemyCount();
  const std::string path = Save();
  // The level without its tank model (and the tank's placement).
  std::vector<BuilderModel> models;
  ArchiveWriter mission = ArchiveWithout(ArchiveWithout(DemoMissionArchive(), kDemoLevelMember), "OBJECTS");
  for (BuilderModel& model : MakeDemoModels()) {
    if (model.name != kDemoTankModel) models.push_back(std::move(model));
  }
  ASSERT_TRUE(AddObjectsMember(&mission, models));
  ASSERT_TRUE(mission.AddMember(kDemoLevelMember, DemoLevelMember([](DemoLevel* level) {
    std::erase_if(level->instances, [](const BuilderInstance& i) { return i.model == kDemoTankModel; });
  })));
  ASSERT_TRUE(mission.WriteFile(folder_.Join("M1.CAN")));
  Load(path, 1000);
  EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), enemies - 1);
  EXPECT_EQ(Named(kDemoTankInstance), nullptr);
  EXPECT_NE(Named(kDemoGunInstance), nullptr);
  EXPECT_NE(Named(kDemoDroneInstance), nullptr);
  // The objects after the enemies were read as well.
  EXPECT_NE(g_pObjectManager, nullptr);
}

}  // namespace
