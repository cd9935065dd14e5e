// Instances in the software pass: faces queued at BSP leaves, sorted and
// drawn through the coverage buffer, or drawn after the world against the
// software z-buffer.
#include "engine/instance_render.h"

#include <gtest/gtest.h>

#include "engine/animation.h"
#include "engine/bsp.h"
#include "engine/bsp_visit.h"
#include "engine/engine_error.h"
#include "engine/frame_stamp.h"
#include "engine/instance.h"
#include "engine/instance_fragment.h"
#include "engine/palette.h"
#include "engine/render_hardware.h"
#include "engine/render_world.h"
#include "engine/surface.h"
#include "engine/texture_remap.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "tests/engine/render_fixture.h"

namespace {

constexpr std::uint8_t kCubeColour = 120;
constexpr std::uint8_t kWallColour = 77;

class InstanceRenderTest : public RenderFixture {
 protected:
  Instance* Cube(float x, float y, float z, float half = 5, bool twoSided = false, bool textured = true) {
    if (!cubeTexture_) cubeTexture_ = RenderTestTexture("cube", kCubeColour);
    Model* model = RenderTestCubeModel(half, textured ? cubeTexture_ : nullptr, twoSided);
    return InstanceCreate(world_, model, x, y, z, 0, 0, 0, 0);
  }
  Texture* cubeTexture_ = nullptr;
};

TEST_F(InstanceRenderTest, InstanceInViewIsDrawnAndOneBehindAWallIsNot) {
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), kWallColour);
  Instance* hidden = Cube(0, 0, 150);
  Instance* seen = Cube(-20, 0, 80);
  Render();
  EXPECT_EQ(seen->drawn, 1);
  EXPECT_EQ(hidden->drawn, 0);
  EXPECT_GT(target_.Count(kCubeColour), 40);
  EXPECT_EQ(target_.At(16, 24), kCubeColour);  // the near cube's front face
  EXPECT_EQ(target_.At(40, 24), kWallColour);  // the wall hides the far one

  // Not collidable: not drawn either.
  seen->collidable = 0;
  seen->drawn = 0;
  Render();
  EXPECT_EQ(target_.Count(kCubeColour), 0);
  EXPECT_EQ(seen->drawn, 0);
}

TEST_F(InstanceRenderTest, EveryInstanceThatQueuedAFaceIsMarkedDrawnAndNoOther) {
  // Three instances in one leaf side: two in view, and last in the list one
  // round the eye plane whose faces all have a vertex behind the eye.
  Instance* left = Cube(-15, 0, 60);
  Instance* right = Cube(15, 0, 60);
  Instance* straddling = Cube(0, 0, 3);
  Render();
  EXPECT_EQ(left->drawn, 1);
  EXPECT_EQ(right->drawn, 1);
  EXPECT_EQ(straddling->drawn, 0);
  EXPECT_GT(target_.CountIn(0, 0, 32, 48, kCubeColour), 20);
  EXPECT_GT(target_.CountIn(32, 0, 64, 48, kCubeColour), 20);
}

TEST_F(InstanceRenderTest, QueueGrowsToTheLargestMeshAndLeafSide) {
  // 6050 faces and 3136 vertices in one leaf side, all facing the eye.
  Texture* texture = RenderTestTexture("grid", kCubeColour);
  Model* grid = RenderTestGridModel(55, 55, 1.0f, texture);
  Instance* instance = InstanceCreate(world_, grid, 0, 0, 60, 0, 0, 0, 0);
  Render();
  EXPECT_EQ(instance->drawn, 1);
  EXPECT_EQ(g_StatPolysRendered, 2u * 55u * 55u);  // every face queued and handed to the filler
  // 55 units at depth 60 with focal 64: the middle 58 x 48 pixels.
  EXPECT_EQ(target_.CountIn(4, 0, 60, 48, kCubeColour), 56 * 48);
}

TEST_F(InstanceRenderTest, InstanceNearerThanAWallIsDrawnOverIt) {
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), kWallColour);
  Cube(0, 0, 60);
  Render();
  // The cube's front face (z = 55, 10 wide) covers 11.6 pixels round the centre.
  EXPECT_EQ(target_.CountIn(28, 20, 36, 28, kCubeColour), 64);
  EXPECT_EQ(target_.At(20, 24), kWallColour);
}

TEST_F(InstanceRenderTest, FaceWithAVertexNearerThanDepthOneIsNotDrawn) {
  Instance* cube = Cube(0, 0, 20);
  Render();
  EXPECT_GT(target_.Count(kCubeColour), 100);
  // Front face at depth 0.5: that face and the sides touching it go.
  InstanceSetPlacement(cube, 0, 0, 5.5f, 0, 0, 0, 0);
  Render();
  EXPECT_EQ(target_.Count(kCubeColour), 0);
}

