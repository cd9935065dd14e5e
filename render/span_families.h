#pragma once
// The span routines: the rasteriser's innermost loops. A routine writes one
// horizontal run of 8-bit pixels of a textured polygon, stepping u and v
// (16.16 texels of one texture level) linearly and fetching texels of that
// level, which repeats in both directions. There are eight families, one per
// pixel operation, each a table of routines indexed by the level's entry
// number, so that the level's size is a constant inside the loop.
//
// Besides its arguments a routine reads from g_Raster: du and dv (16.16 per
// pixel, of the level drawn), light and lightStep (D, E, B), zRow, z and
// zStep (A, B), rowParity and spanRowStart (stipple of G, H); and
// g_pShadeTable, g_BlendTable, g_TranslucencyMode, g_StippleParity. Every
// routine adds count to g_PixelsDrawn on entry.
#include <cstdint>

#include "engine/texture.h"

using SpanRoutine = void (*)(std::uint8_t* destination, int count, std::int32_t u, std::int32_t v,
                             const std::uint8_t* texels);

// Entries 0..15: full-size levels, (log2Height - 5) * 4 + (log2Width - 5);
// 16..20: the square previews 16x16 .. 1x1 at the end of the pixel block.
inline constexpr int kSpanEntryCount = 21;
inline constexpr int kSpanFullSizeEntryCount = 16;
inline constexpr int kSpanPreviewEntry = 16;

// A: z-tested and z-written, texel as it is.
extern const SpanRoutine SpanTexZ[kSpanFullSizeEntryCount];
// B: z-tested and z-written, light interpolated through the shade table.
extern const SpanRoutine SpanTexGouraudZ[kSpanFullSizeEntryCount];
// C: texel as it is.
extern const SpanRoutine SpanTex[kSpanEntryCount];
// D: light interpolated per pixel; stores the level reached back into g_Raster.light.
extern const SpanRoutine SpanTexGouraud[kSpanEntryCount];
// E: one shade row for the whole span.
extern const SpanRoutine SpanTexLit[kSpanEntryCount];
// F: texel 255 leaves the pixel as it is.
extern const SpanRoutine SpanTexKey[kSpanEntryCount];
// G: blended through g_BlendTable, or stippled (g_TranslucencyMode bit 0).
extern const SpanRoutine SpanTexTranslucent[kSpanEntryCount];
// H: as G, texel 255 leaves the pixel as it is.
extern const SpanRoutine SpanTexKeyTranslucent[kSpanEntryCount];

// Size of a level entry.
struct SpanLevelShape {
  std::int32_t log2Width;
  std::int32_t log2Height;
  std::int32_t bytes;
  std::int32_t next;  // entry drawn when the steps are too large; -1 = none
};
SpanLevelShape SpanLevelShapeOf(int entry);

// The entry of a texture's own level 0, or -1 when its size has no routine
// (both base-2 sizes must be 5..8).
int TextureLevelEntry(int log2Width, int log2Height);

// Level selection: from the texture's own entry and level-0 coordinates,
// descend while |du| or |dv| is 2 texels per pixel or more, down to the 4x4
// preview at most. Coordinates come back scaled to the chosen level.
struct SpanLevelChoice {
  int entry;
  const std::uint8_t* texels;
  std::int32_t u, v, du, dv;
};
SpanLevelChoice SpanSelectLevel(int entry, const std::uint8_t* pixels, std::int32_t u, std::int32_t v, std::int32_t du,
                                std::int32_t dv);
