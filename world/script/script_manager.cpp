#include "world/script/script_manager.h"

#include <cstring>

#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "platform/ascii.h"
#include "platform/framework/serial_archive.h"
#include "world/enemies/enemy_manager.h"
#include "world/script/script_grammar.h"

CScriptManager* g_pScriptManager = nullptr;
const char* const g_PlayerActorName = "player";

namespace {

// A mask admits every name that starts with its part before the first
// asterisk (the whole mask without one), ignoring case.
bool MaskAdmits(const char* mask, const char* name) {
  const char* star = std::strchr(mask, '*');
  const size_t length = star ? static_cast<size_t>(star - mask) : std::strlen(mask);
  return std::strlen(name) >= length && AsciiCompareNoCaseN(mask, name, length) == 0;
}

float DistanceSquared(float x, float y, float z, const CDoor& door) {
  float cx, cy, cz;
  door.GetCentre(&cx, &cy, &cz);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) + (z - cz) * (z - cz);
}

template <class T>
void ReleaseAll(std::vector<RefPtr<T>>& sequence) {
  sequence.clear();
}

}  // namespace

CScriptManager::~CScriptManager() {
  ReleaseAll(facing_);
  ReleaseAll(sensors_);
  ReleaseAll(movements_);
  ReleaseAll(doors_);
}

void CScriptManager::BuildFromScene() { BuildFromWorld(g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr); }

void CScriptManager::ApplyParent(World* world, PolygonGroup* group) {
  const char* parentName = GroupGetProperty(group, "parent");
  if (parentName) GroupSetParent(group, GroupFindByName(world, parentName), 0);
}

void CScriptManager::AddFacingObject(PolygonGroup* group) {
  const FacingGeometry geometry = FindFacingGeometry(group);
  if (!geometry.face) return;
  RefPtr<CFacingObject> facing(new CFacingObject(geometry.face, geometry.axisLine));
  facing->Init();
  facing_.push_back(facing);
}

void CScriptManager::BuildFromWorld(World* world) {
  world_ = world;
  if (!world) return;
  for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) {
    ApplyParent(world, group);
    const ScriptGroupDecision decision = ClassifyScriptGroup(group->name, GroupGetProperty(group, "type"));
    switch (decision.kind) {
      case kScriptGroupDoor:
        doors_.emplace_back(MakeDoor(group, decision.doorShape));
        break;
      case kScriptGroupFacing:
        AddFacingObject(group);
        break;
      case kScriptGroupMovement:
        AddMovement(group);
        break;
      case kScriptGroupNone:
        break;
    }
  }
  LinkOwners();
}

void CScriptManager::LinkOwners() {
  for (const RefPtr<CDoor>& door : doors_) {
    PolygonGroup* group = door->GetGroup();
    const char* owner = group ? GroupGetProperty(group, "owner") : nullptr;
    if (!owner) continue;
    // An empty owner ends the linking: the doors after it stay unlinked.
    if (!*owner) return;
    for (const RefPtr<CDoor>& other : doors_) {
      if (other.Get() != door.Get() && std::strcmp(other->GetName(), owner) == 0) {
        other->ownedDoors.push_back(door.Get());
        break;
      }
    }
  }
}

void CScriptManager::AddSensor(Instance* instance) { sensors_.emplace_back(new CSensor(instance)); }

void CScriptManager::AddMovement(PolygonGroup* group) { movements_.emplace_back(new CMovement(group)); }

void CScriptManager::Serialize(CArchive& archive) {
  SerializeWithWorld(archive, g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr);
}

void CScriptManager::SerializeWithWorld(CArchive& archive, World* world) {
  if (archive.IsStoring()) {
    for (const RefPtr<CSensor>& sensor : sensors_) {
      archive << static_cast<uint8_t>(1);
      sensor->Serialize(archive);
    }
    archive << static_cast<uint8_t>(0);
    for (const RefPtr<CDoor>& door : doors_) {
      archive << static_cast<uint8_t>(1);
      door->Serialize(archive);
    }
    archive << static_cast<uint8_t>(0);
    for (const RefPtr<CMovement>& movement : movements_) {
      archive << static_cast<uint8_t>(1);
      movement->Serialize(archive);
    }
    archive << static_cast<uint8_t>(0);
    return;
  }
  auto more = [&archive] {
    uint8_t flag = 0;
    archive >> flag;
    return flag != 0;
  };
  CScriptNodeObject::SetLoadWorld(world);
  while (more()) {
    RefPtr<CSensor> sensor(new CSensor);
    sensor->Serialize(archive);
    sensors_.push_back(sensor);
  }
  while (more()) {
    // Restored doors are plain: their shape is not saved.
    RefPtr<CDoor> door(new CDoor);
    door->Serialize(archive);
    doors_.push_back(door);
  }
  while (more()) {
    RefPtr<CMovement> movement(new CMovement);
    movement->Serialize(archive);
    movements_.push_back(movement);
  }
  CScriptNodeObject::SetLoadWorld(nullptr);
  world_ = world;
  if (!world) return;
  for (PolygonGroup* group = GroupFirst(world); group; group = GroupNext(group)) {
    ApplyParent(world, group);
    if (ClassifyScriptGroup(group->name, nullptr).kind == kScriptGroupFacing) AddFacingObject(group);
  }
  LinkOwners();
}

