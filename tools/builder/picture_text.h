#pragma once
// Text for the interface pictures, rendered from the DejaVu fonts by the
// platform's font rasteriser: titles, button labels, captions and the glyphs
// of the bitmap font sheets.
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/font_raster.h"
#include "tools/builder/picture_canvas.h"

enum class Typeface {
  Sans,  // DejaVu Sans Bold: titles and labels
  Mono,  // DejaVu Sans Mono Bold: the fixed-cell bitmap fonts
};

// The path of a typeface's file.
std::string TypefacePath(Typeface face);

// How text is coloured: a gradient from top to bottom over the cap height,
// with an optional shadow (offset down and right) and outline.
struct TextStyle {
  Rgb top{255, 255, 255};
  Rgb bottom{255, 255, 255};
  bool shadow = false;
  Rgb shadowColour{0, 0, 0};
  int shadowOffset = 1;
  bool outline = false;
  Rgb outlineColour{0, 0, 0};
};

class TextPainter {
 public:
  // Null when the typeface can't be opened.
  static std::unique_ptr<TextPainter> Open(Typeface face, int pixelHeight, bool monochrome = false);

  int Ascender() const { return raster_->Ascender(); }
  int Descender() const { return raster_->Descender(); }
  // The height of a capital letter above the baseline.
  int CapHeight();
  // The advance width of text.
  int Measure(std::string_view text);
  // A glyph (rendered once and kept); null when the font has none.
  const GlyphMask* Glyph(char32_t character);
  // Draws text with its baseline at y, starting at x; returns the pen's end.
  int Draw(PictureCanvas* canvas, int x, int y, std::string_view text, const TextStyle& style);
  // Draws text centred on x.
  void DrawCentred(PictureCanvas* canvas, int x, int y, std::string_view text, const TextStyle& style);

 private:
  explicit TextPainter(std::unique_ptr<FontRaster> raster, bool monochrome)
      : raster_(std::move(raster)), monochrome_(monochrome) {}
  void Stamp(PictureCanvas* canvas, int x, int y, std::string_view text, int dx, int dy, Rgb colour, float capTop,
             float capBottom, const TextStyle* gradient);

  std::unique_ptr<FontRaster> raster_;
  bool monochrome_;
  std::map<char32_t, GlyphMask> glyphs_;
  int capHeight_ = -1;
};
