#include "game/view_palettes.h"

#include <algorithm>

#include "engine/palette.h"

namespace {

struct Additions {
  int red, green, blue;
};
constexpr Additions kAdditions[kViewPaletteCount] = {
    {2, 2, 2},     // the game palette
    {98, 2, 2},    // red
    {2, 66, 2},    // green
    {34, 34, 66},  // blue
    {18, 18, 18},  // bright
};

}  // namespace

BYTE ViewPaletteChannel(int c, int k, int brightness) {
  // A dark channel at a low brightness goes below zero; it is floored before
  // the shift so that no negative value is ever shifted.
  const long v = std::max(0L, static_cast<long>(c + k) * brightness - 64);
  return static_cast<BYTE>(std::min(255L, v >> 5));
}

void ViewPaletteBuild(ViewPaletteKind kind, int brightness, ViewLogPalette* palette) {
  const Additions& k = kAdditions[kind];
  for (int i = 0; i < 256; ++i) {
    PALETTEENTRY& e = palette->entries[i];
    if (i < 10 || i > 245) {
      e = PALETTEENTRY{};
      continue;
    }
    e.peRed = ViewPaletteChannel(g_PaletteRed[i], k.red, brightness);
    e.peGreen = ViewPaletteChannel(g_PaletteGreen[i], k.green, brightness);
    e.peBlue = ViewPaletteChannel(g_PaletteBlue[i], k.blue, brightness);
    e.peFlags = PC_NOCOLLAPSE;
  }
}
