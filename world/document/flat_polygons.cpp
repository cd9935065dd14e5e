#include "world/document/flat_polygons.h"

#include <cmath>

#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "world/objects/effect_services.h"

namespace {

// The in-plane axes U and V, each size / 2 long.
void PlaneAxes(float nx, float ny, float nz, float size, float u[3], float v[3]) {
  if (std::fabs(nx) + std::fabs(nz) < 0.01f) {
    u[0] = 0.0f;
    u[1] = nz;
    u[2] = -ny;
  } else {
    u[0] = -nz;
    u[1] = 0.0f;
    u[2] = nx;
  }
  v[0] = u[2] * ny - u[1] * nz;
  v[1] = u[0] * nz - u[2] * nx;
  v[2] = u[1] * nx - u[0] * ny;
  ScaleToLength(u, size / 2.0f);
  ScaleToLength(v, size / 2.0f);
}

}  // namespace

WorldPolygon* CreateRoundMarkPolygon(float x, float y, float z, float nx, float ny, float nz, float size, int colour) {
  World* world = EffectWorld();
  if (!world) return nullptr;
  float u[3], v[3];
  PlaneAxes(nx, ny, nz, size, u, v);
  float xs[8], ys[8], zs[8], light[8];
  for (int k = 0; k < 8; ++k) {
    const float a = static_cast<float>(k) * 3.1415925f * 0.25f;
    const float s = std::sin(a), c = std::cos(a);
    xs[k] = x + s * u[0] + c * v[0];
    ys[k] = y + s * u[1] + c * v[1];
    zs[k] = z + s * u[2] + c * v[2];
    light[k] = 1.0f;
  }
  WorldPolygon* polygon = PolygonCreate(world, 8, xs, ys, zs, light, nullptr);
  if (!polygon) return nullptr;
  MakeEffectObject(polygon);
  polygon->flatColour = colour;
  return polygon;
}

WorldPolygon* CreateSquareMarkPolygon(float x, float y, float z, float nx, float ny, float nz, float size,
                                      Texture* texture) {
  World* world = EffectWorld();
  if (!world || !texture) return nullptr;
  float u[3], v[3];
  PlaneAxes(nx, ny, nz, size, u, v);
  const float c[3] = {x, y, z};
  float q[4][3];
  for (int i = 0; i < 3; ++i) {
    q[0][i] = c[i] - v[i] - u[i];
    q[1][i] = c[i] + v[i] - u[i];
    q[2][i] = c[i] + v[i] + u[i];
    q[3][i] = c[i] - v[i] + u[i];
  }
  Surface* surface = CreateSpriteQuad(world, q[2], q[3], q[0], TextureAddRef(texture));
  const float xs[4] = {q[0][0], q[1][0], q[2][0], q[3][0]};
  const float ys[4] = {q[0][1], q[1][1], q[2][1], q[3][1]};
  const float zs[4] = {q[0][2], q[1][2], q[2][2], q[3][2]};
  const float light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  WorldPolygon* polygon = PolygonCreate(world, 4, xs, ys, zs, light, surface);
  return MakeEffectObject(polygon);
}
