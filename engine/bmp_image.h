#pragma once
// 8-bit BMP files read from memory: the pictures, fonts and overlay bitmaps of
// the interface archive and the cockpit picture all come as whole files
// (archive members) in this layout:
//   0   "BM", u32 file size, 2 x u16 reserved, u32 offset of the pixels
//   14  info header: u32 its size (at least 40), i32 width, i32 height
//       (positive: rows bottom up), u16 planes, u16 bits per pixel,
//       u32 compression, u32 image size, 2 x i32 resolution,
//       u32 colours used, u32 colours important
//   14 + header size: the colour table, 4 bytes an entry (blue, green, red, 0)
//   pixel offset: rows bottom up, each padded to a multiple of 4 bytes
// BmpImageRead checks every field against the bytes it was given before
// anything is read through it, so a damaged file is refused, never read past.
#include <cstddef>
#include <cstdint>

// Why a file was refused; the callers turn these into their own errors. The
// checks run in this order.
enum class BmpFault {
  None,
  NoFileHeader,   // fewer than 14 bytes
  NotBitmap,      // the type is not "BM"
  BadHeader,      // the pixel offset is below 54 or past the end, or the info header does not fit before it
  NotEightBit,    // not 8 bits per pixel uncompressed, a width or height outside 1..16384, or a colour
                  // count above 256 or beyond the colour table
  BadPixelData,   // the image size is below the padded rows, or the pixels run past the end
};

// Where the parts of a checked file lie.
struct BmpImage {
  int width = 0;
  int height = 0;
  int rowBytes = 0;                // width raised to a multiple of 4
  int colourCount = 0;             // entries in the colour table: colours used, or 256 when that is 0
  std::size_t headerOffset = 14;   // the info header and the colour table run from here ...
  std::size_t headerBytes = 0;     // ... for this many bytes (pixel offset - 14)
  std::size_t colourOffset = 0;    // first colour table entry
  std::size_t pixelOffset = 0;     // first byte of the bottom row
  std::size_t pixelBytes = 0;      // rowBytes x height: what the rows use (the image size field may say more)
};

// Checks the file of size bytes at bytes; on success fills *image and returns
// BmpFault::None, else returns the first fault found and leaves *image alone.
BmpFault BmpImageRead(const std::uint8_t* bytes, std::size_t size, BmpImage* image);
