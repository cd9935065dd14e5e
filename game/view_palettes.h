#pragma once
// The game view's five palettes: the game palette under the brightness
// setting, and four tinted versions of it (red, green, blue, bright) that the
// view shows for flashes on the 8-bit display.
//
// Entries 10..245: each channel c with the palette's addition k at
// brightness b (32 = neutral) becomes ((c + k) x b - 64) >> 5, floored at 0
// before the shift and capped at 255 after it, flags PC_NOCOLLAPSE. Entries
// 0..9 and 246..255 are black with flags 0 (they belong to the system).
#include "platform/gdi.h"

enum ViewPaletteKind { kViewPaletteGame, kViewPaletteRed, kViewPaletteGreen, kViewPaletteBlue, kViewPaletteBright };
inline constexpr int kViewPaletteCount = 5;

// A 256-entry logical palette (version 0x300).
struct ViewLogPalette {
  WORD version = 0x300;
  WORD count = 256;
  PALETTEENTRY entries[256] = {};
};

// One channel: c is 0..255, k the palette's addition, b the brightness.
BYTE ViewPaletteChannel(int c, int k, int brightness);
// Fills palette from the engine's game palette (engine/palette.h).
void ViewPaletteBuild(ViewPaletteKind kind, int brightness, ViewLogPalette* palette);
