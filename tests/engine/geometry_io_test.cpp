// The world member's geometry written by the data builder and read back by
// the engine: lights, surfaces, the BSP, the vertex pool and the polygon
// block with its fragments.
#include <gtest/gtest.h>

#include <vector>

#include "engine/bsp.h"
#include "engine/bsp_fragment.h"
#include "engine/light.h"
#include "engine/list_check.h"
#include "engine/name_hash.h"
#include "engine/object_graph.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/vertex_pool.h"
#include "engine/world_polygon.h"
#include "tests/engine/data_archive_fixture.h"
#include "tests/engine/world_fixture.h"
#include "tools/builder/world_geometry_writer.h"

namespace {

// Stands in for the world record's own body, which the world reader adds.
int ReadBareWorld(World* world) {
  VertexPoolInit(world, 1);
  return 1;
}

class GeometryIoTest : public ArchiveTest {
 protected:
  void SetUp() override {
    wall_ = CreateTexture("wall", 64, 64);
    built_ = TestWorldCreate(BspNodeCreate(0, 0, 1, 0));
  }
  void TearDown() override {
    TestWorldFree(built_);
    TestWorldFree(read_);
    FreeAllTextures();
    ArchiveTest::TearDown();
  }

  // A small level: a floor at the root, a wall split by it, a second wall
  // sharing the surface, a line, three lights and a pool with free entries.
  void Build() {
    Surface* stone = SurfaceCreate(built_, 0, 0, 0, 64, 0, 0, 0, 64, 0, 16, -8, TextureAddRef(wall_));
    Surface* plain = SurfaceCreate(built_, 1, 2, 3, 0, 32, 0, 0, 0, 32, 0, 0, TextureAddRef(wall_));
    PropSet(&plain->props, NameHash("sound"), "hum");
    floor_ = TestPolygon(built_, RectXY(0, 0, 100, 100, 0), 1, stone);
    PropSet(&floor_->props, NameHash("type"), "floor");
    ++stone->refs;
    TestPolygon(built_, {{50, 0, -20}, {50, 100, -20}, {50, 100, 20}, {50, 0, 20}}, 1, stone);
    TestPolygon(built_, {{0, 10, -5}, {0, 10, 5}, {0, 90, 5}, {0, 90, -5}}, 1, plain);
    WorldPolygon* gone = TestPolygon(built_, RectXY(200, 200, 210, 210, 40));
    TestPolygon(built_, {{5, 5, 5}, {5, 5, 50}}, -1);
    PolygonDelete(gone);  // leaves free pool entries and a pruned leaf behind
    LightCreate(built_, 1, 2, 3, 0.5f, 0.5f, 0.5f, 2, 3, 100, 0, 0);
    Light* sphere = LightCreate(built_, 4, 5, 6, 1, 1, 1, 1, 1, 50, 4, 1);
    PropSet(&sphere->props, NameHash("flicker"), "1");
    LightCreate(built_, 7, 8, 9, 0, 0, 1, 3, 1, 10, 0, 0);
  }

  std::vector<uint8_t> Write() {
    ByteWriter out;
    ObjectGraphWriter graph(out);
    graph.Ref(kObjKindWorld, built_, nullptr);
    EXPECT_TRUE(WriteLightRef(graph, built_->firstLight));
    EXPECT_TRUE(WriteLightRef(graph, built_->lastLight));
    EXPECT_TRUE(WriteSurfaceRef(graph, built_->firstSurface));
    EXPECT_TRUE(WriteSurfaceRef(graph, built_->lastSurface));
    EXPECT_TRUE(WriteBspNodeRef(graph, built_->bspRoot));
    WriteVertexPool(out, built_);
    EXPECT_TRUE(WritePolygonBlock(graph, built_));
    EXPECT_TRUE(graph.Ok());
    return out.Take();
  }

