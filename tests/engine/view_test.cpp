#include "engine/view.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/depth_cue.h"
#include "engine/frame_stamp.h"
#include "engine/matrix.h"
#include "engine/render_world.h"

namespace {

const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    while (g_MatrixStack.depth > 0) MatrixPop();
    MatrixIdentity();
    DepthCueSet(0.0f, -1.0f);
    g_CurrentView = nullptr;
    ++g_FrameStamp;
    view_ = MakeView();
  }
  void TearDown() override {
    g_CurrentView = nullptr;
    DepthCueSet(0.0f, -1.0f);
  }
  static View MakeView() {
    View view = {};
    view.zoom = 1.0f;
    std::memcpy(view.cameraMatrix, kIdentity, sizeof(Matrix));
    view.focal = 320.0f;
    view.width = 640;
    view.height = 480;
    view.flags = kRenderFlagsDefault;
    return view;
  }
  static float Side(const Plane& plane, float x, float y, float z) {
    return plane.nx * x + plane.ny * y + plane.nz * z - plane.d;
  }
  View view_;
};

TEST_F(ViewTest, IdentityCameraPutsTheEyeAtTheOriginAndProjectsToTheCentre) {
  int sx = -1, sy = -1;
  ASSERT_EQ(ProjectToScreen(&view_, 0, 0, 10, &sx, &sy), 1);
  EXPECT_EQ(sx, 320);
  EXPECT_EQ(sy, 240);
  EXPECT_FLOAT_EQ(view_.position.x, 0.0f);
  EXPECT_FLOAT_EQ(view_.position.z, 0.0f);
  // x grows to the right, y down; focal 320: one unit at depth 10 is 32 pixels.
  ASSERT_EQ(ProjectToScreen(&view_, 1, -2, 10, &sx, &sy), 1);
  EXPECT_EQ(sx, 352);
  EXPECT_EQ(sy, 176);
}

TEST_F(ViewTest, ZoomScalesTheFocalLength) {
  view_.zoom = 2.0f;
  int sx = 0, sy = 0;
  ASSERT_EQ(ProjectToScreen(&view_, 1, 0, 10, &sx, &sy), 1);
  EXPECT_EQ(sx, 384);
  EXPECT_EQ(sy, 240);
}

TEST_F(ViewTest, DepthOneIsProjectedAndJustBelowIsNot) {
  int sx = -7, sy = -9;
  EXPECT_EQ(ProjectToScreen(&view_, 0.5f, 0, 0.999f, &sx, &sy), 0);
  EXPECT_EQ(sx, -7);  // untouched
  EXPECT_EQ(sy, -9);
  EXPECT_EQ(ProjectToScreen(&view_, 0, 0, -5, &sx, &sy), 0);
  EXPECT_EQ(ProjectToScreen(&view_, 0.5f, 0, 1.0f, &sx, &sy), 1);
  EXPECT_EQ(sx, 480);
  EXPECT_EQ(sy, 240);
}

TEST_F(ViewTest, ProjectionLeavesTheCallersMatrixAndStackAlone) {
  MatrixTranslate(3, 4, 5);
  ASSERT_EQ(MatrixPush(), 1);
  MatrixRotateX(0.5f);
  Matrix before;
  MatrixGet(before);
  int sx, sy;
  ProjectToScreen(&view_, 0, 0, 10, &sx, &sy);
  Matrix after;
  MatrixGet(after);
  EXPECT_EQ(std::memcmp(before, after, sizeof(Matrix)), 0);
  EXPECT_EQ(g_MatrixStack.depth, 1);
}

TEST_F(ViewTest, ProjectionOnAFullStackStillRestoresTheCallersMatrix) {
  for (int i = 0; i < kMatrixStackDepth; ++i) ASSERT_EQ(MatrixPush(), 1);
  MatrixTranslate(9, 9, 9);
  Matrix before;
  MatrixGet(before);
  int sx, sy;
  ASSERT_EQ(ProjectToScreen(&view_, 0, 0, 10, &sx, &sy), 1);
  Matrix after;
  MatrixGet(after);
  EXPECT_EQ(std::memcmp(before, after, sizeof(Matrix)), 0);
}

