#include "tools/builder/demo_level_2.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

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
  b.Room({-300, -200, -300}, {300, kFloor, 300},
         LevelRoomStyleOf(kDemoWallConcrete, kDemoFloorGrating, kDemoCeiling, 0.35f),
         {{kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  for (int side = 0; side < 2; ++side) {
    const float x = side == 0 ? -295.0f : 295.0f;
    PolygonGroup* valve = GroupCreate(world, kDemo2ValveGroups[side], nullptr);
    // Each valve turns once: it counts the seal down and goes dark.
    LevelSetProperty(&valve->props, "button_event",
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
  b.Room({-80, kCorridorTop, 300}, {80, kFloor, 900},
         LevelRoomStyleOf(kDemoWallTech, kDemoFloorGrating, kDemoMetalPlate, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}, {kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  for (float z = 350; z < 900; z += 150)
    b.Polygon({{-20, kCorridorTop + 1, z}, {20, kCorridorTop + 1, z}, {20, kCorridorTop + 1, z + 60},
               {-20, kCorridorTop + 1, z + 60}},
              {0, 1, 0}, kDemoLightStrip, 1.0f);
  b.PointLight({0, -20, 450}, 1.0f, 200.0f, 420.0f, 1.0f, 0.8f, 0.6f);
  b.PointLight({0, -20, 750}, 1.0f, 200.0f, 420.0f, 1.0f, 0.8f, 0.6f);

  PolygonGroup* seal = GroupCreate(world, kDemo2SealDoorGroup, nullptr);
  LevelSetProperty(&seal->props, "type", "sliding");
  LevelSetProperty(&seal->props, "counter", "2");
  LevelSetProperty(&seal->props, "speed", "0.5");
  LevelSetProperty(&seal->props, "counterzeroevent", "open door_seal|log SEAL");
  b.Block({-79, kCorridorTop + 1, 492}, {79, kFloor - 1, 508}, kDemoDoor, 0.45f, seal);
  b.Line({0, kFloor, 500}, {158, kFloor, 500}, seal);

  PolygonGroup* chatter = GroupCreate(world, kDemo2ChatterTrigger, nullptr);
  LevelSetProperty(&chatter->props, "touch_event", "randomevent chatter|hide trigger_chatter");
  b.Polygon({{-80, kCorridorTop, 650}, {80, kCorridorTop, 650}, {80, kFloor, 650}, {-80, kFloor, 650}}, {0, 0, -1},
            nullptr, 0.0f, chatter, nullptr, kPolygonTrigger | kPolygonNeverDrawn);

  PolygonGroup* gate = GroupCreate(world, kDemo2GateGroup, nullptr);
  LevelSetProperty(&gate->props, "type", "swinging");
  LevelSetProperty(&gate->props, "auto", "1");
  LevelSetProperty(&gate->props, "radius", "200");
  LevelSetProperty(&gate->props, "speed", "0.6");
  b.Block({-78, kCorridorTop + 1, 845}, {78, kFloor - 1, 855}, kDemoGrate, 0.5f, gate);
  b.Line({-78, kFloor, 850}, {-78, kCorridorTop, 850}, gate);
}

// The tower: tall, with the vent on its floor, catwalk blocks up its walls
// and the guards; the roof sensor.
void Tower(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-400, kTowerTop, 900}, {400, kFloor, 1700}, LevelRoomStyleOf(kDemoPipes, kDemoFloorTiles, kDemoCeiling, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}, {kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  PolygonGroup* vent = GroupCreate(world, kDemo2VentGroup, nullptr);
  LevelSetProperty(&vent->props, "light", "40");
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

// A group of the level with its properties.
PolygonGroup* Group(World* world, const char* name, std::initializer_list<std::pair<const char*, const char*>> props,
                    PolygonGroup* parent = nullptr) {
  PolygonGroup* group = GroupCreate(world, name, parent);
  for (const auto& [key, value] : props) LevelSetProperty(&group->props, key, value);
  return group;
}

// A chain of line segments in a new group; events[i] goes on segment i's
// first node.
void PathGroup(LevelBuilder& b, World* world, const char* name, std::initializer_list<Vec3> nodes,
               std::initializer_list<std::pair<int, const char*>> events = {}) {
  PolygonGroup* path = GroupCreate(world, name, nullptr);
  const std::vector<Vec3> points(nodes);
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    WorldPolygon* segment = b.Line(points[i], points[i + 1], path);
    for (const auto& [index, text] : events) {
      if (segment && index == static_cast<int>(i)) LevelSetProperty(&segment->props, "event", text);
    }
  }
}

// The corridor from the tower, with its automatic door (held open by a
// sensor on the tower's side while a ship is in the doorway).
void GalleryCorridor(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-80, kCorridorTop, 1700}, {80, kFloor, kDemo2GalleryMinZ},
         LevelRoomStyleOf(kDemoWallTech, kDemoFloorGrating, kDemoMetalPlate, 0.3f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor}, {kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  b.PointLight({0, -20, 1780}, 1.0f, 150.0f, 300.0f, 0.8f, 1.0f, 0.8f);
  PolygonGroup* door = Group(world, kDemo2GalleryDoorGroup,
                             {{"type", "sliding"}, {"auto", "1"}, {"radius", "180"}, {"speed", "0.5"},
                              {"opensound", "dooropen"}, {"closesound", "objclose"}});
  b.Block({-79, kCorridorTop + 1, 1772}, {79, kFloor - 1, 1788}, kDemoDoor, 0.45f, door);
  b.Line({0, kFloor, 1780}, {0, kCorridorTop - 100, 1780}, door);
  level->instances.push_back({kDemoSensorModel, {0, 30, 1730}, {0, 0, 0}, 0.0f, "sensor_gallery_doorway",
                              {{"radius", "40"}, {"object", "player"}, {"continuous", "1"},
                               {"event", "open door_gallery"}}});
}

// The hall's walls, lamps, the clock over the entrance, the moving floor
// strip, the force-field window and the banner.
void GalleryHall(LevelBuilder& b, World* world) {
  b.Room({kDemo2GalleryMinX, kDemo2GalleryTop, kDemo2GalleryMinZ}, {kDemo2GalleryMaxX, kFloor, kDemo2GalleryMaxZ},
         LevelRoomStyleOf(kDemoWallConcrete, kDemoFloorTiles, kDemoCeiling, 0.35f),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor},
          {kFaceMaxZ, -100, 100, kCorridorTop, kFloor},
          {kFaceMinX, 2320, 2440, kCorridorTop, kFloor},
          {kFaceMaxX, 2320, 2440, kCorridorTop, kFloor}});
  for (const DemoGalleryEnemy& enemy : kDemo2GalleryEnemies) {
    if (enemy.at.z > 2100 || enemy.at.y < 0) continue;
    b.Block({enemy.at.x - 40, kFloor - 4, enemy.at.z - 40}, {enemy.at.x + 40, kFloor - 1, enemy.at.z + 40},
            kDemoHazardStripes, 0.5f);
  }
  for (float z : {2050.0f, 2350.0f, 2650.0f}) b.PointLight({0, -250, z}, 1.0f, 300.0f, 900.0f, 1.0f, 0.9f, 0.8f);

  // A wall clock over the entrance: a dial and three hands that the game
  // turns to the time of day (each hand's line is its axis).
  const Vec3 dial = {0, -170, kDemo2GalleryMinZ + 1};
  b.Polygon({{dial.x - 60, dial.y - 60, dial.z}, {dial.x + 60, dial.y - 60, dial.z}, {dial.x + 60, dial.y + 60, dial.z},
             {dial.x - 60, dial.y + 60, dial.z}},
            {0, 0, 1}, kDemoComputer, 0.8f);
  const struct {
    const char* name;
    float length, width;
  } hands[] = {{"spinning_clock_hh", 35, 6}, {"spinning_clock_mh", 50, 4}, {"spinning_clock_sh", 55, 1.5f}};
  float lift = 1;
  for (const auto& hand : hands) {
    PolygonGroup* group = GroupCreate(world, hand.name, nullptr);
    const float z = dial.z + lift;
    b.Polygon({{dial.x - hand.width, dial.y, z}, {dial.x + hand.width, dial.y, z},
               {dial.x + hand.width, dial.y - hand.length, z}, {dial.x - hand.width, dial.y - hand.length, z}},
              {0, 0, 1}, kDemoLightPanel, 1.0f, group);
    b.Line({dial.x, dial.y, z}, {dial.x, dial.y, z + 10}, group);
    lift += 1;
  }

  // The floor strip down the middle crawls toward the vault.
  if (WorldPolygon* strip = b.Polygon({{-30, kFloor - 0.5f, 1900}, {30, kFloor - 0.5f, 1900},
                                       {30, kFloor - 0.5f, 2880}, {-30, kFloor - 0.5f, 2880}},
                                      {0, -1, 0}, kDemoHazardStripes, 0.6f)) {
    LevelSetProperty(&strip->props, "sliding", "1");
    LevelSetProperty(&strip->props, "v", "0.5");
  }
  // A force-field window in the far wall: shots spark on it.
  if (WorldPolygon* field = b.Polygon({{-400, -250, kDemo2GalleryMaxZ - 1}, {-200, -250, kDemo2GalleryMaxZ - 1},
                                       {-200, -100, kDemo2GalleryMaxZ - 1}, {-400, -100, kDemo2GalleryMaxZ - 1}},
                                      {0, 0, -1}, kDemoGrate, 0.9f)) {
    LevelSetProperty(&field->props, "surface", "forcefield");
  }
  // Two hatches in the far wall that the reinforcements blow open.
  b.Block({-190, 40, kDemo2GalleryMaxZ - 14}, {-110, kFloor - 1, kDemo2GalleryMaxZ - 1}, kDemoMetalPlate, 0.5f,
          GroupCreate(world, "zoo_hatch_l", nullptr));
  b.Block({110, -190, kDemo2GalleryMaxZ - 14}, {190, -110, kDemo2GalleryMaxZ - 1}, kDemoMetalPlate, 0.5f,
          GroupCreate(world, "zoo_hatch_r", nullptr));
  // The banner over the vault, taken down when the vault opens.
  b.Polygon({{-100, -120, kDemo2GalleryMaxZ - 2}, {100, -120, kDemo2GalleryMaxZ - 2},
             {100, -60, kDemo2GalleryMaxZ - 2}, {-100, -60, kDemo2GalleryMaxZ - 2}},
            {0, 0, -1}, kDemoHazardStripes, 0.7f, GroupCreate(world, "zoo_banner", nullptr));
}

// The machinery along the walls: the shutter over the west alcove and its
// toggle switch, the swinging grate of the east alcove, the crane with its
// two-state button, and the target board that dents, then breaks.
void GalleryMachinery(LevelBuilder& b, World* world, DemoLevel* level) {
  const LevelRoomStyle alcove = LevelRoomStyleOf(kDemoPipes, kDemoFloorGrating, kDemoMetalPlate, 0.4f);
  b.Room({-760, kCorridorTop, 2300}, {kDemo2GalleryMinX, kFloor, 2460}, alcove,
         {{kFaceMaxX, 2320, 2440, kCorridorTop, kFloor}});
  b.Room({kDemo2GalleryMaxX, kCorridorTop, 2300}, {760, kFloor, 2460}, alcove,
         {{kFaceMinX, 2320, 2440, kCorridorTop, kFloor}});
  level->instances.push_back({"ROCKETL.3DS", {-680, 60, 2380}, {0, 0, 0}, 0.0f, "zoo_rockets", {}});
  level->instances.push_back({"HMSSLL.3DS", {680, 60, 2380}, {0, 0, 0}, 0.0f, "zoo_homing", {}});

  PolygonGroup* shutter = Group(world, "sliding_zoo_shutter", {{"speed", "0.4"}, {"stopsound", "doorstop"}});
  b.Block({-606, kCorridorTop + 1, 2320}, {-598, kFloor - 1, 2440}, kDemoMetalPlate, 0.45f, shutter);
  b.Line({-602, kFloor, 2380}, {-602, kCorridorTop - 100, 2380}, shutter);
  PolygonGroup* toggle = Group(world, "zoo_switch",
                               {{"toggle_event", "toggle sliding_zoo_shutter|sound actvbutt zoo_switch"}});
  b.Block({-600, 0, 2190}, {-590, 40, 2210}, kDemoLightPanel, 1.0f, toggle);

  PolygonGroup* grate = Group(world, "swinging_zoo_grate", {{"speed", "0.5"}});
  b.Block({598, kCorridorTop + 1, 2320}, {604, kFloor - 1, 2440}, kDemoGrate, 0.5f, grate);
  b.Line({601, kFloor, 2320}, {601, kCorridorTop, 2320}, grate);

  // The crane lifts its platform (and the gun riding it) 100 units in three
  // seconds; its button swaps for a lit one that brings it down again.
  PolygonGroup* crane = Group(world, kDemo2GalleryCraneGroup, {{"seconds", "3"}});
  b.Line({480, kFloor, 2200}, {480, kFloor - 100, 2200}, crane);
  PolygonGroup* hook = Group(world, "zoo_crane_hook", {{"parent", kDemo2GalleryCraneGroup}});
  b.Block({440, 90, 2160}, {520, kFloor - 1, 2240}, kDemoHazardStripes, 0.6f, hook);
  PolygonGroup* button = Group(world, "button_zoo_crane",
                               {{"button_event", "transferpos movement_zoo_crane zoo_crane_hook"},
                                {"next_state_group", "button_zoo_crane_lit"}});
  b.Block({590, 0, 2110}, {600, 40, 2130}, kDemoMetalPlate, 0.8f, button);
  PolygonGroup* lit = Group(world, "button_zoo_crane_lit",
                            {{"button_event", "transferneg movement_zoo_crane zoo_crane_hook"},
                             {"next_state_group", "button_zoo_crane"}});
  b.Block({590, 0, 2110}, {600, 40, 2130}, kDemoLightPanel, 1.0f, lit);

  // The target board: a first hit dents it, more hits break it, a missile
  // bursts into fire on it.
  auto board = [&](const char* name, std::initializer_list<std::pair<const char*, const char*>> props, float x,
                   const char* texture) {
    PolygonGroup* group = Group(world, name, props);
    b.Polygon({{x, -200, 2560}, {x, -200, 2640}, {x, -120, 2640}, {x, -120, 2560}}, {1, 0, 0}, texture, 0.8f,
              group);
  };
  board("zoo_target", {{"dented", "zoo_target_dented"}, {"missile_event", "fireball zoo_target 50 600"}}, -599,
        kDemoHazardStripes);
  board("zoo_target_dented",
        {{"hitpoints", "20"}, {"nuked", "zoo_target_wreck"}, {"damage_event", "beep"},
         {"destroy_event", "sound confirm"}, {"missile_event", "fireball zoo_target_dented 50 600"}},
        -598.5f, kDemoMetalPlate);
  board("zoo_target_wreck", {}, -598, kDemoGrate);
}

// The vault beyond the far wall: a parent door over two leaves that slide
// apart once its counter has run down (the two big guns die; the drone
// carrier adds one when it wakes and takes it when it dies). Inside: a
// radioactive coolant tank that must not be shot (it ends the mission), a
// healing rig and supplies.
void GalleryVault(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-120, kCorridorTop, kDemo2GalleryMaxZ}, {120, kFloor, 3080},
         LevelRoomStyleOf(kDemoWallTech, kDemoFloorTiles, kDemoMetalPlate, 0.35f),
         {{kFaceMinZ, -100, 100, kCorridorTop, kFloor}});
  b.PointLight({0, -20, 3000}, 1.0f, 150.0f, 350.0f, 0.6f, 1.0f, 0.6f);
  PolygonGroup* parent = Group(world, kDemo2GalleryVaultGroup,
                               {{"type", "parent"}, {"counter", "2"}, {"counterzeroevent", kDemo2GalleryVaultOpenEvent}});
  b.Block({-110, kCorridorTop - 20, kDemo2GalleryMaxZ - 5}, {110, kCorridorTop, kDemo2GalleryMaxZ}, kDemoHazardStripes,
          0.6f, parent);
  for (int side = 0; side < 2; ++side) {
    const float x0 = side == 0 ? -100.0f : 0.0f;
    const char* leaf = side == 0 ? "sliding_zoo_vault_l" : "sliding_zoo_vault_r";
    const char* axis = side == 0 ? "axis_zoo_vault_l" : "axis_zoo_vault_r";
    PolygonGroup* group = Group(world, leaf, {{"owner", kDemo2GalleryVaultGroup}, {"speed", "0.5"}});
    b.Block({x0, kCorridorTop + 1, kDemo2GalleryMaxZ + 2}, {x0 + 100, kFloor - 1, kDemo2GalleryMaxZ + 10}, kDemoDoor,
            0.5f, group);
    // Each leaf's own axis lifts it into the wall; setaxis swings the slide
    // sideways when the vault opens. A saved game restores doors without
    // their shape (setaxis then does nothing), and the leaves still lift.
    b.Line({x0 + 50, kFloor, kDemo2GalleryMaxZ + 6}, {x0 + 50, kFloor - 150, kDemo2GalleryMaxZ + 6}, group);
    const float out = side == 0 ? -100.0f : 100.0f;
    b.Line({x0 + 50, kFloor, kDemo2GalleryMaxZ + 6}, {x0 + 50 + out, kFloor, kDemo2GalleryMaxZ + 6},
           GroupCreate(world, axis, nullptr));
  }
  PolygonGroup* tank = Group(world, kDemo2GalleryCoolantGroup,
                             {{"hitpoints", "30"}, {"structural_hits", "1"}, {"explosive", "30"},
                              {"damaged", "zoo_coolant_wreck"}, {"radioactivity", "90"}, {"light", "25"},
                              {"next_info_group", "zoo_coolant_wreck"},
                              {"destroy_event", "quake 1000|event_mission_failed"}});
  b.Block({-40, 20, 3000}, {40, kFloor - 1, 3060}, kDemoSludge, 1.0f, tank);
  b.Block({-45, 70, 2995}, {45, kFloor - 1, 3065}, kDemoGrate, 0.5f, GroupCreate(world, "zoo_coolant_wreck", nullptr));
  // Two coils by the tank throw slow arcs of short segments at each other.
  b.Block({-110, -30, 3040}, {-90, -10, 3060}, kDemoComputer, 0.8f,
          Group(world, "zoo_coil_a",
                {{"arc_to", "zoo_coil_b"}, {"segment_size", "6"}, {"rate", "1"}, {"damage", "4"}, {"viewradius", "600"}}));
  b.Block({90, -30, 3040}, {110, -10, 3060}, kDemoComputer, 0.8f, GroupCreate(world, "zoo_coil_b", nullptr));
  level->instances.push_back({kDemoTestRigModel, {85, 80, 3020}, {0, 0, 0}, 0.0f, "zoo_medic",
                              {{"heal_ship", "3"}, {"animated_object", "10"}, {"total_frames", "20"}}});
  level->instances.push_back({"NUKEL.3DS", {-85, 60, 3020}, {0, 0, 0}, 0.0f, "zoo_nukes", {}});
  level->instances.push_back({"SHIELDL.3DS", {-85, 60, 2960}, {0, 0, 0}, 0.0f, "zoo_shields", {}});
}

// The enemies, each with its wake sensor; the paths; the far sensor.
void GalleryEnemies(LevelBuilder& b, World* world, DemoLevel* level) {
  for (const DemoGalleryEnemy& enemy : kDemo2GalleryEnemies) {
    BuilderProperties props = {{"level", "123"}};
    const std::string name = enemy.instance;
    if (name == "zoo09_scientst") props.push_back({"fear", kDemo2GalleryFleePath});
    if (name == "zoo12_convoy") {
      props.push_back({"escort", "zoo11_trans"});
      props.push_back({"speed", "25"});
    }
    if (name == "zoo05_mtrrt") props.push_back({"parent", kDemo2GalleryCraneGroup});
    if (name == "zoo06_boss" || name == "zoo16_bossa" || name == "zoo23_dc") {
      props.push_back({"deathevent", kDemo2GalleryVaultDeath});
    }
    level->instances.push_back({enemy.model, enemy.at, {0, kPi, 0}, 0.0f, enemy.instance, props});
    level->instances.push_back({kDemoSensorModel, {enemy.at.x, 0, enemy.at.z - 100}, {0, 0, 0}, 0.0f,
                                "sensor_" + name, {{"radius", "120"}, {"object", "player"}, {"event", enemy.wake}}});
  }
  const float ground = 100 - 15.4f;
  PathGroup(b, world, "path_zoo_loop",
            {{-480, ground, 2250}, {480, ground, 2250}, {480, ground, 2480}, {-480, ground, 2480}, {-480, ground, 2250}});
  PathGroup(b, world, kDemo2GalleryFleePath, {{-360, ground, 2350}, {-540, ground, 2480}, {-540, ground, 2800}});
  PathGroup(b, world, "path_zoo_tow", {{0, -60, 2820}, {0, -160, 2700}, {0, -240, 2500}, {0, -240, 2480}},
            {{2, "stopcamera"}});
  PathGroup(b, world, "path_zoo_tow_look", {{0, -100, 2600}, {0, -50, 2200}});
  level->instances.push_back({kDemoSensorModel, {0, -60, kDemo2GalleryMaxZ - 80}, {0, 0, 0}, 0.0f,
                              kDemo2GallerySpawnSensor,
                              {{"radius", "150"}, {"object", "player"}, {"event", kDemo2GallerySpawnEvent}}});
}

void Gallery(LevelBuilder& b, World* world, DemoLevel* level) {
  GalleryCorridor(b, world, level);
  GalleryHall(b, world);
  GalleryMachinery(b, world, level);
  GalleryVault(b, world, level);
  GalleryEnemies(b, world, level);
}

}  // namespace

std::vector<uint8_t> DemoLevel2Member(const std::function<void(DemoLevel*)>& edit) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0, -1, 0, -kFloor);
  DemoLevel level;
  {
    LevelBuilder b(world, MakeDemoPalette());
    LevelSetProperty(&world->props, "name", "Cooling Tower");
    for (const Macro& macro : kMacros) LevelSetProperty(&world->props, macro.name, macro.text);
    Dock(b, world, &level);
    Corridor(b, world);
    Tower(b, world, &level);
    Gallery(b, world, &level);
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
