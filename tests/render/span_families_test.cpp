#include "render/span_families.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "raster_fixture.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

namespace {

class SpanFamilyTest : public RasterTest {};

// Texel of level (W = 2^a, H = 2^b) at 16.16 u, v, as the texture repeats.
int TexelIndex(int a, int b, std::int32_t u, std::int32_t v) {
  return ((v >> 16) & ((1 << b) - 1)) * (1 << a) + ((u >> 16) & ((1 << a) - 1));
}

// A level whose texels are distinct enough to tell positions apart.
std::vector<std::uint8_t> LevelTexels(int a, int b) {
  std::vector<std::uint8_t> texels(static_cast<std::size_t>(1) << (a + b));
  for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<std::uint8_t>((i * 37 + i / 7) % 251);
  return texels;
}

TEST_F(SpanFamilyTest, TexelAddressingRepeatsInBothDirections) {
  std::vector<std::uint8_t> texels = LevelTexels(5, 5);
  std::uint8_t pixel = 0;
  g_Raster.du = g_Raster.dv = 0;
  SpanTex[0](&pixel, 1, 33 << 16, -1 * 65536, texels.data());
  EXPECT_EQ(pixel, texels[31 * 32 + 1]);
}

// Family C over every entry and several alignments and lengths equals a
// pixel-by-pixel walk of the texel formula (steps that keep v's carries in
// the free bits).
TEST_F(SpanFamilyTest, PlainFamilyMatchesTheTexelFormulaForEveryEntry) {
  for (int entry = 0; entry < kSpanEntryCount; ++entry) {
    const SpanLevelShape shape = SpanLevelShapeOf(entry);
    const std::vector<std::uint8_t> texels = LevelTexels(shape.log2Width, shape.log2Height);
    for (int offset = 0; offset < 4; ++offset) {
      for (int count : {1, 3, 4, 7, 13, 40}) {
        const std::int32_t u0 = -37 * 65536 + 12345, v0 = 5 * 65536 + 999;
        g_Raster.du = 0x13A05;  // 1.23 texels per pixel
        g_Raster.dv = 0x09C40;  // 0.61
        std::vector<std::uint8_t> row(64, 0xEE);
        SpanTex[entry](row.data() + offset, count, u0, v0, texels.data());
        for (int i = 0; i < 64; ++i) {
          const int k = i - offset;
          const std::uint8_t expected =
              (k >= 0 && k < count)
                  ? texels[TexelIndex(shape.log2Width, shape.log2Height, u0 + k * g_Raster.du, v0 + k * g_Raster.dv)]
                  : 0xEE;
          ASSERT_EQ(row[i], expected) << "entry " << entry << " offset " << offset << " count " << count << " i " << i;
        }
      }
    }
  }
}

TEST_F(SpanFamilyTest, OddAddressSevenPixelsEqualsSevenSingleWrites) {
  const std::vector<std::uint8_t> texels = LevelTexels(6, 6);
  g_Raster.du = 0x8000;
  g_Raster.dv = 0x4000;
  alignas(8) std::uint8_t whole[16] = {};
  alignas(8) std::uint8_t single[16] = {};
  SpanTex[5](whole + 1, 7, 3 << 16, 9 << 16, texels.data());
  for (int i = 0; i < 7; ++i)
    SpanTex[5](single + 1 + i, 1, (3 << 16) + i * 0x8000, (9 << 16) + i * 0x4000, texels.data());
  EXPECT_EQ(std::vector<std::uint8_t>(whole, whole + 16), std::vector<std::uint8_t>(single, single + 16));
  EXPECT_EQ(whole[0], 0);
  EXPECT_EQ(whole[8], 0);
  EXPECT_EQ(g_PixelsDrawn, 14u);
}

// On 256x256 a carry out of v's integer part reaches u's lowest fraction
// bit; smaller levels have free bits between v and u that absorb it.
TEST_F(SpanFamilyTest, VCarryReachesUOnlyOn256By256) {
  const std::int32_t u = 5 * 65536 - 1;  // 4.99998: column 4, one step below column 5
  const std::int32_t v = 255 * 65536 + 0x8000;
  g_Raster.du = 0;
  g_Raster.dv = 0x8000;
  std::vector<std::uint8_t> texels(65536);
  for (int i = 0; i < 65536; ++i) texels[i] = static_cast<std::uint8_t>((i & 0xFF) * 16 + (i >> 8) % 16);
  std::uint8_t pixels[2] = {};
  SpanTex[15](pixels, 2, u, v, texels.data());
  EXPECT_EQ(pixels[0], texels[255 * 256 + 4]);
  EXPECT_EQ(pixels[1], texels[0 * 256 + 5]);  // v wrapped to 0 and its carry moved u to 5.0

  const std::vector<std::uint8_t> small = LevelTexels(7, 7);
  SpanTex[10](pixels, 2, u, 127 * 65536 + 0x8000, small.data());
  EXPECT_EQ(pixels[1], small[0 * 128 + 4]);
}

TEST_F(SpanFamilyTest, GouraudStepsTheShadeRowPerPixelAndStoresTheLevel) {
  std::vector<std::uint8_t> texels(1024, 40);
  g_Raster.du = g_Raster.dv = 0;
  g_Raster.light = 0x38000;     // 3.5
  g_Raster.lightStep = 0x4000;  // 0.25
  std::uint8_t pixels[4] = {};
  SpanTexGouraud[0](pixels, 4, 0, 0, texels.data());
  EXPECT_EQ(pixels[0], ShadeValue(3, 40));
  EXPECT_EQ(pixels[1], ShadeValue(3, 40));
  EXPECT_EQ(pixels[2], ShadeValue(4, 40));
  EXPECT_EQ(pixels[3], ShadeValue(4, 40));
  EXPECT_EQ(g_Raster.light, 0x48000);  // 4.5
}

TEST_F(SpanFamilyTest, LitUsesOneRowAndLeavesTheLevel) {
  const std::vector<std::uint8_t> texels = LevelTexels(5, 5);
  g_Raster.du = 0x10000;
  g_Raster.dv = 0;
  g_Raster.light = 0x7FFFF;  // row 7
  g_Raster.lightStep = 0x10000;
  std::uint8_t pixels[9] = {};
  SpanTexLit[0](pixels, 9, 0, 0, texels.data());
  for (int i = 0; i < 9; ++i) EXPECT_EQ(pixels[i], ShadeValue(7, texels[i])) << i;
  EXPECT_EQ(g_Raster.light, 0x7FFFF);
}

TEST_F(SpanFamilyTest, KeySkipsTexel255ButCountsEveryPixel) {
  std::vector<std::uint8_t> texels(1024, 0);
  texels[0] = 10;
  texels[1] = 255;
  texels[2] = 12;
  g_Raster.du = 0x10000;
  g_Raster.dv = 0;
  std::uint8_t pixels[3] = {7, 7, 7};
  SpanTexKey[0](pixels, 3, 0, 0, texels.data());
  EXPECT_EQ(pixels[0], 10);
  EXPECT_EQ(pixels[1], 7);
  EXPECT_EQ(pixels[2], 12);
  EXPECT_EQ(g_PixelsDrawn, 3u);
}

TEST_F(SpanFamilyTest, BlendTakesTheOldPixelAsRowAndBlendsTexel255Too) {
  std::vector<std::uint8_t> texels(1024, 0);
  texels[0] = 30;
  texels[1] = 255;
  g_Raster.du = 0x10000;
  g_Raster.dv = 0;
  g_TranslucencyMode = 1;
  std::uint8_t pixels[2] = {100, 101};
  SpanTexTranslucent[0](pixels, 2, 0, 0, texels.data());
  EXPECT_EQ(pixels[0], BlendValue(100, 30));
  EXPECT_EQ(pixels[1], BlendValue(101, 255));
  std::uint8_t keyed[2] = {100, 101};
  SpanTexKeyTranslucent[0](keyed, 2, 0, 0, texels.data());
  EXPECT_EQ(keyed[0], BlendValue(100, 30));
  EXPECT_EQ(keyed[1], 101);
}

struct StippleCase {
  int rowParity;
  int frameParity;
  int firstColumn;
  bool writesOddColumns;
};

// Stipple parity comes from the column index, here on a row that starts at
// an odd address.
TEST_F(SpanFamilyTest, StippleWritesHalfTheColumnsByParity) {
  const StippleCase cases[] = {
      {0, 0, 0, true}, {0, 1, 0, false}, {1, 0, 0, false}, {1, 1, 0, true}, {0, 0, 3, true}, {0, 1, 5, false},
  };
  std::vector<std::uint8_t> texels(1024);
  for (int i = 0; i < 1024; ++i) texels[i] = static_cast<std::uint8_t>(i % 32 + 1);
  g_Raster.du = 0x10000;
  g_Raster.dv = 0;
  g_TranslucencyMode = 0;
  for (const StippleCase& c : cases) {
    std::vector<std::uint8_t> storage(40, 0);
    std::uint8_t* rowStart = storage.data() + 1;
    g_Raster.spanRowStart = rowStart;
    g_Raster.rowParity = c.rowParity;
    g_StippleParity = static_cast<std::uint8_t>(c.frameParity);
    SpanTexTranslucent[0](rowStart + c.firstColumn, 10, 0, 0, texels.data());
    for (int i = 0; i < 10; ++i) {
      const int column = c.firstColumn + i;
      const bool written = (column & 1) == (c.writesOddColumns ? 1 : 0);
      EXPECT_EQ(rowStart[column], written ? texels[i] : 0) << c.rowParity << c.frameParity << " column " << column;
    }
  }
}

TEST_F(SpanFamilyTest, KeyedStippleSkipsTexel255) {
  std::vector<std::uint8_t> texels(1024, 255);
  texels[1] = 9;
  g_Raster.du = 0x10000;
  g_Raster.dv = 0;
  g_TranslucencyMode = 0;
  std::uint8_t row[4] = {1, 1, 1, 1};
  g_Raster.spanRowStart = row;
  SpanTexKeyTranslucent[0](row, 4, 0, 0, texels.data());  // odd columns are written: 1 and 3
  EXPECT_EQ(row[1], 9);
  EXPECT_EQ(row[3], 1);
}

TEST_F(SpanFamilyTest, ZFamilyWritesWhenNearerOrEqual) {
  std::vector<std::uint8_t> texels(1024);
  for (int i = 0; i < 1024; ++i) texels[i] = static_cast<std::uint8_t>(i % 32 + 1);
  std::uint32_t z[5] = {0, 1000, 1000, 5000, 0xFFFFFFFFu};
  std::uint8_t pixels[5] = {};
  g_Raster.du = 0x10000;
  g_Raster.dv = 0;
  g_Raster.zRow = z;
  g_Raster.z = 1000;
  g_Raster.zStep = 0;
  SpanTexZ[0](pixels, 5, 0, 0, texels.data());
  EXPECT_EQ(pixels[0], texels[0]);  // 0: always overwritten
  EXPECT_EQ(pixels[1], texels[1]);  // equal passes
  EXPECT_EQ(pixels[3], 0);          // farther: left
  EXPECT_EQ(pixels[4], 0);
  EXPECT_EQ(z[0], 1000u);
  EXPECT_EQ(z[3], 5000u);
  EXPECT_EQ(g_PixelsDrawn, 5u);

  // z advances on every pixel, written or not; the lit one shades.
  std::uint32_t zLit[3] = {0, 3500, 0};
  std::uint8_t lit[3] = {};
  g_Raster.zRow = zLit;
  g_Raster.z = 2000;
  g_Raster.zStep = 1000;
  g_Raster.light = 0x20000;
  g_Raster.lightStep = 0x10000;
  SpanTexGouraudZ[0](lit, 3, 0, 0, texels.data());
  EXPECT_EQ(lit[0], ShadeValue(2, texels[0]));
  EXPECT_EQ(lit[1], 0);
  EXPECT_EQ(lit[2], ShadeValue(4, texels[2]));
  EXPECT_EQ(zLit[2], 4000u);
  EXPECT_EQ(g_Raster.light, 0x20000);  // B does not store the level back
}

struct LevelCase {
  int log2Width, log2Height;
  std::int32_t du, dv;
  int entry;
  std::int32_t expectedDu, expectedDv;
  int byteOffset;
};

TEST_F(SpanFamilyTest, LevelSelectionDescendsWhileStepsAreTwoTexelsOrMore) {
  const LevelCase cases[] = {
      {6, 6, 0x28000, 0, 0, 0x14000, 0, 4096},                  // 2.5 on 64x64: 32x32 at 1.25
      {5, 5, 40 << 16, 0, 18, 5 << 16, 0, 1024 + 256 + 64},     // 40 on 32x32: 4x4 at 5.0
      {6, 6, 0x1FFFF, -0x1FFFF, 5, 0x1FFFF, -0x1FFFF, 0},       // just below 2: own level
      {6, 6, 0, -0x20000, 0, 0, -0x10000, 4096},                // -2.0 is too large
      {8, 8, 0x80000, 0, 0, 0x10000, 0, 65536 + 16384 + 4096},  // 8 on 256x256: 32x32 at 1
      {7, 5, 0x20000, 0, 16, 0x4000, 0, 4096},                  // 128x32 into the 16x16 preview
      {5, 8, 0, 0x40000, 16, 0, 0x4000, 8192},                  // 32x256: v shifted by 4
      {8, 8, 1 << 30, 1 << 30, 18, 1 << 24, 1 << 24, 87040 + 256 + 64},
  };
  std::vector<std::uint8_t> block(100000);
  for (const LevelCase& c : cases) {
    const int own = TextureLevelEntry(c.log2Width, c.log2Height);
    const SpanLevelChoice choice = SpanSelectLevel(own, block.data(), 3 << 16, 5 << 16, c.du, c.dv);
    EXPECT_EQ(choice.entry, c.entry) << c.log2Width << "x" << c.log2Height << " du " << c.du;
    EXPECT_EQ(choice.du, c.expectedDu);
    EXPECT_EQ(choice.dv, c.expectedDv);
    EXPECT_EQ(choice.texels - block.data(), c.byteOffset);
  }
}

TEST_F(SpanFamilyTest, OnlySizesWithRoutinesHaveAnEntry) {
  EXPECT_EQ(TextureLevelEntry(5, 5), 0);
  EXPECT_EQ(TextureLevelEntry(8, 5), 3);
  EXPECT_EQ(TextureLevelEntry(5, 6), 4);
  EXPECT_EQ(TextureLevelEntry(8, 8), 15);
  for (const auto& [a, b] : {std::pair{4, 5}, std::pair{5, 9}, std::pair{9, 9}, std::pair{0, 0}, std::pair{-1, 6}}) {
    EXPECT_EQ(TextureLevelEntry(a, b), -1) << a << "," << b;
  }
}

}  // namespace

