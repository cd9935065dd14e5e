#include "render/polygon_setup.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "raster_fixture.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

namespace {

constexpr std::int32_t F(double pixels) { return static_cast<std::int32_t>(pixels * 65536.0); }

class PolygonSetupTest : public RasterTest {};

struct StepCase {
  float qLeft, qRight;
  bool affine;
  int step;
};

// Two vertices, at columns 0 and 100 of a 200-wide view, whose Q values are
// qLeft and qRight.
TEST_F(PolygonSetupTest, PerspectiveStepFollowsTheDepthRatio) {
  const StepCase cases[] = {
      {1.0f, 1.005f, true, 0}, {1.0f, 1.5f, false, 32}, {1.0f, 4.0f, false, 16}, {1.0f, 10.0f, false, 8},
      {1.0f, 20.0f, false, 4}, {-0.5f, 1.0f, false, 4}, {0.0f, 1.0f, false, 4},  {1.5f, 1.0f, false, 32},
  };
  for (const StepCase& c : cases) {
    g_Raster.width = 200;
    g_Raster.height = 100;
    g_Raster.q[kGradientStepX] = (c.qRight - c.qLeft) / 100.0f;
    g_Raster.q[kGradientStepY] = 0.0f;
    g_Raster.q[kGradientCentre] = c.qLeft + 100.0f * g_Raster.q[kGradientStepX];
    ScreenVertex ring[] = {{F(0), F(10)}, {F(100), F(10)}};
    g_Raster.vertexFirst = &ring[0].x;
    g_Raster.vertexEnd = reinterpret_cast<const std::int32_t*>(ring + 2);
    g_Raster.vertexKind = VertexKind::kPlain;
    g_Raster.affine = false;
    g_Raster.step = 99;
    ChoosePerspectiveStep();
    EXPECT_EQ(g_Raster.affine, c.affine) << c.qLeft << " .. " << c.qRight;
    if (!c.affine) {
      EXPECT_EQ(g_Raster.step, c.step) << c.qLeft << " .. " << c.qRight;
      EXPECT_EQ(1 << g_Raster.stepLog2, c.step);
      EXPECT_EQ(g_Raster.stepFloat, static_cast<float>(c.step));
    } else {
      EXPECT_EQ(g_Raster.step, 99);  // the step stays as it was
    }
  }
}

TEST_F(PolygonSetupTest, NoQGradientAlongLinesIsAffineWhateverTheDepth) {
  g_Raster.width = 200;
  g_Raster.height = 100;
  g_Raster.q[kGradientStepX] = 1e-10f;
  g_Raster.q[kGradientStepY] = 0.5f;  // depth varies a lot down the polygon
  g_Raster.q[kGradientCentre] = 1.0f;
  ScreenVertexLit ring[] = {{F(0), F(0), 0}, {F(0), F(99), 0}, {F(50), F(99), 0}};
  g_Raster.vertexFirst = &ring[0].x;
  g_Raster.vertexEnd = reinterpret_cast<const std::int32_t*>(ring + 3);
  g_Raster.vertexKind = VertexKind::kLit;
  ChoosePerspectiveStep();
  EXPECT_TRUE(g_Raster.affine);
  EXPECT_EQ(g_Raster.step, 16);  // the program's initial step
}

TEST_F(PolygonSetupTest, GradientsAreComputedOnlyWhenAFragmentReachesAnUncoveredPixel) {
  PixelTarget target(64, 32);
  CoverageReset(&target.view);
  auto texture = MakeTestTexture(5, 5, [](int x, int) { return static_cast<std::uint8_t>(x + 1); });
  auto world = MakeTestFragment(&texture->texture);
  SetScreenAlignedGradients(world->surface, 64, 32, 1.0f, 1.0f);
  g_FrameStamp = 7;
  world->surface.stamp = 6;

  for (int y = 0; y < 10; ++y) CoverageClaimSpan(0, 64, y);
  g_StatPolysVisible = 0;
  ScreenVertex hidden[] = {{F(0), F(0)}, {F(0), F(10)}, {F(20), F(10)}};
  SetupTexturedFragment(&target.view, hidden, hidden + 3, &world->fragment);
  EXPECT_EQ(world->surface.stamp, 6u);  // fully covered: no gradients computed
  EXPECT_FALSE(g_Raster.prepared);
  EXPECT_EQ(texture->texture.lastUsed, 7u);  // but the texture is touched at set-up
  EXPECT_EQ(g_StatPolysRendered, 1u);
  EXPECT_EQ(g_StatPolysVisible, 0u);

  ScreenVertex visible[] = {{F(0), F(12)}, {F(0), F(20)}, {F(20), F(20)}};
  SetupTexturedFragment(&target.view, visible, visible + 3, &world->fragment);
  EXPECT_EQ(world->surface.stamp, 7u);  // the hook ran on the first visible span
  EXPECT_TRUE(g_Raster.prepared);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(g_Raster.s[k], world->surface.gradients[0 + k]);
    EXPECT_EQ(g_Raster.t[k], world->surface.gradients[3 + k]);
    EXPECT_EQ(g_Raster.q[k], world->surface.gradients[6 + k]);
  }
  EXPECT_EQ(g_StatPolysVisible, 1u);

