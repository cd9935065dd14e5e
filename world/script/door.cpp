#include "world/script/door.h"

#include <algorithm>
#include <cmath>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_polygon.h"
#include "game/direct_player.h"
#include "game/net_wire.h"
#include "media/sound_manager.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"
#include "world/script/script_keywords.h"

DoorSoundObserver g_DoorSoundObserver = nullptr;

namespace {

constexpr float kDegreesToRadians = 3.1415927f * 0.0055555557f;

// The group's first two-vertex polygon (an axis line), or null.
WorldPolygon* FirstAxisLine(PolygonGroup* group) {
  for (WorldPolygon* polygon = GroupFirstPolygon(group); polygon; polygon = GroupNextPolygon(polygon)) {
    if (polygon->vertexCount == 2) return polygon;
  }
  return nullptr;
}

Vec3 VertexAt(const WorldPolygon* line, int index) {
  const PolygonVertex& v = line->vertices[index];
  return {v.x, v.y, v.z};
}

}  // namespace

CDoor::CDoor(PolygonGroup* group, DoorShape shape) : CScriptNodeObject(group), shape_(shape) {
  if (!group) return;
  GroupComputeCentre(group, &centre.x, &centre.y, &centre.z);
  radius = ParseFloatDefault(GroupGetProperty(group, "radius"), -1.0f);
  if (radius < 0.0f) radius = GroupRadius(group);
  viewRadius = ParseFloatDefault(GroupGetProperty(group, "viewradius"), -1.0f);
  if (const char* filter = GroupGetProperty(group, "object")) objectFilter = filter;
  frozen = viewRadius > 0.0f;
  if (GroupGetProperty(group, "continuous")) {
    kind = kDoorKindContinuous;
  } else if (GroupGetProperty(group, "auto")) {
    kind = kDoorKindAuto;
  }
  counter = ParseIntDefault(GroupGetProperty(group, "counter"), 1);
  GroupSetMoverState(group, 0.0f, 0.0f);
}

const char* CDoor::GetName() const { return group_ && group_->name ? group_->name : ""; }

void CDoor::GetCentre(float* x, float* y, float* z) const {
  *x = centre.x;
  *y = centre.y;
  *z = centre.z;
}

void CDoor::SetUpMover(float defaultSpeed) {
  const float speed = ParseFloatDefault(GroupGetProperty(group_, "speed"), defaultSpeed);
  GroupSetMoverState(group_, 0.0f, -speed);
  if (GroupGetProperty(group_, "start")) {
    GroupSetMoverState(group_, 0.0f, speed);
    GroupStartMover(group_);
    frozen = false;
  }
}

void CDoor::Toggle() {
  if (frozen) return;
  open = !open;
  Apply();
  for (CDoor* owned : ownedDoors) owned->SetOpen(open ? TRUE : FALSE);
}

void CDoor::SetOpen(BOOL on) {
  if (frozen || open == (on != FALSE)) return;
  open = on != FALSE;
  Apply();
}

void CDoor::Apply() {
  std::vector<const CDoor*> applied;
  ApplyOnce(applied);
}

// Owners may own each other (directly or round a longer ring): every door
// is applied once per call, so the propagation ends.
void CDoor::ApplyOnce(std::vector<const CDoor*>& applied) {
  if (std::find(applied.begin(), applied.end(), this) != applied.end()) return;
  applied.push_back(this);
  if (frozen) return;
  float position = 0.0f, speed = 0.0f;
  if (GroupGetMoverState(group_, &position, &speed)) {
    GroupSetMoverState(group_, position, open ? std::fabs(speed) : -std::fabs(speed));
    GroupStartMover(group_);
  }
  for (CDoor* owned : ownedDoors) {
    owned->open = open;
    owned->ApplyOnce(applied);
  }
  if (!GroupIsMoving(group_)) return;
  CString line;
  line.Format("korvane: door %s %s\n", GetName(), open ? "opens" : "closes");
  OutputDebugString(line);
  RaiseScriptObjectEvent(group_, open ? "openevent" : "closeevent");
  PlaySound(GroupGetProperty(group_, open ? "opensound" : "closesound"));
}

void CDoor::Freeze(BOOL on) {
  if (frozen == (on != FALSE)) return;
  frozen = on != FALSE;
  if (frozen) {
    GroupStopMover(group_);
  } else {
    GroupStartMover(group_);
  }
  for (CDoor* owned : ownedDoors) owned->Freeze(on);
}

// A door restored from a saved game, or a parent door, has no axis.
void CDoor::SetAxis(const Vec3& /*from*/, const Vec3& /*to*/) {}

