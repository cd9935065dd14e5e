#include "world/script/script_grammar.h"

#include <cstring>

namespace {

bool HasPrefix(const char* name, const char* prefix) { return std::strncmp(name, prefix, std::strlen(prefix)) == 0; }

bool HasAnyPrefix(const char* name, std::initializer_list<const char*> prefixes) {
  for (const char* prefix : prefixes) {
    if (HasPrefix(name, prefix)) return true;
  }
  return false;
}

}  // namespace

ScriptGroupDecision ClassifyScriptGroup(const char* name, const char* type) {
  ScriptGroupDecision decision;
  if (!name) return decision;
  if (HasAnyPrefix(name, {"door_", "swinging_", "spinning_", "sliding_", "pathgroup_", "moving_"})) {
    if (type) {
      if (std::strcmp(type, "parent") == 0) {
        decision.doorShape = kDoorShapeParent;
      } else if (std::strcmp(type, "sliding") == 0) {
        decision.doorShape = kDoorShapeSliding;
      } else if (std::strcmp(type, "swinging") == 0 || std::strcmp(type, "spinning") == 0) {
        decision.doorShape = kDoorShapeRotating;
      } else {
        return decision;
      }
    } else {
      decision.doorShape =
          HasAnyPrefix(name, {"swinging_", "spinning_"}) ? kDoorShapeRotating : kDoorShapeSliding;
    }
    decision.kind = kScriptGroupDoor;
  } else if (HasPrefix(name, "facing_")) {
    decision.kind = kScriptGroupFacing;
  } else if (HasAnyPrefix(name, {"movement_", "move_", "vector_", "rotation_", "slide_"})) {
    decision.kind = kScriptGroupMovement;
  }
  return decision;
}

FacingGeometry FindFacingGeometry(PolygonGroup* group) {
  FacingGeometry geometry;
  if (!group || group->polygonCount <= 0) return geometry;
  if (group->polygonCount == 1) {
    geometry.face = group->polygons[0];
    return geometry;
  }
  for (int i = group->polygonCount - 1; i >= 0 && !(geometry.face && geometry.axisLine); --i) {
    WorldPolygon* polygon = group->polygons[i];
    if (polygon->vertexCount == 2) {
      if (!geometry.axisLine) geometry.axisLine = polygon;
    } else if (!geometry.face) {
      geometry.face = polygon;
    }
  }
  return geometry;
}
