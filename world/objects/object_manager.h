#pragma once
// The dynamic objects of a running level: one list that the object manager
// owns and updates every frame, in the order the objects were added. A new
// manager is made by every level start and saved-game load
// (g_pObjectManager) and deleted with the document.
//
// The per-frame tick walks a copy of the list, so objects added during a
// tick are first updated in the next one; an object's update may add
// objects but removes no object but itself (the tick relies on it).
// Everything runs on the game thread.
#include <cstdint>

#include "engine/records.h"
#include "platform/types.h"

class CArchive;
class CGenericObject;
class CObjectList;

class CObjectManager {
 public:
  // An empty list, then every instance of the document's world whose name
  // begins with "physical_" (any case) becomes a free-moving object.
  CObjectManager();
  // Deletes every object (each stops itself).
  ~CObjectManager();
  CObjectManager(const CObjectManager&) = delete;
  CObjectManager& operator=(const CObjectManager&) = delete;

  // Storing writes the list as one object reference ("CObjectList", then
  // each object under its class name). Loading reads a list in place of the
  // current one, whose objects (never started) are deleted. A file whose
  // reference is no list, or whose elements are no dynamic objects, throws
  // CArchiveException and leaves the manager's list as it was (what was
  // read until then is the archive's LoadedObjects for the caller to drop).
  void SerializeObjects(CArchive& archive);
  // True when a managed object owns the instance as its mesh.
  bool IsObjectMesh(Instance* instance);
  // In a running network game: every supply waiting to respawn is shown at
  // once and announced. Nothing otherwise.
  void RespawnSupplies();
  // Every object sends its creation message to that player.
  void SendAllTo(DPID player);
  // The first object with that owner and id; null when there is none.
  CGenericObject* FindObject(DPID owner, uint32_t objectId);
  // The manager owns the object from here on (null is ignored).
  void AddObject(CGenericObject* object);
  // Unlinks and deletes an object of the list; null, or an object that is
  // not in the list, is left alone.
  void RemoveObject(CGenericObject* object);
  // One tick: dead objects go, inactive ones are marked dead (deleted next
  // tick, never updated), the others are updated and removed when their
  // update answers FALSE. The target locks are empty before and after.
  void Update(uint32_t elapsedMs);
  // The supply pick-ups named so (any case) have their instance hidden or
  // shown; true when at least one matched. Respawn countdowns run on.
  bool DisableSupply(const char* name);
  bool EnableSupply(const char* name);

  int GetCount() const;
  const CObjectList& GetObjects() const { return *objects_; }

 private:
  CObjectList* objects_;
};

extern CObjectManager* g_pObjectManager;
