#include "tools/builder/rooms_level.h"

#include <cmath>

#include "engine/bsp.h"
#include "engine/name_hash.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "platform/paths.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/level_builder.h"
#include "tools/builder/palette_builder.h"
#include "tools/builder/model_writer.h"

namespace {

// Doorways: 120 wide in the middle of a wall, 140 high from the floor.
constexpr float kDoorFrom = 140.0f;
constexpr float kDoorTo = 260.0f;
constexpr float kDoorTop = -40.0f;

constexpr const char* kWallTextures[] = {kDemoWallBrick, kDemoWallConcrete, kDemoWallTech};

// A rectangle in the horizontal plane y, facing up (-y) or down (+y).
void Horizontal(LevelBuilder& b, float x0, float x1, float z0, float z1, float y, bool facingDown, const char* texture,
                float light) {
  b.Polygon({{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}}, {0, facingDown ? 1.0f : -1.0f, 0}, texture, light);
}

// An upright rectangle in the plane z = at, facing +z or -z.
void WallZ(LevelBuilder& b, float at, float x0, float x1, float y0, float y1, float facing, const char* texture,
           float light) {
  b.Polygon({{x0, y0, at}, {x1, y0, at}, {x1, y1, at}, {x0, y1, at}}, {0, 0, facing}, texture, light);
}

// An upright rectangle in the plane x = at, facing +x or -x.
void WallX(LevelBuilder& b, float at, float z0, float z1, float y0, float y1, float facing, const char* texture,
           float light) {
  b.Polygon({{at, y0, z0}, {at, y0, z1}, {at, y1, z1}, {at, y1, z0}}, {facing, 0, 0}, texture, light);
}

bool RoomExists(int rooms, int row, int column) {
  const int perRow = RoomsPerRow(rooms);
  return row >= 0 && column >= 0 && column < perRow && row * perRow + column < rooms;
}

// The short passage from a room to its neighbour along +x (alongX) or +z.
void Passage(LevelBuilder& b, Vec3 corner, bool alongX) {
  const float from = kRoomsSize, to = kRoomsPitch;
  const float light = 0.3f;
  if (alongX) {
    const float x0 = corner.x + from, x1 = corner.x + to, z0 = corner.z + kDoorFrom, z1 = corner.z + kDoorTo;
    Horizontal(b, x0, x1, z0, z1, kRoomsFloor, false, kDemoFloorGrating, light);
    Horizontal(b, x0, x1, z0, z1, kDoorTop, true, kDemoMetalPlate, light);
    WallZ(b, z0, x0, x1, kDoorTop, kRoomsFloor, 1, kDemoMetalPlate, light);
    WallZ(b, z1, x0, x1, kDoorTop, kRoomsFloor, -1, kDemoMetalPlate, light);
  } else {
    const float z0 = corner.z + from, z1 = corner.z + to, x0 = corner.x + kDoorFrom, x1 = corner.x + kDoorTo;
    Horizontal(b, x0, x1, z0, z1, kRoomsFloor, false, kDemoFloorGrating, light);
    Horizontal(b, x0, x1, z0, z1, kDoorTop, true, kDemoMetalPlate, light);
    WallX(b, x0, z0, z1, kDoorTop, kRoomsFloor, 1, kDemoMetalPlate, light);
    WallX(b, x1, z0, z1, kDoorTop, kRoomsFloor, -1, kDemoMetalPlate, light);
  }
}

void Room(LevelBuilder& b, int rooms, int index) {
  const int perRow = RoomsPerRow(rooms);
  const int row = index / perRow, column = index % perRow;
  const Vec3 c = RoomCorner(rooms, index);
  const float light = 0.3f + 0.05f * static_cast<float>(index % 3);

  // Floor and ceiling tiles.
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 4; ++k) {
      const float x0 = c.x + i * kRoomsTile, z0 = c.z + k * kRoomsTile;
      Horizontal(b, x0, x0 + kRoomsTile, z0, z0 + kRoomsTile, kRoomsFloor, false, kDemoFloorTiles, light + 0.1f);
      Horizontal(b, x0, x0 + kRoomsTile, z0, z0 + kRoomsTile, kRoomsCeiling, true, kDemoCeiling, light - 0.05f);
    }
  }

  // Walls, with a doorway toward every neighbour.
  std::vector<LevelOpening> doors;
  const LevelOpening byFace[] = {
      {kFaceMinX, c.z + kDoorFrom, c.z + kDoorTo, kDoorTop, kRoomsFloor},
      {kFaceMaxX, c.z + kDoorFrom, c.z + kDoorTo, kDoorTop, kRoomsFloor},
      {kFaceMinZ, c.x + kDoorFrom, c.x + kDoorTo, kDoorTop, kRoomsFloor},
      {kFaceMaxZ, c.x + kDoorFrom, c.x + kDoorTo, kDoorTop, kRoomsFloor},
  };
  const bool neighbour[] = {RoomExists(rooms, row, column - 1), RoomExists(rooms, row, column + 1),
                            RoomExists(rooms, row - 1, column), RoomExists(rooms, row + 1, column)};
  for (int k = 0; k < 4; ++k) {
    if (neighbour[k]) doors.push_back(byFace[k]);
  }
  LevelRoomStyle style = {};
  const char* walls = kWallTextures[index % 3];
  for (LevelFace face : {kFaceMinX, kFaceMaxX, kFaceMinZ, kFaceMaxZ}) {
    style.textures[face] = walls;
    style.light[face] = light;
  }
  b.Room({c.x, kRoomsCeiling, c.z}, {c.x + kRoomsSize, kRoomsFloor, c.z + kRoomsSize}, style, doors);

  // A pillar off the centre, from floor to ceiling.
  const float px = c.x + 240, pz = c.z + 120, p = 40;
  WallX(b, px, pz, pz + p, kRoomsCeiling, kRoomsFloor, -1, kDemoMetalPlate, light);
  WallX(b, px + p, pz, pz + p, kRoomsCeiling, kRoomsFloor, 1, kDemoMetalPlate, light);
  WallZ(b, pz, px, px + p, kRoomsCeiling, kRoomsFloor, -1, kDemoMetalPlate, light);
  WallZ(b, pz + p, px, px + p, kRoomsCeiling, kRoomsFloor, 1, kDemoMetalPlate, light);

  // Two hazard strips lying on floor tiles of two corners.
  Horizontal(b, c.x + 10, c.x + 30, c.z + 10, c.z + 90, kRoomsFloor, false, kDemoHazardStripes, 0.5f);
  Horizontal(b, c.x + 370, c.x + 390, c.z + 310, c.z + 390, kRoomsFloor, false, kDemoHazardStripes, 0.5f);

  if (neighbour[1]) Passage(b, c, true);
  if (neighbour[3]) Passage(b, c, false);

  b.PointLight({c.x + 150, -60, c.z + 260}, 1.0f, 200.0f, 600.0f, 1.0f, 0.9f, 0.7f);
}

}  // namespace

