#pragma once
// TEMPORARY stand-ins for the engine services that the rasteriser uses and
// that are still on other branches (texture store and palette, surfaces, the
// frame stamp). Only the behaviour the rasteriser's tests and benchmarks rely
// on; include from exactly one source file of a program. Delete as soon as
// those modules are on main (the link then fails with duplicate symbols).
#include <cstdint>

#include "render/pending_engine_api.h"

alignas(256) inline std::uint8_t g_ShimShadeStorage[kShadeTableBytes];
std::uint8_t* const g_pShadeTable = g_ShimShadeStorage;
std::uint8_t g_ColourRemap[kPaletteSize];
FrameStamp g_FrameStamp = kStampNever;

// Near-black: the test palettes put black at index 10.
int FindPaletteColour(int, int, int) { return 10; }

std::uint8_t* TextureLoadPixels(Texture* texture) { return texture ? texture->pixels : nullptr; }

// Stamps the surface; the gradients stay as the test set them.
void ComputeSurfaceGradients(Surface* surface, int, int, const float*) {
  if (surface) surface->stamp = g_FrameStamp;
}
