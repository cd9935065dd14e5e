// Collision in the demo mission, loaded as the level loader loads it: a ship
// flying up the door corridor crosses the trigger plane and runs into the
// closed door; the door blocks the line of sight until it is hidden.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/collision.h"
#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "tests/support/demo_engine.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_level.h"

namespace {

std::vector<std::pair<PolygonGroup*, int>> g_Calls;
void Record(PolygonGroup* group, int code) { g_Calls.push_back({group, code}); }

class CollisionDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoData(temp_.Path(), &error)) << error;
    ASSERT_EQ(OpenTextureArchive(kTextureBudgetDefault, temp_.Join("TEXTURES.CAN").c_str()), 1);
    ASSERT_EQ(ArchiveOpen(temp_.Join("M1.CAN").c_str()), 1);
    ASSERT_EQ(ArchiveFindMember("OBJECTS"), 1);
    ASSERT_EQ(ModelsReload(), 1);
    ASSERT_EQ(ArchiveFindMember(kDemoLevelMember), 1);
    ASSERT_EQ(WorldLoad(&world_), 1);
    ASSERT_EQ(ArchiveClose(), 1);
    WorldRebuildGroups(world_);
    door_ = GroupFindByName(world_, kDemoDoorGroup);
    trigger_ = GroupFindByName(world_, kDemoTriggerGroup);
    ASSERT_TRUE(door_ && trigger_);
    GroupSetCallback(door_, &Record);
    GroupSetCallback(trigger_, &Record);
    g_Calls.clear();
    g_CollideVerticalScale = 1.0f;
  }
  void TearDown() override {
    WorldFree(world_);
    DemoEngineReset();
    g_CollideVerticalScale = 0.25f;
  }

  TempFolder temp_;
  World* world_ = nullptr;
  PolygonGroup* door_ = nullptr;
  PolygonGroup* trigger_ = nullptr;
};

TEST_F(CollisionDemoTest, ShipCrossesTheTriggerAndStopsAtTheDoor) {
  // The corridor runs along z; the trigger plane is at z = 560, the door's
  // near face at z = 642; floor y = 100, ceiling y = -40.
  float x = 0, y = 30, z = 555;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 17.0f), kCollideNothing);
  EXPECT_EQ(z, 555.0f);
  EXPECT_EQ(g_Calls, (std::vector<std::pair<PolygonGroup*, int>>{{trigger_, kGroupTrigger}}));
  g_Calls.clear();
  x = 0, y = 30, z = 638;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 17.0f), kCollidePolygon);
  EXPECT_NEAR(z, 642 - 17.0001f, 1e-3f);
  EXPECT_EQ(CollideLastHit()->group, door_);
  EXPECT_EQ(g_Calls, (std::vector<std::pair<PolygonGroup*, int>>{{door_, kGroupPushed}}));
}

TEST_F(CollisionDemoTest, ClosedDoorBlocksTheViewUntilItIsHidden) {
  EXPECT_EQ(WorldSegmentBlocked(world_, 0, 30, 450, 0, 30, 850), 1);
  float x = 0, y = 30, z = 850;
  EXPECT_EQ(CollideSegment(world_, 0, 30, 450, &x, &y, &z), 1);
  EXPECT_FLOAT_EQ(z, 642.0f);  // the trigger at 560 lets it through
  GroupHide(door_, 1);
  WorldRebuildGroups(world_);
  EXPECT_EQ(WorldSegmentBlocked(world_, 0, 30, 450, 0, 30, 850), 0);
  // The floor still holds the ship up.
  x = 0, y = 90, z = 700;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 17.0f), kCollidePolygon);
  EXPECT_NEAR(y, 100 - 17.0001f, 1e-3f);
}

}  // namespace
