// Stand-ins for the effect services and factories that the effects' work
// makes (world/document/object_factories.cpp and the sprite classes). They
// are weak: the real bodies replace them at link time, and this file goes
// once they have landed.
#include <cmath>
#include <cstdlib>

#include "engine/surface.h"
#include "engine/texture.h"
#include "game/net_doc.h"
#include "platform/crt_random.h"
#include "world/document/effect_services.h"

#define KORVANE_WEAK __attribute__((weak))

KORVANE_WEAK WorldPolygon* MakeEffectObject(WorldPolygon* polygon) {
  if (polygon) polygon->flags |= 0x74;
  return polygon;
}
namespace {
Surface* SpriteQuad(World* world, const float* a, const float* b, const float* c, Texture* texture, bool random) {
  if (!world || !texture) return nullptr;
  const float w = texture->width > 1 ? static_cast<float>(texture->width - 1) : 1.0f;
  const float h = texture->height > 1 ? static_cast<float>(texture->height - 1) : 1.0f;
  float u[3], v[3], o[3];
  float uu = 0.0f;
  for (int k = 0; k < 3; ++k) uu += (c[k] - b[k]) * (c[k] - b[k]);
  const float uScale = random ? (uu > 0.000001f ? 256.0f / std::sqrt(uu) : 1000.0f) : 256.0f / w;
  for (int k = 0; k < 3; ++k) {
    u[k] = (c[k] - b[k]) * uScale;
    v[k] = (a[k] - b[k]) * 256.0f / h;
    o[k] = b[k] + (c[k] - b[k]) * (-0.5f / w) + (a[k] - b[k]) * (-0.5f / h);
  }
  const int uOffset = random ? static_cast<int>(CrtRand() * 64 / 32767) : 0;
  Surface* surface = SurfaceCreate(world, o[0], o[1], o[2], u[0], u[1], u[2], v[0], v[1], v[2], uOffset, 0, texture);
  if (!surface) ReleaseTexture(texture);
  return surface;
}
}  // namespace

KORVANE_WEAK Surface* CreateSpriteQuad(World* world, const float* a, const float* b, const float* c,
                                       Texture* texture) {
  return SpriteQuad(world, a, b, c, texture, false);
}
KORVANE_WEAK Surface* CreateSpriteQuadRandom(World* world, const float* a, const float* b, const float* c,
                                             Texture* texture) {
  return SpriteQuad(world, a, b, c, texture, true);
}
KORVANE_WEAK uint32_t SurfaceColourAt(WorldPolygon*, float, float, float) { return 0xFFFFFF; }

KORVANE_WEAK void CNetDoc::SpawnBulletMark(DPID, float, float, float) {}
KORVANE_WEAK void CNetDoc::SpawnLaserMark(DPID, float, float, float) {}
KORVANE_WEAK void CNetDoc::SpawnStaticSmoke(DPID, float, float, float, float) {}
KORVANE_WEAK void CNetDoc::SpawnDust(DPID, float, float, float, uint32_t, float) {}
KORVANE_WEAK void CNetDoc::SpawnSparks(DPID, float, float, float, float, float, float, uint32_t) {}
KORVANE_WEAK void CNetDoc::SpawnForceField(WorldPolygon*, float, float, float, float) {}
KORVANE_WEAK void CNetDoc::SpawnRandomDebris(DPID, float, float, float) {}
KORVANE_WEAK void CNetDoc::SpawnBigExplosion(DPID, float, float, float) {}
KORVANE_WEAK void CNetDoc::LoadFrameSequence(const CString&, Texture* frames[31], int* count) {
  for (int i = 0; i < 31; ++i) frames[i] = nullptr;
  *count = 0;
}
KORVANE_WEAK void CNetDoc::GetViewerPosition(float* x, float* y, float* z) {
  *x = viewer_ ? viewer_->position.x : 0.0f;
  *y = viewer_ ? viewer_->position.y : 0.0f;
  *z = viewer_ ? viewer_->position.z : 0.0f;
}
KORVANE_WEAK void CNetDoc::ApplyBlastDamage(float, float, float, float, float, DPID, bool) {}
