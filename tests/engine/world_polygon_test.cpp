#include "engine/world_polygon.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/engine_error.h"
#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/surface.h"
#include "tests/engine/world_fixture.h"

namespace {

class PolygonTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    texture_ = TestTextureCreate("stone", 64, 64);
    keyed_ = TestTextureCreate("!grille", 64, 64);
  }
  void TearDown() override {
    WorldTest::TearDown();
    TestTextureFree(texture_);
    TestTextureFree(keyed_);
  }
  Surface* MakeSurface(Texture* texture) {
    ++texture->refs;
    return SurfaceCreate(world_, 0, 0, 0, 64, 0, 0, 0, 64, 0, 0, 0, texture);
  }
  Texture* texture_ = nullptr;
  Texture* keyed_ = nullptr;
};

struct RejectCase {
  const char* name;
  int n;
  std::vector<Vec3> points;
  int code;
  const char* message;
};

}  // namespace

// Every rejection sets its code and message and releases the surface that the
// caller handed over; a later success clears the error.
TEST_F(PolygonTest, RejectionsSetTheErrorAndReleaseTheSurface) {
  const std::vector<Vec3> nine(9, Vec3{0, 0, 0});
  const std::vector<Vec3> lShape = {{0, 0, 0}, {20, 0, 0}, {20, 10, 0}, {10, 10, 0}, {10, 20, 0}, {0, 20, 0}};
  const RejectCase cases[] = {
      {"nine vertices", 9, nine, 1, "Invalid vertex number\n"},
      {"one vertex", 1, nine, 1, "Invalid vertex number\n"},
      {"minus one", -1, nine, 1, "Invalid vertex number\n"},
      {"minus nine", -9, nine, 1, "Invalid vertex number\n"},
      {"most negative int", INT_MIN, nine, 1, "Invalid vertex number\n"},
      {"collinear triangle", 3, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}, 2, "Normal too small\n"},
      {"tiny triangle", 3, {{0, 0, 0}, {0.001f, 0, 0}, {0, 0.001f, 0}}, 2, "Normal too small\n"},
      {"line of one point", 2, {{3, 3, 3}, {3, 3, 3}}, 2, "Normal too small\n"},
      {"L-shaped hexagon", 6, lShape, 3, "Concave polygon\n"},
      {"bow tie", 4, {{0, 0, 0}, {10, 10, 0}, {10, 0, 0}, {0, 10, 0}}, 3, "Concave polygon\n"},
      {"collinear corner in a quad", 4, {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {5, 5, 0}}, 3, "Concave polygon\n"},
  };
  for (const RejectCase& c : cases) {
    Surface* surface = MakeSurface(texture_);
    ++surface->refs;  // the test keeps one to see the polygon's go
    std::vector<float> x, y, z;
    for (const Vec3& p : c.points) {
      x.push_back(p.x);
      y.push_back(p.y);
      z.push_back(p.z);
    }
    EXPECT_EQ(PolygonCreate(world_, c.n, x.data(), y.data(), z.data(), nullptr, surface), nullptr) << c.name;
    EXPECT_EQ(g_EngineError.code, c.code) << c.name;
    EXPECT_STREQ(g_EngineError.message, c.message) << c.name;
    EXPECT_EQ(surface->refs, 1) << c.name;
    SurfaceRelease(surface);
  }
  EXPECT_EQ(world_->firstPolygon, nullptr);
  EXPECT_EQ(world_->vertexPool.used, 0);

  EXPECT_NE(TestPolygon(world_, RectXY(0, 0, 1, 1, 5)), nullptr);
  EXPECT_EQ(g_EngineError.code, 0);
  EXPECT_STREQ(g_EngineError.message, "");
}

TEST_F(PolygonTest, WindingDecidesTheNormal) {
  WorldPolygon* ccw = TestPolygon(world_, RectXY(0, 0, 10, 10, 5), -1);
  std::vector<Vec3> reversed = RectXY(0, 0, 10, 10, 5);
  std::swap(reversed[1], reversed[3]);
  WorldPolygon* cw = TestPolygon(world_, reversed, -1);
  ASSERT_NE(ccw, nullptr);
  ASSERT_NE(cw, nullptr);
  EXPECT_FLOAT_EQ(ccw->normal.z, 1.0f);
  EXPECT_FLOAT_EQ(ccw->d, 5.0f);
  EXPECT_FLOAT_EQ(cw->normal.z, -1.0f);
  EXPECT_FLOAT_EQ(cw->d, -5.0f);
  EXPECT_EQ(ccw->worldNormal.z, ccw->normal.z);
  EXPECT_EQ(cw->worldD, cw->d);
}

