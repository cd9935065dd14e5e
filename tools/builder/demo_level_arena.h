#pragma once
// The network mission's level, "Halvard Reactor": an arena for up to eight
// ships. A square hall round the reactor core, which hangs from the ceiling
// over a plinth with a healing pad (a ship flies under the core, across the
// hall); a turbine of four blades turns round the core's housing; four
// pillars give cover. Eight respawn points stand in a ring round the core,
// each facing it, so that opposite points face each other across the hall.
// Pick-ups lie in a ring between the points; the best ones wait behind
// doors: the north armoury behind a door that slides up for a ship that
// comes near, the south armoury behind a swinging door that a trigger plane
// before it opens, and on the west wall's high balcony, which the lift
// beside it (run by its button) or a steep climb reaches.
//
// Same scale as the other missions: floor at y = 100, doorways 160 wide
// and 140 high.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/records.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/world_writer.h"

inline constexpr const char* kDemoArenaMember = "M4.CCW";
inline constexpr int kDemoArenaRespawnCount = 8;
// The ring of respawn points: radius round the core's axis, height; point k
// (in the level's order) at the angle k x 45 degrees from +z toward +x.
inline constexpr float kDemoArenaRingRadius = 560.0f;
inline constexpr float kDemoArenaRingY = 40.0f;
// The hall: x and z from -700 to 700, ceiling at -450, floor at 100.
inline constexpr float kDemoArenaHalfWidth = 700.0f;
inline constexpr float kDemoArenaCeiling = -450.0f;
inline constexpr const char* kDemoArenaNorthDoorGroup = "door_armoury_north";
inline constexpr const char* kDemoArenaSouthDoorGroup = "swinging_armoury_south";
inline constexpr const char* kDemoArenaSouthTriggerGroup = "trigger_armoury_south";
inline constexpr const char* kDemoArenaLiftGroup = "movement_arena_lift";
inline constexpr const char* kDemoArenaLiftPlatformGroup = "arena_lift_platform";
inline constexpr const char* kDemoArenaLiftButtonGroup = "button_arena_lift";
inline constexpr const char* kDemoArenaTurbineGroup = "spinning_turbine";
inline constexpr const char* kDemoArenaCoreGroup = "reactor_core";
inline constexpr const char* kDemoArenaHealPadGroup = "core_heal_pad";
// The player start's event: the arena's welcome line.
inline constexpr const char* kDemoArenaStartEvent = "log ARENA";
// The pick-ups behind the doors and on the balcony, by model.
inline constexpr const char* kDemoArenaNorthPrizes[] = {"RAILGUN.3DS", "NUKEL.3DS", "SMSSLL.3DS"};
inline constexpr const char* kDemoArenaSouthPrizes[] = {"PLASER.3DS", "MMSSLL.3DS", "SVORTEXL.3DS"};
inline constexpr const char* kDemoArenaBalconyPrizes[] = {"MOLNIA.3DS", "SHIELDL.3DS", "ARMORL.3DS"};
// The hall's ring of supplies, one between each two respawn points.
inline constexpr const char* kDemoArenaRingSupplies[] = {"MGAMMOL.3DS", "ROCKETL.3DS",  "ENERGYL.3DS", "SHIELDS.3DS",
                                                          "RGAMMOL.3DS", "HMSSLL.3DS",   "ARMORS.3DS",  "FLETCHTL.3DS"};

// The level's world member ("M4.CCW"); empty when it could not be written.
// edit, when given, changes the instances or settings before they are
// written.
std::vector<uint8_t> DemoArenaLevelMember(const std::function<void(DemoLevel*)>& edit = {});
