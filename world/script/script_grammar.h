#pragma once
// The level grammar: how a polygon group's name and properties make it a
// script object. All name tests are exact prefixes, case-sensitive:
//   "door_", "swinging_", "spinning_", "sliding_", "pathgroup_", "moving_"
//       a door; its "type" property picks the shape ("parent", "sliding",
//       "swinging" or "spinning"; any other text: no object at all); without
//       "type", "swinging_" and "spinning_" give a rotating door, the others
//       a sliding one;
//   "facing_"  a facing polygon;
//   "movement_", "move_", "vector_", "rotation_", "slide_"  a movement;
//   anything else: nothing.
// docs/level-grammar.md lists the properties each object reads.
#include "engine/records.h"
#include "world/script/door.h"

enum ScriptGroupKind : int {
  kScriptGroupNone = 0,
  kScriptGroupDoor,
  kScriptGroupFacing,
  kScriptGroupMovement,
};

struct ScriptGroupDecision {
  ScriptGroupKind kind = kScriptGroupNone;
  DoorShape doorShape = kDoorShapePlain;  // doors only
};

// What the grammar makes of a group with that name and "type" text (null:
// no "type" property).
ScriptGroupDecision ClassifyScriptGroup(const char* name, const char* type);

// The polygons of a facing group that its facing object uses: with one
// polygon, that one and no axis; otherwise the first face (vertex count not
// 2) and the first axis line (count 2) met scanning the table from its end.
// face is null when the group has no face.
struct FacingGeometry {
  WorldPolygon* face = nullptr;
  WorldPolygon* axisLine = nullptr;
};
FacingGeometry FindFacingGeometry(PolygonGroup* group);
