#pragma once
// Closed convex solids for procedural models, and their placement into a
// mesh node. A solid is a list of planar polygons in any winding; adding it
// to a node orients every face counter-clockwise seen from outside (outward
// plane), gives each face its own vertices with the face normal, and maps
// the texture onto each face by planar projection.
#include <string>
#include <vector>

#include "tools/builder/model_writer.h"

struct Solid {
  std::vector<std::vector<Vec3>> faces;
};

// A box of half sizes half around the origin.
Solid BoxSolid(Vec3 half);
// A truncated cone with `sides` sides along +z from z = 0 (radius r0) to
// z = length (radius r1); r1 = 0 makes a cone with a point.
Solid FrustumSolid(float r0, float r1, float length, int sides);
// A sphere of radius r with `rings` bands between the poles (on the y axis)
// and `segments` around.
Solid SphereSolid(float r, int rings, int segments);
// A convex outline in the x-z plane (points as x, z), extruded to a slab
// thickness deep along y, centred on y = 0.
Solid SlabSolid(const std::vector<std::pair<float, float>>& outlineXZ, float thickness);

// The solid with every point p taken to p x matrix (row vectors).
Solid Transformed(const Solid& solid, const std::array<float, 16>& matrix);
Solid Moved(const Solid& solid, Vec3 offset);
Solid Scaled(const Solid& solid, Vec3 factors);
Solid Turned(const Solid& solid, Vec3 axis, float angle);

// How a texture lies on the faces: fitted to each face's extent (repeat 0),
// or one whole texture every `repeat` units.
struct SurfaceStyle {
  std::string texture;
  float repeat = 0;
};

// Adds the solid's faces to the node. The solid must be convex (or at least
// every face must look away from the mean of its points).
void AddSolid(BuilderMeshNode* node, const Solid& solid, const SurfaceStyle& style);