  // Reads what Write wrote; false at the first failing step.
  bool Read(const std::vector<uint8_t>& bytes) {
    OpenMember(bytes);
    ObjTableReset();
    const bool ok =
        ObjReadRecord<World, ReadBareWorld>(&read_) && ObjReadRecord<Light, LightRead>(&read_->firstLight) &&
        ObjReadRecord<Light, LightRead>(&read_->lastLight) &&
        ObjReadRecord<Surface, SurfaceRead>(&read_->firstSurface) &&
        ObjReadRecord<Surface, SurfaceRead>(&read_->lastSurface) &&
        ObjReadRecord<BspNode, BspNodeRead>(&read_->bspRoot) && VertexPoolRead(read_) && PolygonsRead(read_);
    ObjTableFree();
    return ok;
  }

  Texture* wall_ = nullptr;
  World* built_ = nullptr;
  World* read_ = nullptr;
  WorldPolygon* floor_ = nullptr;
};

void ExpectSameTree(const BspNode* a, const BspNode* b) {
  ASSERT_EQ(a == nullptr, b == nullptr);
  if (!a) return;
  EXPECT_EQ(a->normal.x, b->normal.x);
  EXPECT_EQ(a->normal.z, b->normal.z);
  EXPECT_EQ(a->d, b->d);
  EXPECT_EQ(a->radius, b->radius);
  EXPECT_EQ(a->boxMin.y, b->boxMin.y);
  EXPECT_EQ(a->boxMax.z, b->boxMax.z);
  EXPECT_EQ(a->fragmentCount, b->fragmentCount);
  ExpectSameTree(a->front, b->front);
  ExpectSameTree(a->back, b->back);
}

}  // namespace

