#pragma once
// The level's script objects: doors, movements, sensors and facing objects,
// built from the world's polygon groups by their names and properties (the
// level grammar, world/script/script_grammar.h) and from the sensor
// instances. The manager owns them (four sequences of references, each in
// the order the objects were added), runs their per-frame pass, carries out
// the script commands that the event language hands it, finds its objects
// by name or name hash and saves them.
//
// A new one is made for every level start and saved-game load
// (g_pScriptManager); the document deletes it before it frees the world the
// objects point into. Game thread only. Doors, movements and sensors raise
// events while the manager walks its sequences; the commands those reach
// change object fields but never add or remove objects.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"
#include "platform/types.h"
#include "world/script/door.h"
#include "world/script/facing_object.h"
#include "world/script/movement.h"
#include "world/script/script_keywords.h"
#include "world/script/script_object.h"
#include "world/script/sensor.h"

class CArchive;

// The actor name under which every player is tested.
extern const char* const g_PlayerActorName;

// The script commands' codes (ExecuteCommand).
enum ScriptCommand : int32_t {
  kCommandUnknown = 0,
  kCommandToggle = 1,
  kCommandOpen,
  kCommandClose,
  kCommandFreeze,
  kCommandThaw,
  kCommandDecCounter,
  kCommandIncCounter,
  kCommandDestroy,
  kCommandSetAxis,
  kCommandTransfer,
  kCommandReverse,
  kCommandDetach,
  kCommandDoorType,
  kCommandEnableSensor,
  kCommandDisableSensor,
  kCommandSetViewRadius,
  kCommandDisable,
  kCommandSetSensorRadius,
};
// The script commands' words and codes, ending with a row of null text
// (LookupKeyword); some codes have two words.
extern const KeywordEntry g_ScriptCommandTable[];

class CScriptManager {
 public:
  CScriptManager() = default;
  // Releases the facing objects, the sensors, the movements and the doors,
  // in that order.
  ~CScriptManager();
  CScriptManager(const CScriptManager&) = delete;
  CScriptManager& operator=(const CScriptManager&) = delete;

  // The level grammar over the document's world (BuildFromWorld); once per
  // level start, after the level is loaded and before the sensors.
  void BuildFromScene();
  // For every group in the world's order: its "parent" property applied,
  // then a door, facing object or movement when its name and properties
  // make one; then the doors are linked to their owners.
  void BuildFromWorld(World* world);
  // A sensor from a placed "sensor.3ds" instance; the caller deletes the
  // instance afterwards.
  void AddSensor(Instance* instance);
  // A movement for the group, appended.
  void AddMovement(PolygonGroup* group);
  // Appends an object made elsewhere (tests, saved games).
  void AddDoor(CDoor* door) { doors_.emplace_back(door); }
  void AddSensorObject(CSensor* sensor) { sensors_.emplace_back(sensor); }
  void AddMovementObject(CMovement* movement) { movements_.emplace_back(movement); }

  // Stores the sensors, doors and movements (byte 1 before each record, a
  // byte 0 after each sequence). Loading, into a fresh manager over the
  // reloaded level: the records, then the "parent" properties, the facing
  // objects and the owner links made again from the world.
  void Serialize(CArchive& archive);
  void SerializeWithWorld(CArchive& archive, World* world);

  // One frame: facing objects, the automatic doors' opening step, every
  // enemy and every player as an actor, the closing step.
  void FrameUpdate();
  // One actor's proximity pass.
  void TestActor(float x, float y, float z, float radius, const char* actorName);
  void ResetAutoDoors();
  void CloseAutoDoors();

  // The script command table: TRUE when the piece named a known command and
  // its object exists. The source is not used.
  BOOL ExecuteCommand(const char* text, const char* source);

  CDoor* FindDoorByName(const char* name);
  CDoor* FindDoorByHash(uint32_t nameHash);
  CSensor* FindSensorByName(const char* name);
  CSensor* FindSensorByHash(uint32_t nameHash);
  // Opens every door but the spin doors.
  void OpenAllDoors();

  const std::vector<RefPtr<CDoor>>& Doors() const { return doors_; }
  const std::vector<RefPtr<CMovement>>& Movements() const { return movements_; }
  const std::vector<RefPtr<CSensor>>& Sensors() const { return sensors_; }
  const std::vector<RefPtr<CFacingObject>>& FacingObjects() const { return facing_; }

 private:
  void ApplyParent(World* world, PolygonGroup* group);
  void AddFacingObject(PolygonGroup* group);
  void LinkOwners();

  // The world the objects were built from (the document's when null).
  World* world_ = nullptr;
  std::vector<RefPtr<CDoor>> doors_;
  std::vector<RefPtr<CMovement>> movements_;
  std::vector<RefPtr<CSensor>> sensors_;
  std::vector<RefPtr<CFacingObject>> facing_;
};

extern CScriptManager* g_pScriptManager;
