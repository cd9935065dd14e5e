#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "raster_fixture.h"
#include "render/coverage_buffer.h"
#include "render/perspective_piece.h"
#include "render/polygon_fillers.h"
#include "render/polygon_setup.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

namespace {

constexpr std::int32_t F(double pixels) { return static_cast<std::int32_t>(pixels * 65536.0); }

class FillerTest : public RasterTest {
 protected:
  // A prepared opaque fragment with a constant-colour 32x32 texture.
  void SetUp() override {
    RasterTest::SetUp();
    texture = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{77}; });
    world = MakeTestFragment(&texture->texture);
    world->surface.stamp = g_FrameStamp;
  }
  std::unique_ptr<TestTexture> texture;
  std::unique_ptr<TestFragment> world;
};

// Pixels of a polygon whose edges have exact x at whole lines, for the
// hooked fillers' rule: lines [ceil(top), ceil(bottom)), columns
// [floor(left x), floor(right x) + 1).
PixelSet HookedReference(const std::vector<std::pair<double, double>>& ring, int width, int height) {
  PixelSet set;
  for (int y = 0; y < height; ++y) {
    double left = 1e9, right = -1e9;
    bool inside = false;
    for (std::size_t i = 0; i < ring.size(); ++i) {
      auto [x0, y0] = ring[i];
      auto [x1, y1] = ring[(i + 1) % ring.size()];
      if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
      }
      if (y < y0 || y >= y1) continue;  // half-open in y: the lower end belongs to the next edge
      const double x = x0 + (x1 - x0) * (y - y0) / (y1 - y0);
      left = std::min(left, x);
      right = std::max(right, x);
      inside = true;
    }
    if (!inside) continue;
    for (int x = static_cast<int>(std::floor(left)); x < static_cast<int>(std::floor(right)) + 1; ++x) {
      if (x >= 0 && x < width) set.insert({x, y});
    }
  }
  return set;
}

TEST_F(FillerTest, HookedFillerCoversTrianglesAndQuadsExactlyOnce) {
  const std::vector<std::vector<std::pair<double, double>>> shapes = {
      {{10, 10}, {10, 30}, {30, 30}},              // right triangle
      {{20, 5}, {5, 20}, {20, 35}, {35, 20}},      // diamond
      {{8, 4}, {8, 24}, {48, 24}, {48, 4}},        // axis-aligned quad, flat top
      {{30, 2}, {2, 30}, {34, 34}},                // slopes of -1, 8 and 1/8
      {{-10, -5}, {-10, 50}, {70, 50}, {70, -5}},  // beyond every border
  };
  for (const auto& shape : shapes) {
    PixelTarget target(64, 40);
    CoverageReset(&target.view);
    SetScreenAlignedGradients(world->surface, 64, 40, 1.0f, 1.0f);
    std::vector<ScreenVertex> ring;
    for (auto [x, y] : shape) ring.push_back({F(x), F(y)});
    g_PixelsDrawn = 0;
    SetupTexturedFragment(&target.view, ring.data(), ring.data() + ring.size(), &world->fragment);
    const PixelSet drawn = target.Changed(0);
    EXPECT_EQ(drawn, HookedReference(shape, 64, 40)) << shape.size() << " vertices from " << shape[0].first;
    EXPECT_EQ(g_PixelsDrawn, drawn.size());  // each pixel drawn once
    for (auto [x, y] : drawn) ASSERT_EQ(target.At(x, y), 77);
  }
}

TEST_F(FillerTest, HookedFillerIncludesTheRightEdgeColumnTheAffineOneDoesNot) {
  PixelTarget hooked(32, 32);
  CoverageReset(&hooked.view);
  SetScreenAlignedGradients(world->surface, 32, 32, 1.0f, 1.0f);
  ScreenVertex ring[] = {{F(10), F(0)}, {F(0), F(20)}, {F(10), F(20)}};
  SetupTexturedFragment(&hooked.view, ring, ring + 3, &world->fragment);
  EXPECT_EQ(hooked.At(10, 5), 77);
  EXPECT_EQ(hooked.At(11, 5), 0);

  PixelTarget affine(32, 32);
  CoverageReset(&affine.view);
  ScreenVertexUV uvRing[] = {{F(10), F(0), 0, 0}, {F(0), F(20), 0, 0}, {F(10), F(20), 0, 0}};
  DrawQueuedPolyUnlit(&affine.view, uvRing, uvRing + 3, &texture->texture);
  EXPECT_EQ(affine.At(9, 5), 77);
  EXPECT_EQ(affine.At(10, 5), 0);
}

