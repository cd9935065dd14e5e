// The demo's third mission, "M3.CAN", loaded and started through the
// document as a jump to it does: its enemies and the four-part boss in its
// slots, its twin doors, the sensors' script, and the boss's stages running
// in the level itself until the core's death ends the game.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/instance.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_boss_models.h"
#include "tools/builder/demo_level_3.h"
#include "tools/builder/demo_mission_3.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/script/door.h"
#include "world/script/script_manager.h"
#include "world/script/sensor.h"

namespace {

class ThirdMissionTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    std::string error;
    ASSERT_TRUE(WriteDemoMission3(folder_.Path(), &error)) << error;
    g_CurrentMissionArchive = "M3.CAN";
  }
  void TearDown() override {
    g_CurrentMissionArchive = "M1.CAN";
    DocumentTest::TearDown();
  }
  void Start(bool runs) {
    MakeInterface(2);
    MakeDocument();
    events_->runs = runs;
    ASSERT_TRUE(doc_->StartLevel());
    ASSERT_NE(g_pEnemyManager, nullptr);
    ASSERT_NE(g_pScriptManager, nullptr);
  }
  size_t Raised(const std::string& text, const std::string& source) const {
    size_t count = 0;
    for (const auto& entry : events_->raised) count += entry.first == text && entry.second == source;
    return count;
  }
  CDoor* Door(const char* name) const { return g_pScriptManager->FindDoorByName(name); }
  // The enemy manager's frame every 100 ms of game time.
  void Frames(int ms) {
    for (int t = 0; t < ms; t += 100) {
      g_GameTime = GameTimeAdd(g_GameTime, 100);
      g_pEnemyManager->Update();
    }
  }
};

TEST_F(ThirdMissionTest, StartsWithItsEnemiesTheBossInItsSlotsAndTwinDoors) {
  Start(false);
  EXPECT_TRUE(doc_->IsGameRunning());
  EXPECT_EQ(doc_->GetFileId()[0], kDemoMission3FileId);
  const std::vector<std::pair<std::string, std::string>> raised = {{kDemo3StartEvent, "player start"}};
  EXPECT_EQ(events_->raised, raised);

  const struct {
    const char* instance;
    const char* model;
    int bossSlot;
  } enemies[] = {{kDemo3GunInstances[0], kDemo3GunModel, -1},
                 {kDemo3GunInstances[1], kDemo3GunModel, -1},
                 {kDemo3FighterInstance, kDemo3FighterModel, -1},
                 {kDemo3BossPartInstances[0], kDemoBossPartModels[0], 0},
                 {kDemo3BossPartInstances[1], kDemoBossPartModels[1], 1},
                 {kDemo3BossPartInstances[2], kDemoBossPartModels[2], 2},
                 {kDemo3BossCoreInstance, kDemoBossCoreModel, 3}};
  for (const auto& e : enemies) {
    SCOPED_TRACE(e.instance);
    CNewEnemy* enemy = g_pEnemyManager->FindByNamePrefix(e.instance);
    ASSERT_NE(enemy, nullptr);
    EXPECT_STRCASEEQ(enemy->GetModelName(), e.model);
    if (e.bossSlot < 0) continue;
    EXPECT_EQ(g_pEnemyManager->GetBossPart(e.bossSlot), enemy);
    EXPECT_EQ(enemy->GetBossStage(), 2);
  }

  // Both twin doors slide; the corridor's opens by itself, the gate waits
  // for the script. Each right half follows its left.
  for (const char* const* pair : {kDemo3TwinDoorGroups, kDemo3GateGroups}) {
    CDoor* left = Door(pair[0]);
    CDoor* right = Door(pair[1]);
    ASSERT_TRUE(left && right) << pair[0];
    EXPECT_EQ(left->GetShape(), kDoorShapeSliding);
    EXPECT_EQ(right->GetShape(), kDoorShapeSliding);
    EXPECT_EQ(left->kind, pair == kDemo3TwinDoorGroups ? kDoorKindAuto : kDoorKindPlain);
    EXPECT_FALSE(right->open);
    left->SetOpen(TRUE);
    EXPECT_TRUE(right->open) << pair[1];
  }
}

