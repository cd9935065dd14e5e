#include "tools/builder/demo_level.h"

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
#include "tools/builder/demo_enemy_models.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/level_builder.h"

namespace {

constexpr float kPi = 3.14159265f;

// Corridors: 160 wide, from the ceiling at y = -40 to the floor at 100.
constexpr float kCorridorTop = -40.0f;
constexpr float kFloor = 100.0f;

LevelRoomStyle Style(const char* walls, const char* floor, const char* ceiling, float wallLight, bool openX,
                     bool openZ) {
  LevelRoomStyle style = LevelRoomStyleOf(walls, floor, ceiling, wallLight);
  if (openX) style.textures[kFaceMinX] = style.textures[kFaceMaxX] = nullptr;
  if (openZ) style.textures[kFaceMinZ] = style.textures[kFaceMaxZ] = nullptr;
  return style;
}

// A flat rectangle in a horizontal plane at y, facing up (-y) or down (+y).
WorldPolygon* Horizontal(LevelBuilder& b, float x0, float x1, float z0, float z1, float y, bool facingDown,
                         const char* texture, float light, PolygonGroup* group = nullptr, int flags = 0) {
  return b.Polygon({{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}}, {0, facingDown ? 1.0f : -1.0f, 0}, texture, light,
            group, nullptr, flags);
}

// An upright rectangle in the plane x = at, facing +x or -x.
WorldPolygon* WallX(LevelBuilder& b, float at, float z0, float z1, float y0, float y1, float facing,
                    const char* texture, float light) {
  return b.Polygon({{at, y0, z0}, {at, y0, z1}, {at, y1, z1}, {at, y1, z0}}, {facing, 0, 0}, texture, light);
}

// An upright rectangle in the plane z = at, facing +z or -z.
void WallZ(LevelBuilder& b, float at, float x0, float x1, float y0, float y1, float facing, const char* texture,
           float light, PolygonGroup* group = nullptr, int flags = 0) {
  b.Polygon({{x0, y0, at}, {x1, y0, at}, {x1, y1, at}, {x0, y1, at}}, {0, 0, facing}, texture, light, group, nullptr,
            flags);
}

// The opening camera's two paths (see the header): chains of line
// segments, each segment's "event" on its first node.
void IntroPaths(LevelBuilder& b, World* world) {
  PolygonGroup* camera = GroupCreate(world, kDemoIntroCameraPath, nullptr);
  const Vec3 nodes[] = {{300, -160, 320}, {-200, -140, 200}, {-150, -60, -120}, {0, 0, -220}, {0, 10, -240}};
  const char* events[] = {nullptr, "beep", nullptr, "stopcamera"};
  for (int i = 0; i + 1 < static_cast<int>(std::size(nodes)); ++i) {
    WorldPolygon* segment = b.Line(nodes[i], nodes[i + 1], camera);
    if (segment && events[i]) LevelSetProperty(&segment->props, "event", events[i]);
  }
  b.Line({-300, 0, -300}, {0, 20, 380}, GroupCreate(world, kDemoIntroLookPath, nullptr));
}

// One of each pick-up kind that the level has nowhere else (the shields
// orb lies in the control room, the crates are cargo units), in two rows
// along the hangar's side walls, clear of the way from the start to the
// doorway.
void HangarPickups(DemoLevel* level) {
  static const char* const kModels[] = {
      "SHIELDL.3DS", "ARMORS.3DS",  "ARMORL.3DS",   "MGAMMOS.3DS",  "MGAMMOL.3DS",  "RGAMMOS.3DS",
      "RGAMMOL.3DS", "ROCKETS.3DS", "ROCKETL.3DS",  "HMSSLS.3DS",   "HMSSLL.3DS",   "MMSSLS.3DS",
      "MMSSLL.3DS",  "NUKES.3DS",   "NUKEL.3DS",    "SMSSLS.3DS",   "SMSSLL.3DS",   "FLETCHTS.3DS",
      "FLETCHTL.3DS", "SVORTEXS.3DS", "SVORTEXL.3DS", "ENERGYS.3DS", "ENERGYL.3DS", "MG.3DS",
      "RAILGUN.3DS", "LASER.3DS",   "PLASER.3DS",   "FLTCHCAN.3DS", "MOLNIA.3DS",   "EMS.3DS",
      "FREON.3DS",
  };
  int index = 0;
  for (const char* model : kModels) {
    const bool left = index < 16;
    const int place = left ? index : index - 16;
    const Vec3 at = {left ? -kDemoPickupRowX : kDemoPickupRowX, kDemoPickupRowY,
                     kDemoPickupRowFirstZ + kDemoPickupRowStep * static_cast<float>(place)};
    level->instances.push_back({model, at, {0, 0, 0}, 0.0f, std::string("pickup_") + model, {}});
    ++index;
  }
}

void Hangar(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-400, -240, -400}, {400, kFloor, 400},
         Style(kDemoWallConcrete, kDemoFloorTiles, kDemoCeiling, 0.35f, false, false),
         {{kFaceMaxZ, -80, 80, kCorridorTop, kFloor}});
  // Lamps in the ceiling, a hazard band round the foot of the walls, two
  // pillars and a frame of stripes round the way out.
  // The first lamp is a group of its own that the level script could put
  // out (its macro is held back).
  PolygonGroup* lamp = GroupCreate(world, kDemoHeldLampGroup, nullptr);
  for (float x : {-200.0f, 200.0f}) {
    for (float z : {-200.0f, 200.0f}) {
      PolygonGroup* group = x < 0 && z < 0 ? lamp : nullptr;
      Horizontal(b, x - 40, x + 40, z - 40, z + 40, -239, true, kDemoLightPanel, 1.0f, group);
    }
  }
  WallX(b, -399, -400, 400, 60, kFloor, 1, kDemoHazardStripes, 0.4f);
  WallX(b, 399, -400, 400, 60, kFloor, -1, kDemoHazardStripes, 0.4f);
  WallZ(b, -399, -400, 400, 60, kFloor, 1, kDemoHazardStripes, 0.4f);
  WallZ(b, 399, -400, -100, 60, kFloor, -1, kDemoHazardStripes, 0.4f);
  WallZ(b, 399, 100, 400, 60, kFloor, -1, kDemoHazardStripes, 0.4f);
  // The stripes over the way out are the sign that the level script blinks.
  WallZ(b, 399, -100, 100, -70, kCorridorTop, -1, kDemoHazardStripes, 0.5f,
        GroupCreate(world, kDemoBlinkingSignGroup, nullptr));
  b.Block({-260, -240, 140}, {-200, kFloor, 200}, kDemoMetalPlate, 0.35f);
  b.Block({200, -240, 140}, {260, kFloor, 200}, kDemoMetalPlate, 0.35f);
  b.PointLight({0, -180, 0}, 1.0f, 300.0f, 900.0f, 1.0f, 0.9f, 0.7f);
  b.PointLight({0, -180, -300}, 1.0f, 240.0f, 700.0f, 1.0f, 0.9f, 0.7f);
  // A draught along the left wall that carries a ship toward the far end.
  if (WorldPolygon* draught = b.Line(kDemoFlowFrom, kDemoFlowTo, nullptr)) {
    LevelSetProperty(&draught->props, "flow", kDemoFlowSpeed);
  }

  IntroPaths(b, world);

  level->instances.push_back(
      {kDemoPlayerStartModel, {0, 40, -280}, {0, 0, 0}, 0.0f, "start",
       {{"event", kDemoStartEvent}, {"event1", "log ROOKIE"}, {"event2", "log VETERAN"}, {"event3", "log ELITE"}}});
  level->instances.push_back({"cargo.3ds", {-330, 90, 330}, {0, 0.3f, 0}, 0.0f, "crate1", {}});
  level->instances.push_back({"cargo.3ds", {-300, 90, 345}, {0, 1.1f, 0}, 0.0f, "crate2", {}});
  level->instances.push_back({"cargo.3ds", {330, 90, -330}, {0, 0.0f, 0}, 0.0f, "crate3", {}});
  HangarPickups(level);
  // The network respawn point: where a network game's ships appear, at the
  // hangar's middle facing the way out.
  level->instances.push_back({kDemoRespawnModel, kDemoRespawnAt, {0, 0, 0}, 0.0f, "respawn1", {}});
  // A loose boulder high over the back wall, behind the start, asleep until
  // a ship comes near: then it drops (it faces straight down) and bounces on
  // whatever it meets at no more than 30 units a second, hurting a ship it
  // touches by 200 a second.
  level->instances.push_back({"debris03.3ds", kDemoBoulderAt, {-1.5707964f, 0, 0}, 0.0f, kDemoBoulderInstance,
                              {{"speed", "30"}, {"damage_ship", "0.2"}, {"viewradius", kDemoBoulderWakeRadius}}});
}

