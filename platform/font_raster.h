#pragma once
// TrueType text turned into coverage masks, for the data builder: its font
// sheets, titles and button labels are rendered from real fonts. Only the
// data builder links the implementation (platform/freetype/, on FreeType);
// the game itself never reads a TrueType file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One rendered glyph. The mask's top left corner lies left pixels right of
// the pen and top pixels above the baseline.
struct GlyphMask {
  int width = 0;
  int height = 0;
  int left = 0;
  int top = 0;
  int advance = 0;                // how far the pen moves, in whole pixels
  std::vector<uint8_t> coverage;  // width x height, top row first; 0 empty .. 255 covered
};

class FontRaster {
 public:
  // Opens a font file at a size of pixelHeight pixels to the em; null when
  // the file is missing or no font.
  static std::unique_ptr<FontRaster> Open(const std::string& path, int pixelHeight);
  virtual ~FontRaster() = default;

  // Renders a character; with monochrome every pixel is 0 or 255 (hinted
  // for sharp edges at small sizes). False when the font can't render it.
  virtual bool Render(char32_t character, bool monochrome, GlyphMask* glyph) = 0;
  // The font's line metrics at this size, in whole pixels.
  virtual int Ascender() const = 0;   // above the baseline
  virtual int Descender() const = 0;  // below it, as a positive number
};
