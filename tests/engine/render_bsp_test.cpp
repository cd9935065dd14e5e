// The software BSP pass and fragment drawing: node culling, fragment
// visibility and facing, clipping, lighting switches, light spots, lines.
#include <gtest/gtest.h>

#include "engine/bsp.h"
#include "engine/bsp_visit.h"
#include "engine/depth_cue.h"
#include "engine/frame_stamp.h"
#include "engine/light.h"
#include "engine/lighting.h"
#include "engine/palette.h"
#include "engine/particle.h"
#include "engine/render_software.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "engine/world_polygon.h"
#include "render/coverage_buffer.h"
#include "render/render_stats.h"
#include "tests/engine/render_fixture.h"

namespace {

class RenderBspTest : public RenderFixture {
 protected:
  // A node with its plane facing the eye, placed by hand.
  BspNode* HandNode(Vec3 centre, float radius, Vec3 boxMin, Vec3 boxMax) {
    BspNode* node = BspNodeCreate(0, 0, -1, -100);
    node->centre = centre;
    node->radius = radius;
    node->boxMin = boxMin;
    node->boxMax = boxMax;
    nodes_.push_back(node);
    return node;
  }
  void TearDown() override {
    for (BspNode* node : nodes_) BspNodeFree(node);
    RenderFixture::TearDown();
  }
  // A shade table whose row r turns every texel into 100 + r.
  static void ShadeRowsAsColours() {
    for (int row = 0; row < kShadeRows; ++row)
      for (int t = 0; t < kPaletteSize; ++t)
        g_pShadeTable[row * kPaletteSize + t] = static_cast<std::uint8_t>(100 + row);
  }
  static int Row(std::uint8_t pixel) { return pixel - 100; }
  // A textured wall 100 units ahead facing the eye, vertex light as given.
  WorldPolygon* TexturedWall(float half, float light, int flags = 0) {
    Texture* texture = RenderTestTexture("wall", 200);
    Surface* surface = RenderTestSurface(world_, texture, {0, 0, 100}, {64, 0, 0}, {0, 64, 0});
    return RenderTestPolygon(world_, QuadFacingEye(-half, -half, half, half, 100), 50, flags, surface, light);
  }
  std::vector<BspNode*> nodes_;
};

TEST_F(RenderBspTest, EyeInsideTheBoxIsNeverCulled) {
  // The sphere lies wholly behind the eye, outside the near plane.
  BspNode* node = HandNode({0, 0, -5000}, 1, {-10, -10, -10}, {10, 10, 200});
  BeginFrame();
  RenderBspSoftware(node, kFrustumMaskAll, 0);
  EXPECT_EQ(node->visited, 1);
  EXPECT_EQ(g_StatNodes, 1u);

  node->boxMin.z = 1;  // the eye now lies outside the box
  BeginFrame();
  RenderBspSoftware(node, kFrustumMaskAll, 0);
  EXPECT_EQ(node->visited, 0);
  EXPECT_EQ(g_StatNodes, 0u);
}

TEST_F(RenderBspTest, OnlyNodesOfRadius85OrMoreGetTheScreenRectangleTest) {
  // The box projects round the view centre, inside a region already covered.
  for (float radius : {84.9f, 85.0f}) {
    BspNode* node = HandNode({0, 0, 100}, radius, {-10, -10, 100}, {10, 10, 101});
    BeginFrame();
    for (int y = 10; y < 40; ++y) CoverageClaimSpan(10, 54, y);
    ASSERT_GT(g_Coverage.openLineCount, 0);
    RenderBspSoftware(node, kFrustumMaskAll, 0);
    EXPECT_EQ(node->visited, radius < 85.0f ? 1 : 0) << radius;
  }
}

TEST_F(RenderBspTest, NodeOutsideAFrustumPlaneIsCulledAndTheMaskShrinksInside) {
  // Far to the left: outside the left plane.
  BspNode* left = HandNode({-500, 0, 100}, 5, {-505, -5, 95}, {-495, 5, 105});
  BeginFrame();
  int mask = kFrustumMaskAll;
  EXPECT_EQ(BspNodeCulled(left, &mask, &target_.view), 1);
  // Small and in the middle: every tested plane is cleared from the mask.
  BspNode* middle = HandNode({0, 0, 100}, 5, {-5, -5, 95}, {5, 5, 105});
  mask = kFrustumMaskAll;
  EXPECT_EQ(BspNodeCulled(middle, &mask, &target_.view), 0);
  EXPECT_EQ(mask, kFrustumMaskAll & ~0x1F);  // plane 5 is not tested while the cue is off
  DepthCueSet(0, 1000);
  BeginFrame();
  mask = kFrustumMaskAll;
  EXPECT_EQ(BspNodeCulled(middle, &mask, &target_.view), 0);
  EXPECT_EQ(mask, 0);
}

TEST_F(RenderBspTest, FragmentWithEveryVertexAtDepthOneOrLessIsNotDrawn) {
  WorldPolygon* wall = RenderTestPolygon(world_, QuadFacingEye(-100, -100, 100, 100, 0.5f), 77);
  Render();
  EXPECT_EQ(target_.Count(77), 0);
  EXPECT_EQ(wall->lastDrawn, kStampNever);
}

TEST_F(RenderBspTest, FragmentTurnedAwayIsSkippedAndNeverDrawnFlagHides) {
  WorldPolygon* away = RenderTestPolygon(world_, FacingPoint(QuadFacingEye(-25, -25, 25, 25, 100), {0, 0, 500}), 77);
  Render();
  EXPECT_EQ(target_.Count(77), 0);
  EXPECT_EQ(away->lastDrawn, kStampNever);
  // Seen from the other side it is drawn.
  ViewLookYaw(&target_.view, 0, 0, 200, 3.14159265f);
  Render();
  EXPECT_GT(target_.Count(77), 500);
  away->flags |= kPolygonNeverDrawn;
  Render();
  EXPECT_EQ(target_.Count(77), 0);
}

TEST_F(RenderBspTest, NearerPolygonHidesTheOneBehindAndThePassStopsWhenAllIsCovered) {
  RenderTestPolygon(world_, QuadFacingEye(-200, -200, 200, 200, 100), 77);
  WorldPolygon* behind = RenderTestPolygon(world_, QuadFacingEye(-20, -20, 20, 20, 300), 55);
  for (int i = 0; i < 5; ++i)
    RenderTestPolygon(world_, QuadFacingEye(-20.0f + i, -20, 20, 20, 400.0f + 50 * i), 56 + i);
  Render();
  EXPECT_EQ(target_.Count(77), 64 * 48);
  EXPECT_EQ(behind->lastDrawn, kStampNever);
  const std::uint32_t coveredNodes = g_StatNodes;
  // Without the near wall every node is visited.
  PolygonDelete(world_->firstPolygon);
  Render();
  EXPECT_GT(target_.Count(55), 50);
  EXPECT_GT(g_StatNodes, coveredNodes);
}

TEST_F(RenderBspTest, WithTheDepthCueOnEveryFragmentIsClippedAtTheFarPlane) {
  // A wall slanting from depth 150 (left) to 250 (right); 200 is at the centre column.
  const std::vector<Vec3> slant = {{-50, -20, 150}, {-50, 20, 150}, {50, 20, 250}, {50, -20, 250}};
  RenderTestPolygon(world_, FacingPoint(slant, {0, 0, 0}), 77);
  Render();
  const int full = target_.Count(77);
  EXPECT_GT(target_.CountIn(36, 0, 64, 48, 77), 50);
  DepthCueSet(0, 200);
  Render();
  EXPECT_EQ(target_.CountIn(34, 0, 64, 48, 77), 0);
  EXPECT_GT(target_.CountIn(12, 0, 31, 48, 77), 200);
  EXPECT_LT(target_.Count(77), full);
}

TEST_F(RenderBspTest, FragmentReachingBehindTheEyeIsClippedToWhatLiesInFront) {
  // A wall to the right, running from behind the eye to depth 100.
  const std::vector<Vec3> side = {{10, -30, -50}, {10, 30, -50}, {10, 30, 100}, {10, -30, 100}};
  RenderTestPolygon(world_, FacingPoint(side, {0, 0, 0}), 77);
  Render();
  // Everything right of its vanishing column (32 + 6.4 at depth 100) is wall.
  EXPECT_EQ(target_.CountIn(40, 0, 64, 48, 77), 24 * 48);
  EXPECT_EQ(target_.CountIn(0, 0, 32, 48, 77), 0);
}

TEST_F(RenderBspTest, LightingSwitchesFlagsAndSourcesDecideTheShadeRow) {
  ShadeRowsAsColours();
  WorldPolygon* wall = TexturedWall(25, 0.5f);
  target_.view.flags = kRenderWorld | kRenderLights;
  Render();
  EXPECT_EQ(Row(target_.At(32, 24)), 15);  // own light 0.5 and nothing else
  target_.view.flags = kRenderWorld;
  Render();
  EXPECT_EQ(target_.At(32, 24), 200);  // lighting off: the texel as it is

  // A strong light just in front of the wall brightens it ...
  LightCreate(world_, 0, 0, 90, 1, 1, 1, 100, 10, 1000, kLightTypePoint, 0);
  target_.view.flags = kRenderWorld | kRenderLights;
  Render();
  EXPECT_EQ(Row(target_.At(32, 24)), 30);
  // ... but not a polygon that takes no light sources,
  wall->flags |= kPolygonNoLightSources;
  Render();
  EXPECT_EQ(Row(target_.At(32, 24)), 15);
  // and an unlit polygon is drawn as it is with lighting on.
  wall->flags = kPolygonUnlit;
  Render();
  EXPECT_EQ(target_.At(32, 24), 200);
}

TEST_F(RenderBspTest, OnlyTheFirstQualifyingLightMakesASpot) {
  ShadeRowsAsColours();
  TexturedWall(40, 0.0f);
  // Two lights 8 units in front of the wall, each reaching 15 units.
  Light* a = LightCreate(world_, -20, 0, 92, 1, 1, 1, 100, 3, 15, kLightTypePoint, 0);
  Light* b = LightCreate(world_, 20, 0, 92, 1, 1, 1, 100, 3, 15, kLightTypePoint, 0);
  target_.view.flags = kRenderWorld | kRenderLights | kRenderLightSpots;
  Render();
  const int footA = 19, footB = 45;  // columns of the feet: 32 -+ 12.8
  EXPECT_GE(Row(target_.At(footA, 24)), 27);
  EXPECT_LE(Row(target_.At(footB, 24)), 15);
  EXPECT_LE(Row(target_.At(7, 24)), 2);  // the edges keep their own light
  // Without spots the vertices (none of which a light reaches) decide.
  target_.view.flags = kRenderWorld | kRenderLights;
  Render();
  EXPECT_EQ(Row(target_.At(footA, 24)), 0);
  // A light exactly four sizes away makes none: b is the first to qualify.
  a->size = 2;
  target_.view.flags = kRenderWorld | kRenderLights | kRenderLightSpots;
  Render();
  EXPECT_LE(Row(target_.At(footA, 24)), 15);
  EXPECT_GE(Row(target_.At(footB, 24)), 27);
  (void)b;
}

TEST_F(RenderBspTest, TwoVertexFragmentIsALineInItsFlatColourClippedAtTheEye) {
  // From behind the eye to depth 100 along the floor: RenderWorld's own line
  // pass skips it (one end behind), so what is drawn comes from the BSP.
  const float x[2] = {0, 0}, y[2] = {10, 10}, z[2] = {-20, 100};
  WorldPolygon* line = PolygonCreate(world_, 2, x, y, z, nullptr, nullptr);
  ASSERT_NE(line, nullptr);
  line->flatColour = 99;
  Render();
  EXPECT_GE(target_.Count(99), 10);
  EXPECT_EQ(target_.At(32, 47), 99);  // reaches the bottom edge
  EXPECT_EQ(target_.At(32, 20), kBackground);
  EXPECT_EQ(line->lastDrawn, g_FrameStamp);
}

TEST_F(RenderBspTest, ParticlesMoveIntoTheChildWhoseBoxHoldsThem) {
  // Two walls under one node: the first wall's node box spans both.
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), 77);
  RenderTestPolygon(world_, FacingPoint({{-25, -25, 100}, {-25, 25, 100}, {-25, 25, 160}, {-25, -25, 160}}, {0, 0, 0}),
                    78);
  BspNode* root = world_->bspRoot;
  ASSERT_NE(root->front, nullptr);
  Particle* inside = ParticleCreate(world_, -10, 0, 120, 1, 30);
  Particle* outside = ParticleCreate(world_, 500, 0, 120, 1, 30);
  BspNodeSortParticles(root);
  EXPECT_EQ(inside->link->node, root->front);
  EXPECT_EQ(outside->link->node, root);
  EXPECT_EQ(outside->link->side, 1);
}

