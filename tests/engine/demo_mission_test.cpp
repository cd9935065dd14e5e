// The demo data set's first mission, loaded the way the level loader loads
// it: textures, "OBJECTS", the "*.CCW" world and "FILE_ID"; then run for a
// while and freed (the sanitizer build checks that nothing is left).
#include "tools/builder/demo_mission.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/instance.h"
#include "engine/light.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "tests/support/demo_engine.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_level.h"

namespace {

class DemoMissionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(WriteDemoData(temp_.Path(), &error)) << error;
    ASSERT_EQ(OpenTextureArchive(kTextureBudgetDefault, temp_.Join("TEXTURES.CAN").c_str()), 1);
    ASSERT_EQ(ArchiveOpen(temp_.Join("M1.CAN").c_str()), 1);
    ASSERT_EQ(ArchiveFindMember("OBJECTS"), 1);
    ASSERT_EQ(ModelsReload(), 1);
    const ArchiveEntry* member = ArchiveFindWildcard("*.CCW");
    ASSERT_NE(member, nullptr);
    EXPECT_STREQ(member->name, kDemoLevelMember);
    ASSERT_EQ(ArchiveFindMember(member->name), 1);
    ASSERT_EQ(WorldLoad(&world_), 1);
    ASSERT_EQ(ArchiveFindMember("FILE_ID"), 1);
    ASSERT_EQ(ArchiveReadInt(&fileId_), 1);
    ASSERT_EQ(ArchiveClose(), 1);
  }
  void TearDown() override {
    WorldFree(world_);
    DemoEngineReset();
  }

  TempFolder temp_;
  World* world_ = nullptr;
  int fileId_ = 0;
};

}  // namespace

TEST_F(DemoMissionTest, LoadsWithEverythingTheLevelNeeds) {
  EXPECT_EQ(fileId_, kDemoMission1FileId);
  EXPECT_FLOAT_EQ(DepthCueFar(), 2200.0f);
  EXPECT_STREQ(WorldGetProperty(world_, "name"), "Pump Station");

  // The door: a stopped slide with its axis line; the fan: a running
  // full turn with a child group; the trigger plane.
  PolygonGroup* door = GroupFindByName(world_, kDemoDoorGroup);
  PolygonGroup* fan = GroupFindByName(world_, kDemoFanGroup);
  PolygonGroup* hub = GroupFindByName(world_, kDemoFanHubGroup);
  PolygonGroup* trigger = GroupFindByName(world_, kDemoTriggerGroup);
  ASSERT_TRUE(door && fan && hub && trigger);
  EXPECT_EQ(door->moverType, -kMoverSlide);
  EXPECT_STREQ(GroupGetProperty(door, "type"), "sliding");
  EXPECT_EQ(fan->moverType, kMoverRotate);
  EXPECT_EQ(fan->angle, 0.0f);
  EXPECT_EQ(world_->firstMover, fan);
  EXPECT_EQ(hub->parent, fan);
  EXPECT_EQ(trigger->polygonCount, 1);
  EXPECT_NE(trigger->polygons[0]->flags & kPolygonTrigger, 0);
  int doorLines = 0;
  for (WorldPolygon* p = GroupFirstPolygon(door); p; p = GroupNextPolygon(p)) doorLines += p->vertexCount == 2;
  EXPECT_EQ(doorLines, 1);
  int lines = 0;
  for (WorldPolygon* p = world_->firstLine; p; p = p->nextLine) ++lines;
  EXPECT_GE(lines, 2);

  // Point and sphere lights.
  int points = 0, spheres = 0;
  for (Light* light = world_->firstLight; light; light = light->next) {
    (light->type == kLightTypeSphere ? spheres : points) += 1;
  }
  EXPECT_GE(points, 5);
  EXPECT_EQ(spheres, 1);
  LightsSeparateSpheres(world_);
  EXPECT_NE(world_->firstSphereLight, nullptr);

  // Every textured polygon names a texture of the demo set (none became a
  // placeholder), and more than a handful of different ones.
  std::set<std::string> names;
  int polygons = 0;
  for (WorldPolygon* p = world_->firstPolygon; p; p = p->next) {
    ++polygons;
    if (!p->surface) continue;
    ASSERT_NE(p->surface->texture, nullptr);
    EXPECT_EQ(p->surface->texture->temporary, 0) << p->surface->texture->name;
    names.insert(p->surface->texture->name);
  }
  EXPECT_GT(polygons, 90);
  EXPECT_GE(names.size(), 12u);
  EXPECT_EQ(names.count("!GRATE01.BMP"), 1u);

  // The instances, with the player start and its event.
  Instance* start = nullptr;
  int instances = 0;
  for (Instance* instance = world_->firstInstance; instance; instance = instance->next) {
    ++instances;
    ASSERT_NE(instance->model, nullptr);
    if (instance->model == ModelFindByFileName("player.3ds")) start = instance;
  }
  EXPECT_GE(instances, 8);
  ASSERT_NE(start, nullptr);
  EXPECT_NE(InstanceGetProperty(start, "event"), nullptr);
  EXPECT_NE(ModelFindByFileName("hero.3ds"), nullptr);
}

TEST_F(DemoMissionTest, TheDoorOpensAndTheFanTurnsAsTheWorldRuns) {
  PolygonGroup* door = GroupFindByName(world_, kDemoDoorGroup);
  PolygonGroup* fan = GroupFindByName(world_, kDemoFanGroup);
  WorldRebuildGroups(world_);
  const float doorY = door->worldCentre.y;
  GroupSetMoverState(door, 0.0f, 0.5f);
  GroupStartMover(door);
  for (int frame = 0; frame < 50; ++frame) {
    WorldUpdate(world_, 50);
    WorldRebuildGroups(world_);
  }
  EXPECT_EQ(GroupIsMoving(door), 0);  // open: two seconds at 0.5 a second
  EXPECT_FLOAT_EQ(door->position, 1.0f);
  EXPECT_NEAR(door->worldCentre.y, doorY - 240.0f, 1e-2f);
  EXPECT_EQ(GroupIsMoving(fan), 1);
  EXPECT_NEAR(fan->position, 0.625f, 1e-4f);  // 2.5 s at a quarter turn a second
}
