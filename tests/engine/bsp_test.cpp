#include "engine/bsp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "engine/bsp_fragment.h"
#include "engine/frame_stamp.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/render_world.h"
#include "engine/surface.h"
#include "engine/vertex_pool.h"
#include "engine/view.h"
#include "engine/world_polygon.h"
#include "tests/engine/world_fixture.h"

namespace {

class BspTest : public WorldTest {
 protected:
  // Replaces the root with one on plane n . p = d.
  void UseRoot(float nx, float ny, float nz, float d) {
    BspNodeFree(root_);
    root_ = BspNodeCreate(nx, ny, nz, d);
    world_->bspRoot = root_;
  }
  std::vector<BspFragment*> FragmentsAt(const BspNode* node) {
    std::vector<BspFragment*> list;
    for (BspFragment* f = node->firstFragment; f; f = f->next) list.push_back(f);
    EXPECT_EQ(static_cast<int>(list.size()), node->fragmentCount);
    return list;
  }
  std::vector<Vec3> Positions(const BspFragment* f) {
    std::vector<Vec3> points;
    for (int i = 0; i < f->vertexCount; ++i) points.push_back(VertexPosition(world_, f->vertices[i].vertex));
    return points;
  }
  int IndexOf(float x, float y, float z) {
    for (int i = 0; i < world_->vertexPool.used; ++i) {
      if (PoolRefs(world_, i) > 0 && world_->vertexPool.x[i] == x && world_->vertexPool.y[i] == y &&
          world_->vertexPool.z[i] == z) {
        return i;
      }
    }
    return -1;
  }
};

bool Contains(const std::vector<Vec3>& points, Vec3 p) {
  for (const Vec3& q : points) {
    if (q.x == p.x && q.y == p.y && q.z == p.z) return true;
  }
  return false;
}

}  // namespace

TEST_F(BspTest, PolygonCoplanarWithTheRootStaysAtTheRoot) {
  const int nodesBefore = g_BspNodeCount;
  WorldPolygon* p = TestPolygon(world_, RectXY(-5, -5, 5, 5, 0));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(FragmentsAt(root_).size(), 1u);
  BspFragment* f = root_->firstFragment;
  EXPECT_EQ(f, p->firstFragment);
  EXPECT_EQ(f, p->lastFragment);
  EXPECT_EQ(f->polygon, p);
  EXPECT_EQ(f->node, root_);
  EXPECT_EQ(f->back, 0);
  EXPECT_EQ(f->vertexCount, 4);
  EXPECT_EQ(world_->fragmentCount, 1);
  EXPECT_EQ(g_BspNodeCount, nodesBefore);  // the temporary node is gone again
  EXPECT_EQ(root_->front, nullptr);
  // The root's box has grown around the polygon.
  EXPECT_EQ(root_->boxMin.x, -5.0f);
  EXPECT_EQ(root_->boxMax.y, 5.0f);
  EXPECT_NEAR(root_->radius, std::sqrt(50.0f), 1e-5f);

  // Facing the other way, and 0.4 off the plane: still on it, marked back.
  std::vector<Vec3> flipped = RectXY(10, 10, 12, 12, 0.4f);
  std::swap(flipped[1], flipped[3]);
  WorldPolygon* q = TestPolygon(world_, flipped);
  ASSERT_EQ(FragmentsAt(root_).size(), 2u);
  EXPECT_EQ(q->firstFragment->node, root_);
  EXPECT_EQ(q->firstFragment->back, 1);
}

