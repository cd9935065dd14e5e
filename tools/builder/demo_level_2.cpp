#include "tools/builder/demo_level_2.h"

#include <cmath>

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
constexpr float kCorridorTop = -40.0f;
constexpr float kFloor = 100.0f;
constexpr float kTowerTop = -700.0f;

void SetProperty(PropertyEntry** list, const char* name, const char* value) { PropSet(list, NameHash(name), value); }

LevelRoomStyle Style(const char* walls, const char* floor, const char* ceiling, float light) {
  LevelRoomStyle style;
  for (LevelFace face : {kFaceMinX, kFaceMaxX, kFaceMinZ, kFaceMaxZ}) style.textures[face] = walls;
  style.textures[kFaceFloor] = floor;
  style.textures[kFaceCeiling] = ceiling;
  for (int f = 0; f < kFaceCount; ++f) style.light[f] = light;
  style.light[kFaceFloor] = light + 0.1f;
  style.light[kFaceCeiling] = light - 0.05f;
  return style;
}

// The chatter lines a trigger in the corridor picks from at random.
struct Macro {
  const char* name;
  const char* text;
};
constexpr Macro kMacros[] = {
    {"chatter1", "log CHAT1"},
    {"chatter2", "log CHAT2"},
    {"chatter3", "log CHAT3"},
};

