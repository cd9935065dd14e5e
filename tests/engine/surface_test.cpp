#include "engine/surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/bsp_fragment.h"
#include "engine/frame_stamp.h"
#include "engine/matrix.h"
#include "engine/render_world.h"
#include "engine/surface_mapping.h"
#include "engine/view.h"
#include "engine/world_polygon.h"
#include "tests/engine/world_fixture.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr float kFocal = 100.0f;

// The camera matrix as the view set-up leaves it for an eye at the origin
// looking along +z: x and y scaled by focal x 65536, the screen centre added
// through the third row.
void LoadTestCamera() {
  const float s = kFocal * 65536.0f;
  const float m[16] = {s, 0, 0, 0, 0, s, 0, 0, kWidth * 65536.0f / 2, kHeight * 65536.0f / 2, 1, 0, 0, 0, 0, 1};
  MatrixLoad(m);
}

Vec3 Along(Vec3 o, Vec3 u, Vec3 v, float a, float b) {
  return {o.x + a * u.x + b * v.x, o.y + a * u.y + b * v.y, o.z + a * u.z + b * v.z};
}

// (S/Q, T/Q) of the gradients at the pixel where p projects.
void EvaluateAt(const Surface* s, Vec3 p, double* u, double* v) {
  float x, y, z;
  MatrixTransformPoint(p.x, p.y, p.z, &x, &y, &z);
  const double rx = x / 65536.0 / z - (kWidth >> 1);
  const double ry = y / 65536.0 / z - (kHeight >> 1);
  const float* g = s->gradients;
  const double q = g[6] * rx + g[7] * ry + g[8];
  *u = (g[0] * rx + g[1] * ry + g[2]) / q;
  *v = (g[3] * rx + g[4] * ry + g[5]) / q;
}

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = TestWorldCreate(nullptr);
    texture_ = TestTextureCreate("wall", 64, 32);
    g_FrameStamp = 5;
    g_RenderFlagsLastFrame = 0;
    LoadTestCamera();
  }
  void TearDown() override {
    TestWorldFree(world_);
    TestTextureFree(texture_);
    g_FrameStamp = kStampNever;
    g_RenderFlagsLastFrame = 0;
    MatrixIdentity();
  }
  Surface* Make(Vec3 o, Vec3 u, Vec3 v, int uOffset = 0, int vOffset = 0) {
    ++texture_->refs;  // the surface takes one over
    return SurfaceCreate(world_, o.x, o.y, o.z, u.x, u.y, u.z, v.x, v.y, v.z, uOffset, vOffset, texture_);
  }
  World* world_ = nullptr;
  Texture* texture_ = nullptr;
};

const Vec3 kOrigin = {-10.0f, 5.0f, 100.0f};
const Vec3 kU = {40.0f, 0.0f, 20.0f};  // slanted in depth: a real perspective mapping
const Vec3 kV = {0.0f, 30.0f, 0.0f};

}  // namespace

TEST_F(SurfaceTest, CreateCountsLinksAndCopiesTheWorldFrame) {
  Surface* a = Make(kOrigin, kU, kV, 7, 9);
  Surface* b = Make(kOrigin, kU, kV);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->refs, 1);
  EXPECT_EQ(a->stamp, kStampNever);
  EXPECT_EQ(a->texture, texture_);
  EXPECT_EQ(a->uOffset, 7);
  EXPECT_EQ(a->vOffset, 9);
  EXPECT_EQ(a->worldU.z, kU.z);
  EXPECT_EQ(a->worldOrigin.y, kOrigin.y);
  EXPECT_EQ(world_->firstSurface, a);
  EXPECT_EQ(world_->lastSurface, b);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(SurfaceCreate(nullptr, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, texture_), nullptr);
  EXPECT_EQ(SurfaceCreate(world_, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, nullptr), nullptr);
  EXPECT_EQ(texture_->refs, 3);
}