TEST_F(BspTest, PolygonsOffThePlaneBecomeLeavesOnTheirOwnPlanes) {
  WorldPolygon* above = TestPolygon(world_, RectXY(0, 0, 4, 2, 10));
  WorldPolygon* below = TestPolygon(world_, RectXY(0, 0, 4, 2, -10));
  BspNode* front = root_->front;
  BspNode* back = root_->back;
  ASSERT_NE(front, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(front->parent, root_);
  EXPECT_EQ(front->normal.z, 1.0f);
  EXPECT_EQ(front->d, 10.0f);
  EXPECT_EQ(back->d, -10.0f);
  EXPECT_EQ(above->firstFragment->node, front);
  EXPECT_EQ(below->firstFragment->node, back);
  EXPECT_EQ(front->boxMin.x, 0.0f);
  EXPECT_EQ(front->boxMax.x, 4.0f);
  EXPECT_EQ(front->centre.x, 2.0f);
  EXPECT_EQ(front->centre.z, 10.0f);
  EXPECT_NEAR(front->radius, std::sqrt(5.0f), 1e-5f);
  EXPECT_EQ(front->fragmentCount, 1);
  // The root's box takes in both.
  EXPECT_EQ(root_->boxMin.z, -10.0f);
  EXPECT_EQ(root_->boxMax.z, 10.0f);
  // New nodes start with cleared render scratch.
  EXPECT_EQ(front->visited, 0);
  EXPECT_EQ(front->side, 0);
  EXPECT_EQ(front->chainStamp, kStampNever);
  EXPECT_EQ(front->chainNext, nullptr);
  EXPECT_EQ(front->firstParticleLink, nullptr);
}

// A wall standing on the floor at the root: the root plane cuts it where the
// floor's own corners are, so both halves weld onto the floor's vertices.
TEST_F(BspTest, SplitPiecesShareWeldedCutVertices) {
  WorldPolygon* floor = TestPolygon(world_, RectXY(0, 0, 10, 10, 0));
  const float x[] = {0, 0, 0, 0};
  const float y[] = {0, 10, 10, 0};
  const float z[] = {-5, -5, 5, 5};
  const float light[] = {0.0f, 0.0f, 1.0f, 1.0f};
  WorldPolygon* wall = PolygonCreate(world_, 4, x, y, z, light, nullptr);
  ASSERT_NE(wall, nullptr);
  ASSERT_NE(root_->front, nullptr);
  ASSERT_NE(root_->back, nullptr);
  ASSERT_EQ(FragmentsAt(root_->front).size(), 1u);
  ASSERT_EQ(FragmentsAt(root_->back).size(), 1u);
  BspFragment* up = root_->front->firstFragment;
  BspFragment* down = root_->back->firstFragment;
  EXPECT_EQ(up->polygon, wall);
  EXPECT_EQ(down->polygon, wall);
  EXPECT_EQ(wall->firstFragment->nextInPolygon, wall->lastFragment);
  EXPECT_EQ(world_->fragmentCount, 3);
  EXPECT_EQ(up->vertexCount, 4);
  EXPECT_EQ(down->vertexCount, 4);
  EXPECT_TRUE(Contains(Positions(up), Vec3{0, 10, 5}));
  EXPECT_TRUE(Contains(Positions(down), Vec3{0, 10, -5}));
  // Both leaves lie on the wall's plane x = 0, facing its way.
  EXPECT_EQ(root_->front->normal.x, wall->worldNormal.x);
  EXPECT_EQ(root_->front->d, 0.0f);

  // The cut points are the floor's corners: floor 1 + one per half.
  const int cut0 = IndexOf(0, 0, 0);
  const int cut1 = IndexOf(0, 10, 0);
  ASSERT_GE(cut0, 0);
  ASSERT_GE(cut1, 0);
  EXPECT_EQ(PoolRefs(world_, cut0), 3);
  EXPECT_EQ(PoolRefs(world_, cut1), 3);
  EXPECT_EQ(PoolRefs(world_, IndexOf(0, 10, 5)), 1);
  EXPECT_EQ(world_->vertexPool.used, 4 + 4);  // floor corners + the wall's own four
  // The cut vertices' light is interpolated along the cut edges.
  for (int i = 0; i < up->vertexCount; ++i) {
    if (up->vertices[i].vertex == cut0) {
      EXPECT_FLOAT_EQ(up->vertices[i].light, 0.5f);
    }
  }

  // Removing the wall gives back its vertices and prunes both leaves.
  const int nodes = g_BspNodeCount;
  EXPECT_EQ(PolygonDelete(wall), 1);
  EXPECT_EQ(PoolRefs(world_, cut0), 1);
  EXPECT_EQ(PoolRefs(world_, cut1), 1);
  EXPECT_EQ(root_->front, nullptr);
  EXPECT_EQ(root_->back, nullptr);
  EXPECT_EQ(g_BspNodeCount, nodes - 2);
  EXPECT_EQ(world_->fragmentCount, 1);
  EXPECT_EQ(floor->firstFragment->node, root_);
  // The wall's four own entries are free and handed out again first.
  std::set<int> reused;
  for (int i = 0; i < 4; ++i) reused.insert(VertexWeld(world_, 100.0f + i, 0, 0));
  EXPECT_EQ(world_->vertexPool.used, 8);
  EXPECT_EQ(reused.size(), 4u);
  for (int index : reused) {
    EXPECT_NE(index, cut0);
    EXPECT_NE(index, cut1);
  }
}

TEST_F(BspTest, DeletingTheLastPolygonOfALeafPrunesEmptyAncestorsButNotTheRoot) {
  WorldPolygon* a = TestPolygon(world_, RectXY(0, 0, 1, 1, 10));
  WorldPolygon* b = TestPolygon(world_, RectXY(0, 0, 1, 1, 20));
  BspNode* leafA = root_->front;
  ASSERT_NE(leafA, nullptr);
  BspNode* leafB = leafA->front;
  ASSERT_NE(leafB, nullptr);
  EXPECT_EQ(b->firstFragment->node, leafB);
  const int nodes = g_BspNodeCount;

  PolygonDelete(a);  // leaf A keeps its child: stays
  EXPECT_EQ(root_->front, leafA);
  EXPECT_EQ(leafA->fragmentCount, 0);
  EXPECT_EQ(g_BspNodeCount, nodes);
  PolygonDelete(b);  // B goes, and A with it
  EXPECT_EQ(root_->front, nullptr);
  EXPECT_EQ(g_BspNodeCount, nodes - 2);

  // The root itself is never pruned.
  WorldPolygon* c = TestPolygon(world_, RectXY(0, 0, 1, 1, 0));
  PolygonDelete(c);
  EXPECT_EQ(world_->bspRoot, root_);
  EXPECT_EQ(root_->fragmentCount, 0);
  EXPECT_EQ(world_->fragmentCount, 0);
  EXPECT_EQ(world_->vertexPool.freeHead >= 0, true);
}

TEST_F(BspTest, ReinsertingReplacesThePolygonsFragments) {
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 1, 1, 10));
  BspInsertPolygon(root_, p);
  EXPECT_EQ(p->firstFragment, p->lastFragment);
  EXPECT_EQ(world_->fragmentCount, 1);
  EXPECT_EQ(world_->vertexPool.used, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(PoolRefs(world_, i), 1);
  const int inserts = g_StatBspInserts;
  BspInsertPolygon(nullptr, p);
  BspInsertPolygon(root_, nullptr);
  EXPECT_EQ(g_StatBspInserts, inserts);
}

