// A demo mission made for the enemies' combat tests: the level's own
// enemies left out, the demo drone's shape lent to the other enemy models a
// test names, the ship at the start, and every shot, bomb, sentry and drone
// an enemy makes recorded.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/animation.h"
#include "engine/collision.h"
#include "engine/instance.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_models.h"
#include "world/enemies/enemy_fire.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"

struct RecordedShot {
  EnemyShot shot;
  Vec3 start;
  Vec3 velocity;
};

inline std::vector<RecordedShot>& RecordedShots() {
  static std::vector<RecordedShot> shots;
  return shots;
}

class EnemyCombatTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ResetCollisionSettings();
    defaultRaiser_ = g_EnemyShieldRaiser;
    RecordedShots().clear();
    g_EnemyShotObserver = [](const CNewEnemy*, EnemyShot shot, Vec3 start, Vec3 velocity) {
      RecordedShots().push_back({shot, start, velocity});
    };
  }
  void TearDown() override {
    g_EnemyShotObserver = nullptr;
    g_EnemyShieldRaiser = defaultRaiser_;
    ResetCollisionSettings();
    DocumentTest::TearDown();
  }
  // The engine's collision settings as a program starts: they are kept
  // between queries, so a test neither takes nor leaves others.
  static void ResetCollisionSettings() {
    CollideSetMode(kCollideWorldAndInstances);
    CollideSetIgnore(nullptr);
    CollideSetInstanceChecks(0);
    g_CollidePushOut = 1;
    g_CollideVerticalScale = 0.25f;
  }
  EnemyShieldRaiser defaultRaiser_ = nullptr;
  // The mission with the models named in lent (each a copy of the demo
  // drone), its level changed by edit, without the level's own enemies
  // unless keepEnemies.
  void Start(const std::vector<std::string>& lent = {}, const std::function<void(DemoLevel*)>& edit = {},
             bool keepEnemies = false) {
    ArchiveWriter mission = ArchiveWithout(ArchiveWithout(DemoMissionArchive(), kDemoLevelMember), "OBJECTS");
    std::vector<BuilderModel> models = MakeDemoModels();
    BuilderModel drone;
    for (const BuilderModel& m : models) {
      if (m.name == kDemoDroneModel) drone = m;
    }
    for (const std::string& name : lent) {
      BuilderModel copy = drone;
      copy.name = name;
      models.push_back(copy);
    }
    ASSERT_TRUE(AddObjectsMember(&mission, models));
    ASSERT_TRUE(mission.AddMember(kDemoLevelMember, DemoLevelMember([&](DemoLevel* level) {
      if (!keepEnemies) {
        std::vector<BuilderInstance> kept;
        for (const BuilderInstance& i : level->instances) {
          if (i.model != kDemoGunModel && i.model != kDemoTankModel && i.model != kDemoDroneModel) kept.push_back(i);
        }
        level->instances = kept;
      }
      if (edit) edit(level);
    })));
    ASSERT_TRUE(mission.WriteFile(folder_.Join("M1.CAN")));
    MakeInterface(1);
    g_GameTime = 50000;
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    ASSERT_NE(g_pEnemyManager, nullptr);
    events_->raised.clear();
    // The ship's instance waits at the origin; sorted into the level's tree
    // so that the enemies' gun rays meet it.
    Instance* ship = doc_->GetPlayerShip();
    ASSERT_NE(ship, nullptr);
    InstanceUpdateMatrix(ship);
    for (InstanceNode* node = InstanceFirstNode(ship); node; node = node->nextSibling) InstanceNodeUpdate(node, 0.0f);
  }
  CNewEnemy* Spawn(const char* text, const char* name) {
    CNewEnemy* enemy = g_pEnemyManager->SpawnEnemy(0, text);
    if (!enemy) return nullptr;
    std::strcpy(enemy->GetInstance()->name, name);
    enemy->UpdateMotion(0, 0, 0, g_GameTime);
    return enemy;
  }
  Vec3 PlayerPosition() const {
    Vec3 p{0, 0, 0};
    if (CDirectPlayer* player = doc_->GetLocalPlayer()) player->GetPosition(&p.x, &p.y, &p.z);
    return p;
  }
  void Advance(int ms) { g_GameTime = GameTimeAdd(g_GameTime, ms); }
  int Count(EnemyShot shot) const {
    int n = 0;
    for (const RecordedShot& r : RecordedShots()) n += r.shot == shot ? 1 : 0;
    return n;
  }
};
