// The world member written by the data builder and read back by WorldLoad:
// the round trip, and worlds that must fail the load cleanly (every record
// read freed again: the sanitizer build reports any leak or double free).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/bsp.h"
#include "engine/depth_cue.h"
#include "engine/engine_error.h"
#include "engine/instance.h"
#include "engine/light.h"
#include "engine/list_check.h"
#include "engine/model.h"
#include "engine/name_hash.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_polygon.h"
#include "tests/engine/data_archive_fixture.h"
#include "tests/engine/group_fixture.h"
#include "tools/builder/world_writer.h"

namespace {

// A model record with `nodes` empty mesh nodes, on the engine's model list,
// for instances to name.
Model* TestModelCreate(const char* fileName, int nodes) {
  Model* model = PoolNew<Model>();
  std::strncpy(model->name, fileName, kModelNameLength);
  model->nameHash = NameHash(fileName);
  model->useCount = 1;
  model->radius = 5.0f;
  for (int i = 0; i < nodes; ++i) {
    MeshNode* node = PoolNew<MeshNode>();
    node->model = model;
    node->prevInModel = model->lastNode;
    if (model->lastNode) {
      model->lastNode->nextInModel = node;
    } else {
      model->firstNode = node;
    }
    model->lastNode = node;
  }
  model->next = g_ModelListHead;
  if (g_ModelListHead) g_ModelListHead->prev = model;
  g_ModelListHead = model;
  return model;
}

// Settings whose 12 bytes mark where the vertex pool starts in the member.
constexpr WorldMemberSettings kSettings = {1234.5f, 0.125f, 0.875f};

size_t FindPoolStart(const std::vector<uint8_t>& bytes) {
  ByteWriter marker;
  marker.F32(kSettings.depthCueFar);
  marker.F32(kSettings.flatShadeLow);
  marker.F32(kSettings.flatShadeHigh);
  const std::vector<uint8_t>& m = marker.Data();
  const auto at = std::search(bytes.begin(), bytes.end(), m.begin(), m.end());
  EXPECT_NE(at, bytes.end());
  return static_cast<size_t>(at - bytes.begin()) + m.size();
}

// Offsets inside the stored pool (from its start).
constexpr size_t kPoolUsed = 4;
constexpr size_t kPoolCapacity = 8;
constexpr size_t kPoolBuckets = 12;
constexpr size_t kPoolFreeHead = kPoolBuckets + 4 * kWeldBucketCount;
constexpr size_t kPoolArrays = kPoolFreeHead + 8;

class WorldLoadTest : public ArchiveTest {
 protected:
  void SetUp() override {
    wall_ = CreateTexture("WALL", 64, 64);
    model_ = TestModelCreate("crate.3ds", 2);
    built_ = TestWorldCreate(BspNodeCreate(0, 0, 1, 0));
  }
  void TearDown() override {
    WorldFree(built_);
    WorldFree(loaded_);
    while (g_ModelListHead) ModelFree(g_ModelListHead);
    FreeAllTextures();
    DepthCueSet(0.0f, -1.0f);
    ArchiveTest::TearDown();
  }

  Surface* Stone() { return SurfaceCreate(built_, 0, 0, 0, 64, 0, 0, 0, 64, 0, 0x8000, 0, TextureAddRef(wall_)); }

