#pragma once
// The game's one 256-colour palette, its colour remap and 32-level shade
// table, and the nearest-colour searches that turn an RGB colour into a
// palette index for the whole program.
//
// Entries 10..245 belong to the game; FindPaletteColour only ever returns
// one of those, so what it picks survives the system colours changing.
#include <cstdint>

#include "engine/records.h"

extern int g_PaletteCount;  // entries read from the archive, 0..256
extern int g_PaletteRed[kPaletteSize];
extern int g_PaletteGreen[kPaletteSize];
extern int g_PaletteBlue[kPaletteSize];
extern std::uint8_t g_ColourRemap[kPaletteSize];
// 32 rows of 256: row = light level, column = texel, entry = index drawn.
// 256-byte aligned and inside one 64 KB page, as the lit span routines need.
extern std::uint8_t* const g_pShadeTable;

// Nearest entry among 10 .. min(g_PaletteCount, 246) - 1 by
// |dRed| + 2 |dGreen| + |dBlue|, first of equals winning; channels clamped to
// 0..255. Cached per 15-bit cell, kept exact by a check table. With no game
// entry loaded (count 10 or less) it returns 10 and caches nothing.
int FindPaletteColour(int red, int green, int blue);
// The same over every entry 0 .. count - 1, with its own cache (a filled cell
// is trusted as it is). 0 when the palette is empty.
int FindPaletteColourAll(int red, int green, int blue);
// Empties both colour caches; needed whenever the palette changes.
void PaletteClearCaches();
// The state before any archive: count 0, all black but entry 255 white,
// identity remap, caches empty. The shade table is left as it is.
void PaletteReset();