void DoorCorridor(LevelBuilder& b, World* world) {
  b.Room({-80, kCorridorTop, 400}, {80, kFloor, 900},
         Style(kDemoWallTech, kDemoFloorGrating, kDemoMetalPlate, 0.3f, false, true), {});
  for (float z = 450; z < 900; z += 150)
    Horizontal(b, -20, 20, z, z + 60, kCorridorTop + 1, true, kDemoLightStrip, 1.0f);
  b.PointLight({0, -20, 520}, 1.0f, 200.0f, 420.0f, 0.7f, 0.9f, 1.0f);
  b.PointLight({0, -20, 800}, 1.0f, 200.0f, 420.0f, 0.7f, 0.9f, 1.0f);

  // The door: a slab that slides up into the ceiling. Its two faces carry
  // the door texture once each; its foot shows when it is open.
  PolygonGroup* door = GroupCreate(world, kDemoDoorGroup, nullptr);
  LevelSetProperty(&door->props, "type", "sliding");
  LevelSetProperty(&door->props, "auto", "1");
  LevelSetProperty(&door->props, "speed", "0.5");
  LevelSetProperty(&door->props, "radius", "220");
  const LevelMapping front = {{80, kCorridorTop, 642}, {-320, 0, 0}, {0, 140, 0}};
  const LevelMapping back = {{-80, kCorridorTop, 658}, {320, 0, 0}, {0, 140, 0}};
  b.Polygon({{-80, kCorridorTop, 642}, {80, kCorridorTop, 642}, {80, kFloor, 642}, {-80, kFloor, 642}}, {0, 0, -1},
            kDemoDoor, 0.4f, door, &front);
  b.Polygon({{-80, kCorridorTop, 658}, {80, kCorridorTop, 658}, {80, kFloor, 658}, {-80, kFloor, 658}}, {0, 0, 1},
            kDemoDoor, 0.4f, door, &back);
  Horizontal(b, -80, 80, 642, 658, kFloor, true, kDemoHazardStripes, 0.4f, door);
  b.Line({0, kFloor, 650}, {0, kCorridorTop - 100, 650}, door);  // the slide: 240 units up
  GroupSetSlideMover(door, 0, kCorridorTop - 100 - kFloor, 0, -0.5f, 0.0f);

  // An unseen plane across the corridor before the door: touching it opens
  // the door.
  PolygonGroup* trigger = GroupCreate(world, kDemoTriggerGroup, nullptr);
  LevelSetProperty(&trigger->props, "touch_event", "open door_main");
  WallZ(b, 560, -80, 80, kCorridorTop, kFloor, -1, nullptr, 0.0f, trigger, kPolygonTrigger | kPolygonNeverDrawn);
}