TEST_F(FillerTest, FillersDrawOnlyUncoveredPixelsAndClaimThem) {
  PixelTarget target(64, 40);
  CoverageReset(&target.view);
  SetScreenAlignedGradients(world->surface, 64, 40, 1.0f, 1.0f);
  for (int y = 0; y < 40; ++y) CoverageClaimSpan(20, 30, y);  // a covered column band
  ScreenVertex ring[] = {{F(10), F(10)}, {F(10), F(20)}, {F(40), F(20)}, {F(40), F(10)}};
  SetupTexturedFragment(&target.view, ring, ring + 4, &world->fragment);
  for (int x = 10; x <= 40; ++x) EXPECT_EQ(target.At(x, 15), (x >= 20 && x < 30) ? 0 : 77) << x;
  EXPECT_EQ(CoverageClaimSpan(10, 41, 15), 0);  // all claimed now
  EXPECT_EQ(CoverageClaimSpan(10, 41, 20), 1);  // the bottom line is not part of the polygon
  // A second polygon over the same place draws nothing.
  auto other = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{88}; });
  world->surface.texture = &other->texture;
  SetupTexturedFragment(&target.view, ring, ring + 4, &world->fragment);
  EXPECT_EQ(target.At(15, 15), 77);
}

TEST_F(FillerTest, FillersTightenTheOpenLineBoundsAsLinesEmpty) {
  PixelTarget target(32, 40);
  CoverageReset(&target.view);
  SetScreenAlignedGradients(world->surface, 32, 40, 1.0f, 1.0f);
  ScreenVertex top[] = {{F(-1), F(0)}, {F(-1), F(5)}, {F(40), F(5)}, {F(40), F(0)}};
  SetupTexturedFragment(&target.view, top, top + 4, &world->fragment);
  EXPECT_EQ(g_Coverage.firstOpenLine, 5);
  EXPECT_EQ(g_Coverage.openLineCount, 35);
  ScreenVertex bottom[] = {{F(-1), F(30)}, {F(-1), F(40)}, {F(40), F(40)}, {F(40), F(30)}};
  SetupTexturedFragment(&target.view, bottom, bottom + 4, &world->fragment);
  EXPECT_EQ(g_Coverage.endOpenLine, 30);
  // A polygon entirely in the covered band is not even scanned.
  g_PixelsDrawn = 0;
  ScreenVertex hidden[] = {{F(0), F(1)}, {F(0), F(4)}, {F(9), F(4)}, {F(9), F(1)}};
  SetupTexturedFragment(&target.view, hidden, hidden + 4, &world->fragment);
  EXPECT_EQ(g_PixelsDrawn, 0u);
}

TEST_F(FillerTest, ShadedLineWithinOneShadeRowUsesTheConstantFamily) {
  struct Case {
    double leftLight, rightLight;
    int leftRow, rightRow;
  };
  for (const Case& c : {Case{3.2, 3.9, 3, 3}, Case{3.9, 4.1, 3, 4}, Case{6.0, 2.0, 6, 2}}) {
    PixelTarget target(64, 8);
    CoverageReset(&target.view);
    SetScreenAlignedGradients(world->surface, 64, 8, 1.0f, 1.0f);
    ScreenVertexLit ring[] = {{F(0), F(2), F(c.leftLight)},
                              {F(0), F(3), F(c.leftLight)},
                              {F(63), F(3), F(c.rightLight)},
                              {F(63), F(2), F(c.rightLight)}};
    SetupShadedPolygon(&target.view, ring, ring + 4, &world->fragment);
    EXPECT_EQ(target.At(0, 2), ShadeValue(c.leftRow, 77)) << c.leftLight;
    EXPECT_EQ(target.At(63, 2), ShadeValue(c.rightRow, 77)) << c.rightLight;
    if (c.leftRow == c.rightRow) {
      for (int x = 0; x < 64; ++x) ASSERT_EQ(target.At(x, 2), ShadeValue(c.leftRow, 77)) << x;
    }
  }
}

