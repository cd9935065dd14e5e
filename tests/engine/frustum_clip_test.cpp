// The 3-D clipper: output sized for the largest fragment, no division at or
// behind the eye, and the pipeline's closing rule.
#include "engine/frustum_clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/depth_cue.h"
#include "engine/frame_stamp.h"
#include "engine/view.h"
#include "tests/engine/render_fixture.h"

namespace {

class FrustumClipTest : public RenderFixture {
 protected:
  void SetUp() override {
    RenderFixture::SetUp();
    ++g_FrameStamp;
    ViewSetup(&target_.view);
  }
  void Feed(const std::vector<Vec3>& points) {
    ClipReset(0);
    for (const Vec3& p : points) ClipPolygonToFrustum(kClipFirstStage, p.x, p.y, p.z);
    ClipClose();
  }
  // Every output vertex lies on the view, within half a pixel and rounding.
  void ExpectOnScreen() {
    for (int i = 0; i < g_ClipOutputVertices; ++i) {
      const int x = g_ClipOutput[2 * i], y = g_ClipOutput[2 * i + 1];
      EXPECT_GE(x, -0x9000) << i;
      EXPECT_LE(x, 64 * 65536 + 0x9000) << i;
      EXPECT_GE(y, -0x9000) << i;
      EXPECT_LE(y, 48 * 65536 + 0x9000) << i;
    }
  }
};

TEST_F(FrustumClipTest, PolygonInsideComesOutProjectedWhole) {
  Feed(QuadFacingEye(-10, -10, 10, 10, 100));
  ASSERT_EQ(g_ClipOutputVertices, 4);
  ASSERT_EQ(g_ClipOutputValues, 8);
  // Each corner once (the closing rule starts the list at the second one).
  int corners = 0;
  for (int i = 0; i < 4; ++i) {
    const int x = g_ClipOutput[2 * i], y = g_ClipOutput[2 * i + 1];
    const bool left = std::abs(x - static_cast<int>(25.6 * 65536)) < 2,
               right = std::abs(x - static_cast<int>(38.4 * 65536)) < 2;
    const bool top = std::abs(y - static_cast<int>(17.6 * 65536)) < 2,
               bottom = std::abs(y - static_cast<int>(30.4 * 65536)) < 2;
    corners += (left || right) && (top || bottom);
  }
  EXPECT_EQ(corners, 4);
}

TEST_F(FrustumClipTest, SixteenVerticesCutByEveryPlaneFitTheOutput) {
  // A 16-gon much larger than the view, slanting through the far plane.
  DepthCueSet(0, 300);
  ++g_FrameStamp;  // a new frame builds the far plane again
  ViewSetup(&target_.view);
  std::vector<Vec3> ring;
  for (int i = 0; i < kFragmentMaxVertices; ++i) {
    const float a = 6.2831853f * i / kFragmentMaxVertices;
    ring.push_back({1000 * std::cos(a), 1000 * std::sin(a), 250 + 400 * std::cos(a)});
  }
  Feed(ring);
  // What is left is the view cut at the far plane's column (58.7).
  EXPECT_EQ(g_ClipOutputVertices, 4);
  for (int i = 0; i < g_ClipOutputVertices; ++i) EXPECT_LE(g_ClipOutput[2 * i], 59 * 65536);
  EXPECT_LE(g_ClipOutputVertices, kClipMaxVertices);
  EXPECT_EQ(g_StatClipOverflows, 0u);
  ExpectOnScreen();
}

TEST_F(FrustumClipTest, MoreVerticesThanTheOutputHoldsAreCutShortAndCounted) {
  std::vector<Vec3> ring;
  for (int i = 0; i < kClipMaxVertices + 10; ++i) {
    const float a = 6.2831853f * i / (kClipMaxVertices + 10);
    ring.push_back({10 * std::cos(a), 10 * std::sin(a), 100});
  }
  const std::uint32_t before = g_StatClipOverflows;
  Feed(ring);
  EXPECT_EQ(g_ClipOutputVertices, kClipMaxVertices);
  EXPECT_EQ(g_ClipOutputValues, 2 * kClipMaxVertices);
  EXPECT_EQ(g_StatClipOverflows, before + 1);
}

TEST_F(FrustumClipTest, VertexAtOrBehindTheEyeIsNeverDividedByItsDepth) {
  struct Case {
    const char* name;
    std::vector<Vec3> points;
  };
  const std::vector<Case> cases = {
      {"vertex at the eye", {{0, 0, 0}, {-20, 20, 50}, {20, 20, 50}}},
      {"edge through the eye", {{-5, 0, -5}, {5, 0, 5}, {5, 30, 60}}},
      {"vertex behind", {{0, 0, -40}, {-20, 20, 50}, {20, 20, 50}}},
      {"all at depth 0", {{-10, 0, 0}, {10, 0, 0}, {0, 10, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Feed(c.points);
    ExpectOnScreen();
  }
  // A floor just below the eye, from behind it into the distance, covers
  // the lower half of the view.
  Feed({{-50, 1, -10}, {-50, 1, 100}, {50, 1, 100}, {50, 1, -10}});
  EXPECT_GE(g_ClipOutputVertices, 3);
  ExpectOnScreen();
  int lowest = 0;
  for (int i = 0; i < g_ClipOutputVertices; ++i) lowest = std::max(lowest, g_ClipOutput[2 * i + 1]);
  EXPECT_GE(lowest, 48 * 65536 - 0x8000);
}

TEST_F(FrustumClipTest, LitVariantCarriesTheInterpolatedLightThroughACut) {
  // A wall half outside the right plane: the crossing points take the light
  // halfway along their edges.
  ClipReset(1);
  g_ClipNormal = {0, 0, -1};
  const std::vector<Vec3> quad = QuadFacingEye(0, -10, 100, 10, 100);  // right half beyond the view's edge
  const float lights[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i) ClipLitPolygonToFrustum(kClipFirstStage, quad[i].x, quad[i].y, quad[i].z, lights[i]);
  ClipClose();
  ASSERT_EQ(g_ClipOutputVertices, 4);
  ASSERT_EQ(g_ClipOutputValues, 12);
  const int dark = static_cast<int>(std::lround(0.0 * 1966079)) + 0x8000;
  int crossings = 0;
  for (int i = 0; i < 4; ++i) {
    const int light = g_ClipOutput[3 * i + 2];
    if (light != dark) {
      ++crossings;
      // The right plane (x = 50.5 at depth 100) is about half way.
      EXPECT_NEAR((light - 0x8000) / 1966079.0, 0.505, 0.02);
    }
  }
  EXPECT_EQ(crossings, 2);
}

TEST_F(FrustumClipTest, SegmentClipsAtTheNearPlaneAndDropsWhatLiesOutside) {
  int x0, y0, x1, y1;
  ASSERT_EQ(ClipSegmentToPixels({0, 10, -20}, {0, 10, 100}, &x0, &y0, &x1, &y1), 1);
  EXPECT_EQ(x0, 32);
  EXPECT_GT(y0, 47);  // the near end lies far below the view
  EXPECT_EQ(x1, 32);
  EXPECT_EQ(y1, 30);  // 24 + 6.4
  EXPECT_EQ(ClipSegmentToPixels({0, 0, -20}, {0, 0, -5}, &x0, &y0, &x1, &y1), 0);
  EXPECT_EQ(ClipSegmentToPixels({-500, 0, 50}, {-400, 0, 60}, &x0, &y0, &x1, &y1), 0);
}

}  // namespace