TEST_F(SurfaceTest, ReleaseFreesAtZeroWithItsTextureReference) {
  Surface* a = Make(kOrigin, kU, kV);
  Surface* b = Make(kOrigin, kU, kV);
  ++a->refs;
  SurfaceRelease(a);
  EXPECT_EQ(world_->firstSurface, a);
  EXPECT_EQ(texture_->refs, 3);
  SurfaceRelease(a);
  EXPECT_EQ(world_->firstSurface, b);
  EXPECT_EQ(b->prev, nullptr);
  EXPECT_EQ(texture_->refs, 2);
  SurfaceRelease(b);
  EXPECT_EQ(world_->firstSurface, nullptr);
  EXPECT_EQ(world_->lastSurface, nullptr);
  EXPECT_EQ(texture_->refs, 1);
  SurfaceRelease(nullptr);
}

// The gradients' S/Q and T/Q at a pixel give the 16.16 texel of the surface
// point seen there (T negated: the rasteriser negates the v offset to match).
TEST_F(SurfaceTest, GradientsMapPixelsBackToTexels) {
  Surface* s = Make(kOrigin, kU, kV);
  ComputeSurfaceGradients(s, kWidth, kHeight, nullptr);
  EXPECT_EQ(s->stamp, 5u);
  const float cases[][2] = {{0.0f, 0.0f}, {0.3f, 0.6f}, {1.0f, 1.0f}, {-0.5f, 2.0f}};
  for (const auto& c : cases) {
    double u, v;
    EvaluateAt(s, Along(kOrigin, kU, kV, c[0], c[1]), &u, &v);
    EXPECT_NEAR(u, c[0] * 256.0 * 65536.0, 3000.0) << c[0] << ", " << c[1];
    EXPECT_NEAR(v, -c[1] * 256.0 * 65536.0, 3000.0) << c[0] << ", " << c[1];
  }
}

TEST_F(SurfaceTest, GroupMatrixMovesTheSurfaceBeforeTheCamera) {
  Surface* s = Make(kOrigin, kU, kV);
  const float group[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, -3, 20, 1};
  ComputeSurfaceGradients(s, kWidth, kHeight, group);
  const Vec3 p = Along(kOrigin, kU, kV, 0.25f, 0.5f);
  double u, v;
  EvaluateAt(s, Vec3{p.x + 5, p.y - 3, p.z + 20}, &u, &v);
  EXPECT_NEAR(u, 0.25 * 256.0 * 65536.0, 3000.0);
  EXPECT_NEAR(v, -0.5 * 256.0 * 65536.0, 3000.0);
}

TEST_F(SurfaceTest, GradientsAreComputedOncePerStamp) {
  Surface* s = Make(kOrigin, kU, kV);
  ComputeSurfaceGradients(s, kWidth, kHeight, nullptr);
  const float before = s->gradients[2];
  s->origin.x += 50.0f;
  ComputeSurfaceGradients(s, kWidth, kHeight, nullptr);
  EXPECT_EQ(s->gradients[2], before);
  g_FrameStamp = 6;
  ComputeSurfaceGradients(s, kWidth, kHeight, nullptr);
  EXPECT_NE(s->gradients[2], before);
  EXPECT_EQ(s->stamp, 6u);
}

// A plane through the eye projects to a line: D = 0 and the gradients would
// be infinite or NaN. They must come out finite (a constant mapping).
TEST_F(SurfaceTest, EdgeOnSurfaceGetsFiniteGradients) {
  const Vec3 throughEye[][3] = {
      {{0, 0, 100}, {0, 0, 50}, {0, 30, 0}},    // plane x = 0 contains the eye
      {{10, 0, 100}, {5, 0, 50}, {0, 30, 0}},   // x = z / 10: through the eye as well
      {{0, 0, 100}, {40, 0, 20}, {80, 0, 40}},  // parallel axes: no plane at all
      {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}},        // the eye itself on the surface
  };
  for (const auto& c : throughEye) {
    Surface* s = Make(c[0], c[1], c[2]);
    ComputeSurfaceGradients(s, kWidth, kHeight, nullptr);
    for (int i = 0; i < kSurfaceGradientCount; ++i) EXPECT_TRUE(std::isfinite(s->gradients[i])) << i;
    EXPECT_EQ(s->gradients[0], 0.0f);
    EXPECT_EQ(s->gradients[3], 0.0f);
    EXPECT_EQ(s->gradients[8], 1.0f);
  }
}

