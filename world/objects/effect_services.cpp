#include "world/objects/effect_services.h"

#include <bit>
#include <cmath>
#include <cstdlib>

#include "engine/surface.h"
#include "engine/texture.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"
#include "platform/crt_random.h"

EffectSoundObserver g_EffectSoundObserver = nullptr;

namespace {

const EffectOptions* g_OptionsOverride = nullptr;

// 1 / (n - 1) for a texture side of n texels; a 1-texel side (which has no
// second texel centre) counts as 2 so that the one texel spans the edge.
float TexelSpan(int texels) { return 1.0f / static_cast<float>(texels > 1 ? texels - 1 : 1); }

}  // namespace

float RandomSymmetric(float x) { return static_cast<float>(CrtRand()) * x * 2.0f / 32767.0f - x; }

WorldPolygon* MakeEffectObject(WorldPolygon* polygon) {
  if (polygon) polygon->flags |= 0x74;
  return polygon;
}

void ScaleToLength(float v[3], float length) {
  const float squared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  const float factor = squared < 0.000001f ? length * 1000.0f : length / std::sqrt(squared);
  for (int i = 0; i < 3; ++i) v[i] *= factor;
}

namespace {

// The quad's mapping from its corners: the origin half a texel out from B,
// u along C - B (left for the caller to scale) and v along A - B in texels.
// False (the texture's reference given back) without a world or texture.
bool SpriteQuadAxes(World* world, const float a[3], const float b[3], const float c[3], Texture* texture,
                    float origin[3], float u[3], float v[3]) {
  if (!world || !texture) {
    ReleaseTexture(texture);
    return false;
  }
  const float su = TexelSpan(texture->width);
  const float sv = TexelSpan(texture->height);
  for (int i = 0; i < 3; ++i) {
    const float cb = c[i] - b[i];
    const float ab = a[i] - b[i];
    origin[i] = b[i] + cb * (-0.5f * su) + ab * (-0.5f * sv);
    u[i] = cb;
    v[i] = ab * 256.0f * sv;
  }
  return true;
}

}  // namespace

Surface* CreateSpriteQuad(World* world, const float a[3], const float b[3], const float c[3], Texture* texture) {
  float origin[3], u[3], v[3];
  if (!SpriteQuadAxes(world, a, b, c, texture, origin, u, v)) return nullptr;
  const float su = TexelSpan(texture->width);
  for (float& axis : u) axis = axis * 256.0f * su;
  return SurfaceCreate(world, origin[0], origin[1], origin[2], u[0], u[1], u[2], v[0], v[1], v[2], 0, 0, texture);
}

Surface* CreateSpriteQuadRandom(World* world, const float a[3], const float b[3], const float c[3],
                                Texture* texture) {
  float origin[3], u[3], v[3];
  if (!SpriteQuadAxes(world, a, b, c, texture, origin, u, v)) return nullptr;
  ScaleToLength(u, 256.0f);
  const int offset = static_cast<int>(static_cast<float>(CrtRand()) * 64.0f / 32767.0f);
  return SurfaceCreate(world, origin[0], origin[1], origin[2], u[0], u[1], u[2], v[0], v[1], v[2], offset, 0,
                       texture);
}

World* EffectWorld() { return g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr; }

void PlayEffectSound(int soundId, float x, float y, float z, int flags) {
  if (g_EffectSoundObserver) g_EffectSoundObserver(soundId, x, y, z, flags);
  if (g_pSoundManager) g_pSoundManager->PlaySoundAt(soundId, x, y, z, flags);
}

bool EffectSmokeOn() {
  if (g_OptionsOverride) return g_OptionsOverride->smoke;
  return g_pInterface ? g_pInterface->IsSmokeOn() : true;
}

bool EffectDebrisOn() {
  if (g_OptionsOverride) return g_OptionsOverride->debris;
  return g_pInterface ? g_pInterface->IsDebrisOn() : false;
}

int EffectParticleLevel() {
  if (g_OptionsOverride) return g_OptionsOverride->particles;
  return g_pInterface ? g_pInterface->GetParticleLevel() : 1;
}

void SetEffectOptionsOverride(const EffectOptions* options) { g_OptionsOverride = options; }

void PutMessageU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutMessageFloat(uint8_t* at, float value) { PutMessageU32(at, std::bit_cast<uint32_t>(value)); }

void SendEffectMessage(uint32_t to, uint8_t* data, int length) {
  if (!IsNetworkGame()) return;
  g_Net.Send(to, data, length, true);
}