TEST_F(InstanceRenderTest, TwoSidedFaceIsDrawnFromBothSides) {
  for (bool twoSided : {false, true}) {
    SCOPED_TRACE(twoSided);
    while (world_->firstInstance) InstanceDelete(world_->firstInstance);
    // The eye inside the cube sees the inside of the face ahead of it.
    Cube(0, 0, 0, 20, twoSided);
    Render();
    EXPECT_EQ(target_.At(32, 24), twoSided ? kCubeColour : kBackground);
  }
}

TEST_F(InstanceRenderTest, QueuedFacesAreDrawnNearestFirst) {
  BeginFrame();
  Texture* nearTexture = RenderTestTexture("near", 31);
  Texture* farTexture = RenderTestTexture("far", 32);
  // Two overlapping squares: the one with key 100 queued first.
  auto square = [](int x0, int y0, int x1, int y1) {
    return std::vector<std::int32_t>{x0 << 16, y0 << 16, 0, 0, x0 << 16, y1 << 16, 0, 0,
                                     x1 << 16, y1 << 16, 0, 0, x1 << 16, y0 << 16, 0, 0};
  };
  g_InstanceVertexLighting = 0;
  InstanceFaceQueueClear();
  InstanceFaceQueueAppend(farTexture, 100, 4, square(10, 10, 40, 40).data());
  InstanceFaceQueueAppend(nearTexture, 40, 4, square(20, 20, 50, 45).data());
  DrawSortedPolysSoftware();
  EXPECT_EQ(InstanceFaceQueueDrawnOrder(0), 1);
  EXPECT_EQ(InstanceFaceQueueDrawnOrder(1), 0);
  EXPECT_EQ(target_.At(30, 30), 31);  // the overlap belongs to the nearer face
  EXPECT_EQ(target_.At(12, 12), 32);
}

TEST_F(InstanceRenderTest, ShellSortOrdersAnyKeys) {
  BeginFrame();
  const std::int32_t keys[] = {7, 3, 9, 3, 1, 12, 0, 5, 5, 8, 2};
  InstanceFaceQueueClear();
  const std::int32_t tiny[6] = {0, 0, 0, 0, 0, 0};
  for (std::int32_t key : keys) InstanceFaceQueueAppend(nullptr, key, 3, tiny);
  DrawSortedPolysSoftware();
  for (int k = 1; k < InstanceFaceQueueCount(); ++k) {
    EXPECT_LE(InstanceFaceQueueKey(InstanceFaceQueueDrawnOrder(k - 1)),
              InstanceFaceQueueKey(InstanceFaceQueueDrawnOrder(k)));
  }
}

TEST_F(InstanceRenderTest, FragmentOutsideALeafPlaneOfTheChainQueuesNothing) {
  Instance* cube = Cube(0, 0, 150);
  InstanceUpdateMatrix(cube);
  InstanceNode* node = cube->firstNode;
  g_InstancesZBuffered = 1;  // pose without making fragments at the root
  InstanceNodeUpdate(node, 0);
  g_InstancesZBuffered = 0;
  // Chain: A (front is z <= 120) above L (front is z >= 0), L holding the fragment.
  BspNode* a = BspNodeCreate(0, 0, -1, -120);
  BspNode* l = BspNodeCreate(0, 0, 1, 0);
  a->front = l;
  l->parent = a;
  InstanceFragment* fragment = InstanceFragmentCreate(node, l, nullptr, 0);
  ASSERT_NE(fragment, nullptr);
  BeginFrame();
  BspRecordLeafChain(l);
  l->side = 1;
  a->side = 1;  // drawing A's front: the cube (z 145..155) lies wholly behind it
  InstanceFaceQueueClear();
  QueueInstanceFragmentSoftware(fragment, 1);
  EXPECT_EQ(InstanceFaceQueueCount(), 0);
  a->side = -1;
  QueueInstanceFragmentSoftware(fragment, 1);
  EXPECT_EQ(InstanceFaceQueueCount(), 1);  // the face toward the eye
  EXPECT_EQ(g_FrustumPlaneCount, kFrustumPlaneCount);

  // A plane through the cube is added as a clip plane.
  a->d = -150;
  a->side = 1;
  InstanceFaceQueueClear();
  QueueInstanceFragmentSoftware(fragment, 1);
  EXPECT_EQ(g_FrustumPlaneCount, kFrustumPlaneCount + 1);
  EXPECT_EQ(InstanceFaceQueueCount(), 1);
  BspNodeFree(a);
}