// The dock: the ship's start, the two valve buttons on the side walls, a
// few crates and pick-ups.
void Dock(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-300, -200, -300}, {300, kFloor, 300}, Style(kDemoWallConcrete, kDemoFloorGrating, kDemoCeiling, 0.35f),
         {{kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  for (int side = 0; side < 2; ++side) {
    const float x = side == 0 ? -295.0f : 295.0f;
    PolygonGroup* valve = GroupCreate(world, kDemo2ValveGroups[side], nullptr);
    // Each valve turns once: it counts the seal down and goes dark.
    SetProperty(&valve->props, "button_event",
                side == 0 ? "deccounter door_seal|log VALVE|hide button_valve_a"
                          : "deccounter door_seal|log VALVE|hide button_valve_b");
    b.Block({x - 5, 0, -20}, {x + 5, 40, 20}, kDemoLightPanel, 1.0f, valve);
  }
  b.Block({-300, 60, -300}, {300, kFloor - 1, -280}, kDemoHazardStripes, 0.4f);
  b.PointLight({0, -150, 0}, 1.0f, 300.0f, 900.0f, 0.8f, 0.9f, 1.0f);

  level->instances.push_back({kDemoPlayerStartModel, kDemo2StartAt, {0, 0, 0}, 0.0f, "start",
                              {{"event", kDemo2StartEvent}}});
  level->instances.push_back({"cargo.3ds", {-250, 90, 250}, {0, 0.7f, 0}, 0.0f, "crate1", {}});
  level->instances.push_back({"ARMORL.3DS", {200, 60, 150}, {0, 0, 0}, 0.0f, "armour1", {}});
  level->instances.push_back({"HMSSLS.3DS", {-200, 60, 150}, {0, 0, 0}, 0.0f, "homing1", {}});
}

// The corridor: the seal door (slides 160 units aside when its counter has
// run down), the chatter trigger, and the swinging gate (opens by itself,
// about its west edge).
void Corridor(LevelBuilder& b, World* world) {
  b.Room({-80, kCorridorTop, 300}, {80, kFloor, 900}, Style(kDemoWallTech, kDemoFloorGrating, kDemoMetalPlate, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}, {kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  for (float z = 350; z < 900; z += 150)
    b.Polygon({{-20, kCorridorTop + 1, z}, {20, kCorridorTop + 1, z}, {20, kCorridorTop + 1, z + 60},
               {-20, kCorridorTop + 1, z + 60}},
              {0, 1, 0}, kDemoLightStrip, 1.0f);
  b.PointLight({0, -20, 450}, 1.0f, 200.0f, 420.0f, 1.0f, 0.8f, 0.6f);
  b.PointLight({0, -20, 750}, 1.0f, 200.0f, 420.0f, 1.0f, 0.8f, 0.6f);

  PolygonGroup* seal = GroupCreate(world, kDemo2SealDoorGroup, nullptr);
  SetProperty(&seal->props, "type", "sliding");
  SetProperty(&seal->props, "counter", "2");
  SetProperty(&seal->props, "speed", "0.5");
  SetProperty(&seal->props, "counterzeroevent", "open door_seal|log SEAL");
  b.Block({-79, kCorridorTop + 1, 492}, {79, kFloor - 1, 508}, kDemoDoor, 0.45f, seal);
  b.Line({0, kFloor, 500}, {158, kFloor, 500}, seal);

  PolygonGroup* chatter = GroupCreate(world, kDemo2ChatterTrigger, nullptr);
  SetProperty(&chatter->props, "touch_event", "randomevent chatter|hide trigger_chatter");
  b.Polygon({{-80, kCorridorTop, 650}, {80, kCorridorTop, 650}, {80, kFloor, 650}, {-80, kFloor, 650}}, {0, 0, -1},
            nullptr, 0.0f, chatter, nullptr, kPolygonTrigger | kPolygonNeverDrawn);

  PolygonGroup* gate = GroupCreate(world, kDemo2GateGroup, nullptr);
  SetProperty(&gate->props, "type", "swinging");
  SetProperty(&gate->props, "auto", "1");
  SetProperty(&gate->props, "radius", "200");
  SetProperty(&gate->props, "speed", "0.6");
  b.Block({-78, kCorridorTop + 1, 845}, {78, kFloor - 1, 855}, kDemoGrate, 0.5f, gate);
  b.Line({-78, kFloor, 850}, {-78, kCorridorTop, 850}, gate);
}

// The tower: tall, with the vent on its floor, catwalk blocks up its walls
// and the guards; the roof sensor.
void Tower(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-400, kTowerTop, 900}, {400, kFloor, 1700}, Style(kDemoPipes, kDemoFloorTiles, kDemoCeiling, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}});
  PolygonGroup* vent = GroupCreate(world, kDemo2VentGroup, nullptr);
  SetProperty(&vent->props, "light", "40");
  b.Block({-60, 60, 1240}, {60, kFloor - 1, 1360}, kDemoLava, 1.0f, vent);
  for (float y : {-150.0f, -400.0f}) {
    b.Block({-399, y, 1000}, {-330, y + 20, 1600}, kDemoMetalPlate, 0.4f);
    b.Block({330, y, 1000}, {399, y + 20, 1600}, kDemoMetalPlate, 0.4f);
  }
  b.SphereLight({0, 0, 1300}, 0.6f, 500.0f);
  b.PointLight({0, -550, 1300}, 1.0f, 300.0f, 900.0f, 0.6f, 0.8f, 1.0f);
  b.PointLight({0, -200, 1000}, 1.0f, 300.0f, 800.0f, 1.0f, 0.6f, 0.4f);

  level->instances.push_back({kDemo2TurretModel, {350, -185, 1500}, {0, kPi * 1.25f, 0}, 0.0f, kDemo2TurretInstance,
                              {{"level", "123"}}});
  level->instances.push_back({kDemo2TruckModel, {250, 100 - 5.6f * 2.5f * 1.1f, 1550}, {0, kPi, 0}, 0.0f,
                              kDemo2TruckInstance, {{"level", "123"}}});
  level->instances.push_back(
      {kDemo2WingDroneModel, {-150, -300, 1400}, {0, kPi, 0}, 0.0f, kDemo2WingDroneInstance, {{"level", "23"}}});
  level->instances.push_back({"ENERGYL.3DS", {-300, -200, 1300}, {0, 0, 0}, 0.0f, "energy1", {}});
  level->instances.push_back({kDemoSensorModel, kDemo2SensorAt, {0, 0, 0}, 0.0f, kDemo2SensorInstance,
                              {{"radius", "120"}, {"event", kDemo2RoofEvent}}});
}

}  // namespace

std::vector<uint8_t> DemoLevel2Member(const std::function<void(DemoLevel*)>& edit) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0, -1, 0, -kFloor);
  DemoLevel level;
  {
    LevelBuilder b(world, MakeDemoPalette());
    SetProperty(&world->props, "name", "Cooling Tower");
    for (const Macro& macro : kMacros) SetProperty(&world->props, macro.name, macro.text);
    Dock(b, world, &level);
    Corridor(b, world);
    Tower(b, world, &level);
    b.ReleaseSurfaces();
  }
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
