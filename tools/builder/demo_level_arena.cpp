#include "tools/builder/demo_level_arena.h"

#include <cmath>
#include <iterator>
#include <string>

#include "engine/bsp.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/level_builder.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFloor = 100.0f;
constexpr float kDoorTop = -40.0f;
constexpr float kHalf = kDemoArenaHalfWidth;
constexpr float kCeiling = kDemoArenaCeiling;
// The east balcony's floor, and the lift's travel up to it.
constexpr float kBalconyY = -200.0f;

struct ArenaMacro {
  const char* name;
  const char* text;
};
constexpr ArenaMacro kMacros[] = {
    {"armoury_open", "log ARMOURY"},
};

// The hall's floor ring and the angle of a point on it: k x 45 degrees from
// +z toward +x.
Vec3 RingPoint(float radius, float angle, float y) { return {radius * std::sin(angle), y, radius * std::cos(angle)}; }

// The hall: walls with the two armouries' doorways (north and south), the
// reactor core over its plinth with the healing pad, the turbine round the
// core's housing, four pillars and the lights.
void Hall(LevelBuilder& b, World* world) {
  b.Room({-kHalf, kCeiling, -kHalf}, {kHalf, kFloor, kHalf},
         LevelRoomStyleOf(kDemoWallTech, kDemoFloorTiles, kDemoCeiling, 0.35f),
         {{kFaceMaxZ, -80, 80, kDoorTop, kFloor}, {kFaceMinZ, -80, 80, kDoorTop, kFloor}});
  // A hazard band round the foot of the walls.
  for (float side : {-1.0f, 1.0f}) {
    b.Polygon({{side * (kHalf - 1), 60, -kHalf}, {side * (kHalf - 1), 60, kHalf}, {side * (kHalf - 1), kFloor, kHalf},
               {side * (kHalf - 1), kFloor, -kHalf}},
              {-side, 0, 0}, kDemoHazardStripes, 0.4f);
  }

  // The core: its housing hangs from the ceiling, the glowing core under it
  // ends 140 units over the floor; the plinth under it carries the pad.
  b.Block({-90, kCeiling + 1, -90}, {90, -160, 90}, kDemoPipes, 0.4f);
  PolygonGroup* core = GroupCreate(world, kDemoArenaCoreGroup, nullptr);
  LevelSetProperty(&core->props, "flash", "1");
  LevelSetProperty(&core->props, "flash min", "0.5");
  LevelSetProperty(&core->props, "flash max", "1");
  b.Block({-60, -160, -60}, {60, -40, 60}, kDemoLava, 1.0f, core);
  b.Block({-140, 80, -140}, {140, kFloor - 1, 140}, kDemoHazardStripes, 0.45f);
  PolygonGroup* pad = GroupCreate(world, kDemoArenaHealPadGroup, nullptr);
  LevelSetProperty(&pad->props, "heal_ship", "4");
  LevelSetProperty(&pad->props, "light", "30");
  b.Polygon({{-50, 79, -50}, {50, 79, -50}, {50, 79, 50}, {-50, 79, 50}}, {0, -1, 0}, kDemoLightPanel, 1.0f, pad);

  // The turbine: four blades round the housing, turning once every eight
  // seconds for ever, high over the ships' ring.
  PolygonGroup* turbine = GroupCreate(world, kDemoArenaTurbineGroup, nullptr);
  LevelSetProperty(&turbine->props, "type", "spinning");
  LevelSetProperty(&turbine->props, "continuous", "1");
  LevelSetProperty(&turbine->props, "start", "1");
  LevelSetProperty(&turbine->props, "speed", "0.125");
  const Vec3 hub = {0, -300, 0};
  for (int k = 0; k < 4; ++k) {
    const float angle = k * kPi / 2;
    const float c = std::cos(angle), s = std::sin(angle);
    auto at = [&](float along, float across, float y) {
      return Vec3{hub.x + along * c - across * s, y, hub.z + along * s + across * c};
    };
    b.Polygon({at(100, -25, hub.y), at(260, -40, hub.y), at(260, 40, hub.y), at(100, 25, hub.y)}, {0, 1, 0},
              kDemoMetalPlate, 0.5f, turbine);
    b.Polygon({at(100, -25, hub.y - 1), at(260, -40, hub.y - 1), at(260, 40, hub.y - 1), at(100, 25, hub.y - 1)},
              {0, -1, 0}, kDemoMetalPlate, 0.4f, turbine);
  }
  b.Line(hub, {hub.x, hub.y - 60, hub.z}, turbine);
  GroupSetRotateMover(turbine, hub.x, hub.y, hub.z, 0, -1, 0, 0.0f, 0.125f, 0.0f);
  GroupStartMover(turbine);

  // Pillars between the ring's diameters (22.5 degrees off them), clear of
  // the lines between opposite points.
  for (int k = 0; k < 4; ++k) {
    const Vec3 c = RingPoint(330.0f, kPi / 8 + k * kPi / 2, 0.0f);
    b.Block({c.x - 30, kCeiling + 1, c.z - 30}, {c.x + 30, kFloor - 1, c.z + 30}, kDemoWallConcrete, 0.35f);
  }

  b.SphereLight({0, -100, 0}, 0.6f, 600.0f);
  for (int k = 0; k < 4; ++k) {
    const Vec3 at = RingPoint(450.0f, kPi / 4 + k * kPi / 2, -350.0f);
    b.PointLight(at, 1.0f, 300.0f, 900.0f, 0.8f, 0.9f, 1.0f);
  }
}