TEST_F(RenderBspTest, ParticlesAreDrawnInTreeOrderWithTheWalls) {
  // Entry 11 white, entry 10 (the background) black.
  PaletteReset();
  g_PaletteCount = 12;
  g_PaletteRed[11] = g_PaletteGreen[11] = g_PaletteBlue[11] = 255;
  PaletteClearCaches();
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), 77);
  RenderTestPolygon(world_, FacingPoint({{-25, -25, 40}, {-25, 25, 40}, {-25, 25, 100}, {-25, -25, 100}}, {0, 0, 0}),
                    78);
  // In front of the wall, inside the walls' box: drawn before the wall.
  Particle* front = ParticleCreate(world_, -10, 0, 60, 2, 11);
  Render();
  EXPECT_EQ(target_.At(21, 24), 11);
  EXPECT_EQ(front->link->node, world_->bspRoot);  // back at the root after the frame
  // Behind the wall: hidden by it.
  ParticleSet(front, -10, 0, 140, 2, 11);
  Render();
  EXPECT_EQ(target_.Count(11), 0);
  PaletteReset();
}

}  // namespace

namespace {

// Instance faces are lit with the light-source switch that the last
// fragment handed to the drawing left. A fragment wholly off the view, near
// enough to go through the clipper, is handed on (and clipped away) after
// the wall in view: the switch is its, though the pass passes it over.
TEST_F(RenderBspTest, LightSwitchIsWhatTheLastFragmentHandedOnLeftEvenOffTheView) {
  ViewLookAlongZ(&target_.view, 0, 0, 0);
  RenderTestPolygon(world_, QuadFacingEye(-20, -20, 20, 20, 50), 77);
  // In the wall's plane (so after it in its node's list), far to the left,
  // nearer than the focal length (64).
  WorldPolygon* aside = RenderTestPolygon(world_, QuadFacingEye(-500, -10, -400, 10, 50), 55, kPolygonNoLightSources);
  Render();
  EXPECT_GT(target_.Count(77), 0);
  EXPECT_EQ(target_.Count(55), 0);
  EXPECT_EQ(g_SurfaceTakesLights, 0);
  // Nothing of it is drawn, and it is not stamped as drawn.
  EXPECT_EQ(aside->lastDrawn, kStampNever);
  // Never drawn, it is not handed on: the wall's switch stands.
  aside->flags |= kPolygonNeverDrawn;
  Render();
  EXPECT_EQ(g_SurfaceTakesLights, 1);
  // Further off, every vertex lies beyond the focal length: it would have
  // an empty rectangle off the edge and is not handed on.
  aside->flags &= ~kPolygonNeverDrawn;
  PolygonDelete(aside);
  RenderTestPolygon(world_, QuadFacingEye(-300, -300, 300, 300, 600), 57);
  RenderTestPolygon(world_, QuadFacingEye(-50000, -10, -40000, 10, 600), 56, kPolygonNoLightSources);
  Render();
  EXPECT_GT(target_.Count(57), 0);
  EXPECT_EQ(target_.Count(56), 0);
  EXPECT_EQ(g_SurfaceTakesLights, 1);
}

}  // namespace
