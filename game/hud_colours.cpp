// The HUD's palette search.
#include "game/hud_colours.h"

#include <algorithm>

#include "engine/palette.h"

int FindNearestPaletteIndex(int r, int g, int b) {
  const int end = std::min(g_PaletteCount, 246);
  int best = 0;
  int bestDistance = 0;
  for (int i = 10; i < end; ++i) {
    const int dr = r - g_PaletteRed[i], dg = g - g_PaletteGreen[i], db = b - g_PaletteBlue[i];
    const int distance = dr * dr + dg * dg + db * db;
    // Near enough to be the colour: the search ends here.
    if (distance < 5) return i;
    if (i == 10 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}