TEST_F(PolygonTest, CreationFillsTheRecordAndTheLists) {
  const float x[] = {0, 10, 10};
  const float y[] = {0, 0, 10};
  const float z[] = {2, 2, 2};
  const float light[] = {0.1f, 0.2f, 0.3f};
  const float c1[] = {1, 2, 3};
  const float c2[] = {4, 5, 6};
  const float c3[] = {7, 8, 9};
  Surface* surface = MakeSurface(texture_);
  WorldPolygon* p = PolygonCreateEx(world_, -3, x, y, z, light, c1, c2, c3, surface);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->vertexCount, 3);
  EXPECT_EQ(p->vertices[2].x, 10.0f);
  EXPECT_EQ(p->vertices[1].light, 0.2f);
  EXPECT_EQ(p->vertices[2].colour1, 3.0f);
  EXPECT_EQ(p->vertices[0].colour2, 4.0f);
  EXPECT_EQ(p->vertices[1].colour3, 8.0f);
  EXPECT_EQ(p->surface, surface);
  EXPECT_EQ(surface->refs, 1);
  EXPECT_EQ(p->lineColour, FindPaletteColour(255, 255, 255));
  EXPECT_EQ(p->flatColour, FindPaletteColour(128, 128, 128));
  EXPECT_EQ(p->flags, 0);
  EXPECT_EQ(p->lastDrawn, kStampNever);
  EXPECT_EQ(p->group, nullptr);
  EXPECT_EQ(p->props, nullptr);
  EXPECT_EQ(WorldFirstPolygon(world_), p);
  EXPECT_EQ(PolygonNext(p), nullptr);
  EXPECT_EQ(world_->firstLine, nullptr);

  WorldPolygon* second = PolygonCreate(world_, -3, x, y, z, nullptr, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(PolygonNext(p), second);
  EXPECT_EQ(second->vertices[0].light, 0.0f);
  EXPECT_EQ(second->vertices[0].colour1, 0.0f);
  EXPECT_EQ(PolygonNext(nullptr), nullptr);
  EXPECT_EQ(WorldFirstPolygon(nullptr), nullptr);
}

TEST_F(PolygonTest, NegativeCountStaysOutOfTheBsp) {
  WorldPolygon* p = TestPolygon(world_, RectXY(-5, -5, 5, 5, 0), -1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->vertexCount, 4);
  EXPECT_EQ(p->firstFragment, nullptr);
  EXPECT_EQ(root_->firstFragment, nullptr);
  EXPECT_EQ(world_->fragmentCount, 0);
  EXPECT_EQ(world_->vertexPool.used, 0);
}

TEST_F(PolygonTest, ZeroVerticesMakesAnEmptyPolygon) {
  WorldPolygon* p = PolygonCreate(world_, 0, nullptr, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->vertexCount, 0);
  EXPECT_EQ(p->firstFragment, nullptr);
  EXPECT_EQ(g_EngineError.code, 0);
}

TEST_F(PolygonTest, LineGetsAPerpendicularNormalAndGoesOnTheLineList) {
  const std::vector<Vec3> lines[] = {
      {{0, 0, 0}, {0, 10, 0}},  // along y: the first fixed direction gives nothing
      {{0, 0, 0}, {10, 0, 0}},  // along x
      {{1, 2, 3}, {4, -5, 6}},
  };
  WorldPolygon* previous = nullptr;
  for (const auto& points : lines) {
    WorldPolygon* line = TestPolygon(world_, points, -1);
    ASSERT_NE(line, nullptr);
    const Vec3 edge = {points[1].x - points[0].x, points[1].y - points[0].y, points[1].z - points[0].z};
    const Vec3 n = line->normal;
    EXPECT_NEAR(n.x * edge.x + n.y * edge.y + n.z * edge.z, 0.0f, 1e-4f);
    EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
    EXPECT_EQ(line->prevLine, previous);
    EXPECT_EQ(world_->lastLine, line);
    previous = line;
  }
  EXPECT_EQ(PolygonDelete(world_->firstLine->nextLine), 1);
  EXPECT_EQ(world_->firstLine->nextLine, world_->lastLine);
  EXPECT_EQ(world_->lastLine->prevLine, world_->firstLine);
}

