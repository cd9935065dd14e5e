#include "world/objects/shield_shell.h"

#include <cmath>
#include <utility>

#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "world/objects/effect_services.h"
#include "world/objects/weapon_math.h"

namespace {

constexpr float kPi = 3.1415927f;

// d > 0: the polygon lies on the half of the shell turned away from the
// viewer (its centroid is farther out along the direction from the viewer).
float AwayFromViewer(const V3* corners, int n, V3 centre, V3 viewer) {
  V3 c = {0, 0, 0};
  for (int i = 0; i < n; ++i) c = c + corners[i];
  c = c * (1.0f / static_cast<float>(n));
  return Dot(c - viewer, c - centre);
}

WorldPolygon* MakeShellPolygon(World* world, const V3* corners, int n, Texture* texture) {
  // The texture runs from the first corner over the second and third of a
  // triangle, the third and fourth of a quadrilateral.
  const V3& a = n == 3 ? corners[1] : corners[2];
  const V3& b = n == 3 ? corners[2] : corners[3];
  const V3& c = corners[0];
  const float fa[3] = {a.x, a.y, a.z}, fb[3] = {b.x, b.y, b.z}, fc[3] = {c.x, c.y, c.z};
  Surface* surface = CreateSpriteQuad(world, fa, fb, fc, TextureAddRef(texture));
  if (!surface) return nullptr;
  float xs[4], ys[4], zs[4];
  const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  for (int i = 0; i < n; ++i) xs[i] = corners[i].x, ys[i] = corners[i].y, zs[i] = corners[i].z;
  return MakeEffectObject(PolygonCreate(world, n, xs, ys, zs, light, surface));
}

}  // namespace

int BuildShieldShell(World* world, const float centre[3], float radius, float angle, float heightFactor,
                     Texture* texture, const float viewer[3], WorldPolygon* out[kShellPolygons]) {
  for (int i = 0; i < kShellPolygons; ++i) out[i] = nullptr;
  if (!world || !texture) return 0;
  const V3 c = Load3(centre), v = Load3(viewer);
  const float r = 0.7071f * radius;
  auto pole = [&](float s) { return V3{c.x, c.y + s * heightFactor * radius, c.z}; };
  auto ring = [&](float s, float a) { return V3{c.x + r * std::cos(a), c.y + s * heightFactor * r, c.z + r * std::sin(a)}; };
  auto equator = [&](float a) { return V3{c.x + radius * std::cos(a), c.y, c.z + radius * std::sin(a)}; };
  auto segment = [&](int i) { return angle + static_cast<float>(i) * kPi / 6.0f; };
  int slot = 0, made = 0;
  for (float s : {-1.0f, 1.0f}) {
    for (int i = 0; i < 12; ++i) {
      V3 t[3] = {pole(s), ring(s, segment(i)), ring(s, segment(i + 1))};
      if (s * AwayFromViewer(t, 3, c, v) < 0.0f) std::swap(t[1], t[2]);
      out[slot] = MakeShellPolygon(world, t, 3, texture);
      made += out[slot++] != nullptr;
    }
  }
  for (float s : {-1.0f, 1.0f}) {
    for (int i = 0; i < 12; ++i) {
      const float a0 = segment(i), a1 = segment(i + 1);
      V3 q[4] = {ring(s, a0), ring(s, a1), equator(a1), equator(a0)};
      if (s * AwayFromViewer(q, 4, c, v) > 0.0f) {
        q[0] = ring(s, a1), q[1] = ring(s, a0), q[2] = equator(a0), q[3] = equator(a1);
      }
      out[slot] = MakeShellPolygon(world, q, 4, texture);
      made += out[slot++] != nullptr;
    }
  }
  return made;
}

void DeleteShieldShell(WorldPolygon* shell[kShellPolygons]) {
  for (int i = 0; i < kShellPolygons; ++i) {
    if (shell[i]) PolygonDelete(shell[i]);
    shell[i] = nullptr;
  }
}