// An armoury behind the hall's north (+z) or south (-z) wall.
void Armoury(LevelBuilder& b, float side) {
  const float near = side * kHalf, far = side * (kHalf + 300);
  b.Room({-160, -100, std::fmin(near, far)}, {160, kFloor, std::fmax(near, far)},
         LevelRoomStyleOf(kDemoWallBrick, kDemoFloorGrating, kDemoMetalPlate, 0.3f),
         {{side > 0 ? kFaceMinZ : kFaceMaxZ, -80, 80, kDoorTop, kFloor}});
  b.PointLight({0, -60, side * (kHalf + 150)}, 1.0f, 200.0f, 420.0f, 1.0f, 0.8f, 0.5f);
}

// The north armoury's door: a slab just inside the armoury that slides up
// into the ceiling for a ship within 220 units.
void NorthDoor(LevelBuilder& b, World* world) {
  PolygonGroup* door = GroupCreate(world, kDemoArenaNorthDoorGroup, nullptr);
  LevelSetProperty(&door->props, "type", "sliding");
  LevelSetProperty(&door->props, "auto", "1");
  LevelSetProperty(&door->props, "speed", "0.5");
  LevelSetProperty(&door->props, "radius", "220");
  const float z0 = kHalf + 10, z1 = kHalf + 26;
  b.Block({-79, kDoorTop + 1, z0}, {79, kFloor - 1, z1}, kDemoDoor, 0.45f, door);
  b.Line({0, kFloor, (z0 + z1) / 2}, {0, kDoorTop - 99, (z0 + z1) / 2}, door);
  GroupSetSlideMover(door, 0, kDoorTop - 99 - kFloor, 0, -0.5f, 0.0f);
}

// The south armoury's door swings about its west edge; an unseen plane in
// the hall before it opens it and tells the players.
void SouthDoor(LevelBuilder& b, World* world) {
  PolygonGroup* door = GroupCreate(world, kDemoArenaSouthDoorGroup, nullptr);
  LevelSetProperty(&door->props, "speed", "0.6");
  LevelSetProperty(&door->props, "finishevent", "timer 5000 close swinging_armoury_south");
  const float z = -kHalf - 20;
  b.Block({-78, kDoorTop + 1, z - 5}, {78, kFloor - 1, z + 5}, kDemoDoor, 0.5f, door);
  b.Line({-78, kFloor, z}, {-78, kDoorTop, z}, door);

  PolygonGroup* trigger = GroupCreate(world, kDemoArenaSouthTriggerGroup, nullptr);
  LevelSetProperty(&trigger->props, "touch_event", "open swinging_armoury_south|execute armoury_open");
  const float at = -kHalf + 60;
  b.Polygon({{-80, kDoorTop, at}, {80, kDoorTop, at}, {80, kFloor, at}, {-80, kFloor, at}}, {0, 0, 1}, nullptr, 0.0f,
            trigger, nullptr, kPolygonTrigger | kPolygonNeverDrawn);
}