  // A small level: floor, a split wall, a line, a door on a stopped slide,
  // a running fan with a child blade, a trigger, two lights, two instances.
  void Build() {
    PropSet(&built_->props, NameHash("name"), "test level");
    TestPolygon(built_, RectXY(0, 0, 100, 100, 0), 1, Stone());
    TestPolygon(built_, {{50, 0, -20}, {50, 100, -20}, {50, 100, 20}, {50, 0, 20}}, 1, Stone());
    TestPolygon(built_, {{5, 5, 5}, {5, 5, 50}}, -1);

    door_ = GroupCreate(built_, "door_a", nullptr);
    PropSet(&door_->props, NameHash("speed"), "0.5");
    TestGroupPolygon(door_, RectXY(10, 10, 30, 30, 10));
    TestGroupPolygon(door_, RectXY(10, 40, 30, 60, 10));
    GroupSetSlideMover(door_, 0, 0, 40, 0.5f, 0.25f);

    fan_ = GroupCreate(built_, "spinning_fan", nullptr);
    TestGroupPolygon(fan_, RectXY(60, 60, 90, 90, 30));
    GroupSetRotateMover(fan_, 75, 75, 0, 0, 0, 1, 0.0f, 0.25f, 0.1f);
    GroupStartMover(fan_);
    blade_ = GroupCreate(built_, "fan_blade", fan_);
    TestGroupPolygon(blade_, RectXY(70, 70, 80, 80, 35));

    PolygonGroup* trigger = GroupCreate(built_, "trigger", nullptr);
    TestGroupPolygon(trigger, RectXY(0, 0, 5, 5, 60))->flags |= kPolygonTrigger;
    WorldRebuildGroups(built_);

    LightCreate(built_, 50, 50, 50, 1, 1, 1, 1, 100, 200, kLightTypePoint, 0);
    LightCreate(built_, 20, 20, 20, 1, 0, 0, 0.5f, 1, 80, kLightTypeSphere, 1);

    instances_ = {
        {"crate.3ds", {1, 2, 3}, {0, 0.5f, 0}, 0.0f, "crate1", {{"event", "beep"}}},
        {"crate.3ds", {4, 5, 6}, {0, 0, 0}, 2.0f, "crate2", {}},
    };
  }

  std::vector<uint8_t> Write() {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(WriteWorldMember(built_, instances_, kSettings, &bytes));
    return bytes;
  }

  int Load(const std::vector<uint8_t>& bytes) {
    OpenMember(bytes);
    const int ok = WorldLoad(&loaded_);
    ArchiveClose();
    return ok;
  }

  // Loads bytes expecting failure: nothing out, nothing left in the world
  // lists of the engine (the sanitizer checks the memory).
  void ExpectLoadFails(const std::vector<uint8_t>& bytes, const char* what) {
    const int nodes = g_BspNodeCount;
    const int uses = model_->useCount;
    OpenMember(bytes);
    World* world = built_;  // must be overwritten
    EXPECT_EQ(WorldLoad(&world), 0) << what;
    EXPECT_EQ(world, nullptr) << what;
    EXPECT_EQ(g_BspNodeCount, nodes) << what;
    EXPECT_EQ(model_->useCount, uses) << what;
    ArchiveClose();
  }

  Texture* wall_ = nullptr;
  Model* model_ = nullptr;
  World* built_ = nullptr;
  World* loaded_ = nullptr;
  PolygonGroup* door_ = nullptr;
  PolygonGroup* fan_ = nullptr;
  PolygonGroup* blade_ = nullptr;
  std::vector<BuilderInstance> instances_;
};

}  // namespace