// Span routines that record their calls instead of drawing.
struct SpanCall {
  int count;
  std::int32_t u, v, du, dv;
  int entry;
};
std::vector<SpanCall> g_Calls;
template <int kEntry>
void RecordSpan(std::uint8_t*, int count, std::int32_t u, std::int32_t v, const std::uint8_t*) {
  g_Calls.push_back({count, u, v, g_Raster.du, g_Raster.dv, kEntry});
}
const SpanRoutine kRecording[kSpanEntryCount] = {
    RecordSpan<0>,  RecordSpan<1>,  RecordSpan<2>,  RecordSpan<3>,  RecordSpan<4>,  RecordSpan<5>,  RecordSpan<6>,
    RecordSpan<7>,  RecordSpan<8>,  RecordSpan<9>,  RecordSpan<10>, RecordSpan<11>, RecordSpan<12>, RecordSpan<13>,
    RecordSpan<14>, RecordSpan<15>, RecordSpan<16>, RecordSpan<17>, RecordSpan<18>, RecordSpan<19>, RecordSpan<20>};

// u = 65536 (10.3 + dx) / (1 + qx dx) texels at dx pixels right of the
// centre, v = 4.
void LoadPerspectiveGradients(float qx = 0.02f) {
  g_Raster.width = 100;
  g_Raster.height = 10;
  const float s[3] = {65536.0f, 0.0f, 65536.0f * 10.3f};
  const float t[3] = {65536.0f * 4.0f * qx, 0.0f, 65536.0f * 4.0f};
  const float q[3] = {qx, 0.0f, 1.0f};
  for (int k = 0; k < 3; ++k) {
    g_Raster.s[k] = s[k];
    g_Raster.t[k] = t[k];
    g_Raster.q[k] = q[k];
  }
  g_Raster.prepared = true;
  g_Raster.pixels = nullptr;
}

std::int32_t ExactU(int dx) { return std::lround(65536.0 * (10.3 + dx) / (1.0 + 0.02 * dx)); }

TEST_F(FillerTest, PerspectivePieceDividesExactlyEveryStep) {
  LoadPerspectiveGradients();
  g_Raster.affine = false;
  g_Raster.stepLog2 = 4;
  g_Raster.step = 16;
  g_Raster.stepFloat = 16.0f;
  g_Calls.clear();
  std::uint8_t row[100];
  DrawPerspectivePiece(5, 50, 87, row, 0, kRecording);
  ASSERT_EQ(g_Calls.size(), 3u);
  const int counts[] = {16, 16, 5};
  const int starts[] = {0, 16, 32, 37};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(g_Calls[i].count, counts[i]);
    EXPECT_NEAR(g_Calls[i].u, ExactU(starts[i]), 4) << i;  // float division, 16.16 units
    EXPECT_NEAR(g_Calls[i].v, 4 << 16, 2);
    const std::int32_t next = i < 2 ? g_Calls[i + 1].u : ExactU(37);
    if (counts[i] == 16) {
      EXPECT_EQ(g_Calls[i].du, (next - g_Calls[i].u) >> 4) << i;
    } else {
      EXPECT_NEAR(g_Calls[i].du, (next - g_Calls[i].u) / 5.0, 4.0);
    }
  }
}

TEST_F(FillerTest, AffinePieceIsOneSegmentThroughTheReciprocalTable) {
  LoadPerspectiveGradients();
  g_Raster.affine = true;
  g_Calls.clear();
  std::uint8_t row[100];
  DrawPerspectivePiece(5, 50, 87, row, 0, kRecording);
  ASSERT_EQ(g_Calls.size(), 1u);
  EXPECT_EQ(g_Calls[0].count, 37);
  EXPECT_NEAR(g_Calls[0].du, (ExactU(37) - ExactU(0)) / 37.0, 4.0);
}

