#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/palette.h"
#include "engine/texture.h"

namespace {

struct SizeCase {
  int width, height;
  int mipBytes;
};

TEST(TextureSizes, MipLevelsStopBelow32) {
  const SizeCase cases[] = {
      {256, 256, 87040},                // 256, 128, 64, 32
      {64, 32, 2048},                   // only its own level
      {32, 32, 1024},                   //
      {128, 64, 8192 + 2048},           // 128x64, 64x32
      {256, 32, 8192},                  //
      {32, 256, 8192},                  //
      {256, 128, 32768 + 8192 + 2048},  // 256x128, 128x64, 64x32
  };
  for (const SizeCase& c : cases) {
    EXPECT_EQ(TextureMipBytes(c.width, c.height), c.mipBytes) << c.width << "x" << c.height;
    EXPECT_EQ(TexturePixelBytes(c.width, c.height), c.mipBytes + 341) << c.width << "x" << c.height;
  }
}

TEST(TextureSizes, Log2AndSupportedSizes) {
  EXPECT_EQ(TextureLog2(32), 5);
  EXPECT_EQ(TextureLog2(33), 6);
  EXPECT_EQ(TextureLog2(256), 8);
  EXPECT_EQ(TextureLog2(1), 0);
  EXPECT_EQ(TextureSizeSupported(32, 256), 1);
  EXPECT_EQ(TextureSizeSupported(16, 32), 0);
  EXPECT_EQ(TextureSizeSupported(512, 32), 0);
  EXPECT_EQ(TextureSizeSupported(48, 32), 0);
  EXPECT_EQ(TextureSizeSupported(64, 0), 0);
  EXPECT_EQ(TextureSizeSupported(-64, 64), 0);
}

// A texture record over a byte vector, built by hand.
class TextureMipsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PaletteReset();
    g_PaletteCount = 256;
    for (int i = 0; i < kPaletteSize; ++i) SetColour(i, 0, 255, 0);
    SetColour(10, 0, 0, 0);
    SetColour(20, 100, 0, 0);
    SetColour(21, 0, 0, 100);
    SetColour(22, 50, 0, 50);
    SetColour(30, 2, 0, 0);
    SetColour(31, 3, 0, 0);
    SetColour(40, 200, 200, 200);
    PaletteClearCaches();
  }
  void TearDown() override { PaletteReset(); }
  static void SetColour(int index, int r, int g, int b) {
    g_PaletteRed[index] = r;
    g_PaletteGreen[index] = g;
    g_PaletteBlue[index] = b;
  }
  void Make(int width, int height, std::uint8_t fill) {
    pixels_.assign(TexturePixelBytes(width, height), 0xEE);
    for (int i = 0; i < width * height; ++i) pixels_[i] = fill;
    texture_ = {};
    texture_.width = width;
    texture_.height = height;
    texture_.log2Width = TextureLog2(width);
    texture_.log2Height = TextureLog2(height);
    texture_.byteSize = static_cast<int>(pixels_.size());
    texture_.pixels = pixels_.data();
  }
  void SetTexel(int x, int y, std::uint8_t value) { pixels_[y * texture_.width + x] = value; }
  std::uint8_t Level1(int x, int y) const {
    return pixels_[texture_.width * texture_.height + y * (texture_.width / 2) + x];
  }
  std::uint8_t Preview(int size, int x, int y) const {
    int offset = TexturePreviewOffset(&texture_);
    for (int s : kTexturePreviewSizes) {
      if (s == size) break;
      offset += s * s;
    }
    return pixels_[offset + y * size + x];
  }

  std::vector<std::uint8_t> pixels_;
  Texture texture_;
};