TEST_F(WorldLoadTest, WorldRoundTrips) {
  Build();
  ASSERT_EQ(Load(Write()), 1);
  World* w = loaded_;
  EXPECT_STREQ(WorldGetProperty(w, "name"), "test level");
  EXPECT_FLOAT_EQ(DepthCueFar(), 1234.5f);
  EXPECT_FLOAT_EQ(g_FlatShadeLow, 0.125f);
  EXPECT_FLOAT_EQ(g_FlatShadeHigh, 0.875f);

  // Lights: both on the first list until the level start separates them.
  EXPECT_TRUE(ListConsistent(w->firstLight, w->lastLight, 10));
  EXPECT_EQ(w->lastLight->type, kLightTypeSphere);
  EXPECT_EQ(w->firstSphereLight, nullptr);

  // Groups: names, order, hierarchy, movers, state after loading.
  PolygonGroup* door = GroupFindByName(w, "door_a");
  PolygonGroup* fan = GroupFindByName(w, "spinning_fan");
  PolygonGroup* blade = GroupFindByName(w, "fan_blade");
  ASSERT_TRUE(door && fan && blade);
  EXPECT_EQ(GroupFirst(w), door);
  EXPECT_STREQ(GroupGetProperty(door, "speed"), "0.5");
  EXPECT_EQ(blade->parent, fan);
  EXPECT_EQ(fan->firstChild, blade);
  EXPECT_EQ(w->firstMover, fan);
  EXPECT_EQ(fan->nextMover, nullptr);
  EXPECT_EQ(GroupIsMoving(fan), 1);
  EXPECT_EQ(door->moverType, -kMoverSlide);
  float position, speed;
  ASSERT_EQ(GroupGetMoverState(door, &position, &speed), 1);
  EXPECT_FLOAT_EQ(position, 0.25f);
  EXPECT_FLOAT_EQ(speed, 0.5f);
  EXPECT_FLOAT_EQ(door->axis.z, 40.0f);
  EXPECT_FLOAT_EQ(fan->pivot.x, 75.0f);
  EXPECT_FLOAT_EQ(door->worldMatrix[14], 10.0f);  // as stored: 40 x 0.25
  EXPECT_EQ(door->valid, 0);
  EXPECT_EQ(w->allClean, 0);
  EXPECT_EQ(door->callback, nullptr);
  EXPECT_EQ(door->polygonCount, 2);
  // Centre and radius computed from the polygons (two 20 x 20 squares).
  EXPECT_NEAR(door->localCentre.x, 20.0f, 1e-4f);
  EXPECT_NEAR(door->localCentre.y, 35.0f, 1e-4f);
  EXPECT_NEAR(door->radius, 0.5f * std::sqrt(20.0f * 20 + 50 * 50), 1e-3f);
  EXPECT_NEAR(fan->radius, 0.5f * std::sqrt(2.0f) * 30.0f, 1e-3f);

  // Polygons: counts, the line list, the trigger flag, texture coordinates.
  int polygons = 0;
  for (WorldPolygon* p = w->firstPolygon; p; p = p->next) ++polygons;
  EXPECT_EQ(polygons, 8);
  ASSERT_NE(w->firstLine, nullptr);
  EXPECT_EQ(w->firstLine->vertexCount, 2);
  EXPECT_EQ(GroupFindByName(w, "trigger")->polygons[0]->flags & kPolygonTrigger, kPolygonTrigger);
  const WorldPolygon* floor = w->firstPolygon;
  ASSERT_NE(floor->firstFragment, nullptr);
  const BspFragment* fragment = floor->firstFragment;
  for (int i = 0; i < fragment->vertexCount; ++i) {
    const Vec3 p = VertexPosition(w, fragment->vertices[i].vertex);
    // 256 texels per 64 units along u, a half-texel offset; 64 texels wide.
    EXPECT_NEAR(fragment->vertices[i].u, (p.x * 4.0f + 0.5f) / 64.0f, 1e-4f);
    EXPECT_NEAR(fragment->vertices[i].v, p.y * 4.0f / 64.0f, 1e-4f);
  }
  EXPECT_EQ(w->fragmentCount, built_->fragmentCount);

  // Instances with their model, properties and nodes.
  ASSERT_TRUE(ListConsistent(w->firstInstance, w->lastInstance, 10));
  Instance* crate = w->firstInstance;
  EXPECT_EQ(crate->model, model_);
  EXPECT_EQ(model_->useCount, 3);
  EXPECT_STREQ(crate->name, "crate1");
  EXPECT_STREQ(InstanceGetProperty(crate, "event"), "beep");
  EXPECT_FLOAT_EQ(crate->angleY, 0.5f);
  EXPECT_FLOAT_EQ(w->lastInstance->animTime, 2.0f);
  int nodes = 0;
  for (InstanceNode* n = w->firstInstanceNode; n; n = n->nextInWorld) ++nodes;
  EXPECT_EQ(nodes, 4);

  // The loaded world rebuilds and moves like the built one.
  WorldRebuildGroups(w);
  EXPECT_EQ(w->allClean, 1);
  WorldUpdate(w, 1000);
  EXPECT_NEAR(fan->position, 0.35f, 1e-5f);
}

