#pragma once
// The second mission's level, "Cooling Tower": a dock where the ship starts,
// with two valve buttons on its side walls; a corridor sealed by a door that
// slides aside once both valves are turned (its counter of 2 run down); a
// swinging gate further on that opens by itself for a ship that comes near;
// and the tall tower room with the glowing core vent on its floor, guarded
// by a turret, a truck and a wing drone. A sensor under the tower's roof
// ends the mission: the station quakes, the vent bursts into a fire sphere
// and goes dark, a second drone is spawned, and the third mission
// follows. The radar marks the vent from the start; a countdown of four
// minutes fails the mission (failure page 2) if the sensor is not reached.
//
// Off the tower's floor, behind its far wall, lies the gallery: a short
// corridor with a sliding door that opens for a ship coming near, and a
// wide hall where one enemy of every type the demo has no other place for
// waits asleep (stopped by the start event) until a ship comes within reach
// of the sensor at its foot. Its far end spawns the two types that only a
// script makes.
//
// Same scale as the first mission: floor at y = 100, corridors 160 wide
// and 140 high.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/records.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/world_writer.h"

inline constexpr const char* kDemoLevel2Member = "M2.CCW";
inline constexpr const char* kDemo2ValveGroups[2] = {"button_valve_a", "button_valve_b"};
inline constexpr const char* kDemo2SealDoorGroup = "door_seal";
inline constexpr const char* kDemo2GateGroup = "swinging_gate";
inline constexpr const char* kDemo2VentGroup = "core_vent";
inline constexpr const char* kDemo2ChatterTrigger = "trigger_chatter";
inline constexpr const char* kDemo2SensorInstance = "sensor_roof";
inline constexpr Vec3 kDemo2StartAt = {0, 40, -200};
inline constexpr Vec3 kDemo2SensorAt = {0, -560, 1300};
// The enemies that the first mission does not have, made from the demo's
// enemy meshes under these names (tools/builder/demo_mission_2.h).
inline constexpr const char* kDemo2TurretModel = "turret.3ds";
inline constexpr const char* kDemo2TruckModel = "truck.3ds";
inline constexpr const char* kDemo2WingDroneModel = "dw.3ds";
inline constexpr const char* kDemo2TurretInstance = "turret1";
inline constexpr const char* kDemo2TruckInstance = "truck1";
inline constexpr const char* kDemo2WingDroneInstance = "wingdrone1";
// The player start's event: the welcome line, the radar beacon on the vent,
// the mission's time limit and, from the veteran difficulty up, a hint;
// then the gallery goes to sleep (below).
inline constexpr const char* kDemo2StartEvent =
    "log TOWER|create_beacon core_vent|countdown 240000 mission_failed 2|2timer 5000 log VALVES|"
    "stop zoo*|hide zoo27_ac|hide zoo26_vardik|hide zoo_coolant_wreck|hide zoo_target_dented|hide zoo_target_wreck|"
    "hide button_zoo_crane_lit|disable_sensor sensor_gallery_end";
// The roof sensor's event (see above).
inline constexpr const char* kDemo2RoofEvent =
    "log ROOF|mission_2_done|quake 1500|fireball core_vent 150 2000|timer 1800 hide core_vent|"
    "spawn_enemy dw 0 -300 1300|timer 4000 next_mission 3";

