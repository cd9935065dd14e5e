#include "game/view_palettes.h"

#include <gtest/gtest.h>

#include "engine/palette.h"

namespace {

struct ChannelCase {
  int c, k, brightness, expected;
};

TEST(ViewPalettes, ChannelsAtWorkedBrightnessValues) {
  const ChannelCase cases[] = {
      {255, 2, 32, 255},   // (257 x 32 - 64) >> 5 = 255 exactly
      {100, 2, 32, 100},   // neutral brightness keeps the colour
      {100, 98, 32, 196},  // the red palette's addition
      {200, 98, 32, 255},  // capped after the shift
      {255, 98, 64, 255},  // far above 255 before the cap
      {10, 2, 16, 4},      // (12 x 16 - 64) >> 5
      {10, 2, 64, 22},     // (12 x 64 - 64) >> 5
      {0, 2, 16, 0},       // 32 - 64 is negative: floored at 0, never shifted
      {0, 2, 0, 0},        // brightness 0: -64 floored
      {1, 2, 21, 0},       // 63 - 64 = -1: would shift to -1, floored at 0
  };
  for (const ChannelCase& t : cases) {
    EXPECT_EQ(ViewPaletteChannel(t.c, t.k, t.brightness), t.expected)
        << "c=" << t.c << " k=" << t.k << " b=" << t.brightness;
  }
}

class ViewPaletteBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PaletteReset();
    for (int i = 0; i < 256; ++i) {
      g_PaletteRed[i] = 200;
      g_PaletteGreen[i] = 100;
      g_PaletteBlue[i] = 10;
    }
    g_PaletteCount = 256;
  }
  void TearDown() override { PaletteReset(); }
};

TEST_F(ViewPaletteBuildTest, EachPaletteAddsItsOwnTintAndKeepsTheSystemEntriesBlack) {
  struct Case {
    ViewPaletteKind kind;
    int brightness;
    BYTE red, green, blue;
  };
  const Case cases[] = {
      {kViewPaletteGame, 32, 200, 100, 10},   // + 2 each, - 2 by the 64
      {kViewPaletteRed, 32, 255, 100, 10},    // red + 98: capped
      {kViewPaletteGreen, 32, 200, 164, 10},  // green + 66
      {kViewPaletteBlue, 32, 232, 132, 74},   // + 34, 34, 66
      {kViewPaletteBright, 32, 216, 116, 26}, // + 18 each
      {kViewPaletteGame, 16, 99, 49, 4},      // half brightness
      {kViewPaletteGame, 64, 255, 202, 22},   // double brightness
  };
  for (const Case& t : cases) {
    ViewLogPalette p;
    ViewPaletteBuild(t.kind, t.brightness, &p);
    EXPECT_EQ(p.version, 0x300);
    EXPECT_EQ(p.count, 256);
    for (int i : {10, 128, 245}) {
      EXPECT_EQ(p.entries[i].peRed, t.red) << t.kind << "/" << t.brightness << " entry " << i;
      EXPECT_EQ(p.entries[i].peGreen, t.green) << t.kind << "/" << t.brightness;
      EXPECT_EQ(p.entries[i].peBlue, t.blue) << t.kind << "/" << t.brightness;
      EXPECT_EQ(p.entries[i].peFlags, PC_NOCOLLAPSE);
    }
    for (int i : {0, 9, 246, 255}) {
      EXPECT_EQ(p.entries[i].peRed | p.entries[i].peGreen | p.entries[i].peBlue | p.entries[i].peFlags, 0)
          << "system entry " << i;
    }
  }
}

}  // namespace
