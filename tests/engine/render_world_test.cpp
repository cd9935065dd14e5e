// RenderWorld's frame order: stamp and parity, half resolution, line
// polygons, the vertex cache, particles, instances and the z-buffer, and
// the hardware hand-over.
#include "engine/render_world.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/frame_stamp.h"
#include "engine/instance.h"
#include "engine/matrix.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/render_hardware.h"
#include "engine/view.h"
#include "engine/world_polygon.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "tests/engine/render_fixture.h"

namespace {

using RenderWorldTest = RenderFixture;

TEST_F(RenderWorldTest, FrameStampGrowsParityAlternatesAndZeroIsSkippedOnWrap) {
  const FrameStamp before = g_FrameStamp;
  const std::uint8_t parity = g_StippleParity;
  Render();
  EXPECT_EQ(g_FrameStamp, before + 1);
  EXPECT_EQ(g_StippleParity, 1 - parity);
  Render();
  EXPECT_EQ(g_StippleParity, parity);

  g_FrameStamp = 0xFFFFFFFFu;
  Render();
  EXPECT_EQ(g_FrameStamp, 1u);  // 0 stays "never"
  EXPECT_EQ(target_.view.stamp, 1u);
}

TEST_F(RenderWorldTest, EmptyWorldFillsEveryPixelWithTheBackgroundAndLeavesTheCameraCurrent) {
  target_.Fill(0xEE);
  ViewLookAlongZ(&target_.view, 5, 6, 7);
  Render();
  EXPECT_EQ(target_.Count(kBackground), 64 * 48);
  EXPECT_FLOAT_EQ(target_.view.position.x, 5.0f);
  EXPECT_FLOAT_EQ(target_.view.position.z, 7.0f);
  EXPECT_EQ(std::memcmp(g_CurrentMatrix, g_CameraMatrix, sizeof(Matrix)), 0);
  EXPECT_EQ(g_CurrentWorld, world_);
  EXPECT_EQ(g_VertexScreenX, nullptr);  // the cache is freed again
  EXPECT_EQ(g_VertexState, nullptr);
}

TEST_F(RenderWorldTest, WallInFrontCoversItsScreenRegionAndCountersAreSetPerFrame) {
  // A flat wall 100 units ahead, 50 wide: with focal 64 it spans 32 pixels.
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), 77);
  Render();
  EXPECT_EQ(target_.CountIn(17, 9, 47, 39, 77), 30 * 30);
  EXPECT_EQ(target_.Count(77), 32 * 32);
  EXPECT_EQ(target_.Count(kBackground), 64 * 48 - 32 * 32);
  EXPECT_GE(g_StatNodes, 2u);
  EXPECT_EQ(g_StatPolysRendered, 1u);
  EXPECT_EQ(g_StatPolysVisible, 1u);
  EXPECT_EQ(g_PixelsDrawn, 64u * 48u);  // wall and background together
  EXPECT_EQ(world_->firstPolygon->lastDrawn, g_FrameStamp);
  const std::uint32_t nodes = g_StatNodes;
  Render();
  EXPECT_EQ(g_StatNodes, nodes);  // zeroed at the start of each frame
}

TEST_F(RenderWorldTest, HalfResolutionDoublesRowsAndRestoresTheView) {
  for (bool bottomUp : {false, true}) {
    SCOPED_TRACE(bottomUp);
    RenderTarget target(64, 48, bottomUp);
    ViewLookAlongZ(&target.view, 0, 0, 0);
    World* world = world_;
    if (!world->firstPolygon) {
      RenderTestPolygon(world, QuadFacingEye(-25, -25, 25, 25, 100), 77);
      RenderTestPolygon(world, QuadFacingEye(-40, 5, 0, 30, 90), 55);
    }
    target.view.flags = kRenderWorld | kRenderHalfResolution;
    const View before = target.view;
    RenderWorld(world, &target.view);
    EXPECT_EQ(g_Coverage.width, 32);  // the frame was drawn at half size
    EXPECT_EQ(target.view.width, before.width);
    EXPECT_EQ(target.view.height, before.height);
    EXPECT_EQ(target.view.pitch, before.pitch);
    EXPECT_EQ(target.view.target, before.target);
    EXPECT_EQ(target.view.firstRow, before.firstRow);
    EXPECT_EQ(target.view.focal, before.focal);
    // Projections after the frame use the full-size view again.
    int sx = 0, sy = 0;
    ASSERT_EQ(ProjectToScreen(&target.view, 25, 25, 100, &sx, &sy), 1);
    EXPECT_EQ(sx, 48);
    EXPECT_EQ(sy, 40);
    EXPECT_EQ(g_ViewWidth, 64);
    int colours = 0;
    for (int y = 0; y < 48; y += 2) {
      for (int x = 0; x < 64; x += 2) {
        const std::uint8_t p = target.At(x, y);
        ASSERT_EQ(target.At(x + 1, y), p) << x << "," << y;
        ASSERT_EQ(target.At(x, y + 1), p) << x << "," << y;
        ASSERT_EQ(target.At(x + 1, y + 1), p) << x << "," << y;
        colours += p == 77;
      }
    }
    EXPECT_GT(colours, 100);  // the wall is there, at about its full-size place
    EXPECT_EQ(target.At(32, 16), 77);
    EXPECT_EQ(target.At(20, 38), 55);
    EXPECT_EQ(target.At(2, 2), kBackground);
  }
}