// Every list of the world member is a chain of bodies nested one inside
// the next: whatever the builder writes, however long, loads.
TEST_F(WorldLoadTest, AWorldOfAHundredThousandPolygonsLoads) {
  constexpr int kPolygons = 100000, kSurfaces = 20000, kInstances = 20000;
  // Small quads facing along x, y or z, scattered through a large cube in a
  // scrambled order, so that the tree stays shallow without balancing. The
  // quads share no corners: the pool needs no welding, and it is made big
  // enough at once rather than grown by a hundred entries at a time.
  VertexPoolInit(built_, 0);
  ASSERT_EQ(VertexPoolReserve(built_, 4 * kPolygons), 1);
  std::vector<Surface*> surfaces;
  for (int i = 0; i < kSurfaces; ++i) surfaces.push_back(Stone());
  std::uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>((seed >> 8) % static_cast<std::uint32_t>(range));
  };
  for (int i = 0; i < kPolygons; ++i) {
    const Vec3 c = {next(20000), next(20000), next(20000)};
    const int axis = i % 3;
    std::vector<Vec3> quad = RectXY(0, 0, 1, 1, 0);
    for (Vec3& p : quad) {
      const Vec3 q = axis == 0 ? Vec3{p.z, p.x, p.y} : axis == 1 ? Vec3{p.y, p.z, p.x} : p;
      p = {c.x + q.x, c.y + q.y, c.z + q.z};
    }
    Surface* surface = surfaces[static_cast<size_t>(i % kSurfaces)];
    ++surface->refs;  // each polygon takes one reference of its own
    ASSERT_NE(TestPolygon(built_, quad, 1, surface), nullptr);
  }
  for (Surface* surface : surfaces) SurfaceRelease(surface);  // the polygons hold them now
  for (int i = 0; i < kInstances; ++i) {
    instances_.push_back({"crate.3ds", {static_cast<float>(i), 0, 0}, {0, 0, 0}, 0.0f, "crate", {}});
  }

  ASSERT_EQ(Load(Write()), 1);
  int polygons = 0, fragments = 0;
  for (const WorldPolygon* p = loaded_->firstPolygon; p; p = p->next) {
    ++polygons;
    fragments += FragmentCount(p);
  }
  EXPECT_EQ(polygons, kPolygons);
  EXPECT_EQ(fragments, loaded_->fragmentCount);
  EXPECT_EQ(BspSubtreeSize(loaded_->bspRoot), BspSubtreeSize(built_->bspRoot));
  EXPECT_TRUE(ListConsistent(loaded_->firstSurface, loaded_->lastSurface, kSurfaces));
  EXPECT_TRUE(ListConsistent(loaded_->firstInstance, loaded_->lastInstance, kInstances));
  int instances = 0;
  for (const Instance* instance = loaded_->firstInstance; instance; instance = instance->next) {
    EXPECT_EQ(instance->x, static_cast<float>(instances));
    ++instances;
  }
  EXPECT_EQ(instances, kInstances);
  EXPECT_EQ(model_->useCount, 1 + kInstances);
}

TEST_F(WorldLoadTest, EveryCutShortMemberFailsCleanly) {
  Build();
  const std::vector<uint8_t> bytes = Write();
  // Cut points through the whole member, the last four bytes included.
  for (size_t length = 0; length < bytes.size(); length += (length + 4 < bytes.size() ? 13 : 1)) {
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
    OpenMemberEndingTheData(cut);
    World* world = nullptr;
    EXPECT_EQ(WorldLoad(&world), 0) << "cut at " << length;
    EXPECT_EQ(world, nullptr);
    ArchiveClose();
  }
  EXPECT_EQ(model_->useCount, 1);
}