int RoomsPerRow(int rooms) {
  int perRow = 1;
  while (perRow * perRow < rooms) ++perRow;
  return perRow;
}

Vec3 RoomCorner(int rooms, int index) {
  const int perRow = RoomsPerRow(rooms);
  return {static_cast<float>(index % perRow) * kRoomsPitch, kRoomsFloor,
          static_cast<float>(index / perRow) * kRoomsPitch};
}

int RoomsMiddle(int rooms) {
  const int perRow = RoomsPerRow(rooms);
  const int middle = (rooms / perRow / 2) * perRow + perRow / 2;
  return middle < rooms ? middle : rooms - 1;
}

World* RoomsWorldCreate() {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  // The root splits at the floor plane (front side above it).
  world->bspRoot = BspNodeCreate(0, -1, 0, -kRoomsFloor);
  return world;
}

void BuildRoomsLevel(World* world, int rooms, RoomsLevel* level) {
  LevelBuilder b(world, MakeDemoPalette());
  PropSet(&world->props, NameHash("name"), "Rooms");
  for (int i = 0; i < rooms; ++i) Room(b, rooms, i);
  b.ReleaseSurfaces();
  const Vec3 start = RoomCorner(rooms, 0);
  level->instances.push_back(
      {kDemoPlayerStartModel, {start.x + 200, 40, start.z + 60}, {0, 0, 0}, 0.0f, "start", {}});
  level->settings.depthCueFar = 2200.0f;
  level->settings.flatShadeLow = 0.2f;
  level->settings.flatShadeHigh = 1.0f;
}

std::vector<uint8_t> RoomsLevelMember(int rooms) {
  World* world = RoomsWorldCreate();
  RoomsLevel level;
  BuildRoomsLevel(world, rooms, &level);
  std::vector<uint8_t> member;
  if (!WriteWorldMember(world, level.instances, level.settings, &member)) member.clear();
  WorldFree(world);
  return member;
}

bool WriteRoomsMission(const std::string& folder, int rooms, std::string* error) {
  ArchiveWriter archive;
  std::vector<uint8_t> world = RoomsLevelMember(rooms);
  ByteWriter fileId;
  fileId.I32(1);
  if (world.empty() || !AddObjectsMember(&archive, MakeDemoModels()) || !archive.AddMember("M1.CCW", std::move(world)) ||
      !archive.AddMember("FILE_ID", fileId.Take())) {
    *error = "cannot build the level of rooms";
    return false;
  }
  const std::string path = PathJoin(folder, "M1.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
