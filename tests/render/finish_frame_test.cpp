#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/engine_error.h"
#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "raster_fixture.h"
#include "render/coverage_buffer.h"
#include "render/polygon_setup.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "render/single_span.h"

namespace {

constexpr std::int32_t F(double pixels) { return static_cast<std::int32_t>(pixels * 65536.0); }

class FinishFrameTest : public RasterTest {
 protected:
  // A see-through fragment with a prepared screen-aligned mapping.
  std::unique_ptr<TestFragment> Glass(Texture* texture, int flatColour, int flags, const View& view) {
    auto glass = MakeTestFragment(texture, flatColour, flags);
    SetScreenAlignedGradients(glass->surface, view.width, view.height, 1.0f, 1.0f);
    glass->surface.stamp = g_FrameStamp;
    return glass;
  }
};

TEST_F(FinishFrameTest, BackgroundFillsWhatStayedUncovered) {
  for (int fill : {1, 0}) {
    PixelTarget target(40, 10, 3);
    ASSERT_EQ(ZBufferAllocate(40, 10), 1);
    std::fill(g_ZBuffer, g_ZBuffer + 400, 0xFFFFFFFFu);
    CoverageReset(&target.view);
    for (int y = 0; y < 10; ++y) CoverageClaimSpan(10, 30, y);
    CoverageClaimSpan(0, 40, 4);
    g_BackgroundFill = fill;
    g_PixelsDrawn = 0;
    FinishFrameSpans(&target.view);
    const std::uint8_t background = static_cast<std::uint8_t>(FindPaletteColour(0, 0, 0));
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 40; ++x) {
        const bool uncovered = y != 4 && (x < 10 || x >= 30);
        EXPECT_EQ(target.At(x, y), uncovered && fill ? background : 3) << x << "," << y << " fill " << fill;
        EXPECT_EQ(g_ZBuffer[y * 40 + x], uncovered ? 0u : 0xFFFFFFFFu) << x << "," << y;
      }
    }
    EXPECT_EQ(g_PixelsDrawn, 9u * 20u);
    EXPECT_EQ(g_Coverage.openLineCount, 9);  // the nodes stay
  }
}

TEST_F(FinishFrameTest, SeeThroughPolygonsAreDrawnFarthestFirst) {
  PixelTarget target(40, 10);
  CoverageReset(&target.view);
  auto nearTexture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{50}; });
  auto farTexture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{60}; });
  auto nearGlass = Glass(&nearTexture->texture, -1, kPolygonColourKeyed, target.view);
  auto farGlass = Glass(&farTexture->texture, -1, kPolygonColourKeyed, target.view);
  ScreenVertex nearRing[] = {{F(0), F(0)}, {F(0), F(10)}, {F(20), F(10)}, {F(20), F(0)}};
  ScreenVertex farRing[] = {{F(10), F(0)}, {F(10), F(10)}, {F(35), F(10)}, {F(35), F(0)}};
  SetupTexturedFragment(&target.view, nearRing, nearRing + 4, &nearGlass->fragment);  // met first: nearer
  SetupTexturedFragment(&target.view, farRing, farRing + 4, &farGlass->fragment);
  EXPECT_EQ(target.CountNot(0), 0);
  g_BackgroundFill = 0;
  FinishFrameSpans(&target.view);
  EXPECT_EQ(target.At(5, 5), 50);
  EXPECT_EQ(target.At(15, 5), 50);  // both cover it: the nearer one is drawn last
  EXPECT_EQ(target.At(30, 5), 60);
  EXPECT_EQ(target.At(37, 5), 0);
  EXPECT_FALSE(g_Raster.affine);  // see-through spans are always perspective-corrected
}

TEST_F(FinishFrameTest, EachSeeThroughKindUsesItsDrawer) {
  auto keyed = MakeTestTexture(5, 5, [](int x, int) { return static_cast<std::uint8_t>(x % 2 ? 255 : 40); });
  struct Case {
    int flatColour, flags;
    std::uint8_t even, odd;  // pixels at even and odd columns over a background of 7
  };
  const Case cases[] = {
      {-1, kPolygonColourKeyed, 40, 7},                                       // key
      {-1, kPolygonColourKeyed | kPolygonTranslucent, BlendValue(7, 40), 7},  // key and blend
      {30, kPolygonTranslucent, BlendValue(7, 40), BlendValue(7, 255)},       // blend, 255 too
  };
  for (const Case& c : cases) {
    PixelTarget target(32, 4, 7);
    CoverageReset(&target.view);
    auto glass = Glass(&keyed->texture, c.flatColour, c.flags, target.view);
    ScreenVertex ring[] = {{F(0), F(1)}, {F(0), F(2)}, {F(31), F(2)}, {F(31), F(1)}};
    SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
    g_BackgroundFill = 0;
    FinishFrameSpans(&target.view);
    EXPECT_EQ(target.At(4, 1), c.even) << c.flags;
    EXPECT_EQ(target.At(5, 1), c.odd) << c.flags;
    EXPECT_EQ(target.At(4, 0), 7);
  }
}

