#include "world/objects/object_manager.h"

#include <algorithm>
#include <vector>

#include "game/net_doc.h"
#include "game/network_game.h"
#include "platform/ascii.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/free_moving_object.h"
#include "world/objects/generic_object.h"
#include "world/objects/object_list.h"
#include "world/objects/supply.h"
#include "world/objects/target_locks.h"

IMPLEMENT_SERIAL_CLASS(CObjectList, CObList, VERSIONABLE_SCHEMA | 1)

CObjectManager* g_pObjectManager = nullptr;

namespace {

constexpr char kPhysicalPrefix[] = "physical_";
constexpr size_t kPhysicalPrefixLength = sizeof(kPhysicalPrefix) - 1;

void DeleteAll(CObjectList* list) {
  while (!list->IsEmpty()) delete list->RemoveHead();
}

// The supplies of the list, for the few operations that concern them only.
std::vector<CSupply*> Supplies(const CObjectList& list) {
  std::vector<CSupply*> supplies;
  for (POSITION at = list.GetHeadPosition(); at;) {
    if (CSupply* supply = dynamic_cast<CSupply*>(list.GetNext(at))) supplies.push_back(supply);
  }
  return supplies;
}

bool SetSuppliesShown(const CObjectList& list, const char* name, int shown) {
  bool matched = false;
  for (CSupply* supply : Supplies(list)) {
    if (!name || AsciiCompareNoCase(supply->GetName(), name) != 0) continue;
    matched = true;
    if (Instance* instance = supply->GetInstance()) instance->collidable = shown;
  }
  return matched;
}

}  // namespace

CObjectManager::CObjectManager() : objects_(new CObjectList) {
  World* world = g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr;
  if (!world) return;
  for (Instance* instance = world->firstInstance; instance;) {
    // Converting takes the instance out of the list: step first.
    Instance* next = instance->next;
    if (AsciiCompareNoCaseN(instance->name, kPhysicalPrefix, kPhysicalPrefixLength) == 0) {
      AddObject(MakeFreeMovingObject(instance));
    }
    instance = next;
  }
}

CObjectManager::~CObjectManager() {
  DeleteAll(objects_);
  delete objects_;
}

void CObjectManager::SerializeObjects(CArchive& archive) {
  if (archive.IsStoring()) {
    archive.WriteObject(objects_);
    return;
  }
  CObject* read = archive.ReadObject(RUNTIME_CLASS(CObjectList));
  if (!read) throw CArchiveException(CArchiveException::badClass);
  // The construction's objects were never started or updated; nothing else
  // holds them.
  DeleteAll(objects_);
  delete objects_;
  objects_ = static_cast<CObjectList*>(read);
  // A damaged file may hold null references or name one object twice; the
  // list must own each object once.
  std::vector<CGenericObject*> seen;
  for (POSITION at = objects_->GetHeadPosition(); at;) {
    POSITION here = at;
    CGenericObject* object = objects_->GetNext(at);
    if (!object || std::find(seen.begin(), seen.end(), object) != seen.end()) {
      objects_->RemoveAt(here);
    } else {
      seen.push_back(object);
    }
  }
}

bool CObjectManager::IsObjectMesh(Instance* instance) {
  for (POSITION at = objects_->GetHeadPosition(); at;) {
    if (objects_->GetNext(at)->OwnsMesh(instance)) return true;
  }
  return false;
}

void CObjectManager::RespawnSupplies() {
  if (!g_pNetDoc || !IsNetworkGame() || !g_pNetDoc->IsGameRunning()) return;
  for (CSupply* supply : Supplies(*objects_)) {
    if (supply->IsRespawnPending()) supply->Show(true);
  }
}

void CObjectManager::SendAllTo(DPID player) {
  for (POSITION at = objects_->GetHeadPosition(); at;) objects_->GetNext(at)->SendCreate(player);
}

CGenericObject* CObjectManager::FindObject(DPID owner, uint32_t objectId) {
  for (POSITION at = objects_->GetHeadPosition(); at;) {
    CGenericObject* object = objects_->GetNext(at);
    if (object->GetOwner() == owner && object->GetObjectId() == objectId) return object;
  }
  return nullptr;
}

void CObjectManager::AddObject(CGenericObject* object) {
  if (object) objects_->AddTail(object);
}

void CObjectManager::RemoveObject(CGenericObject* object) {
  if (!object) return;
  POSITION at = objects_->Find(object);
  if (!at) return;
  objects_->RemoveAt(at);
  delete object;
}

void CObjectManager::Update(uint32_t elapsedMs) {
  ClearTargetLocks();
  // The walk goes over a copy so that objects added by an update wait for
  // the next tick. An update removes no object but itself, and an object is
  // removed only after its own turn, so no entry of the copy is freed
  // before it is reached.
  std::vector<CGenericObject*> tick;
  tick.reserve(static_cast<size_t>(objects_->GetCount()));
  for (POSITION at = objects_->GetHeadPosition(); at;) tick.push_back(objects_->GetNext(at));
  for (CGenericObject* object : tick) {
    if (object->IsDead()) {
      RemoveObject(object);
    } else if (!object->IsActive()) {
      object->Kill();
    } else if (!object->Update(elapsedMs)) {
      RemoveObject(object);
    }
  }
  ClearTargetLocks();
}

bool CObjectManager::DisableSupply(const char* name) { return SetSuppliesShown(*objects_, name, 0); }
bool CObjectManager::EnableSupply(const char* name) { return SetSuppliesShown(*objects_, name, 1); }

int CObjectManager::GetCount() const { return objects_->GetCount(); }