void PumpRoom(LevelBuilder& b, World* world, DemoLevel* level) {
  b.Room({-300, -300, 900}, {300, kFloor, 1500},
         Style(kDemoWallBrick, kDemoFloorTiles, kDemoCeiling, 0.35f, false, false),
         {{kFaceMinZ, -80, 80, kCorridorTop, kFloor},
          {kFaceMaxX, 1100, 1260, kCorridorTop, kFloor},
          {kFaceFloor, -120, 120, 1080, 1320}});
  Horizontal(b, -120, 120, 1080, 1320, kFloor, false, kDemoWater, 0.55f);
  WallX(b, -299, 950, 1450, -260, -150, 1, kDemoPipes, 0.4f);
  WallZ(b, 1499, -250, 250, -260, -150, -1, kDemoPipes, 0.4f);

  // The fan: four blades round a vertical axis, turning once every four
  // seconds for ever; its lamp hub is a child group that turns with it.
  PolygonGroup* fan = GroupCreate(world, kDemoFanGroup, nullptr);
  LevelSetProperty(&fan->props, "type", "spinning");
  LevelSetProperty(&fan->props, "continuous", "1");
  LevelSetProperty(&fan->props, "start", "1");
  LevelSetProperty(&fan->props, "speed", "0.25");
  const Vec3 hub = {0, -200, 1200};
  for (int k = 0; k < 4; ++k) {
    const float angle = k * kPi / 2;
    const float c = std::cos(angle), s = std::sin(angle);
    auto at = [&](float along, float across, float y) {
      return Vec3{hub.x + along * c - across * s, y, hub.z + along * s + across * c};
    };
    b.Polygon({at(25, -20, hub.y), at(160, -30, hub.y), at(160, 30, hub.y), at(25, 20, hub.y)}, {0, 1, 0},
              kDemoMetalPlate, 0.5f, fan);
    b.Polygon({at(25, -20, hub.y - 1), at(160, -30, hub.y - 1), at(160, 30, hub.y - 1), at(25, 20, hub.y - 1)},
              {0, -1, 0}, kDemoMetalPlate, 0.4f, fan);
  }
  b.Line(hub, {hub.x, hub.y - 60, hub.z}, fan);
  GroupSetRotateMover(fan, hub.x, hub.y, hub.z, 0, -1, 0, 0.0f, 0.25f, 0.0f);
  GroupStartMover(fan);
  PolygonGroup* lamp = GroupCreate(world, kDemoFanHubGroup, fan);
  LevelSetProperty(&lamp->props, "parent", kDemoFanGroup);
  b.Block({hub.x - 25, hub.y - 15, hub.z - 25}, {hub.x + 25, hub.y + 15, hub.z + 25}, kDemoLightPanel, 1.0f, lamp);

  // The piston: a block by the west pipes that keeps rising and falling 40
  // units while the player is within 700 units.
  PolygonGroup* piston = GroupCreate(world, kDemoPistonGroup, nullptr);
  LevelSetProperty(&piston->props, "type", "sliding");
  LevelSetProperty(&piston->props, "continuous", "1");
  LevelSetProperty(&piston->props, "start", "1");
  LevelSetProperty(&piston->props, "speed", "0.5");
  LevelSetProperty(&piston->props, "viewradius", "700");
  b.Block({-280, 40, 980}, {-240, kFloor - 1, 1020}, kDemoMetalPlate, 0.5f, piston);
  b.Line({-260, kFloor, 1000}, {-260, kFloor - 40, 1000}, piston);

  // Two coils on the east pipes throw arcs at each other twice a second.
  PolygonGroup* coilA = GroupCreate(world, kDemoCoilGroups[0], nullptr);
  LevelSetProperty(&coilA->props, "arc_to", kDemoCoilGroups[1]);
  LevelSetProperty(&coilA->props, "rate", "2");
  LevelSetProperty(&coilA->props, "damage", "6");
  b.Block({260, -240, 1300}, {290, -200, 1330}, kDemoComputer, 0.8f, coilA);
  PolygonGroup* coilB = GroupCreate(world, kDemoCoilGroups[1], nullptr);
  b.Block({260, -240, 1080}, {290, -200, 1110}, kDemoComputer, 0.8f, coilB);

  // The beacon: a square sign over the pool that turns about the vertical
  // to face the ship.
  PolygonGroup* beacon = GroupCreate(world, kDemoBeaconGroup, nullptr);
  b.Polygon({{-40, -180, 1200}, {40, -180, 1200}, {40, -100, 1200}, {-40, -100, 1200}}, {0, 0, -1},
            kDemoHazardStripes, 0.9f, beacon);

  // Warning lamps over the pool's two long sides, flashing together.
  PolygonGroup* warning = GroupCreate(world, kDemoFlashingGroup, nullptr);
  LevelSetProperty(&warning->props, "flash", "1");
  LevelSetProperty(&warning->props, "flash min", "0.2");
  LevelSetProperty(&warning->props, "flash max", "1");
  for (float x : {-299.0f, 299.0f}) {
    b.Polygon({{x, -120, 1170}, {x, -120, 1230}, {x, -90, 1230}, {x, -90, 1170}}, {x < 0 ? 1.0f : -1.0f, 0, 0},
              kDemoLightPanel, 1.0f, warning);
  }

  b.SphereLight({0, -120, 1200}, 0.5f, 450.0f);
  b.PointLight({-200, -250, 1000}, 1.0f, 300.0f, 800.0f, 0.6f, 0.8f, 1.0f);
  b.PointLight({200, -250, 1400}, 1.0f, 300.0f, 800.0f, 0.6f, 0.8f, 1.0f);
  level->instances.push_back({"sentry.3ds", {0, 95, 1440}, {0, kPi, 0}, 0.0f, "sentry1", {}});
  level->instances.push_back({kDemoGunModel, kDemoGunAt, {0, kPi, 0}, 0.0f, kDemoGunInstance, {{"level", "123"}}});
  level->instances.push_back(
      {kDemoTankModel, kDemoTankAt, {0, kPi * 0.75f, 0}, 0.0f, kDemoTankInstance, {{"level", "123"}}});
  level->instances.push_back(
      {kDemoDroneModel, kDemoDroneAt, {0, kPi, 0}, 0.0f, kDemoDroneInstance, {{"level", "123"}}});
}