TEST_F(RenderWorldTest, HalfResolutionNeedsAWidthOfEightsAndAnEvenHeight) {
  struct Case {
    int width, height;
  };
  for (const Case c : {Case{60, 48}, Case{64, 47}, Case{636, 48}}) {
    RenderTarget target(c.width, c.height);
    target.view.flags = kRenderWorld | kRenderHalfResolution;
    RenderWorld(world_, &target.view);
    EXPECT_EQ(g_ViewWidth, c.width);
    EXPECT_EQ(g_ViewHeight, c.height);
  }
}

TEST_F(RenderWorldTest, LinePolygonsAreDrawnInFrontOfTheEyeAndWhenTheirGroupIsVisible) {
  const float x[2] = {-20, 20}, y[2] = {0, 0}, z[2] = {100, 100};
  WorldPolygon* line = PolygonCreate(world_, -2, x, y, z, nullptr, nullptr);
  ASSERT_NE(line, nullptr);
  line->flatColour = 99;
  Render();
  EXPECT_GE(target_.Count(99), 20);
  EXPECT_EQ(target_.At(32, 24), 99);

  // One end at depth 1.0 or closer: not drawn.
  line->vertices[1].z = 1.0f;
  Render();
  EXPECT_EQ(target_.Count(99), 0);

  // A hidden group's line is not drawn; a visible one moves with its group.
  line->vertices[1].z = 100.0f;
  PolygonGroup* group = GroupCreate(world_, "rail", nullptr);
  PolygonSetGroup(line, group, 0);
  group->visible = 0;
  Render();
  EXPECT_EQ(target_.Count(99), 0);
  group->visible = 1;
  group->worldMatrix[13] = 10.0f;  // 10 units down: 6.4 pixels lower
  Render();
  EXPECT_EQ(target_.At(32, 24), kBackground);
  EXPECT_EQ(target_.At(32, 30), 99);
}

TEST_F(RenderWorldTest, ParticleLinksGoBackToTheRootAfterTheFrame) {
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), 77);
  Particle* particle = ParticleCreate(world_, 0, 0, 50, 1, 30);
  ASSERT_NE(particle->link, nullptr);
  Render();
  EXPECT_EQ(particle->link->node, world_->bspRoot);
  EXPECT_EQ(world_->bspRoot->firstParticleLink, particle->link);
}

TEST_F(RenderWorldTest, HardwareFrameWritesNoPixelAndHandsTheQueueOver) {
  static int calls, vertices;
  calls = vertices = 0;
  target_.Fill(0xEE);
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), 77);
  View view = target_.view;
  view.target = nullptr;
  view.firstRow = nullptr;
  view.drawPolygon = [](int count, PolyVertex*, Texture*, int) {
    ++calls;
    vertices = count;
  };
  view.flags = kRenderWorld | kRenderHardware | kRenderHandOver;
  // Something queued before the traversal is dropped by the frame's reset.
  PolyQueueReset(view.drawPolygon);
  PolyQueueAppend(3, 1, nullptr);
  RenderWorld(world_, &view);
  EXPECT_EQ(g_HardwareFrame, kRenderHardware);
  EXPECT_EQ(HardwareModeActive(), kRenderHardware);
  EXPECT_EQ(g_PolyQueue.count, 0);
  // The quad alone, drawn by the callback and not into the target.
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(vertices, 4);
  EXPECT_EQ(target_.Count(0xEE), 64 * 48);
  EXPECT_GE(g_StatNodes, 2u);  // the traversal ran
  Render();
  EXPECT_EQ(HardwareModeActive(), 0);
}

}  // namespace