namespace {

// The level table walks the pixel blocks exactly as the texture store lays
// them out: every descent into the previews lands on the store's preview
// tail, and each preview is where the table says.
TEST(SpanLevelLayout, DescentReachesTheTextureStoresPreviewTail) {
  for (int log2Height = kTextureMinLog2; log2Height <= kTextureMaxLog2; ++log2Height) {
    for (int log2Width = kTextureMinLog2; log2Width <= kTextureMaxLog2; ++log2Width) {
      Texture* texture = CreateTexture("span level layout", 1 << log2Width, 1 << log2Height);
      ASSERT_NE(texture, nullptr);
      const int entry = TextureLevelEntry(texture->log2Width, texture->log2Height);
      ASSERT_GE(entry, 0);
      SpanLevelChoice choice = SpanSelectLevel(entry, texture->pixels, 0, 0, 0x7FFFFFFF, 0);
      EXPECT_EQ(choice.entry, 18);
      EXPECT_EQ(choice.texels - texture->pixels, TexturePreviewOffset(texture) + 256 + 64)
          << texture->width << "x" << texture->height;
      // The 4x4 preview, then 2x2 and 1x1, end the block.
      EXPECT_EQ(choice.texels + 16 + 4 + 1 - texture->pixels, texture->byteSize);
      ReleaseTexture(texture);
    }
  }
  FreeAllTextures();
}

}  // namespace
