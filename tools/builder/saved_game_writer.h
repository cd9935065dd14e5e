#pragma once
// Saved games written from a described state, byte by byte in the class
// library's archive form, without the game's own writer: tests load them
// into a document, and the loader's fuzz harness starts from them. The
// layout (each item little-endian):
//   "KRVX", u32 version, four archive strings (mission, description,
//   second, next mission); the script objects (three empty sequences);
//   i32 group count, the group records; the document's state (the local
//   player as a "CDirectPlayer" object); the event flags ("CGlobalEventType"
//   list, empty) and the timed events; the object list ("CObjectList",
//   empty); i32 damageable-group count and records; u32 looping-sound count
//   and the sounds.
#include <cstdint>
#include <string>
#include <vector>

struct SavedGroupRecord {
  std::string name;
  float base[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float mover[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float world[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  int32_t moverType = 0;  // 1 slide, 2 rotate, negative stopped
  // radius, position, speed, axis x y z, angle, pivot x y z
  float values[10] = {};
  int32_t visible = 1;
  uint8_t running = 0;
};

struct SavedPlayerRecord {
  uint32_t id = 0x1000;
  std::string shortName = "ego";
  std::string longName = "EE";
  // last step, keep-alive, remote time, remote arrival, block time stamp:
  // relative to the game clock.
  int32_t times[5] = {};
  // thrust (3), angular acceleration (3), matrix (16), velocity (3),
  // angular velocity (3), radius
  float block[29] = {0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1.0f};
  uint8_t local = 1, remote = 0, dead = 0;
  float health = 40.0f;
  float shields = 160.0f;
  int32_t smokeTime = 0;
  uint8_t exploded = 0;
  int32_t countdown = 0;
  uint8_t longDeath = 0;
};

// The document's state in file order (times relative to the game clock).
struct SavedDocumentState {
  uint8_t cockpit = 1, backgroundClearing = 1;
  float depthCueFar = -1.0f;
  uint8_t depthCueing = 0;
  int32_t lastStepTime = 0;
  uint8_t missionFailed = 0;
  uint32_t nextObjectId = 0x2000;
  uint8_t reserved = 0, scriptCamera = 0;
  SavedPlayerRecord player;
  bool writePlayer = true;  // false: the null reference
  uint8_t chaseView = 0;
  float chaseOffset[3] = {};
  float cameraVector2[3] = {0, -100, -10};
  int32_t steering = 5;
  uint8_t fireHeld = 0;
  int32_t hudRedraw[4] = {2, 2, 2, 2};
  int32_t times[15] = {};
  uint8_t frozen = 0, pulsingDepthCue = 0, clockPaused = 0;
  float hitFlash = 0.0f;
  int32_t hitFlashTime = 0;
  uint8_t autoLowRes = 0;
  // selected missile, selected gun, owned missiles, owned guns, autocannon
  // upgrade, cargo units
  uint8_t weapons[6] = {1, 1, 0x6F, 1, 0, 0};
  int32_t radar[2] = {};
  int32_t radarTime = 0;
  uint8_t radarShown = 1;
  // document order: shells, plasma, nukes, slugs, rockets, homing, micro,
  // sentry, vortex, cells
  int32_t ammo[10] = {};
  float gunHeat = 0.0f, freon = 0.0f;
  int32_t explosionFlashTime = 0;
  float explosionFlash = 0.0f;
  int32_t targetMarker[2] = {};
  uint8_t targetMarkerShown = 0;
  int32_t shake = 0;
  int32_t difficulty = 1;
  // laser, pulse laser, HUD byte, display switching, invulnerable, static
  // shield
  uint8_t flags[6] = {0, 0, 1, 0, 0, 0};
  // the 45 tuning values as raw 4-byte words, in stored order
  uint32_t tuning[45] = {};
  int32_t groupEventTimes[2] = {};
  uint8_t hazardFlash = 0, shieldHit = 0, homingToggle = 1;
  int32_t countdownMs = -1;
  std::string countdownEvent;
  // laser, pulse laser, rockets/homing toggle
  uint8_t inventoryFlags[3] = {0, 0, 1};
  // file order: shells, plasma, slugs, nukes, rockets, ...
  int32_t inventoryAmmo[10] = {};
  // owned missiles, owned guns, selected missile, selected gun, autocannon
  // upgrade, cargo units
  uint8_t inventoryWeapons[6] = {};
  float inventoryFreon = 0.0f, inventoryShields = 160.0f;
};

struct SavedTimedEvent {
  std::string command;
  int32_t remainingMs = 0;
};

struct SavedDamageable {
  std::string name;
  float hitPoints = 0.0f;
  int32_t state = 0;
};

struct SavedLoopingSound {
  std::string name;
  float x = 0, y = 0, z = 0;
  int32_t volume = 0;
  std::string moverGroup;  // empty: none
};

struct SavedGameDescription {
  char tag[4] = {'K', 'R', 'V', 'X'};
  uint32_t version = 72211;
  std::string mission = "M1.CAN";
  std::string description = "DEMO SAVE";
  std::string second;
  std::string nextMission;
  std::vector<SavedGroupRecord> groups;
  SavedDocumentState state;
  std::vector<SavedTimedEvent> timedEvents;
  std::vector<SavedDamageable> damageable;
  std::vector<SavedLoopingSound> sounds;
};

// Where the writer put some items (byte offsets), for crafting damaged
// files from a good one.
struct SavedGameLayout {
  size_t version = 0;
  size_t mission = 0;      // the mission string's length byte
  size_t groupCount = 0;   // the group count
  size_t firstGroup = 0;   // the first group's name length byte
  size_t state = 0;        // the document's state
  size_t playerClass = 0;  // the player's class name (after 0xFFFF, schema, length)
  size_t countdownEvent = 0;
  size_t events = 0;
  size_t objectList = 0;   // the object list's reference
  size_t damageableCount = 0;
  size_t sounds = 0;
};

std::vector<uint8_t> WriteSavedGame(const SavedGameDescription& game, SavedGameLayout* layout = nullptr);