// Perspective steps stay within a texel of the exact mapping; affine drawing
// does too where depth hardly varies along the line, and not where it does.
TEST_F(FillerTest, PerspectiveAndAffineStepsAgainstTheExactMapping) {
  auto wide = MakeTestTexture(8, 5, [](int x, int) { return static_cast<std::uint8_t>(x); });
  struct Case {
    float qx;
    bool affine;
    int stepLog2;
    double tolerance;  // texels; 0 = expected to be far off
  };
  // Over these 50 pixels Q grows from 1.0 to 2.0; 32-pixel steps are chosen
  // only for ratios below 2 and err the most.
  const Case cases[] = {{0.02f, false, 2, 1.0}, {0.02f, false, 3, 1.0},  {0.02f, false, 4, 1.0},
                        {0.02f, false, 5, 2.0}, {0.0001f, true, 4, 1.0}, {0.02f, true, 4, 0.0}};
  for (const Case& c : cases) {
    LoadPerspectiveGradients(c.qx);
    g_Raster.pixels = wide->block.data();
    g_Raster.affine = c.affine;
    g_Raster.stepLog2 = c.stepLog2;
    g_Raster.step = 1 << c.stepLog2;
    g_Raster.stepFloat = static_cast<float>(g_Raster.step);
    std::uint8_t row[100] = {};
    DrawPerspectivePiece(5, 50, 100, row, 3, SpanTex);
    double worst = 0.0;
    for (int x = 50; x < 100; ++x) {
      const double exact = std::floor((10.3 + (x - 50)) / (1.0 + c.qx * (x - 50)));
      worst = std::max(worst, std::fabs(row[x] - exact));
    }
    if (c.tolerance > 0.0) {
      EXPECT_LE(worst, c.tolerance) << "qx " << c.qx << " affine " << c.affine << " step " << (1 << c.stepLog2);
    } else {
      EXPECT_GT(worst, 3.0) << "affine across a deep line";
    }
  }
}

TEST_F(FillerTest, SeeThroughPiecesAreRecordedWhereStillUncovered) {
  PixelTarget target(640, 20);
  CoverageReset(&target.view);
  CoverageClaimSpan(50, 70, 10);
  auto glass = MakeTestFragment(&texture->texture, -1, kPolygonColourKeyed);
  ScreenVertex ring[] = {{F(40), F(10)}, {F(40), F(11)}, {F(80), F(11)}, {F(80), F(10)}};
  const std::uint32_t before = g_PixelsDrawn;
  SetupTexturedFragment(&target.view, ring, ring + 4, &glass->fragment);
  ASSERT_EQ(g_SeeThrough.spanCount, 2);
  EXPECT_EQ(g_SeeThrough.spans[0].line, 10);
  EXPECT_EQ(g_SeeThrough.spans[0].first, 40);
  EXPECT_EQ(g_SeeThrough.spans[0].end, 50);
  EXPECT_EQ(g_SeeThrough.spans[1].first, 70);
  EXPECT_EQ(g_SeeThrough.spans[1].end, 81);
  ASSERT_EQ(g_SeeThrough.polygonCount, 1);
  EXPECT_EQ(g_SeeThrough.polygons[0].fragment, &glass->fragment);
  EXPECT_EQ(g_SeeThrough.polygons[0].spanCount, 2);
  EXPECT_EQ(g_PixelsDrawn, before);  // nothing drawn or claimed
  EXPECT_EQ(CoverageClaimSpan(40, 50, 10), 1);
  EXPECT_EQ(target.CountNot(0), 0);
}