  // A second fragment of the surface in this frame starts prepared.
  ScreenVertex second[] = {{F(30), F(12)}, {F(30), F(20)}, {F(50), F(20)}};
  g_Raster.s[kGradientCentre] = -1.0f;
  SetupTexturedFragment(&target.view, second, second + 3, &world->fragment);
  EXPECT_TRUE(g_Raster.prepared);
  EXPECT_EQ(g_Raster.s[kGradientCentre], world->surface.gradients[2]);
}

// Worked case: a screen-aligned mapping of one texel per pixel draws level 0
// texel for texel; at 2.5 texels per pixel the 32x32 level is drawn.
TEST_F(PolygonSetupTest, GradientsAndTextureLevelForWorkedCases) {
  auto texture = MakeTestTexture(6, 6, [](int x, int y) { return static_cast<std::uint8_t>((x + 3 * y) % 200); });
  auto world = MakeTestFragment(&texture->texture);
  world->surface.stamp = g_FrameStamp;
  world->surface.uOffset = F(2);
  world->surface.vOffset = F(-1);  // stored negated: v = T / Q + 1
  SetScreenAlignedGradients(world->surface, 64, 32, 1.0f, 1.0f);
  PixelTarget target(64, 32);
  CoverageReset(&target.view);
  ScreenVertex ring[] = {{F(0), F(0)}, {F(0), F(32)}, {F(64), F(32)}, {F(64), F(0)}};
  SetupTexturedFragment(&target.view, ring, ring + 4, &world->fragment);
  EXPECT_TRUE(g_Raster.affine);
  EXPECT_EQ(g_Raster.uOffset, F(2));
  EXPECT_EQ(g_Raster.vOffsetNegated, F(1));
  for (int y = 0; y < 32; y += 7) {
    for (int x = 0; x < 64; x += 5) {
      EXPECT_EQ(target.At(x, y), ((x + 2) % 64 + 3 * ((y + 1) % 64)) % 200) << x << "," << y;
    }
  }

  SetScreenAlignedGradients(world->surface, 64, 32, 2.5f, 1.0f);
  world->surface.uOffset = 0;
  world->surface.vOffset = 0;
  CoverageReset(&target.view);
  SetupTexturedFragment(&target.view, ring, ring + 4, &world->fragment);
  EXPECT_EQ(target.At(10, 10), kMipMarker + 1);
}