// A decal inside a larger coplanar polygon goes before it (drawn first by
// the front-to-back passes); one that is not inside any goes to the end.
TEST_F(BspTest, ContainedFragmentsGoBeforeTheirContainer) {
  WorldPolygon* big = TestPolygon(world_, RectXY(0, 0, 100, 100, 0));
  WorldPolygon* outside = TestPolygon(world_, RectXY(200, 0, 210, 10, 0));
  WorldPolygon* decal = TestPolygon(world_, RectXY(-2, 10, 20, 20, 0));  // 2 over the edge: within the slack
  WorldPolygon* across = TestPolygon(world_, RectXY(95, 10, 110, 20, 0));
  std::vector<BspFragment*> expected = {decal->firstFragment, big->firstFragment, outside->firstFragment,
                                        across->firstFragment};
  EXPECT_EQ(FragmentsAt(root_), expected);
  EXPECT_EQ(FragmentContains(big->firstFragment, decal->firstFragment), 1);
  EXPECT_EQ(FragmentContains(big->firstFragment, across->firstFragment), 0);
  EXPECT_EQ(FragmentContains(decal->firstFragment, big->firstFragment), 0);
  // Setting a fragment into the node it is already in keeps the list sound.
  FragmentSetNode(outside->firstFragment, root_);
  expected = {decal->firstFragment, big->firstFragment, across->firstFragment, outside->firstFragment};
  EXPECT_EQ(FragmentsAt(root_), expected);
  EXPECT_EQ(root_->lastFragment, outside->firstFragment);
}