void LavaCorridor(LevelBuilder& b) {
  b.Room({300, kCorridorTop, 1100}, {900, kFloor, 1260},
         Style(kDemoPipes, kDemoFloorGrating, kDemoMetalPlate, 0.3f, true, false),
         {{kFaceFloor, 500, 700, 1140, 1220}});
  // The lava burns a ship that touches it.
  if (WorldPolygon* lava = Horizontal(b, 500, 700, 1140, 1220, kFloor, false, kDemoLava, 1.0f)) {
    LevelSetProperty(&lava->props, "destructive", kDemoLavaDamage);
  }
  b.PointLight({600, -20, 1180}, 1.0f, 200.0f, 420.0f, 1.0f, 0.5f, 0.3f);
}

// The control room's machinery (see the header).
void ControlMachinery(LevelBuilder& b, World* world) {
  // The vault door: a slab on a hinge at its west edge, swinging 90 degrees.
  PolygonGroup* vault = GroupCreate(world, kDemoVaultDoorGroup, nullptr);
  LevelSetProperty(&vault->props, "speed", "0.5");
  LevelSetProperty(&vault->props, "opensound", "dooropen");
  LevelSetProperty(&vault->props, "stopsound", "doorstop");
  // Open, it shuts again three seconds later; shut, it lets the fan turn.
  LevelSetProperty(&vault->props, "finishevent", "timer 3000 close swinging_vault");
  LevelSetProperty(&vault->props, "startevent", "thaw spinning_fan");
  b.Block({1150, 0, 1000}, {1250, kFloor - 1, 1010}, kDemoDoor, 0.5f, vault);
  b.Line({1150, kFloor, 1000}, {1150, 0, 1000}, vault);

  // The lift: an unseen controller that slides 60 units up in two seconds,
  // carrying the platform (made after it, so that hiding the controller
  // leaves the platform shown).
  PolygonGroup* lift = GroupCreate(world, kDemoLiftGroup, nullptr);
  LevelSetProperty(&lift->props, "seconds", "2");
  LevelSetProperty(&lift->props, "finishevent", "reverse movement_lift");
  b.Line({1050, kFloor, 1050}, {1050, kFloor - 60, 1050}, lift);
  PolygonGroup* platform = GroupCreate(world, kDemoLiftPlatformGroup, nullptr);
  LevelSetProperty(&platform->props, "parent", kDemoLiftGroup);
  b.Block({1020, 90, 1020}, {1080, kFloor - 1, 1080}, kDemoHazardStripes, 0.6f, platform);

  // The button on the console runs the lift up, then back down.
  PolygonGroup* button = GroupCreate(world, kDemoLiftButtonGroup, nullptr);
  LevelSetProperty(&button->props, "button_event", "transfer movement_lift");
  b.Block({kDemoLiftButtonAt.x - 5, kDemoLiftButtonAt.y - 10, kDemoLiftButtonAt.z - 10},
          {kDemoLiftButtonAt.x + 5, kDemoLiftButtonAt.y + 10, kDemoLiftButtonAt.z + 10}, kDemoLightPanel, 1.0f,
          button);

  // The healing pad and the shock panel.
  PolygonGroup* pad = GroupCreate(world, kDemoHealPadGroup, nullptr);
  LevelSetProperty(&pad->props, "heal_ship", kDemoHealRate);
  LevelSetProperty(&pad->props, "light", "30");
  Horizontal(b, kDemoHealPadAt.x - 30, kDemoHealPadAt.x + 30, kDemoHealPadAt.z - 30, kDemoHealPadAt.z + 30,
             kDemoHealPadAt.y, false, kDemoLightPanel, 1.0f, pad);
  PolygonGroup* shock = GroupCreate(world, kDemoShockPanelGroup, nullptr);
  LevelSetProperty(&shock->props, "damage_ship", kDemoShockRate);
  LevelSetProperty(&shock->props, "touch_event", "toggle swinging_vault");
  WallZ(b, 1449, 1150, 1250, -100, 0, -1, kDemoGrate, 0.7f, shock);
}