// The gallery (see above). Each enemy sleeps until a ship comes within
// reach of the sensor before it ("sensor_" and the instance name), whose
// event wakes it, each in its own way (started, started after a wait,
// sent round the gallery's path, set on another enemy, uncloaked ...).
struct DemoGalleryEnemy {
  const char* model;
  const char* instance;
  Vec3 at;
  const char* wake;
};
inline constexpr DemoGalleryEnemy kDemo2GalleryEnemies[] = {
    // Guns along the near row, standing on the floor; the mtrrt rides the
    // crane's platform.
    {"TMSL.3ds", "zoo01_tmsl", {-480, 100 - 15 * 0.9f, 2050}, "start zoo01_tmsl"},
    {"TQLC.3ds", "zoo02_tqlc", {-360, 85, 2050}, "start zoo02_tqlc"},
    {"ttt.3ds", "zoo03_ttt", {-240, 100 - 15 * 1.1f, 2050}, "wait zoo03_ttt 1500"},
    {"ttg.3ds", "zoo04_ttg", {-120, 85, 2050}, "freeze zoo04_ttg|thaw zoo04_ttg|damage zoo04_ttg|start zoo04_ttg"},
    {"mtrrt.3ds", "zoo05_mtrrt", {480, 90 - 15 * 1.2f, 2200}, "start zoo05_mtrrt"},
    {"boss.3ds", "zoo06_boss", {200, 70, 2080},
     "start zoo06_boss|enable_sensor sensor_gallery_end|set_sensorradius sensor_gallery_end 180"},
    {"striker.3ds", "zoo07_striker", {420, -60, 1980}, "start zoo07_striker"},
    // Ground vehicles in the middle row, on the floor.
    {"mole.3ds", "zoo08_mole", {-480, 100 - 15.4f * 0.8f, 2350}, "start zoo08_mole|gopath zoo08_mole path_zoo_loop"},
    {"scientst.3ds", "zoo09_scientst", {-360, 100 - 15.4f * 0.7f, 2350}, "start zoo09_scientst|scare zoo09_scientst"},
    {"at.3ds", "zoo10_at", {-240, 100 - 15.4f * 0.9f, 2350},
     "start zoo10_at|slidepath zoo10_at path_zoo_loop|timer 6000 leavepath zoo10_at"},
    {"trans.3ds", "zoo11_trans", {-120, 100 - 15.4f, 2350}, "start zoo11_trans|traversepath zoo11_trans path_zoo_loop"},
    {"convoy.3ds", "zoo12_convoy", {0, 100 - 15.4f, 2350},
     "start zoo12_convoy|notify zoo12_convoy|notifynear zoo12_convoy"},
    {"gb.3ds", "zoo13_gb", {120, -40, 2350}, "start zoo13_gb"},
    {"tankm.3ds", "zoo14_tankm", {240, 100 - 15.4f * 1.1f, 2350}, "start zoo14_tankm"},
    {"thunder.3ds", "zoo15_thunder", {360, 100 - 15.4f * 1.2f, 2350}, "start zoo15_thunder"},
    {"bossa.3ds", "zoo16_bossa", {500, 100 - 15.4f * 2.0f, 2400},
     "start zoo16_bossa|create_beacon zoo16_bossa|launch_missile zoo16_bossa"},
    // Fliers over the far row.
    {"ship.3ds", "zoo17_ship", {-480, -120, 2650}, "start zoo17_ship|escort zoo17_ship zoo18_ss1"},
    {"ss1.3ds", "zoo18_ss1", {-360, -120, 2650}, "start zoo18_ss1"},
    {"ss2.3ds", "zoo19_ss2", {-240, -120, 2650}, "start zoo19_ss2"},
    {"owl.3ds", "zoo20_owl", {-120, -120, 2650}, "start zoo20_owl"},
    {"cyclone.3ds", "zoo21_cyclone", {0, -120, 2650}, "start zoo21_cyclone|attackobject zoo21_cyclone zoo20_owl"},
    {"manta.3ds", "zoo22_manta", {120, -120, 2650}, "start zoo22_manta|attackpoint zoo22_manta 120 -120 2500"},
    {"dc.3ds", "zoo23_dc", {240, -120, 2650}, "start zoo23_dc|inccounter door_zoo_vault"},
    {"dgh.3ds", "zoo24_dgh", {360, -120, 2650}, "start zoo24_dgh"},
    {"drone2.3ds", "zoo25_drone2", {480, -120, 2650}, "start zoo25_drone2"},
    {"vardik.3ds", "zoo26_vardik", {-300, -160, 2780}, "show zoo26_vardik"},
    {"ac.3ds", "zoo27_ac", {300, -160, 2780}, "uncloak zoo27_ac"},
};
// Instance properties of a few of them: the scientist flees along its path
// from a ship that comes near, the convoy escorts the transporter, the
// mtrrt rides the crane, and the two big guns and the drone carrier count
// the vault door down as they die.
inline constexpr const char* kDemo2GalleryFleePath = "path_zoo_flee";
inline constexpr const char* kDemo2GalleryCraneGroup = "movement_zoo_crane";
inline constexpr const char* kDemo2GalleryVaultDeath = "deccounter door_zoo_vault";
inline constexpr const char* kDemo2GalleryDoorGroup = "door_gallery";
inline constexpr const char* kDemo2GalleryVaultGroup = "door_zoo_vault";
inline constexpr const char* kDemo2GalleryCoolantGroup = "zoo_coolant";
inline constexpr float kDemo2GalleryMinX = -600.0f;
inline constexpr float kDemo2GalleryMaxX = 600.0f;
inline constexpr float kDemo2GalleryMinZ = 1860.0f;
inline constexpr float kDemo2GalleryMaxZ = 2900.0f;
inline constexpr float kDemo2GalleryTop = -300.0f;
// The sensor before the vault, enabled when the boss wakes: the script's
// own two types appear through two hatches they blow open, an alarm sounds, the gallery door locks for ten
// seconds, the shutter starts pumping, the east grate turns into a
// revolving door, and a tow beam lifts the ship over the hall for a look.
inline constexpr const char* kDemo2GallerySpawnSensor = "sensor_gallery_end";
inline constexpr const char* kDemo2GallerySpawnEvent =
    "destroy zoo_hatch_l|destroy zoo_hatch_r|spawn_enemy drugie -150 85 2820|spawn_enemy ready 150 -150 2820|"
    "soundloop alarm door_gallery|"
    "timer 4000 soundstop alarm|doortype door_gallery none|close door_gallery|timer 10000 doortype door_gallery auto|"
    "doortype sliding_zoo_shutter moving|set_viewradius sliding_zoo_shutter 800|doortype swinging_zoo_grate rotating|"
    "open swinging_zoo_grate|playerpath path_zoo_tow 3|playertargetpath path_zoo_tow_look 3";
// The vault's parent door opens both leaves when its counter has run down:
// they get their slide axes first; the banner comes down, the crane lets
// go of its platform, the revolving grate stops, and the two guns nearest
// the entrance blow their fuses.
inline constexpr const char* kDemo2GalleryVaultOpenEvent =
    "setaxis sliding_zoo_vault_l axis_zoo_vault_l|setaxis sliding_zoo_vault_r axis_zoo_vault_r|open door_zoo_vault|"
    "remove_group zoo_banner|detach zoo_crane_hook|disable swinging_zoo_grate|destroy zoo01_tmsl|explode zoo02_tqlc";

// The level's world member ("M2.CCW"); empty when it could not be written.
// edit, when given, changes the instances or settings before they are
// written.
std::vector<uint8_t> DemoLevel2Member(const std::function<void(DemoLevel*)>& edit = {});
