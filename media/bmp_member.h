#pragma once
// An 8-bit BMP archive member read whole and checked (engine/bmp_image.h)
// before anything looks inside it: the pictures, the font sheets and the
// overlay bitmaps load through here, each turning the outcome into its own
// errors.
#include <cstdint>
#include <vector>

#include "engine/bmp_image.h"

enum class BmpMemberStatus {
  Loaded,
  Missing,     // the archive can't be opened or has no such member
  ReadFailed,  // the member's bytes could not be read
  Refused,     // the bytes are no usable 8-bit BMP: BmpMember::fault says why
};

struct BmpMember {
  std::vector<uint8_t> bytes;  // the whole file
  BmpImage image;              // where its parts lie, once Loaded
  BmpFault fault = BmpFault::None;

  // The colour table entry i (blue, green, red, reserved); i < image.colourCount.
  const uint8_t* Colour(int i) const { return bytes.data() + image.colourOffset + 4 * static_cast<size_t>(i); }
  // The pixels, rows bottom up, image.rowBytes apart.
  const uint8_t* Pixels() const { return bytes.data() + image.pixelOffset; }
};

// Opens archive (MediaArchiveOpen), reads member, closes the archive and
// checks the bytes. The archive is closed again on every path.
BmpMemberStatus BmpMemberLoad(const char* archive, const char* member, BmpMember* out);

// The fatal-error lines a loader reports a failed load with.
struct BmpFatalLines {
  int missing;      // no such member
  int fileHeader;   // the 14-byte file header can't be read
  int notBitmap;    // not "BM"
  int header;       // the info header and colour table don't fit
  int pixels;       // the pixel data is short
  int notEightBit;  // not an uncompressed 8-bit picture of a usable size
};
int BmpFatalLine(const BmpFatalLines& lines, BmpMemberStatus status, BmpFault fault);
