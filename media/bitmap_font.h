#pragma once
// The fixed-cell bitmap font of the menus and the HUD. A font sheet is an
// 8-bit BMP holding one row of 65 glyph cells for the characters 32 (space)
// to 96; cell g spans columns g x width .. g x width + width - 1 over the
// sheet's whole height. Lower-case letters draw with the upper-case glyphs;
// any other character outside 32..96 draws as a blank. The glyph width is
// the owner's to set (6 unless set); the glyph height is the sheet's.
//
// Loading a sheet that is missing or bad ends the program (source
// "picture": 592 member missing, 598 no file header, 603 not "BM", 611 a
// header that does not fit, 616 not an uncompressed 8-bit picture or too
// narrow for 65 cells of the glyph width, 626 pixel data short).
//
// Text is drawn into the 2-D target (CBackBufferAccess) and copied to the
// screen; it is clipped on all four sides, and a glyph is drawn only when
// the cursor after it stays left of the target's right edge (so a glyph
// ending on the last column is left out, and so is everything after it).
#include <cstdint>
#include <vector>

class CBitmapFont {
 public:
  CBitmapFont() = default;
  CBitmapFont(const CBitmapFont&) = delete;
  CBitmapFont& operator=(const CBitmapFont&) = delete;

  // Reads the sheet file from archive (the current mission's when none is
  // given), replacing an earlier one. The glyph width stays as it was.
  void Load(const char* file, const char* archive);
  void SetGlyphWidth(int width) { glyphWidth_ = width > 0 ? width : 1; }
  int GetGlyphWidth() const { return glyphWidth_; }
  int GetGlyphHeight() const { return glyphHeight_; }

  // Copies the glyphs' pixels; with transparent, not those of colour 109.
  void DrawText(const char* text, int x, int y, bool transparent);
  // Draws every glyph pixel that is not colour 109 in colour.
  void DrawTextColour(const char* text, int x, int y, unsigned char colour);

  // The glyph cell a character draws with (0, the blank, when it has none).
  static int GlyphIndex(char character);

 private:
  enum class Ink { Copy, Keyed, Colour };
  void Write(const char* text, int x, int y, Ink ink, unsigned char colour);

  int glyphWidth_ = 6;
  int glyphHeight_ = 8;
  int sheetWidth_ = 0;
  int rowBytes_ = 0;              // the sheet's rows: its width raised to a multiple of 4
  std::vector<uint8_t> sheet_;    // rows bottom up
};
