// Particles: projection, size, the depth-cued colour, the octagon's rows in
// the coverage buffer, and the hardware octagon.
#include "engine/particle_draw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/depth_cue.h"
#include "engine/frame_stamp.h"
#include "engine/palette.h"
#include "engine/render_hardware.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "tests/engine/render_fixture.h"

namespace {

const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

std::vector<PolyVertex> g_Sunk;
int g_SunkColour = 0;
void Sink(int n, PolyVertex* vertices, Texture*, int colour) {
  g_Sunk.assign(vertices, vertices + n);
  g_SunkColour = colour;
}

class ParticleDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PaletteReset();
    g_PaletteCount = 256;
    for (int i = 0; i < 256; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = i;
    PaletteClearCaches();
    DepthCueSet(0.0f, -1.0f);
    ++g_FrameStamp;
    target_.view.zoom = 1.0f;
    target_.view.focal = 288.0f;
    std::memcpy(target_.view.cameraMatrix, kIdentity, sizeof(Matrix));
    ViewSetup(&target_.view);
    CoverageReset(&target_.view);
    particle_ = Particle{};
    particle_.colour = 200;
    particle_.size = 1.0f;
  }
  void TearDown() override {
    PaletteReset();
    DepthCueSet(0.0f, -1.0f);
    g_CurrentView = nullptr;
  }
  // A particle of the size at depth z in front of the eye, shifted by
  // (dx, dy) world units.
  void Place(float z, float size, float dx = 0.0f, float dy = 0.0f) {
    particle_.x = dx;
    particle_.y = dy;
    particle_.z = z;
    particle_.size = size;
  }
  // Pixels of the view that are no longer 0.
  int NonZero() const { return 320 * 240 - target_.Count(0); }

  RenderTarget target_{320, 240};
  Particle particle_{};
};

}  // namespace

TEST_F(ParticleDrawTest, SizeFollowsDepthAndStopsAtThirtyPixels) {
  struct Case {
    float z, size;
    int pixels;
  };
  const Case cases[] = {
      {1000.0f, 1.0f, 1},  // round(0.288) + 1
      {100.0f, 5.0f, 15},  // round(14.4) + 1
      {10.0f, 50.0f, 30},  // 1441 pixels capped
  };
  for (const Case& c : cases) {
    Place(c.z, c.size);
    ParticleShape s;
    ASSERT_EQ(ParticleProject(&particle_, &target_.view, &s), 1);
    EXPECT_EQ(s.right - s.left, c.pixels) << c.z;
    EXPECT_EQ(s.bottom - s.top, c.pixels) << c.z;
    EXPECT_EQ(s.left, 160 - c.pixels / 2);
  }
}

TEST_F(ParticleDrawTest, NothingBehindTheEyeBeyondTheFarDistanceOrOnTheEdgeColumns) {
  ParticleShape s;
  Place(-10.0f, 1.0f);
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 0);
  Place(0.0f, 1.0f);
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 0);
  // Centre on column 0: x / z x 288 + 160 = 0.
  Place(288.0f, 1.0f, -160.0f);
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 0);
  Place(288.0f, 1.0f, -159.0f);  // column 1
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 1);
  EXPECT_EQ(s.left, 0);  // 2 pixels round column 1
  EXPECT_EQ(s.right, 2);
  Place(288.0f, 1.0f, 0.0f, -120.0f);  // row 0
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 0);
  DepthCueSet(0.0f, 500.0f);
  Place(600.0f, 1.0f);
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 0);
  particle_.colour = 256;  // not a palette index
  Place(100.0f, 1.0f);
  EXPECT_EQ(ParticleProject(&particle_, &target_.view, &s), 0);
}

TEST_F(ParticleDrawTest, TheDepthCueDarkensTheColour) {
  DepthCueSet(0.0f, 400.0f);
  Place(100.0f, 1.0f);
  ParticleShape s;
  ASSERT_EQ(ParticleProject(&particle_, &target_.view, &s), 1);
  EXPECT_FLOAT_EQ(s.shade, 0.75f);
  EXPECT_EQ(s.colour, 150);  // grey 200 x 0.75
}

TEST_F(ParticleDrawTest, SoftwareOctagonRowsAreClaimedAndPainted) {
  Place(288.0f, 8.0f);  // 9 pixels: rows of 3, 5, 7, 9, 9, 9, 9, 7, 5
  DrawParticle(&particle_, &target_.view);
  const int widths[] = {3, 5, 7, 9, 9, 9, 9, 7, 5};
  int total = 0;
  for (int i = 0; i < 9; ++i) {
    int row = 0;
    for (int x = 0; x < 320; ++x) row += target_.At(x, 116 + i) == 200;
    EXPECT_EQ(row, widths[i]) << "row " << i;
    total += widths[i];
  }
  EXPECT_EQ(NonZero(), total);
  // Everything it painted is covered now: a second particle there paints
  // nothing.
  target_.Fill(0);
  DrawParticle(&particle_, &target_.view);
  EXPECT_EQ(NonZero(), 0);
}

TEST_F(ParticleDrawTest, BottomUpTargetIsPaintedFromItsTopRow) {
  // A bottom-up block: row 0 is the last row in memory and the pitch runs
  // backwards, as in a half-resolution frame.
  target_.view.pitch = -target_.view.width;
  target_.view.firstRow = target_.view.target + (target_.view.height - 1) * target_.view.width;
  Place(288.0f, 8.0f);
  DrawParticle(&particle_, &target_.view);
  int painted = 0;
  for (int x = 0; x < 320; ++x) painted += target_.At(x, 120) == 200;
  EXPECT_EQ(painted, 9);
  EXPECT_EQ(NonZero(), 3 + 5 + 7 + 9 * 4 + 7 + 5);
}

TEST_F(ParticleDrawTest, HardwareFrameQueuesTheOctagon) {
  target_.view.flags |= kRenderHardware;
  PolyQueueReset(Sink);
  g_Sunk.clear();
  Place(288.0f, 8.0f);
  DrawParticle(&particle_, &target_.view);
  EXPECT_TRUE(g_Sunk.empty());  // queued, not yet handed over
  PolyQueueHandOver();
  ASSERT_EQ(g_Sunk.size(), 8u);
  EXPECT_EQ(g_SunkColour, 200);
  EXPECT_FLOAT_EQ(g_Sunk[1].x, 156.0f * 65536.0f);  // left edge
  EXPECT_FLOAT_EQ(g_Sunk[0].y, 116.0f * 65536.0f);  // top edge
  EXPECT_FLOAT_EQ(g_Sunk[3].y, 125.0f * 65536.0f);  // bottom edge
  EXPECT_FLOAT_EQ(g_Sunk[0].z, 288.0f);
  EXPECT_FLOAT_EQ(g_Sunk[0].rhw, 1.0f / 288.0f);
  EXPECT_FLOAT_EQ(g_Sunk[0].light, 1.0f);
  EXPECT_EQ(NonZero(), 0);
}
