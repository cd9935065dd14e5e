// The BMP check against fabricated files: the builder's writer makes a good
// one, each case damages one field, and the check must refuse it without
// reading outside the bytes it was given (run under the address sanitizer).
#include "engine/bmp_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "tools/builder/bmp_writer.h"

namespace {

std::vector<uint8_t> GoodFile(int width, int height) {
  BuilderPicture picture;
  picture.width = width;
  picture.height = height;
  for (int i = 0; i < width * height; ++i) picture.pixels.push_back(static_cast<uint8_t>(10 + i));
  return BmpFileBytes(picture, MakeDemoPalette());
}

void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
void Put16(std::vector<uint8_t>* bytes, size_t at, uint16_t value) {
  (*bytes)[at] = static_cast<uint8_t>(value);
  (*bytes)[at + 1] = static_cast<uint8_t>(value >> 8);
}

// Checks a copy of exactly the damaged bytes, so that the sanitizer sees any
// read past them.
BmpFault Check(const std::vector<uint8_t>& bytes, BmpImage* image) {
  std::vector<uint8_t> exact(bytes);
  return BmpImageRead(exact.data(), exact.size(), image);
}

}  // namespace

TEST(BmpImage, FindsTheRowsOfAPictureWhoseWidthIsNotAMultipleOfFour) {
  const std::vector<uint8_t> bytes = GoodFile(5, 3);
  BmpImage image;
  ASSERT_EQ(Check(bytes, &image), BmpFault::None);
  EXPECT_EQ(image.width, 5);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.rowBytes, 8);
  EXPECT_EQ(image.colourCount, 256);
  EXPECT_EQ(image.headerBytes, 40u + 1024u);
  EXPECT_EQ(image.colourOffset, 54u);
  EXPECT_EQ(image.pixelOffset, 54u + 1024u);
  EXPECT_EQ(image.pixelBytes, 24u);
  ASSERT_EQ(bytes.size(), image.pixelOffset + image.pixelBytes);
  // Rows are stored bottom up and padded with zeros: the top row (10..14)
  // comes last.
  const uint8_t* rows = bytes.data() + image.pixelOffset;
  EXPECT_EQ(std::vector<uint8_t>(rows, rows + 8), (std::vector<uint8_t>{20, 21, 22, 23, 24, 0, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(rows + 16, rows + 24), (std::vector<uint8_t>{10, 11, 12, 13, 14, 0, 0, 0}));
}

TEST(BmpImage, ImageSizeZeroMeansThePaddedRowsAndColoursUsedZeroMeans256) {
  std::vector<uint8_t> bytes = GoodFile(6, 2);
  Put32(&bytes, 34, 0);
  Put32(&bytes, 46, 0);
  BmpImage image;
  ASSERT_EQ(Check(bytes, &image), BmpFault::None);
  EXPECT_EQ(image.pixelBytes, 16u);
  EXPECT_EQ(image.colourCount, 256);
}

TEST(BmpImage, AShortColourTableIsKeptToItsCount) {
  std::vector<uint8_t> bytes = GoodFile(4, 1);
  Put32(&bytes, 46, 16);  // 16 colours used; the table still has room for 256
  BmpImage image;
  ASSERT_EQ(Check(bytes, &image), BmpFault::None);
  EXPECT_EQ(image.colourCount, 16);
}

TEST(BmpImage, RefusesEachDamagedField) {
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>*)> damage;
    BmpFault fault;
  };
  const Case cases[] = {
      {"13 bytes", [](auto* b) { b->resize(13); }, BmpFault::NoFileHeader},
      {"type BA", [](auto* b) { (*b)[1] = 'A'; }, BmpFault::NotBitmap},
      {"pixel offset 53", [](auto* b) { Put32(b, 10, 53); }, BmpFault::BadHeader},
      {"pixel offset past the end", [](auto* b) { Put32(b, 10, static_cast<uint32_t>(b->size() + 1)); },
       BmpFault::BadHeader},
      {"pixel offset 0xFFFFFFFF", [](auto* b) { Put32(b, 10, 0xFFFFFFFFu); }, BmpFault::BadHeader},
      {"cut inside the info header", [](auto* b) { b->resize(40); }, BmpFault::BadHeader},
      {"info header size 12", [](auto* b) { Put32(b, 14, 12); }, BmpFault::BadHeader},
      {"info header size past the pixels", [](auto* b) { Put32(b, 14, 0x7FFFFFF0u); }, BmpFault::BadHeader},
      {"4 bits per pixel", [](auto* b) { Put16(b, 28, 4); }, BmpFault::NotEightBit},
      {"24 bits per pixel", [](auto* b) { Put16(b, 28, 24); }, BmpFault::NotEightBit},
      {"run-length compressed", [](auto* b) { Put32(b, 30, 1); }, BmpFault::NotEightBit},
      {"width 0", [](auto* b) { Put32(b, 18, 0); }, BmpFault::NotEightBit},
      {"width -5", [](auto* b) { Put32(b, 18, static_cast<uint32_t>(-5)); }, BmpFault::NotEightBit},
      {"height -3 (top down)", [](auto* b) { Put32(b, 22, static_cast<uint32_t>(-3)); }, BmpFault::NotEightBit},
      {"width 0x40000000", [](auto* b) { Put32(b, 18, 0x40000000u); }, BmpFault::NotEightBit},
      {"257 colours", [](auto* b) { Put32(b, 46, 257); }, BmpFault::NotEightBit},
      {"colours beyond the table",
       [](auto* b) {
         Put32(b, 46, 256);
         Put32(b, 10, 54 + 4 * 100);  // the table has room for 100 entries
       },
       BmpFault::NotEightBit},
      {"image size below the padded rows", [](auto* b) { Put32(b, 34, 23); }, BmpFault::BadPixelData},
      {"image size past the end", [](auto* b) { Put32(b, 34, 25); }, BmpFault::BadPixelData},
      {"last row cut short", [](auto* b) { b->pop_back(); }, BmpFault::BadPixelData},
      {"height larger than the rows", [](auto* b) { Put32(b, 22, 4); }, BmpFault::BadPixelData},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = GoodFile(5, 3);
    c.damage(&bytes);
    BmpImage image;
    image.width = -7;  // a refused file leaves the result alone
    EXPECT_EQ(Check(bytes, &image), c.fault) << c.what;
    EXPECT_EQ(image.width, -7) << c.what;
  }
}
