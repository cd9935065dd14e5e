#include "media/blend_table.h"

#include <cstring>

#include "engine/records.h"
#include "render/raster_state.h"

namespace {
bool g_BlendTableBuilt = false;
}  // namespace

void BuildBlendTable(const RGBQUAD colours[256]) {
  g_BlendTableBuilt = true;
  std::memset(g_BlendTable, 0, sizeof g_BlendTable);
  for (int i = kPaletteGameFirst; i <= kPaletteGameLast; ++i) {
    g_BlendTable[i * 256 + i] = static_cast<uint8_t>(i);
    for (int j = kPaletteGameFirst; j < i; ++j) {
      const int r = (colours[i].rgbRed + colours[j].rgbRed) / 2;
      const int g = (colours[i].rgbGreen + colours[j].rgbGreen) / 2;
      const int b = (colours[i].rgbBlue + colours[j].rgbBlue) / 2;
      int best = kPaletteGameFirst;
      int bestDistance = -1;
      for (int k = kPaletteGameFirst; k <= kPaletteGameLast; ++k) {
        const int dr = colours[k].rgbRed - r, dg = colours[k].rgbGreen - g, db = colours[k].rgbBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
          best = k;
          bestDistance = distance;
        }
        if (distance < 5) break;
      }
      g_BlendTable[i * 256 + j] = static_cast<uint8_t>(best);
      g_BlendTable[j * 256 + i] = static_cast<uint8_t>(best);
    }
  }
}

bool BlendTableBuilt() { return g_BlendTableBuilt; }

void BlendTableReset() { g_BlendTableBuilt = false; }

uint8_t BlendStep(uint8_t oldColour, uint8_t newColour, uint8_t alpha) {
  if (alpha == 0) return oldColour;
  uint8_t mid = oldColour;
  unsigned bits = alpha;
  while (bits & 0xFF) {
    mid = g_BlendTable[oldColour * 256 + newColour];
    if (bits & 0x80) {
      oldColour = mid;
    } else {
      newColour = mid;
    }
    bits = (bits << 1) & 0xFF;
  }
  return mid;
}
