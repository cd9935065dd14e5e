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
inline constexpr const char* kDemoBlinkingSignGroup = "exit_sign";
inline constexpr const char* kDemoHeldLampGroup = "hangar_lamp";
// The control room's machinery: the sensor opens the vault door (a plain
// swinging door) and freezes the fan; the door shuts again three seconds
// after it is open, and once shut thaws the fan. The console's button runs
// the lift (a movement carrying a platform) up, and at the top it reverses.
// The pad heals and the shock panel hurts a ship that touches it (the pad
// carries a light); touching the panel also toggles the vault door. The pump room has a piston (a continuous
// door that stands still while the player is out of its view radius), two
// coils that throw arcs at each other, and a beacon that keeps facing the
// ship.
inline constexpr const char* kDemoSensorInstance = "sensor1";
inline constexpr const char* kDemoVaultDoorGroup = "swinging_vault";
inline constexpr const char* kDemoLiftButtonGroup = "button_lift";
inline constexpr const char* kDemoLiftGroup = "movement_lift";
inline constexpr const char* kDemoLiftPlatformGroup = "lift_platform";
inline constexpr const char* kDemoHealPadGroup = "heal_pad";
inline constexpr const char* kDemoShockPanelGroup = "shock_panel";
inline constexpr const char* kDemoPistonGroup = "door_piston";
inline constexpr const char* kDemoCoilGroups[2] = {"coil_a", "coil_b"};
inline constexpr const char* kDemoBeaconGroup = "facing_beacon";
inline constexpr Vec3 kDemoSensorAt = {1000, 40, 1180};
inline constexpr Vec3 kDemoHealPadAt = {1240, 95, 1060};
inline constexpr Vec3 kDemoLiftButtonAt = {1335, 20, 1200};
inline constexpr const char* kDemoHealRate = "5";
inline constexpr const char* kDemoShockRate = "8";
// The hangar's free-moving boulder, 100 units over the back wall's foot
// behind the start (141 units from it); it wakes when a ship comes within
// 120 units, as one backed up against the wall under it does.
inline constexpr Vec3 kDemoBoulderAt = {0, -60, -380};
inline constexpr const char* kDemoBoulderInstance = "physical_boulder";
inline constexpr const char* kDemoBoulderWakeRadius = "120";

// The pump room's enemies, kept at every difficulty ("level" 123) and out
// of the way of a ship that stays in the hangar and the first corridor: a
// stationary gun by the far wall, a tank on the floor and a drone hovering
// over the entrance.
inline constexpr const char* kDemoGunInstance = "gun1";
inline constexpr const char* kDemoTankInstance = "tank1";
inline constexpr const char* kDemoDroneInstance = "drone1";
inline constexpr Vec3 kDemoGunAt = {200, 85, 1400};
// The tank's origin sits its half height (bounding box x 1.1) over the
// floor, where its ground rule keeps it.
inline constexpr Vec3 kDemoTankAt = {-170, 100 - 5.6f * 2.5f * 1.1f, 1360};
inline constexpr Vec3 kDemoDroneAt = {150, -100, 1000};

// The level script. The player start raises kDemoStartEvent when the level
// starts: the striped sign over the hangar's way out (in view from the
// start) blinks after four seconds (the macro "blink_sign" hides it and
// shows it again a second later; the opening camera is over by then) and
// once more after six seconds at every difficulty from 1 up. The later timer comes first: a timer that a due one
// adds is counted down in the same pass unless the due one was the last of
// the list. The macro "lamp_off" is held back by its flag and the piece
// gated by the digit 4 never runs in single play, so the first ceiling lamp
// stays lit.
//
// First of all it flies the camera over the hangar for about three seconds
// (single play only): the camera along "path_intro", looking at a point
// that glides along "path_intro_look" toward the way out; the camera path
// beeps at its second node and stops the camera at its last but one (the
// ship's own view then takes over).
inline constexpr const char* kDemoIntroCameraPath = "path_intro";
inline constexpr const char* kDemoIntroLookPath = "path_intro_look";
inline constexpr const char* kDemoStartEvent =
    "cameratargetpath path_intro_look 3|camerapath path_intro 3|log WELCOME|activate blink_sign|1timer 6000 execute blink_sign|timer 4000 execute blink_sign|"
    "deactivate lamp_off|timer 500 execute lamp_off|4hide hangar_lamp";
struct DemoMacro {
  const char* name;
  const char* text;
};
inline constexpr DemoMacro kDemoMacros[] = {
    {"blink_sign", "hide exit_sign|timer 1000 show exit_sign"},
    {"lamp_off", "hide hangar_lamp"},
};
// The hangar's flow line (a current of 60 units a second toward +z) and the
// damage of the lava channel's floor per unit of contact weight.
inline constexpr Vec3 kDemoFlowFrom = {-300.0f, 0.0f, -300.0f};
inline constexpr Vec3 kDemoFlowTo = {-300.0f, 0.0f, 300.0f};
inline constexpr const char* kDemoFlowSpeed = "60";
inline constexpr const char* kDemoLavaDamage = "2";
// The pump room's warning lamps flash once a second between a fifth and
// full light; the control room's big screen plays COMPUTR1..3 twice a
// second; the control room's sensor also starts a ten-second countdown,
// whose end shows the "PUMPS" line and accomplishes the mission: the second
// one follows (the braces keep both pieces in the countdown's one event).
inline constexpr const char* kDemoFlashingGroup = "pump_warning";
inline constexpr const char* kDemoScreenFrames = "COMPUTR";
inline constexpr const char* kDemoCountdownEvent = "{log PUMPS|next_mission 2}";
// Where the lava floor lies: x 500..700, z 1140..1220, y 100 (facing up).

// Pick-ups: one of each kind. The hangar's two rows along its side walls
// (x = -340 and 340, 16 and 15 items from z = -240 every 32 units, a little
// over the floor); the shields orb "shields1" in the control room; the four
// crates are cargo units. A network game's ships appear at the respawn
// point in the hangar's middle (the origin, facing +z).
inline constexpr float kDemoPickupRowX = 340.0f;
inline constexpr float kDemoPickupRowY = 88.0f;
inline constexpr float kDemoPickupRowFirstZ = -240.0f;
inline constexpr float kDemoPickupRowStep = 32.0f;
inline constexpr Vec3 kDemoRespawnAt = {0, 0, 0};
// An animated static object on the control room's console: "testrig.3ds"
// at 10 frames a second over 20 frames.
inline constexpr Vec3 kDemoConsoleRigAt = {1365, 36, 1120};
inline constexpr const char* kDemoConsoleRigInstance = "console_display";

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
