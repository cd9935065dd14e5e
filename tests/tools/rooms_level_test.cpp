// The level of rooms that the scale benchmarks load: its layout and that the
// game's own loader reads it back.
#include "tools/builder/rooms_level.h"

#include <gtest/gtest.h>

#include "engine/world.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_textures.h"
#include "tools/frame/mission_frame.h"

namespace {

int CountPolygons(const World* world) {
  int count = 0;
  for (const WorldPolygon* p = world->firstPolygon; p; p = p->next) ++count;
  return count;
}

TEST(RoomsLevelTest, RoomsLieOnASquareGridJoinedByPassages) {
  EXPECT_EQ(RoomsPerRow(1), 1);
  EXPECT_EQ(RoomsPerRow(5), 3);
  EXPECT_EQ(RoomsPerRow(9), 3);
  EXPECT_EQ(RoomCorner(5, 4).x, kRoomsPitch);
  EXPECT_EQ(RoomCorner(5, 4).z, kRoomsPitch);
  EXPECT_EQ(RoomsMiddle(9), 4);
  EXPECT_LT(RoomsMiddle(2), 2);

  // Five rooms: two rows (3 + 2), five passages between neighbours.
  World* world = RoomsWorldCreate();
  RoomsLevel level;
  BuildRoomsLevel(world, 5, &level);
  int lights = 0;
  for (const Light* light = world->firstLight; light; light = light->next) ++lights;
  EXPECT_EQ(lights, 5);
  // Every floor tile, hazard strip and passage floor lies at the root.
  EXPECT_EQ(world->bspRoot->fragmentCount, 5 * (16 + 2) + 5);
  // Per room 16 + 16 tiles, 4 pillar sides and 2 strips; walls of 1 piece,
  // or 3 round a doorway (10 doorways); 4 polygons per passage.
  EXPECT_EQ(CountPolygons(world), 5 * (32 + 4 + 2) + (5 * 4 - 10) + 10 * 3 + 5 * 4);
  ASSERT_EQ(level.instances.size(), 1u);
  WorldFree(world);
}

TEST(RoomsLevelTest, TheMissionArchiveLoadsAsALevel) {
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(WriteDemoTextures(folder.Path(), &error)) << error;
  ASSERT_TRUE(WriteRoomsMission(folder.Path(), 4, &error)) << error;
  MissionScene scene;
  ASSERT_TRUE(MissionSceneLoad(folder.Join("TEXTURES.CAN"), folder.Join("M1.CAN"), &scene, &error)) << error;
  EXPECT_TRUE(scene.hasStart);
  EXPECT_EQ(CountPolygons(scene.world), 4 * 38 + (4 * 4 - 8) + 8 * 3 + 4 * 4);
  MissionSceneFree(&scene);
}

}  // namespace
