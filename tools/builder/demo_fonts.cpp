// The bitmap font sheets: one row of 65 glyph cells for the characters 32
// (space) to 96, rendered from DejaVu Sans Mono Bold without smoothing (the
// game draws every glyph pixel in one colour when it colours text), shaded
// from top to bottom, on the colour key. Each sheet is as wide as its 65
// cells, raised to a multiple of 4 so that its rows need no padding.
#include <algorithm>
#include <string>

#include "engine/records.h"
#include "tools/builder/interface_art.h"

namespace {

constexpr int kGlyphCount = 65;
constexpr int kFirstCharacter = 32;

struct FontSheet {
  const char* name;
  int cellWidth;
  int cellHeight;
  int pixelSize;  // the typeface's size in pixels to the em
  int baseline;   // the row the letters stand on
  Rgb top;
  Rgb bottom;
  bool shadow;  // a dark copy one pixel down and right
};

constexpr FontSheet kSheets[] = {
    {"FONT_SM.BMP", 6, 8, 9, 6, {200, 255, 200}, {90, 200, 110}, false},
    {"FONT_MD.BMP", 8, 12, 13, 9, {200, 225, 255}, {110, 150, 210}, true},
    // The briefing types each character in FONT_MD3 first and lets it settle
    // through MD2 and MD1 into FONT_MD: the newest letters glow.
    {"FONT_MD1.BMP", 8, 12, 13, 9, {225, 240, 255}, {160, 195, 240}, true},
    {"FONT_MD2.BMP", 8, 12, 13, 9, {245, 250, 255}, {205, 225, 255}, true},
    {"FONT_MD3.BMP", 8, 12, 13, 9, {255, 255, 255}, {255, 240, 200}, true},
    {"FONT_LG.BMP", 10, 14, 16, 11, {235, 245, 255}, {120, 170, 230}, true},
    {"FONT_LG1.BMP", 10, 14, 16, 11, {255, 225, 150}, {230, 120, 30}, true},
};

void AddSheet(InterfaceArt* art, const FontSheet& sheet) {
  TextPainter* painter = art->Text(Typeface::Mono, sheet.pixelSize, true);
  if (!painter) return;
  const int width = (kGlyphCount * sheet.cellWidth + 3) & ~3;
  PictureCanvas canvas(width, sheet.cellHeight, MenuColour::kBlack);
  canvas.FillKey(0, 0, width, sheet.cellHeight);
  const int capTop = sheet.baseline + 1 - painter->CapHeight();
  for (int g = 1; g < kGlyphCount; ++g) {  // glyph 0 is the space
    const GlyphMask* glyph = painter->Glyph(static_cast<char32_t>(kFirstCharacter + g));
    if (!glyph) continue;
    const int cellLeft = g * sheet.cellWidth;
    // Centred in the cell but for its last column, which keeps letters apart.
    const int ink = sheet.cellWidth - 1;
    const int left = cellLeft + (ink - glyph->width) / 2;
    // Marks that reach below the cell (the underscore) are lifted into it.
    const int below = sheet.baseline + 1 - glyph->top + glyph->height + (sheet.shadow ? 1 : 0) - sheet.cellHeight;
    const int lift = std::max(0, below);
    for (int pass = sheet.shadow ? 0 : 1; pass < 2; ++pass) {
      const int shift = pass == 0 ? 1 : 0;
      for (int y = 0; y < glyph->height; ++y) {
        const int row = sheet.baseline + 1 - glyph->top + y + shift - lift;
        if (row < 0 || row >= sheet.cellHeight) continue;
        const float t =
            std::clamp(static_cast<float>(row - capTop) / std::max(1, sheet.baseline - capTop), 0.0f, 1.0f);
        const Rgb colour = pass == 0 ? Rgb{10, 14, 24} : Mix(sheet.top, sheet.bottom, t);
        for (int x = 0; x < glyph->width; ++x) {
          const int column = left + x + shift;
          if (column < cellLeft || column >= cellLeft + sheet.cellWidth) continue;
          if (glyph->coverage[static_cast<size_t>(y) * glyph->width + x] < 128) continue;
          canvas.Set(column, row, colour);  // the letter is drawn after its shadow, over it
        }
      }
    }
  }
  art->AddPicture(sheet.name, canvas, kPictureColourKey, false);
}

}  // namespace

void AddFontSheets(InterfaceArt* art) {
  for (const FontSheet& sheet : kSheets) AddSheet(art, sheet);
}
