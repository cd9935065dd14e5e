#pragma once
// The dynamic objects of a running level: one list that the object manager
// owns and updates every frame. A new one is made by every level start and
// saved-game load (g_pObjectManager) and deleted with the document.
//
// The objects come with the world simulation; until then every operation here
// does nothing and answers the neutral value.
#include <cstdint>

#include "engine/records.h"
#include "platform/types.h"

class CArchive;
class CGenericObject;

class CObjectManager {
 public:
  // An empty list; will also wrap every scene object whose name begins with
  // "physical_" in a free-moving object.
  CObjectManager() = default;
  ~CObjectManager() = default;
  CObjectManager(const CObjectManager&) = delete;
  CObjectManager& operator=(const CObjectManager&) = delete;

  // Stores or loads the objects as archive object references (their class
  // names are part of the saved-game format).
  void SerializeObjects(CArchive& archive);
  // True when a managed object owns the instance as its mesh.
  bool IsObjectMesh(Instance* instance);
  // In a network session: every supply waiting to respawn is shown at once
  // and announced.
  void RespawnSupplies();
  // Every live object sends its creation message to that player, guaranteed.
  void SendAllTo(DPID player);
  // The live object with that owner and id; null when there is none.
  CGenericObject* FindObject(DPID owner, uint32_t objectId);
  // The manager owns the object from here on (null is ignored).
  void AddObject(CGenericObject* object);
  // Unlinks and deletes the object (null is ignored).
  void RemoveObject(CGenericObject* object);
  // One frame of every object; finished ones are removed and deleted.
  void Update(uint32_t elapsedMs);
};

extern CObjectManager* g_pObjectManager;