TEST_F(PolygonSetupTest, SeeThroughFragmentRecordsItsSpansAndClaimsNothing) {
  PixelTarget target(64, 32);
  CoverageReset(&target.view);
  auto texture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{9}; });
  for (int flags : {0, kPolygonTranslucent}) {
    auto glass = MakeTestFragment(&texture->texture, flags ? 20 : -1, flags);
    CoverageReset(&target.view);
    ScreenVertex ring[] = {{F(5), F(3)}, {F(5), F(6)}, {F(30), F(6)}, {F(30), F(3)}};
    SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
    ASSERT_EQ(g_SeeThrough.polygonCount, 1);
    EXPECT_EQ(g_SeeThrough.polygons[0].spanCount, 3);
    EXPECT_EQ(g_Raster.flatColour, -1);
    EXPECT_EQ(g_Coverage.openLineCount, 32);
    EXPECT_EQ(CoverageClaimSpan(5, 31, 4), 1);
    EXPECT_EQ(g_PixelsDrawn, 26u);
    g_PixelsDrawn = 0;
  }
  EXPECT_EQ(target.CountNot(0), 0);
}

TEST_F(PolygonSetupTest, SeeThroughListsDropWhatDoesNotFitAndCountIt) {
  PixelTarget target(64, 32);
  CoverageReset(&target.view);
  auto texture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{9}; });
  auto glass = MakeTestFragment(&texture->texture, -1, kPolygonColourKeyed);
  ScreenVertex ring[] = {{F(5), F(3)}, {F(5), F(5)}, {F(30), F(5)}, {F(30), F(3)}};
  for (int i = 0; i < kSeeThroughMaxPolygons + 5; ++i) {
    SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
  }
  EXPECT_EQ(g_SeeThrough.polygonCount, kSeeThroughMaxPolygons);
  EXPECT_EQ(g_SeeThrough.spanCount, 2 * kSeeThroughMaxPolygons);
  EXPECT_EQ(g_StatSeeThroughPolysDropped, 5u);
  EXPECT_EQ(g_StatSeeThroughSpansDropped, 10u);

  CoverageReset(&target.view);
  EXPECT_EQ(g_StatSeeThroughPolysDropped, 0u);
  for (int i = 0; i < kSeeThroughMaxSpans + 3; ++i) SeeThroughRecordSpan(1, 2, 3);
  EXPECT_EQ(g_SeeThrough.spanCount, kSeeThroughMaxSpans);
  EXPECT_EQ(g_StatSeeThroughSpansDropped, 3u);
}

TEST_F(PolygonSetupTest, QueuedAndZBufferedFacesTouchTheirTexture) {
  PixelTarget target(32, 32);
  CoverageReset(&target.view);
  auto texture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{9}; });
  g_FrameStamp = 42;
  ScreenVertexUVLit lit[] = {{F(0), F(0), 0, 0, F(2)}, {F(0), F(8), 0, 0, F(2)}, {F(8), F(8), 0, 0, F(2)}};
  DrawQueuedPolyLit(&target.view, lit, lit + 3, &texture->texture);
  EXPECT_EQ(texture->texture.lastUsed, 42u);
  EXPECT_EQ(target.At(1, 6), ShadeValue(2, 9));
  EXPECT_EQ(g_StatPolysVisible, 1u);
  EXPECT_EQ(g_StatPolysRendered, 1u);

  // No z-buffer: nothing drawn, nothing counted, the texture untouched.
  g_FrameStamp = 43;
  ScreenVertexZLit z[] = {
      {F(10), F(0), 0.5f, 0, 0, F(2)}, {F(10), F(8), 0.5f, 0, 0, F(2)}, {F(18), F(8), 0.5f, 0, 0, F(2)}};
  DrawPolyZLit(&target.view, z, z + 3, &texture->texture);
  EXPECT_EQ(texture->texture.lastUsed, 42u);
  EXPECT_EQ(target.At(11, 6), 0);
  ASSERT_EQ(ZBufferAllocate(32, 32), 1);
  DrawPolyZLit(&target.view, z, z + 3, nullptr);
  EXPECT_EQ(target.At(11, 6), 0);
  DrawPolyZLit(&target.view, z, z + 3, &texture->texture);
  EXPECT_EQ(target.At(11, 6), ShadeValue(2, 9));
  EXPECT_EQ(g_StatPolysRendered, 1u);
}

}  // namespace
