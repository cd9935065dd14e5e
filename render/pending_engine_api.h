#pragma once
// TEMPORARY: engine services the rasteriser uses whose own headers have not
// landed yet (texture store and palette; surfaces; the frame stamp). These
// are declarations only, with the signatures the engine gives them; the
// definitions live in the engine. Replace each by an include of its engine
// header as soon as that header is on main, then delete this file.
#include <cstdint>

#include "engine/records.h"

// Palette index nearest to the colour among the game's entries.
int FindPaletteColour(int red, int green, int blue);
// The texture's pixel block, loaded from the texture archive when absent;
// null when it cannot be loaded.
std::uint8_t* TextureLoadPixels(Texture* texture);
// Computes the surface's screen-space gradients once per frame stamp.
void ComputeSurfaceGradients(Surface* surface, int width, int height, const float* groupMatrix);

// 32 rows of 256 palette indices, 256-byte aligned.
extern std::uint8_t* const g_pShadeTable;
// One palette index per palette index (the line drawer's remap mode).
extern std::uint8_t g_ColourRemap[kPaletteSize];
// The engine's frame stamp counter.
extern FrameStamp g_FrameStamp;