TEST_F(TextureMipsTest, ABlockWithOneOpaqueTexelTakesItsColourWhereverItIs) {
  // Positions of the single opaque texel in the 2x2 block at (0, 0).
  const int positions[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (const auto& p : positions) {
    Make(64, 64, kTransparentIndex);
    SetTexel(p[0], p[1], 20);
    BuildTexturePreviews(&texture_);
    EXPECT_EQ(Level1(0, 0), 20) << p[0] << "," << p[1];
    EXPECT_EQ(Level1(1, 0), kTransparentIndex);  // four transparent texels
  }
}

TEST_F(TextureMipsTest, TransparentTexelsTakeTheFirstOpaqueInBlockOrder) {
  // top-left transparent, bottom-left 21, top-right 20, bottom-right 20:
  // the hole becomes 21 (bottom-left comes before top-right), mean (50, 0, 50).
  Make(64, 64, 10);
  SetTexel(0, 0, kTransparentIndex);
  SetTexel(0, 1, 21);
  SetTexel(1, 0, 20);
  SetTexel(1, 1, 20);
  BuildTexturePreviews(&texture_);
  EXPECT_EQ(Level1(0, 0), 22);
}

TEST_F(TextureMipsTest, BlockMeansAreRounded) {
  Make(64, 64, 10);
  SetTexel(0, 0, 20);  // (100 + 0 + 0 + 0 + 2) / 4 = 25
  SetColour(23, 25, 0, 0);
  SetColour(24, 26, 0, 0);
  PaletteClearCaches();
  BuildTexturePreviews(&texture_);
  EXPECT_EQ(Level1(0, 0), 23);
  // (10 + 2) / 4 = 3, not the truncated 2.
  SetColour(25, 10, 0, 0);
  PaletteClearCaches();
  Make(64, 64, 10);
  SetTexel(2, 0, 25);
  BuildTexturePreviews(&texture_);
  EXPECT_EQ(Level1(1, 0), 31);
}

TEST_F(TextureMipsTest, HalfTransparentTextureKeepsItsHolesInEveryLevelAndPreview) {
  Make(128, 128, kTransparentIndex);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 64; ++x) SetTexel(x, y, 40);
  BuildTexturePreviews(&texture_);
  // Level 2 (32x32) sits after 128x128 and 64x64.
  const std::uint8_t* level2 = pixels_.data() + 128 * 128 + 64 * 64;
  EXPECT_EQ(level2[0], 40);
  EXPECT_EQ(level2[15], 40);
  EXPECT_EQ(level2[16], kTransparentIndex);
  EXPECT_EQ(level2[31 * 32 + 31], kTransparentIndex);
  EXPECT_EQ(Preview(16, 7, 3), 40);
  EXPECT_EQ(Preview(16, 8, 3), kTransparentIndex);
  EXPECT_EQ(Preview(2, 0, 1), 40);
  EXPECT_EQ(Preview(2, 1, 1), kTransparentIndex);
  EXPECT_EQ(Preview(1, 0, 0), 40);  // the mean of the opaque texels only
  // Nothing is written past the block.
  EXPECT_EQ(texture_.byteSize, 128 * 128 + 64 * 64 + 32 * 32 + 341);
}

TEST_F(TextureMipsTest, PreviewMeansAreRoundedOverTheBox) {
  // 32x32: a 16x16 preview box is 2x2 texels; a 1x1 preview is all 1024.
  Make(32, 32, 10);
  SetTexel(0, 0, 25);  // (10, 0, 0)
  SetColour(25, 10, 0, 0);
  PaletteClearCaches();
  BuildTexturePreviews(&texture_);
  EXPECT_EQ(Preview(16, 0, 0), 31);  // (10 + 2) / 4 = 3
  EXPECT_EQ(Preview(1, 0, 0), 10);   // (10 + 512) / 1024 = 0
}

TEST_F(TextureMipsTest, NonSquareTexturesUseTheirOwnBoxSizes) {
  // 64x32: one level only; preview boxes are 4 x 2 texels at size 16.
  Make(64, 32, 10);
  for (int y = 0; y < 32; ++y)
    for (int x = 60; x < 64; ++x) SetTexel(x, y, 40);
  BuildTexturePreviews(&texture_);
  EXPECT_EQ(TexturePreviewOffset(&texture_), 2048);
  EXPECT_EQ(Preview(16, 15, 0), 40);
  EXPECT_EQ(Preview(16, 14, 0), 10);
}

}  // namespace