void ControlRoom(LevelBuilder& b, DemoLevel* level) {
  b.Room({900, -200, 950}, {1400, kFloor, 1450},
         Style(kDemoWallTech, kDemoFloorTiles, kDemoCeiling, 0.35f, false, false),
         {{kFaceMinX, 1100, 1260, kCorridorTop, kFloor}, {kFaceFloor, 950, 1100, 1300, 1440}});
  Horizontal(b, 950, 1100, 1300, 1440, kFloor, false, kDemoSludge, 0.5f);
  // A colour-keyed grate fences the sludge tank off.
  WallZ(b, 1300, 950, 1100, 0, kFloor, -1, kDemoGrate, 0.5f);
  // Consoles along the far wall, and screens above them.
  b.Block({1340, 40, 1050}, {1390, kFloor, 1350}, kDemoMetalPlate, 0.35f);
  WallX(b, 1339, 1060, 1340, 45, 90, -1, kDemoComputer, 0.8f);
  if (WorldPolygon* screen = WallX(b, 1399, 1000, 1400, -150, -50, -1, kDemoComputer, 0.8f)) {
    LevelSetProperty(&screen->props, "animated", kDemoScreenFrames);
    LevelSetProperty(&screen->props, "fps", "2");
  }
  b.PointLight({1150, -150, 1200}, 1.0f, 300.0f, 800.0f, 0.7f, 1.0f, 0.7f);

  const std::string sensorEvent =
      std::string("log SENSOR|open swinging_vault|freeze spinning_fan|countdown 10000 ") + kDemoCountdownEvent;
  level->instances.push_back({"sensor.3ds", kDemoSensorAt, {0, 0, 0}, 0.0f, kDemoSensorInstance,
                              {{"radius", "80"}, {"event", sensorEvent}}});
  level->instances.push_back({"SHIELDS.3DS", {1150, 60, 1200}, {0, 0, 0}, 0.0f, "shields1", {}});
  level->instances.push_back({"cargo.3ds", {1300, 90, 1400}, {0, 0.5f, 0}, 0.0f, "crate4", {}});
  // The console's display: a small rig that turns and rises over and over,
  // kept as it is by saved games.
  level->instances.push_back({kDemoTestRigModel, kDemoConsoleRigAt, {0, 0, 0}, 0.0f, kDemoConsoleRigInstance,
                              {{"animated_object", "10"}, {"total_frames", "20"}, {"static_object", "1"}}});
}

}  // namespace

