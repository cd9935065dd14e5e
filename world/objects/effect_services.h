#pragma once
// What every visual effect of the world simulation shares: the effect
// geometry (camera-facing squares and their texture mappings), the random
// helpers, the sounds the effects play, the display options that turn
// effects on and off, and the level's world. Game thread only.
#include <cstdint>

#include "engine/records.h"

// rand() x x x 2 / 32767 - x: from -x to x.
float RandomSymmetric(float x);

// Marks the polygon as a visual effect (flags 0x74: out of collision and
// line-of-sight tests and of three render treatments). Null passes through.
WorldPolygon* MakeEffectObject(WorldPolygon* polygon);

// The mapping of a square with edges B->C (the texture's width) and B->A
// (its height), texel centres of the first and last rows and columns on the
// edges. Takes over the caller's texture reference (released when no
// surface is made). A 1-texel side maps the one texel over the whole edge.
// Null for no world or texture.
Surface* CreateSpriteQuad(World* world, const float a[3], const float b[3], const float c[3], Texture* texture);
// As CreateSpriteQuad, with the u axis (C - B) scaled to length 256 and a
// random u offset 0..63 (bullets).
Surface* CreateSpriteQuadRandom(World* world, const float a[3], const float b[3], const float c[3],
                                Texture* texture);

// Scales v to length (v x 1000 x length when v is shorter than 0.001).
void ScaleToLength(float v[3], float length);

// The level's world (null without a document).
World* EffectWorld();

// Plays a sound of the table at a point (nothing without a sound manager);
// every call is also told to g_EffectSoundObserver.
void PlayEffectSound(int soundId, float x, float y, float z, int flags);
using EffectSoundObserver = void (*)(int soundId, float x, float y, float z, int flags);
extern EffectSoundObserver g_EffectSoundObserver;

// The effect sounds by their table ids.
enum EffectSound : int {
  kSoundPlayGame = 3,
  kSoundLaser3 = 9,
  kSoundMgr = 10,
  kSoundLobNuke = 14,
  kSoundSat = 15,
  kSoundRocketExplosion = 16,
  kSoundNukeExplosion = 17,
  kSoundNukeBounce = 19,
  kSoundRicochetWater = 31,
};

// The display options that shape effects: smoke and flame on, "Collision"
// (debris and sparks meet the world and live longer), the particle level
// 0..2. From the interface manager; without one, its defaults (smoke on,
// collision off, particles 1). Tests may fix them with an override.
bool EffectSmokeOn();
bool EffectDebrisOn();
int EffectParticleLevel();
struct EffectOptions {
  bool smoke;
  bool debris;
  int particles;
};
// Null: the interface manager's options again.
void SetEffectOptionsOverride(const EffectOptions* options);

// Little-endian fields of a creation message.
void PutMessageU32(uint8_t* at, uint32_t value);
void PutMessageFloat(uint8_t* at, float value);
// A creation message to one player (0: all), guaranteed; only while a
// network game runs. Padding and reserved bytes are the caller's zeros.
void SendEffectMessage(uint32_t to, uint8_t* data, int length);
