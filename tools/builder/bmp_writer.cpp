#include "tools/builder/bmp_writer.h"

#include <cassert>

#include "tools/builder/byte_writer.h"

namespace {
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
}  // namespace

std::vector<uint8_t> BmpFileBytes(const BuilderPicture& picture, const BuilderPalette& palette,
                                  const BmpLayout& layout) {
  assert(picture.width > 0 && picture.height > 0);
  assert(layout.colours >= 0 && layout.colours <= 256);
  const uint32_t colourCount = layout.colours == 0 ? 256u : static_cast<uint32_t>(layout.colours);
  assert(picture.pixels.size() == static_cast<size_t>(picture.width) * picture.height);
  const uint32_t rowBytes = static_cast<uint32_t>(BmpRowBytes(picture.width));
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(picture.height);
  const uint32_t pixelOffset = kFileHeaderBytes + kInfoHeaderBytes + 4 * colourCount;

  ByteWriter out;
  out.Reserve(pixelOffset + imageBytes);
  out.U8('B');
  out.U8('M');
  out.U32(pixelOffset + imageBytes);  // file size
  out.U16(0);
  out.U16(0);
  out.U32(pixelOffset);

  out.U32(kInfoHeaderBytes);
  out.I32(picture.width);
  out.I32(layout.topDown ? -picture.height : picture.height);  // positive: rows stored bottom up
  out.U16(1);               // planes
  out.U16(8);               // bits per pixel
  out.U32(0);               // no compression
  out.U32(imageBytes);
  out.I32(0);  // resolutions
  out.I32(0);
  out.U32(static_cast<uint32_t>(layout.colours));  // colours used (0: all 256)
  out.U32(0);             // colours important

  for (uint32_t i = 0; i < colourCount; ++i) {
    out.U8(static_cast<uint8_t>(palette.blue[i]));
    out.U8(static_cast<uint8_t>(palette.green[i]));
    out.U8(static_cast<uint8_t>(palette.red[i]));
    out.U8(0);
  }
  for (int i = 0; i < picture.height; ++i) {
    const int y = layout.topDown ? i : picture.height - 1 - i;
    out.Bytes(&picture.pixels[static_cast<size_t>(y) * picture.width], static_cast<size_t>(picture.width));
    for (uint32_t pad = static_cast<uint32_t>(picture.width); pad < rowBytes; ++pad) out.U8(0);
  }
  return out.Take();
}
