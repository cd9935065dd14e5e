#pragma once
// The level's script objects: doors, movements, sensors and facing objects,
// built from the world's polygon groups by their names and properties. A new
// one is made for every level start and saved-game load (g_pScriptManager);
// the document deletes it before it frees the world the objects point into.
//
// The script objects come with the world simulation; until then every
// operation here does nothing and answers the neutral value.
#include <cstdint>

#include "engine/records.h"

class CArchive;
class CDoor;
class CSensor;

class CScriptManager {
 public:
  CScriptManager() = default;
  ~CScriptManager() = default;
  CScriptManager(const CScriptManager&) = delete;
  CScriptManager& operator=(const CScriptManager&) = delete;

  // Builds the script objects from the groups of the document's world; once
  // per level start, after the level is loaded.
  void BuildFromScene();
  // A sensor from a placed "sensor.3ds" instance (its position and
  // properties); the caller deletes the instance afterwards.
  void AddSensor(Instance* instance);
  // Stores or loads the script objects' state (the first block of a saved
  // game after its header); loading rebuilds the facing objects.
  void Serialize(CArchive& archive);
  // One frame of the script objects: facing objects, automatic doors,
  // sensors against enemies and players.
  void FrameUpdate();
  // Tests the sensors and automatic doors against one actor.
  void TestActor(float x, float y, float z, float radius, const char* actorName);
  CSensor* FindSensorByHash(uint32_t nameHash);
  CDoor* FindDoorByHash(uint32_t nameHash);
  // Opens every door of the level script but the spinning ones.
  void OpenAllDoors();
};

extern CScriptManager* g_pScriptManager;
