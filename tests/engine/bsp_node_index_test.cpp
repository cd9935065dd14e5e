#include "engine/bsp_node_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/bsp_fragment.h"
#include "engine/polygon_group.h"
#include "engine/world_polygon.h"
#include "tests/engine/world_fixture.h"

namespace {

class BspNodeIndexTest : public WorldTest {
 protected:
  unsigned seed_ = 2024;
  float Random(float low, float high) {
    seed_ = seed_ * 1103515245u + 12345u;
    return low + (high - low) * static_cast<float>((seed_ >> 8) & 0xFFFF) / 65535.0f;
  }

  // A polygon round (cx, cy) on the root's plane (z = 0, within the 0.5 the
  // classification allows): rectangles large and small, turned, facing
  // either way, long slivers with sharp corners, and small upright pieces
  // whose plane is across the root's.
  WorldPolygon* RandomPolygon() {
    const float cx = Random(-400, 400), cy = Random(-400, 400);
    const int kind = static_cast<int>(Random(0, 5.99f));
    auto z = [&] { return Random(-0.45f, 0.45f) * (kind == 4 ? 1.0f : 0.2f); };
    std::vector<Vec3> points;
    if (kind <= 1) {  // a rectangle, 2 to 300 across, turned
      const float w = Random(1, kind == 0 ? 300 : 30), h = Random(1, kind == 0 ? 300 : 30), a = Random(0, 6.28f);
      const float c = std::cos(a), s = std::sin(a);
      for (const auto& corner : {std::pair{-w, -h}, std::pair{w, -h}, std::pair{w, h}, std::pair{-w, h}}) {
        points.push_back({cx + corner.first * c - corner.second * s, cy + corner.first * s + corner.second * c, z()});
      }
    } else if (kind == 2) {  // a sliver: a long triangle with a very sharp corner
      const float length = Random(20, 400), width = Random(0.05f, 3), a = Random(0, 6.28f);
      const float c = std::cos(a), s = std::sin(a);
      points = {{cx, cy, z()}, {cx + length * c, cy + length * s, z()},
                {cx + length * c - width * s, cy + length * s + width * c, z()}};
    } else if (kind == 3) {  // an octagon
      const float r = Random(2, 120);
      for (int k = 0; k < 8; ++k) {
        points.push_back({cx + r * std::cos(k * 0.785f), cy + r * std::sin(k * 0.785f), z()});
      }
    } else if (kind == 4) {  // upright and tiny: across the plane, yet within 0.5 of it
      const float w = Random(1, 40);
      points = {{cx, cy, -0.4f}, {cx + w, cy, -0.4f}, {cx + w, cy, 0.4f}, {cx, cy, 0.4f}};
    } else {  // a decal inside a square tile of the grid of 100
      const float x0 = std::floor(cx / 100) * 100 + Random(0, 60), y0 = std::floor(cy / 100) * 100 + Random(0, 60);
      const float size = Random(1, 40);
      points = RectXY(x0, y0, x0 + size, y0 + size, 0);
    }
    if (Random(0, 1) < 0.3f) std::reverse(points.begin(), points.end());  // facing down
    return TestPolygon(world_, points);
  }

  // A small square just inside or just outside an edge of one of the
  // polygons, round the 2.5 of slack the containment test allows.
  WorldPolygon* NearAnEdge(const std::vector<WorldPolygon*>& made) {
    const WorldPolygon* other = made[static_cast<std::size_t>(Random(0, static_cast<float>(made.size()) - 0.01f))];
    const int n = other->vertexCount;
    const int k = static_cast<int>(Random(0, static_cast<float>(n) - 0.01f));
    const PolygonVertex& a = other->vertices[k];
    const PolygonVertex& b = other->vertices[(k + 1) % n];
    const float ex = b.x - a.x, ey = b.y - a.y, length = std::sqrt(ex * ex + ey * ey);
    if (!(length > 0.01f)) return nullptr;
    // Outward across the edge, whichever way the polygon turns.
    const float turn = other->normal.z >= 0 ? 1.0f : -1.0f;
    const float ox = turn * ey / length, oy = -turn * ex / length;
    const float t = Random(0.1f, 0.9f), out = Random(-3.0f, 3.5f), size = Random(0.2f, 1.5f);
    const float px = a.x + ex * t + ox * out, py = a.y + ey * t + oy * out;
    return TestPolygon(world_, RectXY(px - size, py - size, px + size, py + size, 0));
  }

