#include "render/screen_lines.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "raster_fixture.h"
#include "render/coverage_buffer.h"
#include "render/render_stats.h"

namespace {

class ScreenLineTest : public RasterTest {};

TEST_F(ScreenLineTest, LineIsClippedAtTheLeftBorder) {
  PixelTarget target(100, 100);
  DrawLine2D(&target.view, -10, 5, 10, 5, 33, 1);
  PixelSet expected;
  for (int x = 0; x <= 10; ++x) expected.insert({x, 5});
  EXPECT_EQ(target.Changed(0), expected);
}

TEST_F(ScreenLineTest, PointAndBresenhamSteps) {
  PixelTarget target(20, 20);
  DrawLine2D(&target.view, 7, 7, 7, 7, 33, 1);
  EXPECT_EQ(target.Changed(0), (PixelSet{{7, 7}}));
  target.Fill(0);
  // Major 5 along x, minor 2: the error starts at -3 and steps y where it
  // reaches 0.
  DrawLine2D(&target.view, 0, 0, 5, 2, 33, 1);
  EXPECT_EQ(target.Changed(0), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
  target.Fill(0);
  DrawLine2D(&target.view, 3, 3, 6, 6, 33, 1);  // a tie steps along y
  EXPECT_EQ(target.Changed(0), (PixelSet{{3, 3}, {4, 4}, {5, 5}, {6, 6}}));
}

TEST_F(ScreenLineTest, LinesOutsideTheViewDrawAndCallNothing) {
  PixelTarget target(50, 50);
  static int calls = 0;
  calls = 0;
  target.view.drawPolygon = [](int, PolyVertex*, Texture*, int) { ++calls; };
  const int lines[][4] = {{-5, -1, 60, -9}, {-5, 0, -1, 40}, {50, 0, 70, 40}, {0, 50, 40, 55}};
  for (const auto& l : lines) {
    DrawLine2D(&target.view, l[0], l[1], l[2], l[3], 33, 1);
    target.view.flags |= kRenderHardware;
    DrawLine2D(&target.view, l[0], l[1], l[2], l[3], 33, 1);
    target.view.flags &= ~kRenderHardware;
  }
  EXPECT_EQ(target.CountNot(0), 0);
  EXPECT_EQ(calls, 0);
}

TEST_F(ScreenLineTest, HardwareFrameHandsTheClippedLineToTheView) {
  PixelTarget target(100, 100);
  target.view.flags |= kRenderHardware;
  static std::vector<PolyVertex> received;
  static int vertexCount = 0;
  static Texture* texture = reinterpret_cast<Texture*>(1);
  static int colour = -1;
  target.view.drawPolygon = [](int count, PolyVertex* vertices, Texture* t, int c) {
    vertexCount = count;
    received.assign(vertices, vertices + 3);
    texture = t;
    colour = c;
  };
  DrawLine2D(&target.view, -10, 5, 10, 5, 33, 0);
  EXPECT_EQ(vertexCount, 2);
  EXPECT_EQ(texture, nullptr);
  EXPECT_EQ(colour, 0);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].x, 0.0f);
  EXPECT_EQ(received[0].y, 5.0f);
  EXPECT_EQ(received[1].x, 10.0f);
  EXPECT_EQ(received[2].x, 33.0f);
  EXPECT_EQ(target.CountNot(0), 0);
}

TEST_F(ScreenLineTest, RemapModeRemapsDashesOfFourAndTheWholeTail) {
  PixelTarget target(40, 4, 5);
  DrawLine2D(&target.view, 0, 1, 12, 1, 33, 0);  // 13 pixels
  for (int x = 0; x < 20; ++x) {
    const bool remapped = x <= 3 || (x >= 8 && x <= 12);
    EXPECT_EQ(target.At(x, 1), remapped ? g_ColourRemap[5] : 5) << x;
  }
  target.Fill(5);
  DrawLine2D(&target.view, 0, 2, 8, 2, 33, 0);  // 9 pixels: 0-3 and 8
  for (int x = 0; x < 9; ++x) EXPECT_EQ(target.At(x, 2), (x <= 3 || x == 8) ? g_ColourRemap[5] : 5) << x;
}

// Mended: endpoints far outside (whose products overflow 32 bits) are
// clipped and clamped to the target.
TEST_F(ScreenLineTest, FarEndpointsAreClippedIntoTheTarget) {
  PixelTarget target(64, 48, 0, 64);
  DrawLine2D(&target.view, INT_MIN / 2, 10, INT_MAX / 2, 10, 33, 1);
  for (int x = 0; x < 64; ++x) EXPECT_EQ(target.At(x, 10), 33) << x;
  EXPECT_EQ(target.CountNot(0), 64);
  target.Fill(0);
  DrawLine2D(&target.view, -2000000000, -2000000000, 2000000000, 2000000000, 33, 1);
  DrawLine2D(&target.view, 2000000000, -1999999999, -2000000000, 1999999999, 34, 1);
  EXPECT_GT(target.CountNot(0), 40);
  EXPECT_EQ(target.storage.size(), 64u * 48u + 8u);
  for (std::size_t i = 64 * 48; i < target.storage.size(); ++i) EXPECT_EQ(target.storage[i], 0);
}

