#pragma once
// The small effect-geometry services that the weapons share with the
// effects (sprites, marks, trails): declared here for the weapon code, made
// by the effects' work.
#include <cstdint>

#include "engine/records.h"

// Flags a polygon as a visual effect (bits 0x74: out of collision and line
// of sight); null passes through.
WorldPolygon* MakeEffectObject(WorldPolygon* polygon);
// The texture mapping of a square whose edges are B->C and B->A.
Surface* CreateSpriteQuad(World* world, const float a[3], const float b[3], const float c[3], Texture* texture);
// The same with the u axis 256 long and a random u offset (bullet streaks).
Surface* CreateSpriteQuadRandom(World* world, const float a[3], const float b[3], const float c[3],
                                Texture* texture);
// The colour (0x00BBGGRR) of the texel under a point, brightened for sparks.
uint32_t SurfaceColourAt(WorldPolygon* polygon, float x, float y, float z);