TEST_F(ViewTest, SetupLeavesTheCameraMatrixCurrent) {
  ViewSetup(&view_);
  Matrix current;
  MatrixGet(current);
  EXPECT_EQ(std::memcmp(current, g_CameraMatrix, sizeof(Matrix)), 0);
  float X, Y, Z;
  MatrixTransformPoint(0, 0, 10, &X, &Y, &Z);
  EXPECT_FLOAT_EQ(Z, 10.0f);
  EXPECT_FLOAT_EQ(X / Z, 320.0f * 65536.0f);
  EXPECT_EQ(g_ViewWidth, 640);
  EXPECT_EQ(g_ViewHeight16, 480 << 16);
  EXPECT_EQ(g_CurrentView, &view_);
  EXPECT_EQ(view_.stamp, g_FrameStamp);
}

TEST_F(ViewTest, WithinOneStampASecondSetupOnlyReloadsTheMatrix) {
  ViewSetup(&view_);
  Matrix first;
  std::memcpy(first, g_CameraMatrix, sizeof(Matrix));
  view_.cameraMatrix[12] = -100.0f;  // the camera moves ...
  MatrixIdentity();
  ViewSetup(&view_);  // ... but the stamp did not
  Matrix current;
  MatrixGet(current);
  EXPECT_EQ(std::memcmp(current, first, sizeof(Matrix)), 0);
  EXPECT_FLOAT_EQ(view_.position.x, 0.0f);
  ++g_FrameStamp;
  ViewSetup(&view_);
  EXPECT_FLOAT_EQ(view_.position.x, 100.0f);
  EXPECT_FLOAT_EQ(g_CameraPosition.x, 100.0f);
}

TEST_F(ViewTest, ASecondViewInTheSameStampGetsItsOwnState) {
  View other = MakeView();
  other.cameraMatrix[14] = -50.0f;  // eye at z = 50
  other.stamp = g_FrameStamp;       // same stamp as the first view will get
  ViewSetup(&view_);
  int sx, sy;
  ASSERT_EQ(ProjectToScreen(&other, 0, 0, 60, &sx, &sy), 1);
  EXPECT_FLOAT_EQ(other.position.z, 50.0f);
  EXPECT_EQ(ProjectToScreen(&other, 0, 0, 10, &sx, &sy), 0);  // behind its eye
  EXPECT_EQ(ProjectToScreen(&view_, 0, 0, 10, &sx, &sy), 1);  // the first one again
}

TEST_F(ViewTest, EyePositionComesFromARotatedAndTranslatedCamera) {
  // World to camera: move the eye (5, 6, 7) to the origin, then turn.
  MatrixIdentity();
  MatrixTranslate(-5, -6, -7);
  MatrixRotateY(0.6f);
  MatrixRotateX(-0.3f);
  MatrixGet(view_.cameraMatrix);
  ViewSetup(&view_);
  EXPECT_NEAR(view_.position.x, 5.0f, 1e-4f);
  EXPECT_NEAR(view_.position.y, 6.0f, 1e-4f);
  EXPECT_NEAR(view_.position.z, 7.0f, 1e-4f);
  // The point straight ahead (camera (0, 0, 20)) lands on the centre pixel.
  float wx, wy, wz;
  MatrixLoad(view_.cameraMatrix);
  MatrixInvert();
  MatrixTransformPoint(0, 0, 20, &wx, &wy, &wz);
  int sx, sy;
  ASSERT_EQ(ProjectToScreen(&view_, wx, wy, wz, &sx, &sy), 1);
  EXPECT_EQ(sx, 320);
  EXPECT_EQ(sy, 240);
}

