#pragma once
// The saved game's file, in the class library's archive form (all numbers
// little-endian):
//   "KRVX", version 72211, mission archive, description, second string,
//   next mission, the script objects, the group count and the group
//   records, the document's state, the event manager, the paths, the
//   enemies, the dynamic objects, the damageable groups and the sounds.
// The document writes it (CNetDoc::SaveGame) and reads it
// (CNetDoc::OnOpenDocument); this header holds what both directions and the
// slot list share.
//
// Nothing read from a file is trusted: every string and count is bounded by
// the limits below and by what is left of the file before anything is
// allocated for it, and a file that breaks a rule is refused with a
// SavedGameRefusal or the archive's own exception.
#include <cstdint>
#include <stdexcept>

#include "engine/records.h"
#include "platform/framework/cstring.h"

class CArchive;

inline constexpr char kSavedGameTag[4] = {'K', 'R', 'V', 'X'};
inline constexpr uint32_t kSavedGameVersion = 72211;

// Longest header string (mission, description, the two others) and longest
// name of a group or countdown event a file may hold.
inline constexpr size_t kSavedGameMaxHeaderString = 1024;
inline constexpr size_t kSavedGameMaxName = 4096;
// Missions are "M1.CAN" .. "M99.CAN": nothing else is ever written, and a
// name of another form could point outside the data folders.
inline constexpr int kSavedGameMaxMission = 99;

// The texts the player sees.
inline constexpr const char* kSaveErrorText = "Error saving game: ";
inline constexpr const char* kLoadErrorText = "Error loading game: ";
inline constexpr const char* kNotSavedGameText = "This is not a saved game file: ";
inline constexpr const char* kWrongVersionText = "Incompatible saved game (wrong version number)";
inline constexpr const char* kDamagedSavedGameText = "This saved game is damaged and can't be loaded: ";
inline constexpr const char* kGameSavedText = "Game saved...";
inline constexpr const char* kGameLoadedText = "Game loaded...";

// A file that breaks a rule of the format; what() is the message shown.
class SavedGameRefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The header: the four strings after tag and version.
struct SavedGameHeader {
  CString mission;
  CString description;
  CString second;
  CString nextMission;
};

// Reads the whole header of an open load archive; throws SavedGameRefusal
// with the message to show (kNotSavedGameText + path, kWrongVersionText, or
// kDamagedSavedGameText + path) or the archive's exception.
void SavedGameReadHeader(CArchive& archive, const char* path, SavedGameHeader* header);
void SavedGameWriteHeader(CArchive& archive, const SavedGameHeader& header);
// Opens the file and reads its header only: true when it is a saved game
// this program can load; otherwise false with the message to show.
bool SavedGameCheckFile(const char* path, SavedGameHeader* header, CString* message);
// Refuses (SavedGameRefusal, kLoadErrorText + path) a mission whose archive
// can't be found: the level load would end the program for it.
void SavedGameRequireMission(const CString& mission, const char* path);
// "M<n>.CAN" with n in 1..kSavedGameMaxMission.
bool SavedGameIsMissionName(const CString& name);

// The bytes left to read in a load archive (its buffer and its file).
uint64_t SavedGameBytesLeft(CArchive& archive);
// A count the file gives for records of at least minBytes each: refused
// when negative, above limit, or more than what is left could hold.
int32_t SavedGameReadCount(CArchive& archive, uint32_t minBytes, int32_t limit);
// An archive string no longer than limit (and never longer than the rest of
// the file); refused before anything is allocated.
CString SavedGameReadString(CArchive& archive, size_t limit);

// One polygon group's record: name; base, mover and world matrices; mover
// type; the ten mover values (radius, position, speed, axis, angle, pivot);
// visible; running.
void SavedGameWriteGroup(CArchive& archive, PolygonGroup* group);
// Reads one record into the world's group of that name: a running mover is
// restored as running (its type stored stopped, then started), the
// last-callback stamp forgotten. A name the world doesn't have, or values
// that are not finite, refuse the file.
void SavedGameReadGroup(CArchive& archive, World* world, const char* path);

// The ship's inventory between missions: what CNetDoc::SaveInventory keeps
// and RestoreInventory gives back, saved as the last part of the document's
// state. The ammunition is in the document's order (cannon shells, plasma
// bolts, tactical nukes, core-accelerator slugs, rockets, homing, micro,
// sentry, vortex shields, energy cells).
struct ShipInventory {
  uint8_t laserUpgraded = 0;
  uint8_t pulseLaserUpgraded = 0;
  uint8_t homingToggle = 1;
  int32_t ammo[10] = {};
  uint8_t ownedMissiles = 0;
  uint8_t ownedGuns = 0;
  uint8_t selectedMissile = 0;
  uint8_t selectedGun = 0;
  uint8_t autocannonUpgrade = 0;
  uint8_t cargoUnits = 0;
  float freon = 0.0f;
  float shields = 160.0f;
};
extern ShipInventory g_ShipInventory;

// The file keeps the inventory's ammunition with the slugs before the nukes,
// the document the other way round. The one conversion, its own inverse:
// document order to file order and back.
void InventoryAmmoSwapOrder(const int32_t in[10], int32_t out[10]);
