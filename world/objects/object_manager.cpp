#include "world/objects/object_manager.h"

#include "world/objects/generic_object.h"

CObjectManager* g_pObjectManager = nullptr;

// Will write or read every live object.
void CObjectManager::SerializeObjects(CArchive& /*archive*/) {}

// Will ask every object whether the instance is its mesh.
bool CObjectManager::IsObjectMesh(Instance* /*instance*/) { return false; }

// Will show every supply whose respawn countdown runs.
void CObjectManager::RespawnSupplies() {}

// Will send each live object's creation message to the player.
void CObjectManager::SendAllTo(DPID /*player*/) {}

// Will look the object up by owner and id.
CGenericObject* CObjectManager::FindObject(DPID /*owner*/, uint32_t /*objectId*/) { return nullptr; }

// Will append the object to the live list. Until there is one, taking
// ownership means freeing it.
void CObjectManager::AddObject(CGenericObject* object) { delete object; }

// Will unlink the object before deleting it.
void CObjectManager::RemoveObject(CGenericObject* object) { delete object; }

// Will update every object and drop the finished ones.
void CObjectManager::Update(uint32_t /*elapsedMs*/) {}
