#include "render/coverage_buffer.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "raster_fixture.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

namespace {

using Spans = std::vector<std::pair<int, int>>;

Spans LineSpans(int y) {
  Spans spans;
  for (int node = g_Coverage.lineHeads[y]; node != kCoverageNone; node = g_Coverage.next[node]) {
    spans.emplace_back(g_Coverage.start[node], g_Coverage.end[node]);
  }
  return spans;
}

int FreeNodes() {
  int count = 0;
  for (int node = g_Coverage.freeHead; node != kCoverageNone; node = g_Coverage.next[node]) ++count;
  return count;
}

class CoverageBufferTest : public RasterTest {};

TEST_F(CoverageBufferTest, ResetOpensEveryLineAsOneSpan) {
  PixelTarget target(64, 48);
  ASSERT_EQ(CoverageReset(&target.view), 1);
  EXPECT_EQ(g_Coverage.openLineCount, 48);
  EXPECT_EQ(g_Coverage.firstOpenLine, 0);
  EXPECT_EQ(g_Coverage.endOpenLine, 48);
  for (int y = 0; y < 48; ++y) EXPECT_EQ(LineSpans(y), (Spans{{0, 64}})) << y;
  EXPECT_EQ(g_Coverage.lineHeads[48], kCoverageNone);
  EXPECT_EQ(FreeNodes(), kCoverageNodeCount - 48);
}

struct ClaimCase {
  const char* name;
  std::vector<std::pair<int, int>> claims;  // applied in order on line 5 of a 100-wide view
  int lastResult;
  Spans after;
};

TEST_F(CoverageBufferTest, ClaimRuleCases) {
  const ClaimCase cases[] = {
      {"inside splits the span", {{10, 20}}, 1, {{0, 10}, {20, 100}}},
      {"adjacent pieces", {{10, 20}, {20, 30}}, 1, {{0, 10}, {30, 100}}},
      {"overlapping the front", {{10, 20}, {0, 15}}, 1, {{20, 100}}},
      {"overlapping two spans", {{10, 20}, {30, 40}, {15, 35}}, 1, {{0, 10}, {40, 100}}},
      {"covering a span exactly", {{10, 20}, {20, 30}, {10, 20}}, 0, {{0, 10}, {30, 100}}},
      {"reaching past the end", {{90, 200}}, 1, {{0, 90}}},
      {"starting before the line", {{-50, 5}}, 1, {{5, 100}}},
      {"empty claim", {{5, 5}}, 0, {{0, 100}}},
      {"reversed claim", {{50, 40}}, 0, {{0, 100}}},
      {"same span twice", {{10, 20}, {10, 20}}, 0, {{0, 10}, {20, 100}}},
      {"whole line", {{0, 100}}, 1, {}},
  };
  for (const ClaimCase& c : cases) {
    PixelTarget target(100, 10);
    CoverageReset(&target.view);
    int result = -1;
    for (const auto& [x0, x1] : c.claims) result = CoverageClaimSpan(x0, x1, 5);
    EXPECT_EQ(result, c.lastResult) << c.name;
    EXPECT_EQ(LineSpans(5), c.after) << c.name;
    EXPECT_EQ(g_Coverage.openLineCount, c.after.empty() ? 9 : 10) << c.name;
  }
}

TEST_F(CoverageBufferTest, ClaimCountsPixelsAndVisiblePolygons) {
  PixelTarget target(100, 10);
  CoverageReset(&target.view);
  EXPECT_EQ(CoverageClaimSpan(10, 20, 3), 1);
  EXPECT_EQ(CoverageClaimSpan(15, 30, 3), 1);  // only 20..30 still open
  EXPECT_EQ(CoverageClaimSpan(12, 18, 3), 0);
  EXPECT_EQ(g_PixelsDrawn, 20u);
  EXPECT_EQ(g_StatPolysVisible, 2u);
}

TEST_F(CoverageBufferTest, ClaimOutsideTheViewIsRefused) {
  PixelTarget target(100, 10);
  CoverageReset(&target.view);
  EXPECT_EQ(CoverageClaimSpan(0, 100, 10), 0);
  EXPECT_EQ(CoverageClaimSpan(0, 100, -1), 0);
  EXPECT_EQ(CoverageClaimSpan(0, 100, 5000), 0);
  EXPECT_EQ(g_PixelsDrawn, 0u);
}

TEST_F(CoverageBufferTest, ResetAfterATallerViewReturnsEveryNode) {
  PixelTarget tall(50, 400);
  CoverageReset(&tall.view);
  for (int y = 0; y < 400; ++y) {
    for (int x = 2; x < 48; x += 4) CoverageClaimSpan(x, x + 1, y);  // many splits on every line
  }
  PixelTarget small(50, 20);
  CoverageReset(&small.view);
  EXPECT_EQ(FreeNodes(), kCoverageNodeCount - 20);
  for (int y = 20; y < 400; ++y) ASSERT_EQ(g_Coverage.lineHeads[y], kCoverageNone) << y;
}

TEST_F(CoverageBufferTest, ViewsTheBufferCannotHoldAreRefused) {
  PixelTarget ok(100, 10);
  for (const auto& [width, height] :
       {std::pair{100, 1025}, std::pair{2048, 10}, std::pair{-1, 10}, std::pair{10, -4}}) {
    CoverageReset(&ok.view);
    View view = ok.view;
    view.width = width;
    view.height = height;
    EXPECT_EQ(CoverageReset(&view), 0) << width << "x" << height;
    EXPECT_EQ(g_Coverage.openLineCount, 0);
    EXPECT_EQ(CoverageClaimSpan(0, 10, 0), 0);
    EXPECT_EQ(FreeNodes(), kCoverageNodeCount);
  }
  PixelTarget largest(kReciprocalCount, kCoverageMaxLines);
  EXPECT_EQ(CoverageReset(&largest.view), 1);
  EXPECT_EQ(g_Coverage.openLineCount, kCoverageMaxLines);
}

TEST_F(CoverageBufferTest, ExhaustedPoolLeavesThePieceUncoveredAndCountsIt) {
  PixelTarget target(2000, 1000);
  CoverageReset(&target.view);
  int failedX = -1;
  int failedY = -1;
  for (int y = 0; y < 1000 && failedX < 0; ++y) {
    for (int x = 1; x < 1999 && failedX < 0; x += 2) {
      CoverageClaimSpan(x, x + 1, y);
      if (g_StatSpanNodesExhausted != 0) {
        failedX = x;
        failedY = y;
      }
    }
  }
  ASSERT_GE(failedX, 0);
  EXPECT_EQ(g_Coverage.freeHead, kCoverageNone);
  // The claim that found no node left its piece uncovered.
  bool open = false;
  for (const auto& [s, e] : LineSpans(failedY)) open |= s <= failedX && failedX < e;
  EXPECT_TRUE(open);
  // Claims that need no new node still work.
  EXPECT_EQ(CoverageClaimSpan(0, 2000, 999), 1);
  EXPECT_EQ(LineSpans(999), Spans{});
}

TEST_F(CoverageBufferTest, RectHiddenGrowsTheRectangleByOnePixel) {
  PixelTarget target(100, 20);
  CoverageReset(&target.view);
  EXPECT_EQ(CoverageRectHidden(&target.view, 10, 5, 20, 8), 0);
  for (int y = 0; y < 20; ++y) CoverageClaimSpan(0, 100, y);
  EXPECT_EQ(CoverageRectHidden(&target.view, 10, 5, 20, 8), 1);

  // Only the column left of x0 stays open on one line.
  CoverageReset(&target.view);
  for (int y = 0; y < 20; ++y) CoverageClaimSpan(0, 100, y);
  CoverageReset(&target.view);
  for (int y = 0; y < 20; ++y) {
    CoverageClaimSpan(0, 9, y);
    CoverageClaimSpan(y == 6 ? 10 : 9, 100, y);
  }
  EXPECT_EQ(CoverageRectHidden(&target.view, 10, 5, 20, 8), 0);
  EXPECT_EQ(CoverageRectHidden(&target.view, 11, 5, 20, 8), 1);
  EXPECT_EQ(CoverageRectHidden(&target.view, 10, 8, 20, 12), 1);  // line 6 is outside [7, 13)
  EXPECT_EQ(CoverageRectHidden(&target.view, 10, 7, 20, 12), 0);  // grown to line 6
}

TEST_F(CoverageBufferTest, RectBelowTheOpenLinesIsHiddenWithoutWalking) {
  PixelTarget target(100, 20);
  CoverageReset(&target.view);
  g_Coverage.endOpenLine = 10;  // lines 10.. still have spans: only the bound can say hidden
  EXPECT_EQ(CoverageRectHidden(&target.view, 0, 11, 100, 15), 1);
  EXPECT_EQ(CoverageRectHidden(&target.view, 0, 10, 100, 15), 0);  // grown to line 9
  g_Coverage.firstOpenLine = 5;
  EXPECT_EQ(CoverageRectHidden(&target.view, 0, 0, 100, 3), 1);
  EXPECT_EQ(CoverageRectHidden(&target.view, 50, 50, 40, 60), 1);  // empty after clipping
}

}  // namespace
