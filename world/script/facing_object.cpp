#include "world/script/facing_object.h"

CFacingObject::CFacingObject(WorldPolygon* face, const WorldPolygon* axisLine)
    : face_(face), hasAxis_(axisLine != nullptr) {
  if (!axisLine) return;
  const PolygonVertex& a = axisLine->vertices[0];
  const PolygonVertex& b = axisLine->vertices[1];
  axisPoint_ = {a.x, a.y, a.z};
  axisDirection_ = {b.x - a.x, b.y - a.y, b.z - a.z};
}

// Will keep the face's vertices relative to its axis.
void CFacingObject::Initialise() {}

// Will turn the face toward the viewer about its axis.
void CFacingObject::Update() {}