TEST_F(FinishFrameTest, StippledSeeThroughAlternatesByColumnLineAndFrame) {
  auto solid = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{40}; });
  g_TranslucencyMode = 0;
  g_BackgroundFill = 0;
  for (int frameParity : {0, 1}) {
    PixelTarget target(16, 4, 0, 0, true);  // rows start at an odd address
    CoverageReset(&target.view);
    g_StippleParity = static_cast<std::uint8_t>(frameParity);
    auto glass = Glass(&solid->texture, 30, kPolygonTranslucent, target.view);
    ScreenVertex ring[] = {{F(0), F(0)}, {F(0), F(4)}, {F(15), F(4)}, {F(15), F(0)}};
    SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
    FinishFrameSpans(&target.view);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool written = ((x ^ y ^ frameParity) & 1) == 1;
        EXPECT_EQ(target.At(x, y), written ? 40 : 0) << x << "," << y << " frame " << frameParity;
      }
    }
  }
}

TEST_F(FinishFrameTest, WithEveryLineCoveredOnlySeeThroughSpansAreDrawn) {
  PixelTarget target(32, 8, 3);
  CoverageReset(&target.view);
  auto texture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{66}; });
  auto glass = Glass(&texture->texture, -1, kPolygonColourKeyed, target.view);
  ScreenVertex ring[] = {{F(4), F(2)}, {F(4), F(4)}, {F(9), F(4)}, {F(9), F(2)}};
  SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
  for (int y = 0; y < 8; ++y) CoverageClaimSpan(0, 32, y);
  ASSERT_EQ(g_Coverage.openLineCount, 0);
  g_PixelsDrawn = 0;
  FinishFrameSpans(&target.view);
  EXPECT_EQ(target.CountNot(3), 12);  // 2 lines of columns 4..9
  EXPECT_EQ(target.At(9, 3), 66);
  EXPECT_EQ(g_PixelsDrawn, 12u);
}

TEST_F(FinishFrameTest, SeeThroughSpanWritesDepthForEveryColumn) {
  PixelTarget target(32, 4);
  ASSERT_EQ(ZBufferAllocate(32, 4), 1);
  std::fill(g_ZBuffer, g_ZBuffer + 128, 0xABCDu);
  CoverageReset(&target.view);
  auto keyed = MakeTestTexture(5, 5, [](int x, int) { return static_cast<std::uint8_t>(x % 2 ? 255 : 40); });
  auto glass = Glass(&keyed->texture, -1, kPolygonColourKeyed, target.view);
  ScreenVertex ring[] = {{F(3), F(1)}, {F(3), F(2)}, {F(12), F(2)}, {F(12), F(1)}};
  SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
  for (int y = 0; y < 4; ++y) CoverageClaimSpan(0, 32, y);  // no background z writes
  FinishFrameSpans(&target.view);
  const std::uint32_t z = static_cast<std::uint32_t>(std::llround(1.0 * kZScale));
  for (int x = 0; x < 32; ++x) EXPECT_EQ(g_ZBuffer[32 + x], (x >= 3 && x <= 12) ? z : 0xABCDu) << x;
  EXPECT_EQ(target.At(4, 1), 40);
  EXPECT_EQ(target.At(5, 1), 0);
}

TEST_F(FinishFrameTest, SingleSpanOutsideTheTargetDrawsNothing) {
  PixelTarget target(16, 4, 1);
  auto texture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{40}; });
  auto glass = Glass(&texture->texture, -1, 0, target.view);
  RasterLoadTarget(&target.view);
  RasterLoadGradients(&glass->surface);
  RasterLoadTexture(&texture->texture);
  g_Raster.prepared = true;
  struct Span {
    int line, first, end;
  };
  for (const Span& s : {Span{4, 0, 4}, Span{-1, 0, 4}, Span{1, -2, 4}, Span{1, 10, 17}, Span{1, 5, 5}}) {
    g_Raster.spanLine = s.line;
    g_Raster.spanFirst = s.first;
    g_Raster.spanEnd = s.end;
    g_Raster.spanTarget = target.view.firstRow;
    DrawPolyTexKey();
    DrawPolyTexTranslucent();
  }
  for (std::uint8_t byte : target.storage) ASSERT_EQ(byte, 1);
  g_Raster.spanLine = 2;
  g_Raster.spanFirst = 3;
  g_Raster.spanEnd = 6;
  g_Raster.spanTarget = target.Row(2) + 3;
  DrawPolyTexKey();
  EXPECT_EQ(target.CountNot(1), 3);
}

}  // namespace