void BuildDemoLevel(World* world, DemoLevel* level) {
  LevelBuilder b(world, MakeDemoPalette());
  LevelSetProperty(&world->props, "name", "Pump Station");
  for (const DemoMacro& macro : kDemoMacros) LevelSetProperty(&world->props, macro.name, macro.text);
  Hangar(b, world, level);
  DoorCorridor(b, world);
  PumpRoom(b, world, level);
  LavaCorridor(b);
  ControlRoom(b, level);
  ControlMachinery(b, world);
  b.ReleaseSurfaces();
  // The groups' polygons enter the BSP where their movers put them.
  WorldRebuildGroups(world);
  level->settings.depthCueFar = 2200.0f;
  level->settings.flatShadeLow = 0.2f;
  level->settings.flatShadeHigh = 1.0f;
}

std::vector<uint8_t> DemoLevelMember(const std::function<void(DemoLevel*)>& edit) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  // The root splits at the floor plane (y = 100, front side above it).
  world->bspRoot = BspNodeCreate(0, -1, 0, -kFloor);
  DemoLevel level;
  BuildDemoLevel(world, &level);
  if (edit) edit(&level);
  std::vector<uint8_t> member;
  if (!WriteWorldMember(world, level.instances, level.settings, &member)) member.clear();
  WorldFree(world);
  return member;
}