// The walk as written: every step from the first endpoint, testing each
// pixel against the view.
PixelSet ReferenceCoverageLine(int x0, int y0, int x1, int y1, int pattern, int width, int height) {
  static const int kPatterns[2][8] = {{1, 1, 1, 1, 0, 0, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1}};
  PixelSet set;
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long major = std::max(std::llabs(dx), std::llabs(dy));
  long long ex = major, ey = major, x = x0, y = y0;
  for (long long k = 0; k <= major; ++k) {
    if (kPatterns[pattern][k % 8] && x >= 0 && x < width && y >= 0 && y < height) set.insert({int(x), int(y)});
    ex += 2 * std::llabs(dx);
    if (ex >= 2 * major) {
      ex -= 2 * major;
      x += dx < 0 ? -1 : (dx > 0 ? 1 : 0);
    }
    ey += 2 * std::llabs(dy);
    if (ey >= 2 * major) {
      ey -= 2 * major;
      y += dy < 0 ? -1 : (dy > 0 ? 1 : 0);
    }
  }
  return set;
}

TEST_F(ScreenLineTest, CoverageLineMatchesTheStepByStepWalk) {
  const int lines[][4] = {{0, 0, 63, 47},    {-30, 5, 90, 20}, {70, -10, -5, 60},   {10, 10, 10, 40}, {5, 30, 50, 30},
                          {-100, -3, 40, 2}, {63, 47, 0, 0},   {20, -200, 30, 300}, {3, 3, 3, 3},     {-7, 9, 70, 9}};
  for (int pattern : {0, 1}) {
    for (const auto& l : lines) {
      PixelTarget target(64, 48);
      CoverageReset(&target.view);
      CoverageLine(&target.view, l[0], l[1], l[2], l[3], 33, pattern);
      EXPECT_EQ(target.Changed(0), ReferenceCoverageLine(l[0], l[1], l[2], l[3], pattern, 64, 48))
          << l[0] << "," << l[1] << " to " << l[2] << "," << l[3] << " pattern " << pattern;
    }
  }
}

TEST_F(ScreenLineTest, CoverageLineWritesOnlyUncoveredPixelsAndClaimsThem) {
  PixelTarget target(64, 8);
  CoverageReset(&target.view);
  CoverageClaimSpan(0, 64, 2);
  CoverageLine(&target.view, 0, 2, 63, 2, 33, 1);
  EXPECT_EQ(target.CountNot(0), 0);

  CoverageLine(&target.view, 10, 4, 20, 4, 33, 1);  // through the middle of a fresh line
  EXPECT_EQ(target.CountNot(0), 11);
  int node = g_Coverage.lineHeads[4];
  ASSERT_NE(node, kCoverageNone);
  EXPECT_EQ(g_Coverage.start[node], 0);
  EXPECT_EQ(g_Coverage.end[node], 10);
  node = g_Coverage.next[node];
  ASSERT_NE(node, kCoverageNone);
  EXPECT_EQ(g_Coverage.start[node], 21);
  EXPECT_EQ(g_Coverage.end[node], 64);
  EXPECT_EQ(g_Coverage.next[node], kCoverageNone);

  CoverageLine(&target.view, 0, 6, 63, 6, 33, 1);  // the whole line: it empties
  EXPECT_EQ(g_Coverage.lineHeads[6], kCoverageNone);
  EXPECT_EQ(g_Coverage.openLineCount, 6);
  EXPECT_EQ(g_PixelsDrawn, 64u * 1u);  // only the span claim counted; lines count nothing
}

TEST_F(ScreenLineTest, CoverageLineDashesStepsZeroToThreeOfEveryEight) {
  PixelTarget target(64, 4);
  CoverageReset(&target.view);
  CoverageLine(&target.view, 0, 1, 30, 1, 33, 0);
  for (int x = 0; x <= 30; ++x) EXPECT_EQ(target.At(x, 1), (x % 8) < 4 ? 33 : 0) << x;
}

// Mended: a line reaching far outside the view costs only its visible part.
TEST_F(ScreenLineTest, CoverageLineFarOutsideStillDrawsItsVisiblePart) {
  PixelTarget target(64, 48);
  CoverageReset(&target.view);
  CoverageLine(&target.view, -2000000000, 20, 2000000000, 20, 33, 1);
  EXPECT_EQ(target.CountNot(0), 64);
  EXPECT_EQ(g_Coverage.lineHeads[20], kCoverageNone);
}

}  // namespace
