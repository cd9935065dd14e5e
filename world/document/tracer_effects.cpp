// Sparks: single tracers, the bursts of explosions, the sprays of splashes
// and the sparks off a hit surface, and the colour of a surface under a hit
// point. The particle option decides: level 0 makes none, level 2 triples
// the bursts.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "engine/palette.h"
#include "engine/surface_mapping.h"
#include "engine/texture.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "world/objects/effect_services.h"
#include "world/objects/object_manager.h"
#include "world/objects/tracer.h"

namespace {

constexpr float kPi = 3.1415927f;

float Random01() { return static_cast<float>(CrtRand()) / 32767.0f; }

uint32_t PackColour(int red, int green, int blue) {
  return static_cast<uint32_t>(red & 0xFF) | static_cast<uint32_t>(green & 0xFF) << 8 |
         static_cast<uint32_t>(blue & 0xFF) << 16;
}

// The burst's count: growing with the square root beyond 100, half as fast
// beyond 50; tripled at particle level 2.
int BurstCount(int count) {
  if (count > 100) {
    count = static_cast<int>(std::sqrt(static_cast<float>(count - 100)) + 75.0f);
  } else if (count > 50) {
    count = (count - 50) / 2 + 50;
  }
  return EffectParticleLevel() == 2 ? count * 3 : count;
}

// Sparks in random directions from the point whose first unit is clear.
void Scatter(CNetDoc& doc, DPID owner, float x, float y, float z, int count, uint32_t colour, float baseSpeed,
             float extraSpeed, float size, bool bounces) {
  if (EffectParticleLevel() == 0) return;
  World* world = doc.GetWorld();
  for (int i = BurstCount(count); i > 0; --i) {
    const float e = kPi / 2.0f - Random01() * kPi;
    const float h = kPi - Random01() * 2.0f * kPi;
    const float d[3] = {std::cos(e) * std::cos(h), std::sin(e), std::cos(e) * std::sin(h)};
    if (world && WorldSegmentBlocked(world, x, y, z, x + d[0], y + d[1], z + d[2])) continue;
    const float s = baseSpeed + Random01() * extraSpeed;
    // d is a unit vector: P - C over its length.
    doc.SpawnTracer(owner, x + d[0], y + d[1], z + d[2], s * d[0], s * d[1], s * d[2], colour, size, bounces);
  }
}

}  // namespace

void CNetDoc::SpawnTracer(DPID owner, float x, float y, float z, float vx, float vy, float vz, uint32_t colour,
                          float size, bool bounces) {
  if (EffectParticleLevel() == 0 || !g_pObjectManager) return;
  g_pObjectManager->AddObject(new CTracer(owner, NewObjectId(), x, y, z, vx, vy, vz, colour, size, bounces));
}

void CNetDoc::SpawnTracerBurst(DPID owner, float x, float y, float z, int count, uint32_t colour) {
  Scatter(*this, owner, x, y, z, count, colour, 100.0f, 80.0f, 5.0f, true);
}

void CNetDoc::SpawnTracerSpray(DPID owner, float x, float y, float z, int count, uint32_t colour) {
  Scatter(*this, owner, x, y, z, count, colour, 70.0f, 40.0f, 4.0f, false);
}

void CNetDoc::SpawnSparks(DPID owner, float x, float y, float z, float nx, float ny, float nz, uint32_t colour) {
  if (EffectParticleLevel() == 0) return;
  const float a = 0.5f - Random01();
  float b = 0.5f - Random01();
  const float c = 0.5f - Random01();
  if (std::fabs(a) + std::fabs(b) + std::fabs(c) < 0.1f) b = 0.5f;
  const float p[3] = {ny * c - nz * b, nz * a - nx * c, nx * b - ny * a};
  const float squared = p[0] * p[0] + p[1] * p[1] + p[2] * p[2];
  const float numerator = 0.4f + Random01() / 2.0f;
  const float f = squared < 0.000001f ? 1000.0f * numerator : numerator / std::sqrt(squared);
  float d[3] = {nx + f * p[0], ny + f * p[1], nz + f * p[2]};
  const float speed = 50.0f + Random01() * 80.0f;
  ScaleToLength(d, speed);
  SpawnTracer(owner, x, y, z, d[0], d[1], d[2], colour, 4.0f, true);
}

uint32_t SurfaceColourAt(WorldPolygon* polygon, float x, float y, float z) {
  constexpr uint32_t kWhite = 0xFFFFFF;
  Surface* surface = polygon ? polygon->surface : nullptr;
  Texture* texture = surface ? surface->texture : nullptr;
  if (!texture || texture->width <= 0 || texture->height <= 0) return kWhite;
  float u = 0, v = 0;
  TexCoordsAtPoint(surface, x, y, z, &u, &v);
  const float su = u * static_cast<float>(texture->width), sv = v * static_cast<float>(texture->height);
  // A point far off the polygon (or a broken mapping) reads no texel.
  if (!(std::fabs(su) < 1e9f && std::fabs(sv) < 1e9f)) return kWhite;
  const int index = GetTexel(texture, static_cast<int>(su) & (texture->width - 1),
                             static_cast<int>(sv) & (texture->height - 1));
  if (index < 10 || index > g_PaletteCount || index > 255) return kWhite;
  const float red = static_cast<float>(g_PaletteRed[index]);
  const float green = static_cast<float>(g_PaletteGreen[index]);
  const float blue = static_cast<float>(g_PaletteBlue[index]);
  const float average = (red + green + blue) * 0.33333334f;
  const int r = static_cast<int>(average + 0.5f * (red - average));
  const int g = static_cast<int>(average + 0.5f * (green - average));
  const int b = static_cast<int>(average + 0.5f * (blue - average));
  const int brightest = std::max(r, std::max(g, b));
  if (brightest < 10) return kWhite;
  float k = 255.0f / static_cast<float>(brightest);
  if (k > 3.0f) k = std::sqrt(k - 3.0f) + 3.0f;
  return PackColour(static_cast<int>(static_cast<float>(r) * k), static_cast<int>(static_cast<float>(g) * k),
                    static_cast<int>(static_cast<float>(b) * k));
}
