#include "engine/palette.h"

#include <cstdint>
#include <cstring>

int g_PaletteCount;
int g_PaletteRed[kPaletteSize];
int g_PaletteGreen[kPaletteSize];
int g_PaletteBlue[kPaletteSize];
std::uint8_t g_ColourRemap[kPaletteSize];

namespace {

// An 8192-byte table on an 8192-byte boundary is 256-byte aligned and never
// crosses a 64 KB line, as the lit span routines need.
alignas(kShadeTableBytes) std::uint8_t g_ShadeArea[kShadeTableBytes];

std::uint8_t g_ColourCache[kColourCacheBytes];
std::uint8_t g_ColourCacheAll[kColourCacheBytes];
// For each palette index, the exact colour that last wrote it into
// g_ColourCache; -1 when none has.
int g_ColourCheck[kPaletteSize];

int Clamp255(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

int CacheCell(int red, int green, int blue) { return (blue >> 3) * 1024 + (green >> 3) * 32 + (red >> 3); }

int Abs(int value) { return value < 0 ? -value : value; }

int NearestInRange(int red, int green, int blue, int first, int end) {
  int best = first;
  int bestDistance = -1;
  for (int i = first; i < end; ++i) {
    const int distance = Abs(g_PaletteRed[i] - red) + 2 * Abs(g_PaletteGreen[i] - green) + Abs(g_PaletteBlue[i] - blue);
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

struct PaletteStartup {
  PaletteStartup() { PaletteReset(); }
} g_PaletteStartup;

}  // namespace

std::uint8_t* const g_pShadeTable = g_ShadeArea;

int FindPaletteColour(int red, int green, int blue) {
  red = Clamp255(red);
  green = Clamp255(green);
  blue = Clamp255(blue);
  const int end = g_PaletteCount < kPaletteGameLast + 1 ? g_PaletteCount : kPaletteGameLast + 1;
  if (end <= kPaletteGameFirst) return kPaletteGameFirst;
  const int cell = CacheCell(red, green, blue);
  const int exact = (red << 16) | (green << 8) | blue;
  const int cached = g_ColourCache[cell];
  if (cached != kColourCacheEmpty && g_ColourCheck[cached] == exact) return cached;
  const int found = NearestInRange(red, green, blue, kPaletteGameFirst, end);
  g_ColourCache[cell] = static_cast<std::uint8_t>(found);
  g_ColourCheck[found] = exact;
  return found;
}

int FindPaletteColourAll(int red, int green, int blue) {
  red = Clamp255(red);
  green = Clamp255(green);
  blue = Clamp255(blue);
  if (g_PaletteCount <= 0) return 0;
  const int cell = CacheCell(red, green, blue);
  if (g_ColourCacheAll[cell] != kColourCacheEmpty) return g_ColourCacheAll[cell];
  const int found = NearestInRange(red, green, blue, 0, g_PaletteCount);
  g_ColourCacheAll[cell] = static_cast<std::uint8_t>(found);
  return found;
}

void PaletteClearCaches() {
  std::memset(g_ColourCache, kColourCacheEmpty, sizeof(g_ColourCache));
  std::memset(g_ColourCacheAll, kColourCacheEmpty, sizeof(g_ColourCacheAll));
  for (int& check : g_ColourCheck) check = -1;
}

void PaletteReset() {
  g_PaletteCount = 0;
  for (int i = 0; i < kPaletteSize; ++i) {
    g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = 0;
    g_ColourRemap[i] = static_cast<std::uint8_t>(i);
  }
  g_PaletteRed[kTransparentIndex] = g_PaletteGreen[kTransparentIndex] = g_PaletteBlue[kTransparentIndex] = 255;
  PaletteClearCaches();
}