TEST_F(FillerTest, OpaquePieceWritesDepthForExactlyItsColumns) {
  PixelTarget target(64, 16);
  ASSERT_EQ(ZBufferAllocate(64, 16), 1);
  std::fill(g_ZBuffer, g_ZBuffer + 64 * 16, 0xDEADBEEFu);
  CoverageReset(&target.view);
  CoverageClaimSpan(20, 25, 4);
  const float s[3] = {65536.0f, 0.0f, 0.0f};
  const float t[3] = {0.0f, 65536.0f, 0.0f};
  const float q[3] = {0.001f, 0.0f, 0.5f};
  SetSurfaceGradients(world->surface, s, t, q);
  ScreenVertex ring[] = {{F(10), F(4)}, {F(10), F(5)}, {F(29.5), F(5)}, {F(29.5), F(4)}};
  SetupTexturedFragment(&target.view, ring, ring + 4, &world->fragment);
  for (int x = 0; x < 64; ++x) {
    const bool drawn = x >= 10 && x < 30 && !(x >= 20 && x < 25);
    const std::uint32_t z = g_ZBuffer[4 * 64 + x];
    if (!drawn) {
      EXPECT_EQ(z, 0xDEADBEEFu) << x;
      continue;
    }
    const int pieceStart = x < 20 ? 10 : 25;
    const double qStart = 0.5 + 0.001 * (pieceStart - 32);
    const std::uint32_t expected =
        static_cast<std::uint32_t>(std::llround(qStart * kZScale)) +
        static_cast<std::uint32_t>(x - pieceStart) * static_cast<std::uint32_t>(std::llround(0.001f * kZScale));
    EXPECT_NEAR(static_cast<double>(z), static_cast<double>(expected), 64.0) << x;
  }
  for (int x = 0; x < 64; ++x) EXPECT_EQ(g_ZBuffer[5 * 64 + x], 0xDEADBEEFu);
}

TEST_F(FillerTest, ZFillersMeetOnASharedEdgeWithoutOverlapOrGap) {
  PixelTarget target(32, 32);
  ASSERT_EQ(ZBufferAllocate(32, 32), 1);
  ScreenVertexZ a[] = {{F(4), F(2), 0.5f, 0, 0}, {F(4), F(22), 0.5f, 0, 0}, {F(24), F(22), 0.5f, 0, 0}};
  ScreenVertexZ b[] = {{F(4), F(2), 0.5f, 0, 0}, {F(24), F(22), 0.5f, 0, 0}, {F(24), F(2), 0.5f, 0, 0}};
  DrawPolyZUnlit(&target.view, a, a + 3, &texture->texture);
  DrawPolyZUnlit(&target.view, b, b + 3, &texture->texture);
  PixelSet expected;
  for (int y = 2; y < 22; ++y) {
    for (int x = 4; x < 24; ++x) expected.insert({x, y});
  }
  EXPECT_EQ(target.Changed(0), expected);
  EXPECT_EQ(g_PixelsDrawn, expected.size());
  const std::uint32_t z = static_cast<std::uint32_t>(std::llround(0.5 * kZScale));
  EXPECT_EQ(g_ZBuffer[10 * 32 + 10], z);
  EXPECT_EQ(g_ZBuffer[0], 0u);
}

TEST_F(FillerTest, ZFillerTestsAgainstTheBuffer) {
  PixelTarget target(32, 8);
  ASSERT_EQ(ZBufferAllocate(32, 8), 1);
  auto near = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{5}; });
  ScreenVertexZ nearRing[] = {
      {F(0), F(0), 0.8f, 0, 0}, {F(0), F(8), 0.8f, 0, 0}, {F(16), F(8), 0.8f, 0, 0}, {F(16), F(0), 0.8f, 0, 0}};
  ScreenVertexZ farRing[] = {
      {F(0), F(0), 0.2f, 0, 0}, {F(0), F(8), 0.2f, 0, 0}, {F(32), F(8), 0.2f, 0, 0}, {F(32), F(0), 0.2f, 0, 0}};
  DrawPolyZUnlit(&target.view, nearRing, nearRing + 4, &near->texture);
  DrawPolyZUnlit(&target.view, farRing, farRing + 4, &texture->texture);
  EXPECT_EQ(target.At(3, 3), 5);    // the nearer face stays
  EXPECT_EQ(target.At(20, 3), 77);  // the farther one fills the rest
}

