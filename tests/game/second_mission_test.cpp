// The demo's second mission, "M2.CAN", loaded and started through the
// document as a jump to it does: its file id, its start event, its own
// enemy types, its doors, and the seal that two valve turns open.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/instance.h"
#include "engine/model.h"
#include "engine/polygon_group.h"
#include "game/game_app.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level_2.h"
#include "tools/builder/demo_mission_2.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/enemy_types.h"
#include "world/enemies/new_enemy.h"
#include "world/script/door.h"
#include "world/script/script_manager.h"

namespace {

class SecondMissionTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    std::string error;
    ASSERT_TRUE(WriteDemoMission2(folder_.Path(), &error)) << error;
    g_CurrentMissionArchive = "M2.CAN";
  }
  void TearDown() override {
    g_CurrentMissionArchive = "M1.CAN";
    DocumentTest::TearDown();
  }
  size_t Raised(const std::string& text) const {
    size_t count = 0;
    for (const auto& entry : events_->raised) count += entry.first == text;
    return count;
  }
};

TEST_F(SecondMissionTest, StartsWithItsOwnEnemiesDoorsAndStartEvent) {
  MakeInterface(2);
  MakeDocument();
  ASSERT_TRUE(doc_->StartLevel());
  EXPECT_TRUE(doc_->IsGameRunning());
  EXPECT_EQ(doc_->GetFileId()[0], kDemoMission2FileId);
  const std::vector<std::pair<std::string, std::string>> raised = {{kDemo2StartEvent, "player start"}};
  EXPECT_EQ(events_->raised, raised);

  // The three guards are enemies of the types the first mission lacks.
  ASSERT_NE(g_pEnemyManager, nullptr);
  const struct {
    const char* instance;
    const char* model;
  } guards[] = {{kDemo2TurretInstance, kDemo2TurretModel},
                {kDemo2TruckInstance, kDemo2TruckModel},
                {kDemo2WingDroneInstance, kDemo2WingDroneModel}};
  for (const auto& guard : guards) {
    CNewEnemy* enemy = g_pEnemyManager->FindByNamePrefix(guard.instance);
    ASSERT_NE(enemy, nullptr) << guard.instance;
    EXPECT_STRCASEEQ(enemy->GetModelName(), guard.model);
  }

  // The seal slides and waits for two valve turns; the gate swings and
  // opens by itself.
  ASSERT_NE(g_pScriptManager, nullptr);
  CDoor* seal = g_pScriptManager->FindDoorByName(kDemo2SealDoorGroup);
  CDoor* gate = g_pScriptManager->FindDoorByName(kDemo2GateGroup);
  ASSERT_TRUE(seal && gate);
  EXPECT_EQ(seal->GetShape(), kDoorShapeSliding);
  EXPECT_EQ(seal->counter, 2);
  EXPECT_EQ(gate->GetShape(), kDoorShapeRotating);
  EXPECT_EQ(gate->kind, kDoorKindAuto);
}

TEST_F(SecondMissionTest, TwoValveTurnsOpenTheSealAndTheRoofSensorSpawnsADroneAndLeadsToTheThirdMission) {
  MakeInterface(2);
  MakeDocument();
  events_->runs = true;
  ASSERT_TRUE(doc_->StartLevel());
  CDoor* seal = g_pScriptManager ? g_pScriptManager->FindDoorByName(kDemo2SealDoorGroup) : nullptr;
  ASSERT_NE(seal, nullptr);
  const std::string opened = "open door_seal|log SEAL";
  events_->RaiseEvent("deccounter door_seal", "button_valve_a");
  EXPECT_EQ(Raised(opened), 0u);
  events_->RaiseEvent("deccounter door_seal", "button_valve_b");
  EXPECT_EQ(Raised(opened), 1u);
  EXPECT_EQ(seal->counter, 0);

  const int before = g_pEnemyManager->GetEnemyCount();
  events_->RaiseEvent(kDemo2RoofEvent, "sensor");
  EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), before + 1);
  // Four seconds on the mission is accomplished: the third one is next.
  EXPECT_TRUE(g_NextMissionArchive.IsEmpty());
  events_->UpdateTimedEvents(4000);
  EXPECT_STREQ(g_NextMissionArchive.GetString(), "M3.CAN");
  g_NextMissionArchive.Empty();
}