// The west balcony, high on the wall, and the lift beside it: an unseen
// controller that slides 300 units up in three seconds and back, carrying
// the platform to the balcony's height; the button on the wall runs it.
void BalconyAndLift(LevelBuilder& b, World* world) {
  b.Block({-kHalf + 1, kBalconyY, -200}, {-kHalf + 120, kBalconyY + 20, 200}, kDemoMetalPlate, 0.45f);
  b.Block({-kHalf + 115, kBalconyY - 40, -200}, {-kHalf + 120, kBalconyY, 200}, kDemoHazardStripes, 0.6f);
  b.PointLight({-kHalf + 60, kBalconyY - 100, 0}, 1.0f, 200.0f, 500.0f, 1.0f, 0.6f, 0.4f);

  PolygonGroup* lift = GroupCreate(world, kDemoArenaLiftGroup, nullptr);
  LevelSetProperty(&lift->props, "seconds", "3");
  LevelSetProperty(&lift->props, "finishevent", "reverse movement_arena_lift");
  const float x = -kHalf + 70;
  b.Line({x, kFloor, 300}, {x, kFloor - 300, 300}, lift);
  PolygonGroup* platform = GroupCreate(world, kDemoArenaLiftPlatformGroup, nullptr);
  LevelSetProperty(&platform->props, "parent", kDemoArenaLiftGroup);
  b.Block({x - 50, 85, 250}, {x + 50, kFloor - 1, 350}, kDemoHazardStripes, 0.6f, platform);
  PolygonGroup* button = GroupCreate(world, kDemoArenaLiftButtonGroup, nullptr);
  LevelSetProperty(&button->props, "button_event", "transfer movement_arena_lift");
  b.Block({-kHalf + 1, 10, 380}, {-kHalf + 11, 30, 400}, kDemoLightPanel, 1.0f, button);
}

void Instances(DemoLevel* level) {
  for (int k = 0; k < kDemoArenaRespawnCount; ++k) {
    const float angle = k * kPi / 4;
    // Facing the core: the point's forward axis toward the hall's middle.
    level->instances.push_back({kDemoRespawnModel, RingPoint(kDemoArenaRingRadius, angle, kDemoArenaRingY),
                                {0, angle + kPi, 0}, 0.0f, "respawn" + std::to_string(k + 1), {}});
  }
  // The start of a single-play visit: where the first respawn point is.
  level->instances.push_back({kDemoPlayerStartModel, RingPoint(kDemoArenaRingRadius, 0, kDemoArenaRingY),
                              {0, kPi, 0}, 0.0f, "start", {{"event", kDemoArenaStartEvent}}});
  for (int k = 0; k < static_cast<int>(std::size(kDemoArenaRingSupplies)); ++k) {
    const char* model = kDemoArenaRingSupplies[k];
    level->instances.push_back(
        {model, RingPoint(450.0f, kPi / 8 + k * kPi / 4, 70.0f), {0, 0, 0}, 0.0f, std::string("ring_") + model, {}});
  }
  for (int k = 0; k < 3; ++k) {
    const float x = -90.0f + 90.0f * static_cast<float>(k);
    level->instances.push_back({kDemoArenaNorthPrizes[k], {x, 70, kHalf + 200}, {0, 0, 0}, 0.0f,
                                std::string("north_") + kDemoArenaNorthPrizes[k], {}});
    level->instances.push_back({kDemoArenaSouthPrizes[k], {x, 70, -kHalf - 200}, {0, 0, 0}, 0.0f,
                                std::string("south_") + kDemoArenaSouthPrizes[k], {}});
    level->instances.push_back({kDemoArenaBalconyPrizes[k], {-kHalf + 60, kBalconyY - 20, x}, {0, 0, 0}, 0.0f,
                                std::string("balcony_") + kDemoArenaBalconyPrizes[k], {}});
  }
}

}  // namespace

std::vector<uint8_t> DemoArenaLevelMember(const std::function<void(DemoLevel*)>& edit) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0, -1, 0, -kFloor);
  DemoLevel level;
  {
    LevelBuilder b(world, MakeDemoPalette());
    LevelSetProperty(&world->props, "name", "Halvard Reactor");
    for (const ArenaMacro& macro : kMacros) LevelSetProperty(&world->props, macro.name, macro.text);
    Hall(b, world);
    Armoury(b, 1.0f);
    Armoury(b, -1.0f);
    NorthDoor(b, world);
    SouthDoor(b, world);
    BalconyAndLift(b, world);
    b.ReleaseSurfaces();
  }
  Instances(&level);
  WorldRebuildGroups(world);
  level.settings.depthCueFar = 2600.0f;
  level.settings.flatShadeLow = 0.2f;
  level.settings.flatShadeHigh = 1.0f;
  if (edit) edit(&level);
  std::vector<uint8_t> member;
  if (!WriteWorldMember(world, level.instances, level.settings, &member)) member.clear();
  WorldFree(world);
  return member;
}