TEST_F(GeometryIoTest, WorldGeometryRoundTrips) {
  Build();
  const int nodesBuilt = BspSubtreeSize(built_->bspRoot);
  ASSERT_TRUE(Read(Write()));

  // Lights: both ends, order, values, properties.
  EXPECT_TRUE(ListConsistent(read_->firstLight, read_->lastLight, 10));
  const Light* light = read_->firstLight->next;
  EXPECT_EQ(light->type, 4);
  EXPECT_EQ(light->noColour, 1);
  EXPECT_EQ(light->radiusSquared, 2500.0f);
  EXPECT_EQ(light->halfPower, 0.5f);
  EXPECT_EQ(light->world, read_);
  EXPECT_STREQ(PropFind(light->props, NameHash("flicker")), "1");
  EXPECT_EQ(read_->lastLight->z, 9.0f);

  // Surfaces: the texture found again by id, one count per polygon.
  EXPECT_TRUE(ListConsistent(read_->firstSurface, read_->lastSurface, 10));
  const Surface* stone = read_->firstSurface;
  EXPECT_EQ(stone->texture, wall_);
  EXPECT_EQ(stone->refs, 2);
  EXPECT_EQ(stone->uOffset, 16);
  EXPECT_EQ(stone->vOffset, -8);
  EXPECT_EQ(stone->uAxis.x, 64.0f);
  EXPECT_EQ(stone->worldU.x, 64.0f);
  EXPECT_EQ(read_->lastSurface->refs, 1);
  EXPECT_STREQ(PropFind(read_->lastSurface->props, NameHash("sound")), "hum");

  // The tree, node for node.
  EXPECT_EQ(BspTreeValid(read_->bspRoot), 1);
  EXPECT_EQ(BspSubtreeSize(read_->bspRoot), nodesBuilt);
  ExpectSameTree(built_->bspRoot, read_->bspRoot);

  // The pool, entry for entry, free list included.
  const VertexPool& a = built_->vertexPool;
  const VertexPool& b = read_->vertexPool;
  EXPECT_EQ(b.used, a.used);
  EXPECT_EQ(b.capacity, a.capacity);
  EXPECT_EQ(b.freeHead, a.freeHead);
  EXPECT_NE(b.freeHead, kVertexNone);
  EXPECT_EQ(b.welding, 1);
  for (int i = 0; i < kWeldBucketCount; ++i) EXPECT_EQ(b.buckets[i], a.buckets[i]);
  for (int i = 0; i < a.used; ++i) {
    EXPECT_EQ(b.x[i], a.x[i]);
    EXPECT_EQ(b.z[i], a.z[i]);
    EXPECT_EQ(b.prev[i], a.prev[i]);
    EXPECT_EQ(b.next[i], a.next[i]);
    EXPECT_EQ(b.refCount[i], a.refCount[i]);
  }

  // Polygons and their fragments.
  EXPECT_EQ(read_->fragmentCount, built_->fragmentCount);
  const WorldPolygon* p = read_->firstPolygon;
  for (const WorldPolygon* q = built_->firstPolygon; q; q = q->next, p = p->next) {
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->vertexCount, q->vertexCount);
    EXPECT_EQ(p->normal.x, q->normal.x);
    EXPECT_EQ(p->worldD, q->d);
    EXPECT_EQ(p->flatColour, q->flatColour);
    EXPECT_EQ(p->vertices[p->vertexCount - 1].y, q->vertices[q->vertexCount - 1].y);
    EXPECT_EQ(p->vertices[0].light, q->vertices[0].light);
    const BspFragment* g = p->firstFragment;
    for (const BspFragment* f = q->firstFragment; f; f = f->nextInPolygon, g = g->nextInPolygon) {
      ASSERT_NE(g, nullptr);
      EXPECT_EQ(g->vertexCount, f->vertexCount);
      EXPECT_EQ(g->back, f->back);
      for (int i = 0; i < f->vertexCount; ++i) EXPECT_EQ(g->vertices[i].vertex, f->vertices[i].vertex);
      EXPECT_EQ(g->node->d, f->node->d);
    }
    EXPECT_EQ(g, nullptr);
  }
  EXPECT_EQ(p, nullptr);
  EXPECT_STREQ(PropFind(read_->firstPolygon->props, NameHash("type")), "floor");
  ASSERT_NE(read_->firstLine, nullptr);
  EXPECT_EQ(read_->firstLine, read_->lastLine);
  EXPECT_EQ(read_->firstLine->firstFragment, nullptr);

  // The loaded world works at run time as the built one does.
  for (WorldPolygon* q = read_->firstPolygon; q;) {
    WorldPolygon* next = q->next;
    PolygonDelete(q);
    q = next;
  }
  EXPECT_EQ(read_->fragmentCount, 0);
  EXPECT_EQ(read_->bspRoot->front, nullptr);
  EXPECT_EQ(read_->bspRoot->back, nullptr);
  for (int i = 0; i < b.used; ++i) EXPECT_LE(b.refCount[i], 1) << i;
  EXPECT_EQ(wall_->refs, 3);  // the store's one and the two built surfaces'
}

