#pragma once
// 8-bit BMP files as the game reads them (pictures, fonts, cursors, overlay
// bitmaps, briefing pages): a 14-byte file header, a 40-byte info header, a
// colour table of 256 entries (blue, green, red, 0) and the pixel rows bottom
// up, each padded with zeros to a multiple of 4 bytes. Every field is written
// through ByteWriter, little-endian.
#include <cstdint>
#include <vector>

#include "tools/builder/palette_builder.h"

// An 8-bit picture: width x height palette indices, rows from the top down.
struct BuilderPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

// The row length in the file: the width raised to a multiple of 4.
inline int BmpRowBytes(int width) { return (width + 3) & ~3; }

// How the file is laid out: the colour table's length (the "colours used"
// field; 0 writes 256 entries and says 0) and the rows' order (top-down
// files store a negative height).
struct BmpLayout {
  int colours = 256;
  bool topDown = false;
};

// The whole file. The colour table holds the palette's first colours. The
// picture must be at least 1 x 1 and hold width x height pixels.
std::vector<uint8_t> BmpFileBytes(const BuilderPicture& picture, const BuilderPalette& palette,
                                  const BmpLayout& layout = {});