void CScriptManager::FrameUpdate() {
  for (const RefPtr<CFacingObject>& facing : facing_) facing->Update();
  ResetAutoDoors();
  if (g_pEnemyManager) g_pEnemyManager->TestEnemiesAsActors();
  if (g_pNetDoc) {
    const PlayerMap& players = g_pNetDoc->GetPlayers();
    for (POSITION at = players.GetStartPosition(); at;) {
      DPID id = 0;
      CDirectPlayer* player = nullptr;
      players.GetNextAssoc(at, id, player);
      if (!player) continue;
      float x, y, z;
      player->GetPosition(&x, &y, &z);
      TestActor(x, y, z, player->GetRadius(), g_PlayerActorName);
    }
  }
  CloseAutoDoors();
}

void CScriptManager::ResetAutoDoors() {
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->kind != kDoorKindAuto) continue;
    door->pending = false;
    door->nobodyNear = true;
  }
}

void CScriptManager::CloseAutoDoors() {
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->kind != kDoorKindAuto) continue;
    if (door->nobodyNear && door->open && !GroupIsMoving(door->GetGroup())) {
      door->pending = true;
      door->open = false;
    }
  }
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->kind != kDoorKindAuto || !door->pending) continue;
    door->Apply();
    door->pending = false;
  }
}

void CScriptManager::TestActor(float x, float y, float z, float radius, const char* actorName) {
  const char* actor = actorName ? actorName : "";
  if (std::strcmp(actor, g_PlayerActorName) == 0) {
    for (const RefPtr<CDoor>& door : doors_) {
      if (door->kind != kDoorKindContinuous && door->kind != kDoorKindSpin) continue;
      if (door->viewRadius < 0.0f) continue;
      door->Freeze(DistanceSquared(x, y, z, *door) > door->viewRadius * door->viewRadius ? TRUE : FALSE);
    }
  }
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->kind != kDoorKindAuto || !GroupIsVisible(door->GetGroup())) continue;
    const float reach = door->radius + radius;
    if (DistanceSquared(x, y, z, *door) > reach * reach) continue;
    const char* filter = door->objectFilter.GetString();
    if (*filter && std::strcmp(filter, actor) != 0 && !MaskAdmits(filter, actor)) continue;
    if (!door->open) {
      door->pending = true;
      door->open = true;
    }
    door->nobodyNear = false;
  }
  const Vec3 position = {x, y, z};
  for (const RefPtr<CSensor>& sensor : sensors_) sensor->Test(actor, position, radius);
}

CDoor* CScriptManager::FindDoorByName(const char* name) {
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->GetGroup() && name && std::strcmp(door->GetName(), name) == 0) return door.Get();
  }
  return nullptr;
}

CDoor* CScriptManager::FindDoorByHash(uint32_t nameHash) {
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->GetGroup() && static_cast<uint32_t>(NameHash(door->GetName())) == nameHash) return door.Get();
  }
  return nullptr;
}

CSensor* CScriptManager::FindSensorByName(const char* name) {
  for (const RefPtr<CSensor>& sensor : sensors_) {
    if (name && AsciiCompareNoCase(sensor->GetName(), name) == 0) return sensor.Get();
  }
  return nullptr;
}

CSensor* CScriptManager::FindSensorByHash(uint32_t nameHash) {
  for (const RefPtr<CSensor>& sensor : sensors_) {
    if (static_cast<uint32_t>(sensor->GetNameHash()) == nameHash) return sensor.Get();
  }
  return nullptr;
}

void CScriptManager::OpenAllDoors() {
  for (const RefPtr<CDoor>& door : doors_) {
    if (door->kind != kDoorKindSpin) door->SetOpen(TRUE);
  }
}
