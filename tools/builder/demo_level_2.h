#pragma once
// The second mission's level, "Cooling Tower": a dock where the ship starts,
// with two valve buttons on its side walls; a corridor sealed by a door that
// slides aside once both valves are turned (its counter of 2 run down); a
// swinging gate further on that opens by itself for a ship that comes near;
// and the tall tower room with the glowing core vent on its floor, guarded
// by a turret, a truck and a wing drone. A sensor under the tower's roof
// ends the mission: the station quakes, the vent bursts into a fire sphere
// and goes dark, a second drone is spawned, and the campaign's ending
// follows. The radar marks the vent from the start; a countdown of four
// minutes fails the mission (failure page 2) if the sensor is not reached.
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
// the mission's time limit and, from the veteran difficulty up, a hint.
inline constexpr const char* kDemo2StartEvent =
    "log TOWER|create_beacon core_vent|countdown 240000 mission_failed 2|2timer 5000 log VALVES";
// The roof sensor's event (see above).
inline constexpr const char* kDemo2RoofEvent =
    "log ROOF|mission_2_done|quake 1500|fireball core_vent 150 2000|timer 1800 hide core_vent|"
    "spawn_enemy dw 0 -300 1300|timer 4000 end_game";

// The level's world member ("M2.CCW"); empty when it could not be written.
// edit, when given, changes the instances or settings before they are
// written.
std::vector<uint8_t> DemoLevel2Member(const std::function<void(DemoLevel*)>& edit = {});