TEST_F(WorldLoadTest, BrokenVertexPoolsFailTheLoad) {
  Build();
  PolygonDelete(TestPolygon(built_, RectXY(200, 200, 210, 210, 40)));  // free entries
  ASSERT_NE(built_->vertexPool.freeHead, kVertexNone);
  const std::vector<uint8_t> bytes = Write();
  const size_t pool = FindPoolStart(bytes);
  const VertexPool& p = built_->vertexPool;
  const int used = p.used;
  int bucket = 0;
  while (p.buckets[bucket] == kVertexNone || p.next[p.buckets[bucket]] == kVertexNone) ++bucket;
  const int head = p.buckets[bucket];
  const int second = p.next[head];
  const size_t prevAt = pool + kPoolArrays + 12 * static_cast<size_t>(used);
  const size_t nextAt = prevAt + 4 * static_cast<size_t>(used);

  struct Case {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Case cases[] = {
      {"used above capacity", pool + kPoolUsed, p.capacity + 1},
      {"negative used", pool + kPoolUsed, -1},
      {"capacity far beyond use", pool + kPoolCapacity, used + 10000000},
      {"free head out of range", pool + kPoolFreeHead, used},
      {"bucket head out of range", pool + kPoolBuckets + 4 * bucket, used + 5},
      {"bucket head below -1", pool + kPoolBuckets + 4 * bucket, -7},
      {"chain index out of range", nextAt + 4 * head, used},
      {"chain that loops", nextAt + 4 * second, head},
      {"prev naming another bucket", prevAt + 4 * head, -(((bucket + 1) % kWeldBucketCount) + 1)},
      {"prev out of range", prevAt + 4 * second, used + 3},
      {"prev that skips back", prevAt + 4 * second, second},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> broken = bytes;
    PatchI32(broken, c.offset, c.value);
    ExpectLoadFails(broken, c.what);
  }
}

TEST_F(WorldLoadTest, AFragmentNamingAFreePoolEntryFailsTheLoad) {
  Build();
  PolygonDelete(TestPolygon(built_, RectXY(200, 200, 210, 210, 40)));
  FragmentVertex& vertex = built_->firstPolygon->firstFragment->vertices[0];
  const int kept = vertex.vertex;
  vertex.vertex = built_->vertexPool.freeHead;  // the last free entry holds refCount 1
  const std::vector<uint8_t> bytes = Write();
  vertex.vertex = kept;
  ExpectLoadFails(bytes, "fragment on a free entry");
}

TEST_F(WorldLoadTest, ReferencesOfTheWrongKindOrANewWorldFailTheLoad) {
  // No properties and no lights: the member starts -1 (the world), 0
  // properties, firstLight 0, lastLight 0, then the first group's body:
  // -2, 0 properties, its name, and its world reference.
  door_ = GroupCreate(built_, "door", nullptr);
  TestGroupPolygon(door_, RectXY(0, 0, 10, 10, 5));
  WorldRebuildGroups(built_);
  const std::vector<uint8_t> bytes = Write();
  ASSERT_EQ(bytes.size() > 32, true);
  const size_t groupWorld = 16 + 4 + 4 + 5;
  struct Case {
    const char* what;
    size_t offset;
    int32_t value;
  };
  const Case cases[] = {
      {"light list naming the world", 8, 1},
      {"light list naming the group", 12, 2},
      {"group naming a new world", groupWorld, -3},
      {"group naming itself as its world", groupWorld, 2},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> broken = bytes;
    PatchI32(broken, c.offset, c.value);
    ExpectLoadFails(broken, c.what);
  }
  ASSERT_EQ(Load(bytes), 1);  // the unpatched member is sound
}

TEST_F(WorldLoadTest, BrokenListsHierarchiesAndMoverListsFailTheLoad) {
  struct Case {
    const char* what;
    std::function<void()> breakIt;
    std::function<void()> mendIt;
  };
  Light* stray = nullptr;
  Light* kept = nullptr;
  const Case cases[] = {
      {"a light on no list",
       [&] {
         stray = PoolNew<Light>();
         stray->world = built_;
         kept = built_->lastLight;
         built_->lastLight = stray;
       },
       [&] {
         built_->lastLight = kept;
         PoolDelete(stray);
       }},
      {"a group that is its own grandparent",
       [&] {
         fan_->parent = blade_;
         blade_->firstChild = blade_->lastChild = fan_;
       },
       [&] {
         fan_->parent = nullptr;
         blade_->firstChild = blade_->lastChild = nullptr;
       }},
      {"a child missing from its parent's list", [&] { door_->parent = fan_; }, [&] { door_->parent = nullptr; }},
      {"a running mover off the running list", [&] { door_->moverType = kMoverSlide; },
       [&] { door_->moverType = -kMoverSlide; }},
      {"a stopped mover on the running list", [&] { fan_->moverType = -kMoverRotate; },
       [&] { fan_->moverType = kMoverRotate; }},
      {"a group of another world", [&] { door_->world = nullptr; }, [&] { door_->world = built_; }},
      {"an unknown mover type", [&] { door_->moverType = -3; }, [&] { door_->moverType = -kMoverSlide; }},
  };
  Build();
  for (const Case& c : cases) {
    c.breakIt();
    std::vector<uint8_t> bytes;
    WriteWorldMember(built_, instances_, kSettings, &bytes);
    c.mendIt();
    ASSERT_FALSE(bytes.empty()) << c.what;
    ExpectLoadFails(bytes, c.what);
  }
  ASSERT_EQ(Load(Write()), 1);
}

TEST_F(WorldLoadTest, AGroupHierarchyDeeperThanTheRebuildsWalkFailsTheLoad) {
  PolygonGroup* parent = nullptr;
  for (int depth = 1; depth <= kGroupMaxLoadedDepth; ++depth) parent = GroupCreate(built_, "link", parent);
  ASSERT_EQ(Load(Write()), 1);  // as deep as allowed
  GroupCreate(built_, "one too many", parent);
  ExpectLoadFails(Write(), "one level deeper");
}

TEST_F(WorldLoadTest, WorldFreeTakesParticlesBeforeTheBspAndInstanceNodesOnce) {
  Build();
  const int wallRefs = wall_->refs;
  ASSERT_EQ(Load(Write()), 1);
  EXPECT_GT(wall_->refs, wallRefs);
  // Particles linked at the root and further down the tree.
  ParticleCreate(loaded_, 1, 1, 1, 2, 20);
  Particle* deep = ParticleCreate(loaded_, 60, 60, 30, 2, 20);
  BspNode* leaf = loaded_->bspRoot;
  while (leaf->front) leaf = leaf->front;
  ParticleLinkDetach(deep->link);
  ParticleLinkAttach(leaf, deep->link);
  // A node that belongs to no instance.
  InstanceNodeCreate(loaded_, model_->firstNode, nullptr, nullptr);
  // A surface that no polygon holds.
  SurfaceCreate(loaded_, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, TextureAddRef(wall_));
  WorldFree(loaded_);
  loaded_ = nullptr;
  EXPECT_EQ(model_->useCount, 1);
  EXPECT_EQ(wall_->refs, wallRefs);
  WorldFree(nullptr);
}

TEST_F(WorldLoadTest, WorldUpdateMovesInstancesAlongTheirPaths) {
  Build();
  ASSERT_EQ(Load(Write()), 1);
  PathSegment segment{};
  segment.duration = 10.0f;
  segment.endTime = 10.0f;
  segment.velocity = {10.0f, 0.0f, 0.0f};
  Instance* crate = loaded_->lastInstance;
  crate->pathSegment = &segment;
  crate->pathDirection = 1;
  const float x = crate->x;
  WorldUpdate(loaded_, 100);
  EXPECT_NEAR(crate->x, x + 1.0f, 1e-4f);
  WorldUpdate(loaded_, 0);
  EXPECT_NEAR(crate->x, x + 1.0f, 1e-4f);
  crate->pathSegment = nullptr;
}

TEST(EngineFreeAll, FreesModelsTexturesAndLibraryProperties) {
  CreateTexture("ONE", 32, 32);
  PropSet(&g_LibraryProperties, NameHash("gravity"), "1");
  Model* model = PoolNew<Model>();
  model->useCount = 1;
  g_ModelListHead = model;
  EngineFreeAll();
  EXPECT_EQ(g_ModelListHead, nullptr);
  EXPECT_EQ(TextureListHead(), nullptr);
  EXPECT_EQ(g_LibraryProperties, nullptr);
}

// ---------------------------------------------------------------------------
// Crafted members: counts that claim more than the member holds, and
// instances that would build far more than their bytes
// ---------------------------------------------------------------------------

TEST_F(WorldLoadTest, AVertexPoolLargerThanTheMemberIsRefusedBeforeItsArraysAreMade) {
  Build();
  std::vector<uint8_t> bytes = Write();
  const size_t pool = FindPoolStart(bytes);
  // Six arrays of 2 GiB each, claimed by a member of a few kilobytes.
  PatchI32(bytes, pool + kPoolUsed, 536870911);
  PatchI32(bytes, pool + kPoolCapacity, 536870911);
  const size_t left = bytes.size() - (pool + kPoolArrays);
  ExpectLoadFails(bytes, "vertex pool of 2^29 entries");
  EXPECT_EQ(g_EngineError.code, kEngineErrorBadData);
  EXPECT_EQ(std::string(g_EngineError.message),
            "DATA: vertex pool of 536870911 entries exceeds the member's " + std::to_string(left) + " bytes");
}

TEST_F(WorldLoadTest, ARefusedWorldSaysWhichMemberAndWhatWasWrong) {
  // No properties and no lights: the first light reference is at byte 8.
  std::vector<uint8_t> bytes = Write();
  PatchI32(bytes, 8, 1);  // it names the world
  ExpectLoadFails(bytes, "light list naming the world");
  EXPECT_STREQ(g_EngineError.message, "DATA: object 1 is a world where a light belongs");
  // A sound load clears the record again.
  ASSERT_EQ(Load(Write()), 1);
  EXPECT_EQ(g_EngineError.code, kEngineErrorNone);
}

// A chain of instances 70,000 deep (each body holds the next one's, about
// 800 KB) loads on the default stack: lists are not read by recursion.
TEST_F(WorldLoadTest, SeventyThousandChainedInstancesLoad) {
  constexpr int kInstances = 70000;
  for (int i = 0; i < kInstances; ++i) instances_.push_back({"crate.3ds", {0, 0, 0}, {0, 0, 0}, 0.0f, "c", {}});
  const std::vector<uint8_t> bytes = Write();
  EXPECT_GT(bytes.size(), 700000u);
  ASSERT_EQ(Load(bytes), 1);
  EXPECT_TRUE(ListConsistent(loaded_->firstInstance, loaded_->lastInstance, kInstances));
}

TEST_F(WorldLoadTest, InstancesOfALargeModelMayNotBuildFarMoreThanTheirBytes) {
  // One mesh node of 65,536 vertices: every instance of it builds a 512 KB
  // table, for about 100 bytes of member.
  Model* big = TestModelCreate("big.3ds", 1);
  MeshNode* node = big->firstNode;
  node->vertexCount = kMeshMaxVertices;
  node->sharedIndex = ObjAllocArray<int32_t>(kMeshMaxVertices);
  for (int i = 0; i < kMeshMaxVertices; ++i) node->sharedIndex[i] = -1;

  for (int i = 0; i < 40; ++i) instances_.push_back({"big.3ds", {0, 0, 0}, {0, 0, 0}, 0.0f, "b", {}});
  ASSERT_EQ(Load(Write()), 1);  // 20 MB for a small level is fine
  WorldFree(loaded_);
  loaded_ = nullptr;

  instances_.resize(400, instances_.front());  // 200 MB from 40 KB is not
  ExpectLoadFails(Write(), "400 instances of a large model");
  EXPECT_STREQ(g_EngineError.message,
               "DATA: instances of \"big.3ds\" need more memory than a member of this size may ask for");
  EXPECT_EQ(g_InstanceReadBudget, INT64_MAX);
}