TEST_F(SurfaceTest, HardwareFrameKeepsTheWorldFrameInstead) {
  g_RenderFlagsLastFrame = kRenderHardware;
  Surface* s = Make(kOrigin, kU, kV);
  const float group[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};  // quarter turn about z, moved
  ComputeSurfaceGradients(s, kWidth, kHeight, group);
  EXPECT_FLOAT_EQ(s->worldOrigin.x, -5.0f + 5.0f);  // (-10, 5, 100) -> (-5, -10, 100) + (5, 6, 7)
  EXPECT_FLOAT_EQ(s->worldOrigin.y, -10.0f + 6.0f);
  EXPECT_FLOAT_EQ(s->worldOrigin.z, 107.0f);
  EXPECT_FLOAT_EQ(s->worldV.x, -30.0f);  // rotated, not moved
  EXPECT_FLOAT_EQ(s->worldV.y, 0.0f);
  EXPECT_FLOAT_EQ(s->worldU.y, 40.0f);
  EXPECT_EQ(s->gradients[8], 0.0f);  // software gradients untouched
  g_FrameStamp = 6;
  ComputeSurfaceGradients(s, kWidth, kHeight, nullptr);
  EXPECT_EQ(s->worldOrigin.x, kOrigin.x);
}

TEST_F(SurfaceTest, TexCoordsAtPointSolveTheMapping) {
  Surface* s = Make(kOrigin, kU, kV, 65536 * 16, 65536 * 8);  // 16 and 8 texels of offset
  float u, v;
  const Vec3 p = Along(kOrigin, kU, kV, 0.5f, 0.25f);
  TexCoordsAtPoint(s, p.x, p.y, p.z, &u, &v);
  EXPECT_NEAR(u, 0.5f * 256 / 64 + 16.0f / 64, 1e-4f);
  EXPECT_NEAR(v, 0.25f * 256 / 32 + 8.0f / 32, 1e-4f);
  int iu, iv;
  SurfaceTexelAtPoint(s, p.x, p.y, p.z, &iu, &iv);
  EXPECT_NEAR(iu, 128 * 65536 + 16 * 65536, 64);
  EXPECT_NEAR(iv, 64 * 65536 + 8 * 65536, 64);

  // Parallel axes: no solution.
  Surface* flat = Make(kOrigin, kU, Vec3{80, 0, 40}, 11, 12);
  TexCoordsAtPoint(flat, p.x, p.y, p.z, &u, &v);
  EXPECT_EQ(u, 0.0f);
  EXPECT_EQ(v, 0.0f);
  SurfaceTexelAtPoint(flat, p.x, p.y, p.z, &iu, &iv);
  EXPECT_EQ(iu, 11);
  EXPECT_EQ(iv, 12);
  TexCoordsAtPoint(nullptr, 1, 2, 3, &u, &v);
  EXPECT_EQ(u, 0.0f);
}

TEST_F(SurfaceTest, ComputeTexCoordsFillsEveryFragmentVertexFromThePool) {
  Surface* s = Make(kOrigin, kU, kV);
  const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  float x[4], y[4], z[4];
  for (int k = 0; k < 4; ++k) {
    const Vec3 p = Along(kOrigin, kU, kV, corners[k][0], corners[k][1]);
    x[k] = p.x;
    y[k] = p.y;
    z[k] = p.z;
  }
  WorldPolygon* polygon = PolygonCreate(world_, -4, x, y, z, nullptr, s);
  ASSERT_NE(polygon, nullptr);
  BspFragment* fragment = PolygonMakeFragment(polygon, nullptr);
  ASSERT_NE(fragment, nullptr);
  for (int k = 0; k < 4; ++k) fragment->vertices[k].u = fragment->vertices[k].v = -7.0f;
  SurfaceComputeTexCoords(polygon);
  // One repeat of the axes spans 256 texels: 4 repeats of the 64-wide
  // texture along u, 8 of the 32-high one along v.
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(fragment->vertices[k].u, 4.0f * corners[k][0], 1e-4f) << k;
    EXPECT_NEAR(fragment->vertices[k].v, 8.0f * corners[k][1], 1e-4f) << k;
  }
  SurfaceComputeTexCoords(nullptr);
}