TEST_F(InstanceRenderTest, WithAZBufferInstancesStayOutOfTheTreeAndAreDepthTested) {
  // Textured: the textured fillers write the wall's depth into the z-buffer.
  Texture* wallTexture = RenderTestTexture("wall", kWallColour);
  Surface* surface = RenderTestSurface(world_, wallTexture, {0, 0, 100}, {64, 0, 0}, {0, 64, 0});
  RenderTestPolygon(world_, QuadFacingEye(-25, -25, 25, 25, 100), 50, 0, surface);
  ASSERT_EQ(ZBufferAllocate(64, 48), 1);
  Instance* front = Cube(-12, 0, 60);
  Instance* behind = Cube(12, 0, 150);
  Render();
  for (InstanceNode* node = world_->firstInstanceNode; node; node = node->nextInWorld) {
    EXPECT_EQ(node->firstFragment, nullptr);
  }
  EXPECT_EQ(front->drawn, 1);
  EXPECT_EQ(behind->drawn, 1);  // handed to the z-tested fill, where every pixel fails
  EXPECT_EQ(target_.At(19, 24), kCubeColour);
  EXPECT_EQ(target_.At(45, 24), kWallColour);
  EXPECT_EQ(target_.Count(kCubeColour), target_.CountIn(0, 0, 32, 48, kCubeColour));
}

TEST_F(InstanceRenderTest, SwitchingTheZBufferOnAndOffKeepsInstancesWhereTheyAre) {
  Instance* cube = Cube(-12, 0, 60);
  Render();
  EXPECT_NE(cube->firstNode->firstFragment, nullptr);
  ASSERT_EQ(ZBufferAllocate(64, 48), 1);
  Render();
  EXPECT_EQ(cube->firstNode->firstFragment, nullptr);  // no stale fragments left in the tree
  InstanceSetPlacement(cube, 12, 0, 60, 0, 0, 0, 0);
  Render();
  ZBufferRelease();
  Render();
  EXPECT_EQ(target_.CountIn(0, 0, 32, 48, kCubeColour), 0);
  EXPECT_GT(target_.CountIn(32, 0, 64, 48, kCubeColour), 50);
}

TEST_F(InstanceRenderTest, UntexturedFacesAreBlackInTheTreeAndNotDrawnWithTheZBuffer) {
  // A palette whose nearest black is not the background's index.
  PaletteReset();
  g_PaletteCount = 12;
  g_PaletteRed[10] = g_PaletteGreen[10] = g_PaletteBlue[10] = 40;
  PaletteClearCaches();
  const int black = FindPaletteColour(0, 0, 0);
  ASSERT_EQ(black, 11);
  Cube(0, 0, 40, 5, false, false);
  Render();
  EXPECT_EQ(target_.At(32, 24), black);
  ASSERT_EQ(ZBufferAllocate(64, 48), 1);
  Render();
  EXPECT_EQ(target_.Count(static_cast<std::uint8_t>(black)), 64 * 48);  // background only
  PaletteReset();
}

TEST_F(InstanceRenderTest, SkinFacesWhoseTextureIsMissingAreDrawnAsUntextured) {
  // No background: what the passes leave alone keeps this colour.
  constexpr std::uint8_t kUntouched = 200;
  SetBackgroundFill(0);
  const int black = FindPaletteColour(0, 0, 0);
  ASSERT_NE(black, kUntouched);
  constexpr std::uint8_t kSkinColour = 130;
  RenderTestTexture("SKIN", kSkinColour);
  Instance* cube = Cube(0, 0, 40);
  struct Case {
    const char* to;
    int inTree;     // the cube's centre pixel in the BSP pass
    int zBuffered;  // and in the z-buffered pass
  } cases[] = {{"skin", kSkinColour, kSkinColour}, {"NOSUCH", black, kUntouched}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    const char* from[] = {"CUBE"};
    const char* to[] = {c.to};
    InstanceSetTextureRemap(cube, 1, from, to);
    target_.Fill(kUntouched);
    Render();
    EXPECT_EQ(target_.At(32, 24), c.inTree);
    EXPECT_EQ(target_.Count(kCubeColour), 0);
    ASSERT_EQ(ZBufferAllocate(64, 48), 1);
    target_.Fill(kUntouched);
    Render();
    EXPECT_EQ(target_.At(32, 24), c.zBuffered);
    EXPECT_EQ(target_.Count(kCubeColour), 0);
    ZBufferRelease();
  }
}

TEST_F(InstanceRenderTest, HardwareFrameWithAZBufferKeepsInstancesInTheTree) {
  ASSERT_EQ(ZBufferAllocate(64, 48), 1);
  Cube(0, 0, 40);
  View view = target_.view;
  view.target = nullptr;
  view.firstRow = nullptr;
  view.drawPolygon = [](int, PolyVertex*, Texture*, int) {};
  view.flags = kRenderWorld | kRenderHardware | kRenderHandOver;
  EXPECT_EQ(RenderInstancesZBuffered(&view), 0);
  RenderWorld(world_, &view);  // no pixel path: a write would fault
  EXPECT_NE(world_->firstInstanceNode->firstFragment, nullptr);
  EXPECT_EQ(RenderInstancesZBuffered(&target_.view), 1);
}

}  // namespace