TEST_F(BspTest, ClassificationUsesEpsilonButSplittingUsesZero) {
  const float x[] = {0, 10, 0};
  const float y[] = {0, 0, 10};
  const float z[] = {0.4f, -5, -5};
  WorldPolygon* p = PolygonCreate(world_, -3, x, y, z, nullptr, nullptr);
  BspFragment* f = PolygonMakeFragment(p, nullptr);
  ASSERT_NE(f, nullptr);
  struct {
    float d;
    int side;
  } const cases[] = {{0, -1}, {-2.3f, 2}, {-5, 1}, {-4.6f, 1}, {5, -1}, {0.4f, -1}};
  for (const auto& c : cases) EXPECT_EQ(BspClassifyFragment(0, 0, 1, c.d, f, 0.5f), c.side) << c.d;
  // Within 0.5 of the plane everywhere: on it.
  EXPECT_EQ(BspClassifyFragment(0, 0, 1, 0, f, 5.5f), 0);
  EXPECT_EQ(BspClassifyFragment(1, 0, 0, 5, f, 5.0f), 0);

  // Against z = 0 the first vertex (0.4) is on the plane for classifying,
  // but in front for splitting: a small front piece is cut off.
  BspFragment* front = nullptr;
  BspFragment* back = nullptr;
  BspSplitFragment(f, &front, nullptr, &back, nullptr, 0, 0, 1, 0);
  ASSERT_NE(front, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(front->vertexCount, 3);
  EXPECT_EQ(back->vertexCount, 4);
  EXPECT_EQ(world_->fragmentCount, 3);
}

TEST_F(BspTest, CutThroughAVertexWeldsOntoIt) {
  const float x[] = {0, 10, 5};
  const float y[] = {0, -5, 5};
  const float z[] = {0, 0, 0};
  WorldPolygon* p = PolygonCreate(world_, -3, x, y, z, nullptr, nullptr);
  ASSERT_NE(p, nullptr);
  BspFragment* f = PolygonMakeFragment(p, nullptr);
  const int v0 = f->vertices[0].vertex;
  BspFragment* front = nullptr;
  BspFragment* back = nullptr;
  // Distances against y = 0: vertex 0 on it (0), vertex 1 behind (-5), vertex 2 in front (5).
  BspSplitFragment(f, &front, nullptr, &back, nullptr, 0, 1, 0, 0);
  ASSERT_NE(front, nullptr);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(front->vertexCount, 4);  // v0, the cut at v0, the middle cut, v2
  ASSERT_EQ(back->vertexCount, 3);   // the cut at v0, v1, the middle cut
  EXPECT_EQ(front->vertices[0].vertex, v0);
  EXPECT_EQ(front->vertices[1].vertex, v0);
  EXPECT_EQ(back->vertices[0].vertex, v0);
  EXPECT_EQ(PoolRefs(world_, v0), 4);  // the original, and three places in the pieces
  EXPECT_EQ(front->vertices[2].vertex, back->vertices[2].vertex);
  FragmentFree(f, 0);
  FragmentFree(front, 0);
  FragmentFree(back, 0);
  EXPECT_EQ(world_->fragmentCount, 0);
  EXPECT_EQ(world_->vertexPool.freeHead >= 0, true);
  for (int i = 0; i < world_->vertexPool.used; ++i) EXPECT_LE(PoolRefs(world_, i), 1);
}

TEST_F(BspTest, LinesSplitIntoTwoLines) {
  WorldPolygon* line = TestPolygon(world_, {{0, 0, -4}, {0, 0, 6}}, -1);
  ASSERT_NE(line, nullptr);
  BspFragment* f = PolygonMakeFragment(line, nullptr);
  BspFragment* front = nullptr;
  BspFragment* back = nullptr;
  BspSplitFragment(f, &front, nullptr, &back, nullptr, 0, 0, 1, 0);
  ASSERT_NE(front, nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(front->vertexCount, 2);
  EXPECT_EQ(back->vertexCount, 2);
  EXPECT_EQ(back->vertices[0].vertex, f->vertices[0].vertex);
  EXPECT_EQ(back->vertices[1].vertex, front->vertices[0].vertex);
  EXPECT_EQ(VertexPosition(world_, front->vertices[0].vertex).z, 0.0f);
  EXPECT_EQ(front->vertices[1].vertex, f->vertices[1].vertex);
  // A line wholly on one side stays whole.
  BspSplitFragment(f, &front, nullptr, &back, nullptr, 0, 0, 1, -10);
  EXPECT_NE(front, nullptr);
  EXPECT_EQ(back, nullptr);
}

namespace {

constexpr float kPi = 3.14159265f;

// A chain of nodes down the front of root, each cutting one corner off a
// regular octagon of radius 100 (the corner goes behind, into a new leaf),
// then the given extra planes; returns the last node of the chain.
BspNode* BuildCornerChain(BspNode* root, const std::vector<Plane>& extra) {
  std::vector<Plane> planes;
  for (int k = 0; k < 8; ++k) planes.push_back({-std::cos(k * kPi / 4), -std::sin(k * kPi / 4), 0, -90});
  planes.insert(planes.end(), extra.begin(), extra.end());
  root->normal = {planes[0].nx, planes[0].ny, planes[0].nz};
  root->d = planes[0].d;
  BspNode* node = root;
  for (size_t k = 1; k < planes.size(); ++k) {
    BspNode* next = BspNodeCreate(planes[k].nx, planes[k].ny, planes[k].nz, planes[k].d);
    next->parent = node;
    node->front = next;
    node = next;
  }
  return node;
}

std::vector<Vec3> Octagon() {
  std::vector<Vec3> points;
  for (int k = 0; k < 8; ++k) points.push_back({100 * std::cos(k * kPi / 4), 100 * std::sin(k * kPi / 4), 0});
  return points;
}

}  // namespace

// A fragment may hold 16 vertices; a split that leaves exactly 16 keeps the
// piece. An octagon with its eight corners cut off one by one becomes one.
TEST_F(BspTest, SplitPieceOfSixteenVerticesIsKept) {
  BspNode* last = BuildCornerChain(root_, {});
  WorldPolygon* p = TestPolygon(world_, Octagon());
  ASSERT_NE(p, nullptr);
  ASSERT_NE(last->front, nullptr);
  const BspFragment* sixteen = last->front->firstFragment;
  ASSERT_NE(sixteen, nullptr);
  EXPECT_EQ(sixteen->vertexCount, 16);
  EXPECT_EQ(world_->fragmentCount, 9);  // eight corners and the middle
}

// One more cut, through a single vertex of that 16-gon, would make 17: more
// than a fragment holds. That piece is dropped with its references; the
// corner it cut off is still stored.
TEST_F(BspTest, SplitPieceBeyondSixteenVerticesIsDropped) {
  const float a = 15.0f * kPi / 180.0f;
  BuildCornerChain(root_, {{-std::cos(a), -std::sin(a), 0, -91}});
  WorldPolygon* p = TestPolygon(world_, Octagon());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(world_->fragmentCount, 9);  // 8 corners + the ninth cut's corner
  int largest = 0;
  for (BspFragment* f = p->firstFragment; f; f = f->nextInPolygon) largest = std::max(largest, f->vertexCount);
  EXPECT_EQ(largest, 3);
  PolygonDelete(p);
  for (int i = 0; i < world_->vertexPool.used; ++i) EXPECT_LE(PoolRefs(world_, i), 1) << i;
}

// More pieces may wait at once than the old fixed stack of 1000 held: a
// chain of 1100 planes each cutting a strip off one long polygon.
TEST_F(BspTest, InsertionKeepsEveryPieceWhateverTheirNumber) {
  constexpr int kChain = 1100;
  UseRoot(1, 0, 0, kChain);
  BspNode* node = root_;
  for (int k = kChain; k >= 1; --k) {
    if (k != kChain) {
      BspNode* next = BspNodeCreate(1, 0, 0, static_cast<float>(k));
      next->parent = node;
      node->back = next;
      node = next;
    }
    BspNode* strip = BspNodeCreate(0, 0, 1, 0);  // coplanar with the polygon: strips stay there
    strip->parent = node;
    node->front = strip;
  }
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, kChain + 100, 10, 0));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(world_->fragmentCount, kChain + 1);
  int pieces = 0;
  float area = 0;
  for (BspFragment* f = p->firstFragment; f; f = f->nextInPolygon) {
    ++pieces;
    const std::vector<Vec3> q = Positions(f);
    float xMin = q[0].x, xMax = q[0].x;
    for (const Vec3& v : q) {
      xMin = std::min(xMin, v.x);
      xMax = std::max(xMax, v.x);
    }
    area += (xMax - xMin) * 10;
  }
  EXPECT_EQ(pieces, kChain + 1);
  EXPECT_FLOAT_EQ(area, (kChain + 100) * 10.0f);
}

