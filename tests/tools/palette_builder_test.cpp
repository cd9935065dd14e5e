#include "tools/builder/palette_builder.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "engine/records.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/texture_writer.h"

namespace {

TEST(DemoPalette, GameEntriesAreDistinctAndCoverAGreyRampAndHues) {
  const BuilderPalette p = MakeDemoPalette();
  std::set<std::tuple<int, int, int>> colours;
  for (int i = 10; i <= 245; ++i) {
    if (i != kPictureColourKey) colours.insert({p.red[i], p.green[i], p.blue[i]});
  }
  EXPECT_EQ(colours.size(), 235u);
  // The pictures' colour key is a second black, which matching never picks.
  EXPECT_EQ(std::make_tuple(p.red[kPictureColourKey], p.green[kPictureColourKey], p.blue[kPictureColourKey]),
            std::make_tuple(0, 0, 0));
  EXPECT_EQ(NearestGameColour(p, 0, 0, 0), kDemoGreyFirst);
  EXPECT_EQ(std::make_tuple(p.red[kDemoGreyFirst], p.green[kDemoGreyFirst], p.blue[kDemoGreyFirst]),
            std::make_tuple(0, 0, 0));
  const int white = kDemoGreyFirst + kDemoGreySteps - 1;
  EXPECT_EQ(std::make_tuple(p.red[white], p.green[white], p.blue[white]), std::make_tuple(255, 255, 255));
  // A bright red, green and blue are each matched closely.
  for (auto [r, g, b] : {std::make_tuple(220, 40, 30), std::make_tuple(50, 180, 60), std::make_tuple(40, 80, 220)}) {
    const int i = NearestGameColour(p, r, g, b);
    EXPECT_LT(std::abs(p.red[i] - r) + std::abs(p.green[i] - g) + std::abs(p.blue[i] - b), 30);
  }
  EXPECT_EQ(std::make_tuple(p.red[255], p.green[255], p.blue[255]), std::make_tuple(255, 255, 255));
}

TEST(DemoPalette, ShadeRowsDarkenTowardRowZeroAndKeepTransparency) {
  const BuilderPalette p = MakeDemoPalette();
  ASSERT_EQ(p.shade.size(), 8192u);
  auto brightness = [&](int index) { return p.red[index] + p.green[index] + p.blue[index]; };
  for (int column : {20, 100, 200, 245}) {
    EXPECT_EQ(brightness(p.shade[column]), 0) << column;      // row 0: black
    EXPECT_EQ(p.shade[30 * 256 + column], column) << column;  // row 30: itself
    for (int row = 1; row < 32; ++row) {
      EXPECT_GE(brightness(p.shade[row * 256 + column]) + 24, brightness(p.shade[(row - 1) * 256 + column]))
          << "column " << column << " row " << row;
    }
  }
  for (int row = 0; row < 32; ++row) EXPECT_EQ(p.shade[row * 256 + 255], 255);
  for (int i = 0; i < 8192; ++i) {
    if (i % 256 == 255) continue;
    EXPECT_GE(p.shade[i], 10);
    EXPECT_LE(p.shade[i], 245);
  }
}

TEST(TextureWriter, PixelBlockHasEveryLevelAndThePreviews) {
  const BuilderPalette p = MakeDemoPalette();
  BuilderTexture t;
  t.name = "T";
  t.width = 256;
  t.height = 64;
  t.level0.assign(256 * 64, 50);
  const std::vector<uint8_t> block = TexturePixelBlock(p, t);
  EXPECT_EQ(block.size(), 256u * 64 + 128 * 32 + 341);
  for (uint8_t texel : block) ASSERT_EQ(texel, 50);  // a flat texture stays flat
}

TEST(DemoTextures, NamesFitArchiveMembersAndAreUnique) {
  const std::vector<std::string> names = DemoTextureNames();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  for (const std::string& name : names) EXPECT_LE(name.size(), 20u) << name;
}

}  // namespace