void CDoor::DecCounter() {
  if (counter <= 0) return;
  --counter;
  if (counter == 0) {
    RaiseScriptObjectEvent(group_, "counterzeroevent");
    return;
  }
  // The progress text is made as the puzzle's own but shown nowhere.
  CString progress;
  if (counter == 1) {
    progress = "one more to complete!";
  } else {
    progress.Format("%d to go", counter);
  }
}

void CDoor::IncCounter() {
  if (counter > 0) ++counter;
}

void CDoor::OnMoverFinished() {
  RaiseScriptObjectEvent(group_, "stopevent");
  float position = 0.0f, speed = 0.0f;
  GroupGetMoverState(group_, &position, &speed);
  RaiseScriptObjectEvent(group_, speed < 0.0f ? "startevent" : "finishevent");
  PlaySound(GroupGetProperty(group_, "stopsound"));
  if (kind == kDoorKindContinuous && !frozen) Toggle();
}

void CDoor::PlaySound(const char* name) {
  if (!name) return;
  if (g_DoorSoundObserver) g_DoorSoundObserver(name, group_);
  if (!g_pSoundManager) return;
  if (group_) {
    g_pSoundManager->PlayNamedOnMover(CString(name), group_, 0);
  } else {
    g_pSoundManager->PlayNamedAt(CString(name), centre.x, centre.y, centre.z, 0);
  }
}

void CDoor::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteGroupName(ar);
    ar << centre.x << centre.y << centre.z << radius << viewRadius << angle << static_cast<uint8_t>(kind)
       << objectFilter << counter;
    ArchiveStoreBool(ar, open);
    ArchiveStoreBool(ar, nobodyNear);
    ArchiveStoreBool(ar, pending);
    ArchiveStoreBool(ar, frozen);
  } else {
    ReadGroupName(ar);
    uint8_t kindByte = 0;
    ar >> centre.x >> centre.y >> centre.z >> radius >> viewRadius >> angle >> kindByte >> objectFilter >> counter;
    kind = static_cast<DoorKind>(kindByte);
    ArchiveLoadBool(ar, open);
    ArchiveLoadBool(ar, nobodyNear);
    ArchiveLoadBool(ar, pending);
    ArchiveLoadBool(ar, frozen);
  }
}

void CDoor::RestoreState(const uint8_t* message, size_t length) {
  if (!message || length < kDoorStateSize) return;
  radius = NetReadF32(message + 20);
  viewRadius = NetReadF32(message + 24);
  kind = static_cast<DoorKind>(message[28]);
  counter = static_cast<int32_t>(NetReadU32(message + 32));
  const uint8_t bits = message[36];
  open = (bits & 1) != 0;
  nobodyNear = (bits & 2) != 0;
  pending = (bits & 4) != 0;
  frozen = (bits & 8) != 0;
}

CParentDoor::CParentDoor(PolygonGroup* group) : CDoor(group, kDoorShapeParent) {
  if (group && GroupGetProperty(group, "start")) Toggle();
}

CSlidingDoor::CSlidingDoor(PolygonGroup* group) : CDoor(group, kDoorShapeSliding) {
  if (!group) return;
  if (WorldPolygon* line = FirstAxisLine(group)) {
    SetAxis(VertexAt(line, 0), VertexAt(line, 1));
    PolygonDelete(line);
  }
  SetUpMover(0.25f);
}

void CSlidingDoor::SetAxis(const Vec3& from, const Vec3& to) {
  GroupSetSlideMover(group_, to.x - from.x, to.y - from.y, to.z - from.z, -1.0f, 0.0f);
}

CRotatingDoor::CRotatingDoor(PolygonGroup* group) : CDoor(group, kDoorShapeRotating) {
  if (!group) return;
  if (WorldPolygon* line = FirstAxisLine(group)) {
    const float degrees = ParseFloatDefault(GroupGetProperty(group, "angle"), kind == kDoorKindContinuous ? 0.0f : 90.0f);
    angle = degrees * kDegreesToRadians;
    SetAxis(VertexAt(line, 0), VertexAt(line, 1));
    PolygonDelete(line);
  }
  if (angle == 0.0f) kind = kDoorKindSpin;
  SetUpMover(0.1f);
}

void CRotatingDoor::SetAxis(const Vec3& from, const Vec3& to) {
  GroupSetRotateMover(group_, to.x, to.y, to.z, to.x - from.x, to.y - from.y, to.z - from.z, angle, -1.0f, 0.0f);
}

CDoor* MakeDoor(PolygonGroup* group, DoorShape shape) {
  switch (shape) {
    case kDoorShapeParent: return new CParentDoor(group);
    case kDoorShapeSliding: return new CSlidingDoor(group);
    case kDoorShapeRotating: return new CRotatingDoor(group);
    case kDoorShapePlain: break;
  }
  return new CDoor(group, kDoorShapePlain);
}