// Damaged pools and fragments fail the read; nothing reads out of range.
TEST_F(GeometryIoTest, DamagedPoolsAndFragmentsFailTheRead) {
  Build();
  // The pool's position: find it by writing the parts before it again.
  ByteWriter prefix;
  {
    ObjectGraphWriter graph(prefix);
    graph.Ref(kObjKindWorld, built_, nullptr);
    WriteLightRef(graph, built_->firstLight);
    WriteLightRef(graph, built_->lastLight);
    WriteSurfaceRef(graph, built_->firstSurface);
    WriteSurfaceRef(graph, built_->lastSurface);
    WriteBspNodeRef(graph, built_->bspRoot);
  }
  const size_t pool = prefix.Size();
  const int used = built_->vertexPool.used;
  const size_t buckets = pool + 12, freeHead = buckets + 4 * kWeldBucketCount;
  const size_t prevs = freeHead + 8 + 12 * used, nexts = prevs + 4 * used, refs = nexts + 4 * used;
  const size_t polygons = refs + 4 * used;
  int usedBucket = 0;
  while (built_->vertexPool.buckets[usedBucket] == kVertexNone) ++usedBucket;
  const int head = built_->vertexPool.buckets[usedBucket];
  // count, vertex count, "type"="floor", 4 vertices, plane, surface, colours and flags
  const size_t floorGroup = polygons + 4 + 4 + 14 + 4 * 28 + 16 + 4 + 12;
  struct {
    const char* what;
    size_t offset;
    int32_t value;
  } const cases[] = {
      {"used above capacity", pool + 4, built_->vertexPool.capacity + 1},
      {"negative used", pool + 4, -1},
      {"huge capacity", pool + 8, 1 << 30},
      {"bucket head out of range", buckets + 4 * usedBucket, used},
      {"free head out of range", freeHead, used + 5},
      {"next out of range", nexts + 4 * head, 1 << 20},
      {"prev out of range", prevs + 4 * head, -300},
      {"chain loops", nexts + 4 * head, head},
      {"free list loops", refs + 4 * built_->vertexPool.freeHead, -built_->vertexPool.freeHead},
      {"polygon of nine vertices", polygons + 4, 9},
      {"negative polygon count", polygons, -1},
      // After the floor's counted surface: the half-read polygon is still freed.
      {"group beyond the records read", floorGroup, 999},
  };
  const std::vector<uint8_t> good = Write();
  auto at = [&good](size_t offset) {
    return static_cast<int32_t>(good[offset] | good[offset + 1] << 8 | good[offset + 2] << 16 | good[offset + 3] << 24);
  };
  // The offsets land where the pool and the block are.
  ASSERT_EQ(at(pool), built_->fragmentCount);
  ASSERT_EQ(at(pool + 4), used);
  ASSERT_EQ(at(buckets + 4 * usedBucket), head);
  ASSERT_EQ(at(freeHead), built_->vertexPool.freeHead);
  ASSERT_EQ(at(nexts + 4 * head), built_->vertexPool.next[head]);
  ASSERT_EQ(at(refs + 4 * built_->vertexPool.freeHead), built_->vertexPool.refCount[built_->vertexPool.freeHead]);
  ASSERT_EQ(at(polygons), 4);  // floor, two walls, the line
  ASSERT_EQ(at(polygons + 4), 4);
  ASSERT_EQ(at(floorGroup - 12), floor_->flatColour);
  ASSERT_EQ(at(floorGroup), 0);
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = good;
    PatchI32(bytes, c.offset, c.value);
    EXPECT_FALSE(Read(bytes)) << c.what;
    ArchiveClose();
    TestWorldFree(read_);
    read_ = nullptr;
  }
}

TEST_F(GeometryIoTest, FragmentNamingAVertexBeyondThePoolFailsTheRead) {
  Build();
  // Move a fragment vertex of the floor beyond the pool's used entries.
  floor_->firstFragment->vertices[2].vertex = built_->vertexPool.used + 3;
  const std::vector<uint8_t> bytes = Write();
  floor_->firstFragment->vertices[2].vertex = 0;  // so that the built world frees soundly
  ++built_->vertexPool.refCount[0];
  EXPECT_FALSE(Read(bytes));
  EXPECT_EQ(read_->firstPolygon->firstFragment, nullptr);  // the bad fragment was not linked
}

TEST(BspTreeValid, RefusesATreeDeeperThanTheRenderPassesWalk) {
  BspNode* root = BspNodeCreate(0, 0, 1, 0);
  BspNode* leaf = root;
  for (int depth = 1; depth <= kBspMaxLoadedDepth; ++depth) {
    if (depth == kBspMaxLoadedDepth) {
      EXPECT_EQ(BspTreeValid(root), 1);  // as deep as allowed
    }
    BspNode* child = BspNodeCreate(0, 0, 1, static_cast<float>(depth));
    leaf->front = child;
    child->parent = leaf;
    leaf = child;
  }
  EXPECT_EQ(BspTreeValid(root), 0);  // one node more than allowed
  BspNodeFree(root);
}

