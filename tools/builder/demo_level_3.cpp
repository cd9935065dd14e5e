#include "tools/builder/demo_level_3.h"

#include "engine/bsp.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "tools/builder/demo_boss_models.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/level_builder.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kCorridorTop = -40.0f;
constexpr float kFloor = 100.0f;
constexpr float kHallTop = -300.0f;
constexpr float kArenaTop = -600.0f;
constexpr float kGateTop = -140.0f;
constexpr float kGateHalfWidth = 120.0f;

// A door of two halves across an opening in the plane z = at, from x0 to
// x1 and from y0 to y1: each half slides its own width aside; the right
// half names the left as its owner, so it follows whatever the left does.
PolygonGroup* TwinDoor(LevelBuilder& b, World* world, const char* const names[2], float at, float halfWidth, float y0,
                       float y1, const char* texture) {
  PolygonGroup* halves[2] = {};
  for (int side = 0; side < 2; ++side) {
    const float sign = side == 0 ? -1.0f : 1.0f;
    PolygonGroup* half = GroupCreate(world, names[side], nullptr);
    LevelSetProperty(&half->props, "type", "sliding");
    LevelSetProperty(&half->props, "speed", "0.6");
    if (side == 1) LevelSetProperty(&half->props, "owner", names[0]);
    const float inner = side == 0 ? -halfWidth + 1 : 0;
    const float outer = side == 0 ? 0 : halfWidth - 1;
    b.Block({inner, y0 + 1, at - 8}, {outer, y1 - 1, at + 8}, texture, 0.45f, half);
    b.Line({0, y1, at}, {sign * halfWidth, y1, at}, half);
    halves[side] = half;
  }
  return halves[0];
}

// The bay: the ship's start, crates, and supplies on the way out.
void Bay(LevelBuilder& b, DemoLevel* level) {
  b.Room({-300, -200, -300}, {300, kFloor, 300},
         LevelRoomStyleOf(kDemoWallBrick, kDemoFloorGrating, kDemoCeiling, 0.35f),
         {{kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  b.Block({-300, -200, 260}, {-80, -180, 300}, kDemoHazardStripes, 0.5f);
  b.Block({80, -200, 260}, {300, -180, 300}, kDemoHazardStripes, 0.5f);
  b.PointLight({0, -150, 0}, 1.0f, 300.0f, 900.0f, 1.0f, 0.85f, 0.7f);

  level->instances.push_back({kDemoPlayerStartModel, kDemo3StartAt, {0, 0, 0}, 0.0f, "start",
                              {{"event", kDemo3StartEvent}}});
  level->instances.push_back({"cargo.3ds", {-250, 90, -250}, {0, 0.4f, 0}, 0.0f, "crate1", {}});
  level->instances.push_back({"cargo.3ds", {250, 90, 220}, {0, 1.2f, 0}, 0.0f, "crate2", {}});
  // On the way out, where a ship flying straight on picks them up.
  level->instances.push_back({"ROCKETL.3DS", {0, 40, 0}, {0, 0, 0}, 0.0f, "rockets1", {}});
  level->instances.push_back({"SHIELDL.3DS", {0, 40, 150}, {0, 0, 0}, 0.0f, "shields1", {}});
}

// The corridor: two guns by its walls, clear of the middle, and the twin
// door that opens by itself.
void Corridor(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-80, kCorridorTop, 300}, {80, kFloor, 1000},
         LevelRoomStyleOf(kDemoWallTech, kDemoFloorGrating, kDemoMetalPlate, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}, {kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  for (float z = 340; z < 1000; z += 160) {
    b.Polygon({{-20, kCorridorTop + 1, z}, {20, kCorridorTop + 1, z}, {20, kCorridorTop + 1, z + 60},
               {-20, kCorridorTop + 1, z + 60}},
              {0, 1, 0}, kDemoLightStrip, 1.0f);
  }
  b.PointLight({0, -20, 500}, 1.0f, 200.0f, 420.0f, 0.7f, 0.9f, 1.0f);
  b.PointLight({0, -20, 800}, 1.0f, 200.0f, 420.0f, 0.7f, 0.9f, 1.0f);

  PolygonGroup* twin = TwinDoor(b, world, kDemo3TwinDoorGroups, 880, 80, kCorridorTop, kFloor, kDemoDoor);
  LevelSetProperty(&twin->props, "auto", "1");
  LevelSetProperty(&twin->props, "radius", "300");

  level->instances.push_back({kDemo3GunModel, {-52, 85, 420}, {0, kPi / 2, 0}, 0.0f, kDemo3GunInstances[0],
                              {{"level", "123"}}});
  level->instances.push_back({kDemo3GunModel, {52, 85, 560}, {0, -kPi / 2, 0}, 0.0f, kDemo3GunInstances[1],
                              {{"level", "123"}}});
}

// The hall: pillars, the hidden fighter, supplies, the sensor that opens
// the gate, and the gate in the far wall.
void Hall(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-400, kHallTop, 1000}, {400, kFloor, kDemo3GateZ},
         LevelRoomStyleOf(kDemoWallConcrete, kDemoFloorTiles, kDemoCeiling, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}, {kFaceMaxZ, -kGateHalfWidth, kGateHalfWidth, kGateTop, kFloor}});
  for (float x : {-300.0f, 260.0f}) {
    for (float z : {1100.0f, 1460.0f}) b.Block({x, kHallTop, z}, {x + 40, kFloor, z + 40}, kDemoPipes, 0.4f);
  }
  b.Block({-kGateHalfWidth - 20, kGateTop - 20, kDemo3GateZ - 20}, {kGateHalfWidth + 20, kGateTop, kDemo3GateZ - 1},
          kDemoHazardStripes, 0.6f);
  b.PointLight({0, -200, 1150}, 1.0f, 300.0f, 800.0f, 1.0f, 0.7f, 0.5f);
  b.PointLight({0, -200, 1450}, 1.0f, 300.0f, 800.0f, 1.0f, 0.7f, 0.5f);

  TwinDoor(b, world, kDemo3GateGroups, kDemo3GateZ, kGateHalfWidth, kGateTop, kFloor, kDemoDoor);

  level->instances.push_back({kDemo3FighterModel, {260, -180, 1450}, {0, kPi, 0}, 0.0f, kDemo3FighterInstance,
                              {{"level", "123"}}});
  level->instances.push_back({kDemoSensorModel, kDemo3HallSensorAt, {0, 0, 0}, 0.0f, kDemo3HallSensorInstance,
                              {{"radius", "150"}, {"event", kDemo3HallEvent}}});
  level->instances.push_back({"ENERGYL.3DS", {-250, 60, 1300}, {0, 0, 0}, 0.0f, "energy1", {}});
  level->instances.push_back({"ARMORL.3DS", {0, 40, 1300}, {0, 0, 0}, 0.0f, "armour1", {}});
}