TEST_F(ThirdMissionTest, HoldsItsBriefingAndFailurePagesAndItsStartSetsTheTimeLimit) {
  ArchiveWriter archive;
  std::string error;
  ASSERT_TRUE(AddDemoMission3Members(&archive, &error)) << error;
  std::set<std::string> names;
  for (const ArchiveMember& member : archive.Members()) names.insert(member.name);
  for (const char* name : {"OBJECTS", kDemoLevel3Member, "FILE_ID", "BRIEF1.BMP", "BRIEF1.TXT", "BRIEF2.BMP",
                           "BRIEF2.TXT", "FAIL3.BMP", "FAIL3.TXT"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
  Start(true);
  EXPECT_EQ(doc_->GetCountdownMs(), 480000);
  EXPECT_EQ(doc_->GetCountdownEvent(), CString("mission_failed 3"));
  CString line;
  for (const char* key : {"REACTOR", "AMBUSH", "BOSS", "CORE"}) EXPECT_TRUE(doc_->LookupText(key, line)) << key;
}

TEST_F(ThirdMissionTest, TheHallSensorUncloaksTheFighterAndOpensTheGateWhichTheArenaSensorShuts) {
  Start(true);
  CNewEnemy* fighter = g_pEnemyManager->FindByNamePrefix(kDemo3FighterInstance);
  ASSERT_NE(fighter, nullptr);
  EXPECT_EQ(fighter->GetInstance()->collidable, 0);  // cloaked by the start event
  EXPECT_TRUE(fighter->IsStopped());
  CSensor* hall = g_pScriptManager->FindSensorByName(kDemo3HallSensorInstance);
  CSensor* arena = g_pScriptManager->FindSensorByName(kDemo3ArenaSensorInstance);
  ASSERT_TRUE(hall && arena);

  hall->Trigger("player");
  EXPECT_EQ(fighter->GetInstance()->collidable, 1);
  EXPECT_FALSE(fighter->IsStopped());
  EXPECT_TRUE(Door(kDemo3GateGroups[0])->open);
  EXPECT_TRUE(Door(kDemo3GateGroups[1])->open);

  arena->Trigger("player");
  EXPECT_FALSE(Door(kDemo3GateGroups[0])->open);
  EXPECT_FALSE(Door(kDemo3GateGroups[1])->open);
  EXPECT_EQ(g_pEnemyManager->GetBeacon(), g_pEnemyManager->FindByNamePrefix(kDemo3BossCoreInstance));
}

TEST_F(ThirdMissionTest, TheBossStagesRunInTheLevelAndTheCoresDeathEndsTheGame) {
  Start(true);
  CNewEnemy* parts[4] = {};
  for (int slot = 0; slot < 4; ++slot) {
    parts[slot] = g_pEnemyManager->GetBossPart(slot);
    ASSERT_NE(parts[slot], nullptr);
  }
  CNewEnemy* core = parts[3];
  // Far from the ship the parts stay home, fighting nobody; the core is
  // hidden.
  Frames(1000);
  EXPECT_EQ(parts[0]->GetBossStage(), 2);
  EXPECT_EQ(core->GetInstance()->collidable, 0);
  EXPECT_TRUE(core->IsStopped());

  // One part worn down below 5 hit points: the stages follow in order.
  parts[1]->TakeDamage(66.0f, 66.0f, 0);
  std::vector<int> stages = {parts[0]->GetBossStage()};
  for (int ms = 0; ms < 60000 && stages.back() != 5; ms += 100) {
    Frames(100);
    if (parts[0]->GetBossStage() != stages.back()) stages.push_back(parts[0]->GetBossStage());
  }
  EXPECT_EQ(stages, (std::vector<int>{2, 3, 4, 5}));
  // The outer parts sheltering the core at its place, hidden; the core out.
  const Vec3 at = core->GetPosition();
  EXPECT_FLOAT_EQ(at.z, kDemo3BossCoreAt.z);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(parts[i]->GetInstance()->collidable, 0);
    EXPECT_NEAR(parts[i]->GetX(), at.x, 1.0f);
    EXPECT_NEAR(parts[i]->GetZ(), at.z, 1.0f);
  }
  EXPECT_EQ(core->GetInstance()->collidable, 1);
  EXPECT_FALSE(core->IsStopped());

  // The core destroyed: its death event blows the outer parts up, and the
  // ending follows four seconds later.
  core->TakeDamage(400.0f, 400.0f, 0);
  Frames(500);
  EXPECT_EQ(g_pEnemyManager->GetBossPart(3), nullptr);
  EXPECT_EQ(Raised(kDemo3CoreDeathEvent, kDemo3BossCoreInstance), 1u);
  EXPECT_EQ(g_pEnemyManager->FindByNamePrefix("boss_"), nullptr);
  ASSERT_NE(g_pInterface, nullptr);
  EXPECT_FALSE(g_pInterface->IsEndingPending());
  events_->UpdateTimedEvents(4000);
  EXPECT_TRUE(g_pInterface->IsEndingPending());
}

}  // namespace