// Mended: a line of zero width (an apex on a whole line) and columns clamped
// to nothing are skipped, never divided by or drawn with a wrapped count.
TEST_F(FillerTest, ZFillersSkipEmptyAndClampedLines) {
  PixelTarget target(32, 32, 0, 48);
  ASSERT_EQ(ZBufferAllocate(32, 32), 1);
  ScreenVertexZLit apex[] = {
      {F(10), F(4), 0.5f, 0, 0, F(3)}, {F(2), F(12), 0.5f, 0, 0, F(3)}, {F(18), F(12), 0.5f, 0, 0, F(3)}};
  DrawPolyZLit(&target.view, apex, apex + 3, &texture->texture);
  EXPECT_EQ(target.At(10, 4), 0);  // the apex line has no width
  EXPECT_EQ(target.At(10, 5), ShadeValue(3, 77));
  ScreenVertexZ left[] = {
      {F(-20), F(0), 0.5f, 0, 0}, {F(-20), F(30), 0.5f, 0, 0}, {F(-1), F(30), 0.5f, 0, 0}, {F(-1), F(0), 0.5f, 0, 0}};
  ScreenVertexZ right[] = {
      {F(40), F(0), 0.5f, 0, 0}, {F(40), F(30), 0.5f, 0, 0}, {F(90), F(30), 0.5f, 0, 0}, {F(90), F(0), 0.5f, 0, 0}};
  target.Fill(0);
  g_PixelsDrawn = 0;
  DrawPolyZUnlit(&target.view, left, left + 4, &texture->texture);
  DrawPolyZUnlit(&target.view, right, right + 4, &texture->texture);
  EXPECT_EQ(g_PixelsDrawn, 0u);
  for (std::uint8_t byte : target.storage) ASSERT_EQ(byte, 0);
}

// Mended: a z-buffer smaller than the view is only indexed within its size.
TEST_F(FillerTest, ZFillersStayInsideASmallerZBuffer) {
  PixelTarget target(64, 32);
  ASSERT_EQ(ZBufferAllocate(16, 8), 1);
  ScreenVertexZ whole[] = {
      {F(0), F(0), 0.5f, 0, 0}, {F(0), F(32), 0.5f, 0, 0}, {F(64), F(32), 0.5f, 0, 0}, {F(64), F(0), 0.5f, 0, 0}};
  DrawPolyZUnlit(&target.view, whole, whole + 4, &texture->texture);
  EXPECT_EQ(target.Changed(0).size(), 16u * 8u);
  EXPECT_EQ(target.At(15, 7), 77);
  EXPECT_EQ(target.At(16, 7), 0);
}

TEST_F(FillerTest, TextureSizeWithoutRoutinesIsNeverDrawn) {
  PixelTarget target(32, 32);
  CoverageReset(&target.view);
  auto odd = MakeTestTexture(5, 5, [](int, int) { return std::uint8_t{9}; });
  odd->texture.log2Width = 9;
  ScreenVertexUV ring[] = {{F(0), F(0), 0, 0}, {F(0), F(20), 0, 0}, {F(20), F(20), 0, 0}};
  EXPECT_DEBUG_DEATH(DrawQueuedPolyUnlit(&target.view, ring, ring + 3, &odd->texture), "texture size");
  EXPECT_EQ(target.CountNot(0), 0);
}

TEST_F(FillerTest, AffineFillerInterpolatesTextureCoordinates) {
  PixelTarget target(64, 8);
  CoverageReset(&target.view);
  auto ramp = MakeTestTexture(6, 5, [](int x, int y) { return static_cast<std::uint8_t>(x + 64 * (y & 1)); });
  // u runs 0 .. 40 texels over columns 0 .. 40 on every line; v = 1.5.
  ScreenVertexUV ring[] = {
      {F(0), F(0), 0, F(1.5)}, {F(0), F(8), 0, F(1.5)}, {F(40), F(8), F(40), F(1.5)}, {F(40), F(0), F(40), F(1.5)}};
  DrawQueuedPolyUnlit(&target.view, ring, ring + 4, &ramp->texture);
  for (int x = 0; x < 40; ++x) EXPECT_EQ(target.At(x, 3), 64 + x) << x;
  EXPECT_EQ(target.At(40, 3), 0);
  EXPECT_EQ(g_StatPolysVisible, 0u);  // the unlit queued face never counts as visible
  EXPECT_EQ(g_StatPolysRendered, 1u);
}

}  // namespace