// The arena: tall and wide, pillars at its corners, the core in its middle
// with the outer parts at their homes round it, and the sensor that shuts
// the gate.
void Arena(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-600, kArenaTop, kDemo3GateZ}, {600, kFloor, kDemo3ArenaFarZ},
         LevelRoomStyleOf(kDemoPipes, kDemoFloorTiles, kDemoMetalPlate, 0.3f),
         {{kFaceMinZ, -kGateHalfWidth, kGateHalfWidth, kGateTop, kFloor}});
  for (float x : {-560.0f, 480.0f}) {
    for (float z : {1640.0f, 2680.0f}) b.Block({x, kArenaTop, z}, {x + 80, kFloor, z + 80}, kDemoWallTech, 0.4f);
  }
  // The reactor's pit under the core, glowing.
  PolygonGroup* pit = GroupCreate(world, "reactor_pit", nullptr);
  LevelSetProperty(&pit->props, "light", "60");
  b.Polygon({{-80, kFloor - 1, 2220}, {80, kFloor - 1, 2220}, {80, kFloor - 1, 2380}, {-80, kFloor - 1, 2380}},
            {0, -1, 0}, kDemoLava, 1.0f, pit);
  b.SphereLight({kDemo3BossCoreAt.x, kDemo3BossCoreAt.y, kDemo3BossCoreAt.z}, 0.7f, 600.0f);
  b.PointLight({0, -400, 2200}, 1.0f, 400.0f, 1200.0f, 0.6f, 0.7f, 1.0f);
  b.PointLight({0, -100, 1750}, 1.0f, 300.0f, 900.0f, 1.0f, 0.6f, 0.4f);

  level->instances.push_back({kDemoSensorModel, kDemo3ArenaSensorAt, {0, 0, 0}, 0.0f, kDemo3ArenaSensorInstance,
                              {{"radius", "150"}, {"event", kDemo3ArenaEvent}}});
  for (int i = 0; i < 3; ++i) {
    level->instances.push_back({kDemoBossPartModels[i], kDemo3BossPartHomes[i], {0, kPi, 0}, 0.0f,
                                kDemo3BossPartInstances[i], {{"level", "123"}}});
  }
  level->instances.push_back({kDemoBossCoreModel, kDemo3BossCoreAt, {0, 0, 0}, 0.0f, kDemo3BossCoreInstance,
                              {{"level", "123"}, {"deathevent", kDemo3CoreDeathEvent}}});
  level->instances.push_back({"HMSSLL.3DS", {-400, 60, 1800}, {0, 0, 0}, 0.0f, "homing1", {}});
  level->instances.push_back({"NUKEL.3DS", {400, 60, 1800}, {0, 0, 0}, 0.0f, "nuke1", {}});
}

}  // namespace

std::vector<uint8_t> DemoLevel3Member(const std::function<void(DemoLevel*)>& edit) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0, -1, 0, -kFloor);
  DemoLevel level;
  {
    LevelBuilder b(world, MakeDemoPalette());
    LevelSetProperty(&world->props, "name", "Reactor Heart");
    Bay(b, &level);
    Corridor(b, world, &level);
    Hall(b, world, &level);
    Arena(b, world, &level);
    b.ReleaseSurfaces();
  }
  WorldRebuildGroups(world);
  level.settings.depthCueFar = 3000.0f;
  level.settings.flatShadeLow = 0.2f;
  level.settings.flatShadeHigh = 1.0f;
  if (edit) edit(&level);
  std::vector<uint8_t> member;
  if (!WriteWorldMember(world, level.instances, level.settings, &member)) member.clear();
  WorldFree(world);
  return member;
}
