#include "engine/palette.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Fills the palette with far-away colours so that only the entries a test
// sets can be nearest, then empties the caches.
class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PaletteReset();
    g_PaletteCount = 256;
    for (int i = 0; i < kPaletteSize; ++i) Set(i, 0, 255, 0);  // green: far from the test colours
    PaletteClearCaches();
  }
  void TearDown() override { PaletteReset(); }
  static void Set(int index, int r, int g, int b) {
    g_PaletteRed[index] = r;
    g_PaletteGreen[index] = g;
    g_PaletteBlue[index] = b;
  }
};

TEST_F(PaletteTest, OutOfRangeChannelsAreClampedBeforeTheSearch) {
  Set(50, 255, 0, 128);
  Set(51, 250, 0, 128);
  PaletteClearCaches();
  EXPECT_EQ(FindPaletteColour(300, -5, 128), 50);
  EXPECT_EQ(FindPaletteColourAll(300, -5, 128), 50);
  EXPECT_EQ(FindPaletteColour(255, 0, 128), 50);
}

TEST_F(PaletteTest, GreenCountsTwiceAndTheFirstOfEqualsWins) {
  Set(30, 130, 100, 100);  // distance 30
  Set(31, 100, 120, 100);  // distance 2 x 20 = 40
  Set(40, 70, 100, 100);   // distance 30 again, later index
  PaletteClearCaches();
  EXPECT_EQ(FindPaletteColour(100, 100, 100), 30);
}

struct RangeCase {
  int count;
  int exactIndex;  // an entry matching the colour exactly
  int game;        // FindPaletteColour's answer
  int all;         // FindPaletteColourAll's answer
};

TEST_F(PaletteTest, EachSearchKeepsToItsRange) {
  const RangeCase cases[] = {
      {200, 5, 100, 5},      // entries 0..9 are the system's
      {200, 199, 199, 199},  // the last counted entry is searched
      {200, 200, 100, 100},  // beyond the count: never
      {256, 246, 100, 246},  // 246..255 are the system's
      {256, 245, 245, 245},
  };
  for (const RangeCase& c : cases) {
    SetUp();
    g_PaletteCount = c.count;
    Set(100, 60, 60, 60);  // a near colour inside both ranges
    Set(c.exactIndex, 64, 64, 64);
    PaletteClearCaches();
    SCOPED_TRACE(::testing::Message() << "count " << c.count << " exact at " << c.exactIndex);
    EXPECT_EQ(FindPaletteColour(64, 64, 64), c.game);
    EXPECT_EQ(FindPaletteColourAll(64, 64, 64), c.all);
  }
}

TEST_F(PaletteTest, NoGameEntryGivesTheFirstGameIndexAndAllGivesZeroForEmpty) {
  g_PaletteCount = 10;
  EXPECT_EQ(FindPaletteColour(1, 2, 3), kPaletteGameFirst);
  g_PaletteCount = 0;
  EXPECT_EQ(FindPaletteColourAll(1, 2, 3), 0);
}

TEST_F(PaletteTest, TwoColoursInOneCellAreKeptApartByTheCheckTable) {
  // (8, 8, 8) and (9, 9, 9) share the cell (1, 1, 1).
  Set(20, 8, 8, 8);
  Set(21, 9, 9, 9);
  PaletteClearCaches();
  EXPECT_EQ(FindPaletteColour(8, 8, 8), 20);
  // An exact twin at a lower index, caches left alone: a hit still says 20.
  Set(15, 8, 8, 8);
  EXPECT_EQ(FindPaletteColour(8, 8, 8), 20);
  // The second colour misses (check table) and is searched ...
  EXPECT_EQ(FindPaletteColour(9, 9, 9), 21);
  // ... after which the first misses in its turn and is searched again.
  EXPECT_EQ(FindPaletteColour(8, 8, 8), 15);
}

TEST_F(PaletteTest, TheSecondCacheTrustsAFilledCell) {
  Set(20, 8, 8, 8);
  Set(21, 9, 9, 9);
  PaletteClearCaches();
  EXPECT_EQ(FindPaletteColourAll(8, 8, 8), 20);
  EXPECT_EQ(FindPaletteColourAll(9, 9, 9), 20);  // same cell, no check table
  PaletteClearCaches();
  EXPECT_EQ(FindPaletteColourAll(9, 9, 9), 21);
}

TEST_F(PaletteTest, ResetLeavesEntry255WhiteAndTheRemapIdentity) {
  PaletteReset();
  EXPECT_EQ(g_PaletteCount, 0);
  EXPECT_EQ(g_PaletteRed[255], 255);
  EXPECT_EQ(g_PaletteGreen[255], 255);
  EXPECT_EQ(g_PaletteBlue[255], 255);
  EXPECT_EQ(g_PaletteRed[254], 0);
  EXPECT_EQ(g_ColourRemap[77], 77);
}

TEST(ShadeTable, IsAlignedTo256AndStaysInsideOne64KPage) {
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(g_pShadeTable);
  EXPECT_EQ(start % 256, 0u);
  EXPECT_EQ(start >> 16, (start + kShadeTableBytes - 1) >> 16);
  g_pShadeTable[0] = 1;  // the whole table is writable
  g_pShadeTable[kShadeTableBytes - 1] = 2;
  EXPECT_EQ(g_pShadeTable[kShadeTableBytes - 1], 2);
}

}  // namespace
