#pragma once
// The third mission's level, "Reactor Heart", the campaign's finale: a
// landing bay where the ship starts; a corridor past two rubber-ball guns
// to a twin door whose halves slide apart for a ship that comes near (the
// right half follows its owner, the left); a hall where a cloaked fighter
// lies in wait and a sensor opens the arena's twin gate; and the arena,
// where the four-part boss guards the reactor: three outer parts fight,
// and once one is worn down they fly home, gather round the core and hide
// while the core shows itself and drops bombs for 25 s. The sensor inside
// the arena shuts the gate behind the ship, sounds the alarm and puts the
// radar's beacon on the core; destroying the core blows up the outer
// parts, opens the gate and ends the game. A countdown of eight minutes
// fails the mission (failure page 3).
//
// The way is straight along +z at the start's height (x = 0, y = 40), so
// a ship that only accelerates flies from the start through both twin
// doors into the arena, with the core straight ahead. Same scale as the
// other missions: floor at y = 100, corridors 160 wide and 140 high.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/records.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/world_writer.h"

inline constexpr const char* kDemoLevel3Member = "M3.CCW";
inline constexpr const char* kDemo3TwinDoorGroups[2] = {"door_twin_l", "door_twin_r"};
inline constexpr const char* kDemo3GateGroups[2] = {"door_arena_l", "door_arena_r"};
inline constexpr const char* kDemo3HallSensorInstance = "sensor_hall";
inline constexpr const char* kDemo3ArenaSensorInstance = "sensor_arena";
inline constexpr Vec3 kDemo3StartAt = {0, 40, -200};
inline constexpr Vec3 kDemo3HallSensorAt = {0, 40, 1120};
inline constexpr Vec3 kDemo3ArenaSensorAt = {0, 40, 1850};
// The gate's plane and the arena's far wall.
inline constexpr float kDemo3GateZ = 1600.0f;
inline constexpr float kDemo3ArenaFarZ = 2800.0f;

// The enemies: two rubber-ball guns ("ttg.3ds") by the corridor's walls, a
// fighter ("cyclone.3ds") hidden in the hall until its sensor uncloaks it,
// and the boss: the outer parts "boss_part1" .. "boss_part3" (models
// "fboss.3ds", "fboss2.3ds", "fboss4.3ds", tools/builder/demo_boss_models.h)
// at their homes round the core "boss_core" ("fboss5.3ds").
inline constexpr const char* kDemo3GunModel = "ttg.3ds";
inline constexpr const char* kDemo3FighterModel = "cyclone.3ds";
inline constexpr const char* kDemo3GunInstances[2] = {"gun_left", "gun_right"};
inline constexpr const char* kDemo3FighterInstance = "ambush_fighter";
inline constexpr const char* kDemo3BossPartInstances[3] = {"boss_part1", "boss_part2", "boss_part3"};
inline constexpr const char* kDemo3BossCoreInstance = "boss_core";
inline constexpr Vec3 kDemo3BossCoreAt = {0, 40, 2300};
inline constexpr Vec3 kDemo3BossPartHomes[3] = {{0, 40, 2120}, {-170, -30, 2200}, {170, -30, 2200}};

// The player start's event: the welcome line, the fighter cloaked, the
// mission's time limit and, from the veteran difficulty up, a hint.
inline constexpr const char* kDemo3StartEvent =
    "log REACTOR|hide ambush*|countdown 480000 mission_failed 3|2timer 6000 log HEART";
// The hall's sensor: the fighter uncloaks and the arena's gate opens.
inline constexpr const char* kDemo3HallEvent = "log AMBUSH|uncloak ambush*|open door_arena_l";
// The arena's sensor: the gate shuts behind the ship, the alarm sounds, the
// radar marks the core and the station shakes.
inline constexpr const char* kDemo3ArenaEvent =
    "log BOSS|close door_arena_l|soundloop alarm|create_beacon boss_core|quake 800";
// The core's death event: the outer parts blow up, the alarm stops, the
// gate opens and the game's ending follows.
inline constexpr const char* kDemo3CoreDeathEvent =
    "log CORE|mission_3_done|explode boss_part*|soundstop alarm|quake 1500|open door_arena_l|timer 4000 end_game";

// The level's world member ("M3.CCW"); empty when it could not be written.
// edit, when given, changes the instances or settings before they are
// written.
std::vector<uint8_t> DemoLevel3Member(const std::function<void(DemoLevel*)>& edit = {});