TEST_F(BspTest, HiddenGroupsStayOutAndVisibleOnesAreMovedByTheirMatrix) {
  PolygonGroup* group = PoolNew<PolygonGroup>();
  group->world = world_;
  const float lift[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 30, 1};
  std::memcpy(group->worldMatrix, lift, sizeof lift);
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 1, 1, 0), -1);
  group->visible = 0;
  PolygonSetGroup(p, group, 1);  // hidden: not inserted
  EXPECT_EQ(p->firstFragment, nullptr);
  EXPECT_EQ(root_->fragmentCount, 0);
  EXPECT_EQ(root_->front, nullptr);
  group->visible = 1;
  PolygonSetGroup(p, group, 1);
  ASSERT_NE(p->firstFragment, nullptr);
  EXPECT_EQ(p->worldD, 30.0f);
  EXPECT_EQ(p->firstFragment->node, root_->front);
  EXPECT_EQ(root_->front->d, 30.0f);
  EXPECT_EQ(VertexPosition(world_, p->firstFragment->vertices[2].vertex).z, 30.0f);
  PolygonDelete(p);
  PoolFree(group->polygons, group->polygonCapacity * static_cast<int>(sizeof(WorldPolygon*)));
  PoolDelete(group);
}

TEST_F(BspTest, HardwareFrameGivesNewFragmentsTheirTextureCoordinates) {
  Texture* texture = TestTextureCreate("floor", 64, 64);
  ++texture->refs;
  Surface* surface = SurfaceCreate(world_, 0, 0, 0, 8, 0, 0, 0, 8, 0, 0, 0, texture);
  g_RenderFlagsLastFrame = kRenderHardware;
  g_FrameStamp = 3;
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 4, 2, 0), 1, surface);
  g_RenderFlagsLastFrame = 0;
  g_FrameStamp = kStampNever;
  ASSERT_NE(p->firstFragment, nullptr);
  const BspFragment* f = p->firstFragment;
  EXPECT_FLOAT_EQ(f->vertices[2].u, 0.5f * 256 / 64);  // x = 4 is half of the 8-unit u axis
  EXPECT_FLOAT_EQ(f->vertices[2].v, 0.25f * 256 / 64);
  EXPECT_EQ(surface->stamp, 3u);
  // In a software frame they are left at 0.
  ++surface->refs;
  WorldPolygon* q = TestPolygon(world_, RectXY(0, 0, 4, 2, 5), 1, surface);
  EXPECT_EQ(q->firstFragment->vertices[2].u, 0.0f);
  EXPECT_EQ(q->firstFragment->vertices[2].v, 0.0f);
  PolygonDelete(p);
  PolygonDelete(q);
  TestTextureFree(texture);
}

