#include "world/script/movement.h"

#include <cmath>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "platform/framework/serial_archive.h"
#include "world/document/group_activation.h"
#include "world/script/script_keywords.h"

namespace {

constexpr float kDegreesToRadians = 3.1415927f * 0.0055555557f;
constexpr float kTiny = 1.1920929e-07f;

}  // namespace

CMovement::CMovement(PolygonGroup* group) : CScriptNodeObject(group) {
  if (!group) return;
  // The movement's own polygons are geometry only.
  SetObjectActive(group, false);
  float seconds = ParseFloatDefault(GroupGetProperty(group, "seconds"), -1.0f);
  if (seconds < 0.0f) seconds = ParseFloatDefault(GroupGetProperty(group, "time"), -1.0f);
  if (seconds > 0.0f) {
    speed = 1.0f / seconds;
  } else if (seconds == 0.0f) {
    speed = 0.0f;
  } else {
    speed = ParseFloatDefault(GroupGetProperty(group, "speed"), 0.25f);
  }
  if (GroupGetProperty(group, "continuous")) flags |= kMovementContinuous;
  for (WorldPolygon* line = GroupFirstPolygon(group); line; line = GroupNextPolygon(line)) {
    if (line->vertexCount != 2) continue;
    const PolygonVertex& a = line->vertices[0];
    const PolygonVertex& b = line->vertices[1];
    const Vec3 d = {b.x - a.x, b.y - a.y, b.z - a.z};
    if (PolygonGetProperty(line, "angle")) {
      SetRotation({a.x, a.y, a.z}, d,
                  ParseFloatDefault(PolygonGetProperty(line, "angle"), -1.0f) * kDegreesToRadians);
    } else {
      SetTranslation(d);
    }
  }
  GroupSetMoverState(group, 0.0f, speed);
  if (GroupGetProperty(group, "start")) Forward();
}

void CMovement::SetTranslation(const Vec3& d) {
  translation = d;
  if (std::fabs(d.x) < kTiny && std::fabs(d.y) < kTiny && std::fabs(d.z) < kTiny) {
    flags &= ~kMovementTranslates;
  } else {
    flags |= kMovementTranslates;
  }
  GroupSetSlideMover(group_, d.x, d.y, d.z, -1.0f, 0.0f);
}

void CMovement::SetRotation(const Vec3& at, const Vec3& direction, float turn) {
  pivot = at;
  axis = direction;
  angle = turn;
  if (direction.x * direction.x + direction.y * direction.y + direction.z * direction.z > 0.0f) {
    flags |= kMovementRotates;
  } else {
    flags &= ~kMovementRotates;
    angle = kTiny;
  }
  GroupSetRotateMover(group_, pivot.x, pivot.y, pivot.z, axis.x, axis.y, axis.z, angle, -1.0f, 0.0f);
}

void CMovement::RaiseGroupEvent(const char* name) { RaiseScriptObjectEvent(group_, name); }

void MoverRunForward(PolygonGroup* group) {
  float position = 0.0f, current = 0.0f;
  if (GroupGetMoverState(group, &position, &current)) {
    GroupSetMoverState(group, 0.0f, std::fabs(current));
    GroupStartMover(group);
  }
  RaiseScriptObjectEvent(group, "forwardevent");
}

void MoverRunReverse(PolygonGroup* group) {
  float position = 0.0f, current = 0.0f;
  if (GroupGetMoverState(group, &position, &current)) {
    GroupSetMoverState(group, position, -current);
    GroupStartMover(group);
  }
  RaiseScriptObjectEvent(group, "reverseevent");
}

void CMovement::Forward() { MoverRunForward(group_); }

void CMovement::Reverse() { MoverRunReverse(group_); }

void CMovement::Carry(PolygonGroup* group) {
  if (group_ && group) GroupSetParent(group, group_, 1);
}

void CMovement::OnMoverFinished() {
  float position = 0.0f, current = 0.0f;
  GroupGetMoverState(group_, &position, &current);
  RaiseGroupEvent("stopevent");
  if (current < 0.0f) {
    RaiseGroupEvent("startevent");
    if (flags & kMovementContinuous) Forward();
  } else {
    RaiseGroupEvent("finishevent");
    if (flags & kMovementContinuous) Reverse();
  }
}

void CMovement::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    WriteGroupName(ar);
    ar << speed << translation.x << translation.y << translation.z << pivot.x << pivot.y << pivot.z << axis.x
       << axis.y << axis.z << angle << flags;
  } else {
    ReadGroupName(ar);
    ar >> speed >> translation.x >> translation.y >> translation.z >> pivot.x >> pivot.y >> pivot.z >> axis.x >>
        axis.y >> axis.z >> angle >> flags;
  }
}
