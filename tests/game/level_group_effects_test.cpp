// The level groups' properties in the demo mission: the records the
// document reads at level start, the group callback's buttons, healing and
// damage by contact, the arcs, and the script objects the level grammar
// makes of the machinery (sensor, doors, lift, beacon).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level.h"
#include "world/document/level_group_effects.h"
#include "world/script/script_manager.h"

namespace {

class GroupEffectsTest : public DocumentTest {
 protected:
  void StartDemo() {
    g_GameTime = 50000;
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    events_->raised.clear();
  }
  PolygonGroup* Group(const char* name) { return GroupFindByName(doc_->GetWorld(), name); }
  // The texts raised since the last call.
  size_t Raised(const std::string& text) {
    size_t count = 0;
    for (const auto& [raised, source] : events_->raised) count += raised == text;
    return count;
  }
};

TEST_F(GroupEffectsTest, TheDemoMachineryBecomesRecordsAndScriptObjects) {
  StartDemo();
  EXPECT_EQ(doc_->Buttons().GetCount(), 1);
  void* button = reinterpret_cast<void*>(1);
  EXPECT_TRUE(doc_->Buttons().Lookup(kDemoLiftButtonGroup, button));
  EXPECT_EQ(button, nullptr) << "buttons start released";
  EXPECT_EQ(doc_->AttachedLights().GetCount(), 1);
  EXPECT_EQ(Group(kDemoHealPadGroup)->callback, &CNetDoc::OnGroupEvent);

  CScriptManager& scripts = *g_pScriptManager;
  const struct {
    const char* name;
    DoorShape shape;
    DoorKind kind;
  } doors[] = {
      {kDemoDoorGroup, kDoorShapeSliding, kDoorKindAuto},
      {kDemoFanGroup, kDoorShapeRotating, kDoorKindSpin},
      {kDemoPistonGroup, kDoorShapeSliding, kDoorKindContinuous},
      {kDemoVaultDoorGroup, kDoorShapeRotating, kDoorKindPlain},
  };
  for (const auto& d : doors) {
    CDoor* door = scripts.FindDoorByName(d.name);
    ASSERT_NE(door, nullptr) << d.name;
    EXPECT_EQ(door->GetShape(), d.shape) << d.name;
    EXPECT_EQ(door->kind, d.kind) << d.name;
  }
  ASSERT_EQ(scripts.Movements().size(), 1u);
  EXPECT_EQ(Group(kDemoLiftPlatformGroup)->parent, Group(kDemoLiftGroup));
  EXPECT_TRUE(GroupIsVisible(Group(kDemoLiftPlatformGroup))) << "the platform stays shown";
  EXPECT_FALSE(GroupIsVisible(Group(kDemoLiftGroup)));
  ASSERT_EQ(scripts.FacingObjects().size(), 1u);
  ASSERT_NE(scripts.FindSensorByName(kDemoSensorInstance), nullptr);
}

TEST_F(GroupEffectsTest, AButtonRaisesItsEventOncePerPressAndReleasesAfterThreeFrames) {
  StartDemo();
  PolygonGroup* button = Group(kDemoLiftButtonGroup);
  CollisionSourceScope ship(kCollisionSourceShip);
  const std::string event = "transfer movement_lift";
  // One frame: the buttons' step, then the ship's collision.
  auto frame = [&](bool touch) {
    doc_->UpdateButtons();
    if (touch) CNetDoc::OnGroupEvent(button, kGroupPushed);
  };
  frame(true);
  frame(true);
  EXPECT_EQ(Raised(event), 1u);
  frame(false);
  frame(true);  // held: the counter starts again
  frame(false);
  frame(false);
  EXPECT_EQ(Raised(event), 1u);
  // The third frame's step releases it before the ship's contact presses
  // it again.
  frame(true);
  EXPECT_EQ(Raised(event), 2u);

  // A trigger polygon's touch (code 3) and a missile's push never press it.
  events_->raised.clear();
  for (int i = 0; i < 4; ++i) frame(false);
  CNetDoc::OnGroupEvent(button, kGroupTrigger);
  {
    CollisionSourceScope missile(kCollisionSourceMissile);
    CNetDoc::OnGroupEvent(button, kGroupPushed);
  }
  EXPECT_EQ(Raised(event), 0u);
}

TEST_F(GroupEffectsTest, ContactHealsAndHurtsTheShipAtMost200MillisecondsWorth) {
  StartDemo();
  CDirectPlayer* player = doc_->GetLocalPlayer();
  ASSERT_NE(player, nullptr);
  player->SetHealth(10.0f);
  CollisionSourceScope ship(kCollisionSourceShip);
  CNetDoc::OnGroupEvent(Group(kDemoHealPadGroup), kGroupPushed);
  EXPECT_FLOAT_EQ(player->GetHealth(), 11.0f) << "5 a second, capped at 200 ms";
  g_GameTime += 100;
  CNetDoc::OnGroupEvent(Group(kDemoHealPadGroup), kGroupPushed);
  EXPECT_FLOAT_EQ(player->GetHealth(), 11.5f);

  const float shields = player->GetShields();
  g_GameTime += 5000;
  CNetDoc::OnGroupEvent(Group(kDemoShockPanelGroup), kGroupPushed);
  EXPECT_FLOAT_EQ(player->GetShields(), shields - 1.6f) << "8 a second, capped at 200 ms";

  // Another object's contact, or a hidden pad, does nothing.
  {
    CollisionSourceScope other(kCollisionSourceOther);
    g_GameTime += 1000;
    CNetDoc::OnGroupEvent(Group(kDemoHealPadGroup), kGroupPushed);
  }
  GroupHide(Group(kDemoHealPadGroup), 0);
  CNetDoc::OnGroupEvent(Group(kDemoHealPadGroup), kGroupPushed);
  EXPECT_FLOAT_EQ(player->GetHealth(), 11.5f);
}

TEST_F(GroupEffectsTest, TheSensorOpensTheVaultDoorWhichShutsAgainAndLetsTheFanTurn) {
  StartDemo();
  events_->runs = true;
  World* world = doc_->GetWorld();
  CDoor* vault = g_pScriptManager->FindDoorByName(kDemoVaultDoorGroup);
  CDoor* fan = g_pScriptManager->FindDoorByName(kDemoFanGroup);
  ASSERT_NE(vault, nullptr);
  ASSERT_NE(fan, nullptr);
  g_pScriptManager->TestActor(kDemoSensorAt.x + 200, kDemoSensorAt.y, kDemoSensorAt.z, 10, "player");
  EXPECT_FALSE(vault->open);
  g_pScriptManager->TestActor(kDemoSensorAt.x + 89, kDemoSensorAt.y, kDemoSensorAt.z, 10, "player");
  EXPECT_TRUE(vault->open);
  EXPECT_TRUE(GroupIsMoving(vault->GetGroup()));
  EXPECT_TRUE(fan->frozen);
  ASSERT_FALSE(events_->raised.empty());
  EXPECT_EQ(events_->raised[0].second, "sensor sensor1 by player");
  // Open after two seconds at 0.5; shut three seconds later, then the fan
  // turns again.
  WorldUpdateMovers(world, 2.5f);
  EXPECT_FALSE(GroupIsMoving(vault->GetGroup()));
  g_pEventManager->UpdateTimedEvents(3000);
  EXPECT_FALSE(vault->open);
  EXPECT_TRUE(GroupIsMoving(vault->GetGroup()));
  WorldUpdateMovers(world, 2.5f);
  EXPECT_FALSE(fan->frozen);
  EXPECT_TRUE(GroupIsMoving(fan->GetGroup()));
  // Released with the level: no callback reaches the freed world.
  DeleteDocument();
  EXPECT_EQ(g_CallbackWorld, nullptr);
}

TEST_F(GroupEffectsTest, TheButtonRunsTheLiftUpAndBackDown) {
  StartDemo();
  events_->runs = true;
  World* world = doc_->GetWorld();
  PolygonGroup* lift = Group(kDemoLiftGroup);
  PolygonGroup* platform = Group(kDemoLiftPlatformGroup);
  WorldRebuildGroups(world);
  float x, y, z;
  GroupGetCentre(platform, &x, &y, &z);
  const float restY = y;
  {
    CollisionSourceScope ship(kCollisionSourceShip);
    CNetDoc::OnGroupEvent(Group(kDemoLiftButtonGroup), kGroupPushed);
  }
  EXPECT_TRUE(GroupIsMoving(lift));
  WorldUpdateMovers(world, 1.0f);
  WorldRebuildGroups(world);
  GroupGetCentre(platform, &x, &y, &z);
  EXPECT_NEAR(y, restY - 30.0f, 0.01f) << "half way up after one of two seconds";
  WorldUpdateMovers(world, 1.5f);  // the top: "reverse" sends it down
  EXPECT_TRUE(GroupIsMoving(lift));
  WorldUpdateMovers(world, 2.5f);
  WorldRebuildGroups(world);
  GroupGetCentre(platform, &x, &y, &z);
  EXPECT_NEAR(y, restY, 0.01f);
  EXPECT_FALSE(GroupIsMoving(lift));
}

}  // namespace