TEST_F(PolygonTest, ColourKeyedTextureMakesFlatColourMinusOne) {
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 1, 1, 3), -1, MakeSurface(keyed_));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->flatColour, -1);
  EXPECT_EQ(p->flags, kPolygonColourKeyed);
}

TEST_F(PolygonTest, DeleteReleasesTheSurfaceAndUnlinks) {
  Surface* surface = MakeSurface(texture_);
  ++surface->refs;  // shared by two polygons
  WorldPolygon* a = TestPolygon(world_, RectXY(0, 0, 1, 1, 3), 1, surface);
  WorldPolygon* b = TestPolygon(world_, RectXY(2, 0, 3, 1, 3), 1, surface);
  EXPECT_EQ(PolygonDelete(a), 1);
  EXPECT_EQ(world_->firstPolygon, b);
  EXPECT_EQ(b->prev, nullptr);
  EXPECT_EQ(surface->refs, 1);
  EXPECT_EQ(world_->firstSurface, surface);
  EXPECT_EQ(texture_->refs, 2);
  EXPECT_EQ(PolygonDelete(b), 1);
  EXPECT_EQ(world_->firstPolygon, nullptr);
  EXPECT_EQ(world_->lastPolygon, nullptr);
  EXPECT_EQ(world_->firstSurface, nullptr);
  EXPECT_EQ(texture_->refs, 1);
  EXPECT_EQ(PolygonDelete(nullptr), 0);
}

TEST_F(PolygonTest, GroupedPolygonTakesItsWorldPlaneFromTheGroupMatrix) {
  PolygonGroup* group = PoolNew<PolygonGroup>();
  group->world = world_;
  group->visible = 1;
  // Quarter turn about x (y -> z), then moved up by 7 in z.
  const float m[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 7, 1};
  std::memcpy(group->worldMatrix, m, sizeof m);
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 10, 10, 5), -1);  // normal +z, d 5
  ASSERT_EQ(PolygonSetGroup(p, group, 0), 1);
  PolygonUpdateWorldPlane(p);
  EXPECT_NEAR(p->worldNormal.y, -1.0f, 1e-6f);  // +z turned to -y
  EXPECT_NEAR(p->worldNormal.z, 0.0f, 1e-6f);
  EXPECT_NEAR(p->worldD, 5.0f, 1e-5f);  // (0, 0, 5) maps to (0, -5, 7): -y . that = 5
  EXPECT_EQ(p->normal.z, 1.0f);         // own plane untouched
  PolygonSetGroup(p, nullptr, 0);
  PolygonUpdateWorldPlane(p);
  EXPECT_EQ(p->worldNormal.z, 1.0f);
  PoolFree(group->polygons, group->polygonCapacity * static_cast<int>(sizeof(WorldPolygon*)));
  PoolDelete(group);
}

TEST_F(PolygonTest, SetGroupMovesTheLastPolygonIntoTheFreedSlot) {
  PolygonGroup* group = PoolNew<PolygonGroup>();
  group->visible = 1;
  WorldPolygon* p[12];
  for (int i = 0; i < 12; ++i) {
    p[i] = TestPolygon(world_, RectXY(0, 0, 1, 1, static_cast<float>(i)), -1);
    PolygonSetGroup(p[i], group, 0);
  }
  EXPECT_EQ(group->polygonCount, 12);
  EXPECT_EQ(group->polygonCapacity, 20);
  EXPECT_EQ(p[11]->groupIndex, 11);
  PolygonSetGroup(p[0], nullptr, 0);
  EXPECT_EQ(group->polygonCount, 11);
  EXPECT_EQ(group->polygons[0], p[11]);
  EXPECT_EQ(p[11]->groupIndex, 0);
  EXPECT_EQ(p[0]->group, nullptr);
  // Deleting a grouped polygon takes it out of the table too.
  PolygonDelete(p[5]);
  EXPECT_EQ(group->polygonCount, 10);
  EXPECT_EQ(group->polygons[5], p[10]);
  EXPECT_EQ(p[10]->groupIndex, 5);
  EXPECT_EQ(PolygonSetGroup(nullptr, group, 0), 0);
  for (int i = 0; i < group->polygonCount; ++i) group->polygons[i]->group = nullptr;
  PoolFree(group->polygons, group->polygonCapacity * static_cast<int>(sizeof(WorldPolygon*)));
  PoolDelete(group);
}
