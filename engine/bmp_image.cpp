#include "engine/bmp_image.h"

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::int32_t kLargestSide = 16384;

std::uint32_t U16At(const std::uint8_t* bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t U32At(const std::uint8_t* bytes, std::size_t at) {
  return U16At(bytes, at) | U16At(bytes, at + 2) << 16;
}

}  // namespace

BmpFault BmpImageRead(const std::uint8_t* bytes, std::size_t size, BmpImage* image) {
  if (!bytes || size < kFileHeaderBytes) return BmpFault::NoFileHeader;
  if (bytes[0] != 'B' || bytes[1] != 'M') return BmpFault::NotBitmap;

  const std::uint32_t pixelOffset = U32At(bytes, 10);
  if (pixelOffset < kFileHeaderBytes + kInfoHeaderBytes || pixelOffset > size) return BmpFault::BadHeader;
  const std::uint32_t infoBytes = U32At(bytes, 14);
  if (infoBytes < kInfoHeaderBytes || infoBytes > pixelOffset - kFileHeaderBytes) return BmpFault::BadHeader;

  const std::int32_t width = static_cast<std::int32_t>(U32At(bytes, 18));
  const std::int32_t height = static_cast<std::int32_t>(U32At(bytes, 22));
  const std::uint32_t bitCount = U16At(bytes, 28);
  const std::uint32_t compression = U32At(bytes, 30);
  const std::uint32_t imageSize = U32At(bytes, 34);
  const std::uint32_t coloursUsed = U32At(bytes, 46);
  if (bitCount != 8 || compression != 0) return BmpFault::NotEightBit;
  if (width < 1 || width > kLargestSide || height < 1 || height > kLargestSide) return BmpFault::NotEightBit;
  const std::uint32_t colourCount = coloursUsed == 0 ? 256 : coloursUsed;
  const std::size_t colourOffset = kFileHeaderBytes + infoBytes;
  if (colourCount > 256 || colourOffset + 4 * static_cast<std::size_t>(colourCount) > pixelOffset) {
    return BmpFault::NotEightBit;
  }

  const std::size_t rowBytes = (static_cast<std::size_t>(width) + 3) & ~static_cast<std::size_t>(3);
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(height);
  // The image size may be 0 (then the rows are all there is) or larger than
  // the rows need, but never smaller, and the file must hold what it says.
  const std::size_t storedBytes = imageSize == 0 ? pixelBytes : imageSize;
  if (storedBytes < pixelBytes || storedBytes > size - pixelOffset) return BmpFault::BadPixelData;

  image->width = width;
  image->height = height;
  image->rowBytes = static_cast<int>(rowBytes);
  image->colourCount = static_cast<int>(colourCount);
  image->headerOffset = kFileHeaderBytes;
  image->headerBytes = pixelOffset - kFileHeaderBytes;
  image->colourOffset = colourOffset;
  image->pixelOffset = pixelOffset;
  image->pixelBytes = pixelBytes;
  return BmpFault::None;
}