TEST(BspTreeValid, RejectsWrongParentsAndSharedNodes) {
  BspNode* root = BspNodeCreate(0, 0, 1, 0);
  BspNode* child = BspNodeCreate(1, 0, 0, 0);
  EXPECT_EQ(BspTreeValid(root), 1);
  EXPECT_EQ(BspTreeValid(nullptr), 1);
  root->front = child;
  EXPECT_EQ(BspTreeValid(root), 0);  // child's parent not set
  child->parent = root;
  EXPECT_EQ(BspTreeValid(root), 1);
  root->back = child;  // one node in two places
  EXPECT_EQ(BspTreeValid(root), 0);
  root->back = nullptr;
  child->front = root;  // a cycle back to the root
  EXPECT_EQ(BspTreeValid(root), 0);
  EXPECT_EQ(BspTreeValid(child), 0);  // has a parent: not a root
  child->front = nullptr;
  BspNodeFree(root);
}

// Each light's body holds the next one's: a long list is read without
// recursion, and cut short anywhere it fails cleanly.
TEST_F(ArchiveTest, ALongLightListIsReadWholeAndOneCutShortFails) {
  constexpr int kLights = 30000;
  ByteWriter out;
  for (int k = 0; k < kLights; ++k) {
    out.I32(-(k + 1));  // a new light, as the previous one's next
    out.I32(0);         // no properties
    out.I32(k);         // code
    for (int i = 0; i < 6; ++i) out.F32(1.0f);
    out.I32(0);
    for (int i = 0; i < 3; ++i) out.F32(1.0f);
    out.I32(0);
    out.I32(k);  // prev: the light before, by number (0: none)
  }
  out.I32(0);                                    // the last light's next
  for (int k = 0; k < kLights; ++k) out.I32(0);  // each light's world, innermost first
  std::vector<uint8_t> bytes = out.Take();
  for (const size_t size : {bytes.size(), bytes.size() - 4, bytes.size() / 2}) {
    SCOPED_TRACE(size);
    const bool whole = size == bytes.size();
    OpenMemberEndingTheData(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)));
    ObjTableReset();
    Light* first = nullptr;
    EXPECT_EQ((ObjReadRecord<Light, LightRead>(&first)), whole ? 1 : 0);
    ObjTableFree();
    int count = 0;
    const Light* before = nullptr;
    while (first) {  // the lights read so far are linked through next
      if (whole) {
        EXPECT_EQ(first->prev, before);
        EXPECT_EQ(first->code, count);
      }
      Light* next = first->next;
      before = first;
      PoolDelete(first);
      first = next;
      ++count;
    }
    if (whole) {
      EXPECT_EQ(count, kLights);
    }
    ArchiveClose();
  }
}

TEST(ListConsistent, RejectsBrokenBackLinksEndsAndLoops) {
  Light lights[3] = {};
  lights[0].next = &lights[1];
  lights[1].prev = &lights[0];
  lights[1].next = &lights[2];
  lights[2].prev = &lights[1];
  EXPECT_EQ(ListConsistent(&lights[0], &lights[2], 3), 1);
  EXPECT_EQ(ListConsistent(&lights[0], &lights[2], 2), 0);  // longer than the records read
  EXPECT_EQ(ListConsistent(&lights[0], &lights[1], 3), 0);  // the tail is not the end
  EXPECT_EQ(ListConsistent<Light>(nullptr, nullptr, 0), 1);
  EXPECT_EQ(ListConsistent<Light>(&lights[0], nullptr, 3), 0);
  lights[2].prev = &lights[0];
  EXPECT_EQ(ListConsistent(&lights[0], &lights[2], 3), 0);
  lights[2].prev = &lights[1];
  lights[2].next = &lights[0];  // round again
  EXPECT_EQ(ListConsistent(&lights[0], &lights[2], 100), 0);
}