// The gallery behind the tower: one enemy of each of its types, asleep
// until its sensor's event wakes it; the far sensor off until the boss
// wakes, then spawning the script's own two types; the vault's parent door
// counted down by the big guns' deaths.
TEST_F(SecondMissionTest, TheGalleryEnemiesSleepUntilTheirSensorsWakeThemAndTheVaultCountsTheBigGunsDown) {
  MakeInterface(2);
  MakeDocument();
  events_->runs = true;
  ASSERT_TRUE(doc_->StartLevel());
  ASSERT_TRUE(g_pEnemyManager && g_pScriptManager);
  for (const DemoGalleryEnemy& entry : kDemo2GalleryEnemies) {
    SCOPED_TRACE(entry.instance);
    CNewEnemy* enemy = g_pEnemyManager->FindByNamePrefix(entry.instance);
    ASSERT_NE(enemy, nullptr);
    EXPECT_STRCASEEQ(enemy->GetModelName(), entry.model);
    EXPECT_EQ(enemy->GetKind(), EnemyTypeOfModel(entry.model));
    EXPECT_EQ(enemy->MissingPartLine(), 0);
    EXPECT_TRUE(enemy->IsStopped());
    ASSERT_NE(g_pScriptManager->FindSensorByName((std::string("sensor_") + entry.instance).c_str()), nullptr);
  }
  // A wake: the ttt waits 1.5 s, the others start at once.
  CNewEnemy* tmsl = g_pEnemyManager->FindByNamePrefix("zoo01_tmsl");
  events_->RaiseEvent(kDemo2GalleryEnemies[0].wake, "sensor");
  EXPECT_FALSE(tmsl->IsStopped());

  CSensor* end = g_pScriptManager->FindSensorByName(kDemo2GallerySpawnSensor);
  ASSERT_NE(end, nullptr);
  EXPECT_TRUE(end->disabled);
  events_->RaiseEvent(kDemo2GalleryEnemies[5].wake, "sensor");
  EXPECT_FALSE(end->disabled);
  EXPECT_FLOAT_EQ(end->radius, 180.0f);
  const int before = g_pEnemyManager->GetEnemyCount();
  events_->RaiseEvent(kDemo2GallerySpawnEvent, "sensor");
  EXPECT_EQ(g_pEnemyManager->GetEnemyCount(), before + 2);
  for (const char* hatch : {"zoo_hatch_l", "zoo_hatch_r"}) {
    EXPECT_FALSE(GroupIsVisible(GroupFindByName(doc_->GetWorld(), hatch))) << hatch;
  }
  const std::vector<CNewEnemy*> all = g_pEnemyManager->Enemies();
  EXPECT_EQ(all[all.size() - 2]->GetKind(), EnemyTypeOfModel("drugie.3ds"));
  EXPECT_EQ(all[all.size() - 1]->GetKind(), EnemyTypeOfModel("ready.3ds"));

  CDoor* vault = g_pScriptManager->FindDoorByName(kDemo2GalleryVaultGroup);
  ASSERT_NE(vault, nullptr);
  EXPECT_EQ(vault->GetShape(), kDoorShapeParent);
  EXPECT_EQ(vault->counter, 2);
  events_->RaiseEvent(kDemo2GalleryVaultDeath, "zoo06_boss");
  events_->RaiseEvent(kDemo2GalleryVaultDeath, "zoo16_bossa");
  EXPECT_EQ(vault->counter, 0);
  EXPECT_TRUE(vault->open);
  // The leaves slide apart along the axes setaxis gave them.
  PolygonGroup* left = GroupFindByName(doc_->GetWorld(), "sliding_zoo_vault_l");
  PolygonGroup* right = GroupFindByName(doc_->GetWorld(), "sliding_zoo_vault_r");
  ASSERT_TRUE(left && right);
  EXPECT_TRUE(GroupIsMoving(left) && GroupIsMoving(right));
  EXPECT_FLOAT_EQ(left->axis.x, -100.0f);
  EXPECT_FLOAT_EQ(right->axis.x, 100.0f);
  EXPECT_EQ(g_pEnemyManager->FindByNamePrefix("zoo01_tmsl"), nullptr);
}

// A game saved before the vault opens: the gallery sleeps on after the load,
// and the vault's leaves (restored as plain doors, which setaxis leaves
// alone) still open when the big guns are dead.
TEST_F(SecondMissionTest, AfterALoadTheGallerySleepsOnAndTheVaultStillOpens) {
  MakeInterface(2);
  MakeDocument();
  events_->runs = true;
  ASSERT_TRUE(doc_->StartLevel());
  const std::string path = folder_.Join("gallery.sav");
  ASSERT_TRUE(doc_->SaveGame(path.c_str()));
  DeleteDocument();
  MakeDocument();
  events_->runs = true;
  ASSERT_TRUE(doc_->OnOpenDocument(path.c_str()));
  ASSERT_TRUE(g_pEnemyManager && g_pScriptManager);
  for (const DemoGalleryEnemy& entry : kDemo2GalleryEnemies) {
    CNewEnemy* enemy = g_pEnemyManager->FindByNamePrefix(entry.instance);
    ASSERT_NE(enemy, nullptr) << entry.instance;
    EXPECT_TRUE(enemy->IsStopped()) << entry.instance;
  }
  events_->RaiseEvent(kDemo2GalleryVaultDeath, "zoo06_boss");
  events_->RaiseEvent(kDemo2GalleryVaultDeath, "zoo16_bossa");
  CDoor* vault = g_pScriptManager->FindDoorByName(kDemo2GalleryVaultGroup);
  ASSERT_NE(vault, nullptr);
  EXPECT_EQ(vault->counter, 0);
  EXPECT_TRUE(vault->open);
  for (const char* leaf : {"sliding_zoo_vault_l", "sliding_zoo_vault_r"}) {
    EXPECT_TRUE(GroupIsMoving(GroupFindByName(doc_->GetWorld(), leaf))) << leaf;
  }
}

}  // namespace