TEST_F(ViewTest, FrustumPlanesFaceInwardAndFollowTheScreenEdges) {
  ViewSetup(&view_);
  ASSERT_EQ(g_FrustumPlaneCount, 6);
  for (int i = 0; i < 6; ++i) {
    const Plane& p = g_FrustumPlanes[i];
    EXPECT_NEAR(p.nx * p.nx + p.ny * p.ny + p.nz * p.nz, 1.0f, 1e-5f) << "plane " << i;
    EXPECT_GT(Side(p, 0, 0, 10), 0.0f) << "plane " << i;  // the centre is inside all
  }
  // Near: one unit in front of the eye.
  EXPECT_NEAR(Side(g_FrustumPlanes[0], 0, 0, 1.0f), 0.0f, 1e-6f);
  // At depth 320 (= focal) a pixel is one unit: the screen spans x -320..320,
  // y -240..240, grown by half a pixel. Index 1 top, 2 left, 3 bottom, 4 right.
  EXPECT_NEAR(Side(g_FrustumPlanes[1], 0, -240.5f, 320), 0.0f, 1e-3f);
  EXPECT_LT(Side(g_FrustumPlanes[1], 0, -241.0f, 320), 0.0f);
  EXPECT_NEAR(Side(g_FrustumPlanes[2], -320.5f, 0, 320), 0.0f, 1e-3f);
  EXPECT_LT(Side(g_FrustumPlanes[2], -321.0f, 0, 320), 0.0f);
  EXPECT_NEAR(Side(g_FrustumPlanes[3], 0, 240.5f, 320), 0.0f, 1e-3f);
  EXPECT_LT(Side(g_FrustumPlanes[3], 0, 241.0f, 320), 0.0f);
  EXPECT_NEAR(Side(g_FrustumPlanes[4], 320.5f, 0, 320), 0.0f, 1e-3f);
  EXPECT_LT(Side(g_FrustumPlanes[4], 321.0f, 0, 320), 0.0f);
}

TEST_F(ViewTest, FarPlaneUsesTheDepthCueDistanceOrDefaultsWhenItIsOff) {
  ViewSetup(&view_);  // depth cue off (-1.0)
  EXPECT_FLOAT_EQ(g_FrustumPlanes[5].nz, -1.0f);
  EXPECT_FLOAT_EQ(g_FrustumPlanes[5].d, -100000.0f);
  DepthCueSet(100.0f, 800.0f);
  ++g_FrameStamp;
  view_.cameraMatrix[14] = -10.0f;  // eye at z = 10
  ViewSetup(&view_);
  EXPECT_NEAR(Side(g_FrustumPlanes[5], 0, 0, 810.0f), 0.0f, 1e-3f);
  EXPECT_GT(Side(g_FrustumPlanes[5], 0, 0, 800.0f), 0.0f);
  EXPECT_LT(Side(g_FrustumPlanes[5], 0, 0, 820.0f), 0.0f);
}

TEST_F(ViewTest, HardwareModeFollowsTheLastFramesFlags) {
  g_RenderFlagsLastFrame = kRenderFlagsDefault;
  EXPECT_EQ(HardwareModeActive(), 0);
  g_RenderFlagsLastFrame = kRenderFlagsDefault | kRenderHardware;
  EXPECT_EQ(HardwareModeActive(), 4096);
  g_RenderFlagsLastFrame = 0;
}

TEST(DepthCue, StartBeyondFarBecomesZero) {
  DepthCueSet(300.0f, 200.0f);
  EXPECT_FLOAT_EQ(g_DepthCueStartSquared, 0.0f);
  EXPECT_FLOAT_EQ(DepthCueFar(), 200.0f);
  EXPECT_FLOAT_EQ(g_DepthCueInverseRange, 1.0f / 40000.0f);
  DepthCueSet(300.0f, -1.0f);
  EXPECT_FLOAT_EQ(DepthCueFar(), -1.0f);
  EXPECT_FLOAT_EQ(g_DepthCueStartSquared, 0.0f);
}

}  // namespace