  // What FragmentSetNode promises: the fragment sits just ahead of the
  // first fragment of the rest of the list that contains it (at the end
  // when none does), and the order keys grow along the list.
  void ExpectPlacedAsTheListWalkPlacesIt(const BspFragment* fragment) {
    for (const BspFragment* f = root_->firstFragment; f != fragment; f = f->next) {
      ASSERT_NE(f, nullptr);
      ASSERT_FALSE(FragmentContains(f, fragment)) << "a container comes before it";
    }
    if (fragment->next) {
      EXPECT_TRUE(FragmentContains(fragment->next, fragment));
    } else {
      for (const BspFragment* f = root_->firstFragment; f; f = f->next) {
        if (f != fragment) {
          ASSERT_FALSE(FragmentContains(f, fragment)) << "a container after it";
        }
      }
    }
    for (const BspFragment* f = root_->firstFragment; f && f->next; f = f->next) ASSERT_LT(f->order, f->next->order);
  }
};

TEST_F(BspNodeIndexTest, BusyPlaneInsertionsGoAheadOfTheFirstContainerInListOrder) {
  std::vector<WorldPolygon*> made;
  int checked = 0;
  for (int step = 0; step < 1500; ++step) {
    if (made.size() > 40 && Random(0, 1) < 0.25f) {
      const std::size_t k = static_cast<std::size_t>(Random(0, static_cast<float>(made.size()) - 0.01f));
      PolygonDelete(made[k]);
      made[k] = made.back();
      made.pop_back();
      continue;
    }
    WorldPolygon* polygon = made.empty() || Random(0, 1) < 0.6f ? RandomPolygon() : NearAnEdge(made);
    if (!polygon) continue;
    made.push_back(polygon);
    ASSERT_EQ(polygon->firstFragment, polygon->lastFragment);
    ASSERT_EQ(polygon->firstFragment->node, root_);
    ExpectPlacedAsTheListWalkPlacesIt(polygon->firstFragment);
    if (HasFatalFailure()) return;
    ++checked;
  }
  EXPECT_GT(checked, 1000);
  ASSERT_NE(root_->index, nullptr);  // the searches went through the index
  std::size_t entries = 0;
  for (const BspIndexCluster& cluster : root_->index->clusters) {
    entries += cluster.entries.size();
    for (std::size_t k = 0; k < cluster.entries.size(); ++k) {
      EXPECT_EQ(cluster.entries[k].fragment->indexSlot, static_cast<int>(k));
      EXPECT_EQ(cluster.entries[k].fragment->node, root_);
    }
  }
  EXPECT_EQ(entries, static_cast<std::size_t>(root_->fragmentCount));
}

// A polygon of a group turned in place (its world plane updated while its
// fragment stays at the node) contains what its new plane says.
TEST_F(BspNodeIndexTest, ATurnedPolygonContainsWhatItsNewPlaneSays) {
  for (int i = 0; i < 60; ++i) RandomPolygon();
  PolygonGroup* group = GroupCreate(world_, "turned", nullptr);
  WorldPolygon* big = TestPolygon(world_, RectXY(1000, 1000, 1200, 1200, 0));
  ASSERT_NE(big, nullptr);
  PolygonSetGroup(big, group, 0);
  ASSERT_NE(root_->index, nullptr);
  // Just beyond its edge at x = 1200, further than the 2.5 of slack.
  WorldPolygon* before = TestPolygon(world_, RectXY(1201, 1100, 1204, 1108, 0));
  ExpectPlacedAsTheListWalkPlacesIt(before->firstFragment);
  EXPECT_NE(before->firstFragment->next, big->firstFragment);
  // Its plane tilted by 60 degrees about the line x = 1100 on the floor:
  // the 2.5 of slack, measured across the new normal, reaches twice as far
  // along the floor.
  const float c = 0.5f, s = 0.8660254f;
  const float m[16] = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 1100 * (1 - c), 0, 1100 * s, 1};
  std::copy(m, m + 16, group->worldMatrix);
  PolygonUpdateWorldPlane(big);
  WorldPolygon* after = TestPolygon(world_, RectXY(1201, 1120, 1204, 1128, 0));
  ExpectPlacedAsTheListWalkPlacesIt(after->firstFragment);
  EXPECT_EQ(after->firstFragment->next, big->firstFragment);
}

}  // namespace
