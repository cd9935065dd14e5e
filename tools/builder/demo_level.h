#pragma once
// The first mission's level, "Pump Station": a hangar where the ship starts,
// a corridor closed by a sliding door (with a trigger plane before it that
// opens it), a pump room with a pool and a ceiling fan that spins for ever
// (its lamp hub a child group), a corridor over a lava channel, and a
// control room with consoles and a sludge tank behind a grate. Lit by point
// lights and one sphere light; the depth cue closes in at 2200 units.
//
// Scale: the ship is about 34 units across and flies at up to 135 units a
// second; rooms are 500 to 800 units wide, corridors 160 wide and 140 high.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/records.h"
#include "tools/builder/world_writer.h"

// Names the level's script and tests rely on.
inline constexpr const char* kDemoDoorGroup = "door_main";
inline constexpr const char* kDemoFanGroup = "spinning_fan";
inline constexpr const char* kDemoFanHubGroup = "fan_hub";
inline constexpr const char* kDemoTriggerGroup = "trigger_hall";
inline constexpr const char* kDemoLevelMember = "M1.CCW";

struct DemoLevel {
  std::vector<BuilderInstance> instances;
  WorldMemberSettings settings;
};

// Lays the level out in world (empty, with a BSP root and a welded vertex
// pool) and fills level with its instances and settings.
void BuildDemoLevel(World* world, DemoLevel* level);
// The level's world member ("M1.CCW"); empty when it could not be written.
// edit, when given, changes the level's instances or settings before they
// are written (tests make variants of the level this way).
std::vector<uint8_t> DemoLevelMember(const std::function<void(DemoLevel*)>& edit = {});
