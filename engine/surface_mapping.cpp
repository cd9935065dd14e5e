#include "engine/surface_mapping.h"

#include <cmath>
#include <limits>

#include "engine/polygon_math.h"
#include "engine/vertex_pool.h"

using namespace polymath;

namespace {

constexpr float kMinDeterminant = 0.0001f;

// (a, b) of p - origin = a U + b V + c (U x V); false when |U x V|^2 is too
// small to solve.
bool SolveSurfacePoint(Vec3 origin, Vec3 u, Vec3 v, Vec3 p, float* a, float* b) {
  const Vec3 w = Cross(u, v);
  const float determinant = LengthSquared(w);
  if (!(std::fabs(determinant) >= kMinDeterminant)) return false;
  const Vec3 r = p - origin;
  *a = Dot(r, Cross(v, w)) / determinant;
  *b = Dot(r, Cross(w, u)) / determinant;
  return true;
}

// Rounded to the nearest int, held inside the int range.
int RoundToInt(double value) {
  if (!(value == value)) return 0;
  constexpr double kMax = std::numeric_limits<int>::max();
  constexpr double kMin = std::numeric_limits<int>::min();
  if (value >= kMax) return std::numeric_limits<int>::max();
  if (value <= kMin) return std::numeric_limits<int>::min();
  return static_cast<int>(std::lround(value));
}

}  // namespace

void TexCoordsAtPoint(Surface* surface, float x, float y, float z, float* u, float* v) {
  *u = 0.0f;
  *v = 0.0f;
  if (!surface || !surface->texture) return;
  const Texture* texture = surface->texture;
  if (texture->width <= 0 || texture->height <= 0) return;
  float a, b;
  if (!SolveSurfacePoint(surface->worldOrigin, surface->worldU, surface->worldV, Vec3{x, y, z}, &a, &b)) return;
  const float width = static_cast<float>(texture->width);
  const float height = static_cast<float>(texture->height);
  *u = 256.0f * a / width + static_cast<float>(surface->uOffset) / (65536.0f * width);
  *v = 256.0f * b / height + static_cast<float>(surface->vOffset) / (65536.0f * height);
}

void SurfaceTexelAtPoint(Surface* surface, float x, float y, float z, int* u, int* v) {
  *u = 0;
  *v = 0;
  if (!surface) return;
  *u = surface->uOffset;
  *v = surface->vOffset;
  float a, b;
  if (!SolveSurfacePoint(surface->origin, surface->uAxis, surface->vAxis, Vec3{x, y, z}, &a, &b)) return;
  // Added in 64 bits: a texel far off the surface must not overflow.
  *u = RoundToInt(static_cast<double>(RoundToInt(a * 256.0 * 65536.0)) + surface->uOffset);
  *v = RoundToInt(static_cast<double>(RoundToInt(b * 256.0 * 65536.0)) + surface->vOffset);
}

void SurfaceComputeTexCoords(WorldPolygon* polygon) {
  if (!polygon || !polygon->world) return;
  for (BspFragment* fragment = polygon->firstFragment; fragment; fragment = fragment->nextInPolygon) {
    for (int i = 0; i < fragment->vertexCount; ++i) {
      FragmentVertex& vertex = fragment->vertices[i];
      const Vec3 p = VertexPosition(polygon->world, vertex.vertex);
      TexCoordsAtPoint(polygon->surface, p.x, p.y, p.z, &vertex.u, &vertex.v);
    }
  }
}