TEST_F(BspTest, FreeingANodeFreesItsInstanceFragmentsAndMarksTheInstance) {
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 1, 1, 10));
  BspNode* leaf = root_->front;
  Instance* instance = PoolNew<Instance>();
  InstanceNode* owner = PoolNew<InstanceNode>();
  owner->instance = instance;
  InstanceFragment* fragments[2];
  for (InstanceFragment*& f : fragments) {
    f = PoolNew<InstanceFragment>();
    f->node = owner;
    f->bspNode = leaf;
    f->faceCount = 3;
    f->faces = static_cast<std::int32_t*>(PoolAllocZeroed(3 * 4));
    f->prev = owner->lastFragment;
    (owner->lastFragment ? owner->lastFragment->next : owner->firstFragment) = f;
    owner->lastFragment = f;
    f->prevInBsp = leaf->lastInstanceFragment;
    (leaf->lastInstanceFragment ? leaf->lastInstanceFragment->nextInBsp : leaf->firstInstanceFragment) = f;
    leaf->lastInstanceFragment = f;
  }
  PolygonDelete(p);  // the leaf is pruned with everything on it
  EXPECT_EQ(root_->front, nullptr);
  EXPECT_EQ(owner->firstFragment, nullptr);
  EXPECT_EQ(owner->lastFragment, nullptr);
  EXPECT_EQ(instance->dirty, 1);
  PoolDelete(owner);
  PoolDelete(instance);
}

TEST_F(BspTest, FileFragmentsMustNameLiveVertices) {
  WorldPolygon* p = TestPolygon(world_, RectXY(0, 0, 1, 1, 0));
  VertexWeld(world_, 9, 9, 9);
  VertexWeld(world_, 8, 8, 8);
  VertexRelease(world_, 4);
  VertexRelease(world_, 5);  // the free list's head, holding -4
  BspFragment* f = p->firstFragment;
  EXPECT_EQ(FragmentVerticesValid(world_, f), 1);
  const int kept = f->vertices[1].vertex;
  const int bad[] = {-1, world_->vertexPool.used, 1 << 30, 5};
  for (int index : bad) {
    f->vertices[1].vertex = index;
    EXPECT_EQ(FragmentVerticesValid(world_, f), 0) << index;
  }
  f->vertices[1].vertex = kept;
  f->vertexCount = 17;
  EXPECT_EQ(FragmentVerticesValid(world_, f), 0);
  f->vertexCount = 4;
}
