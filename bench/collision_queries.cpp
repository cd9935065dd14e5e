// Collision queries as ships, missiles and enemies make them every frame:
// sphere push-outs, touch tests, lines of sight and rays, each against a
// level of a few thousand polygons with instances standing in it. One
// benchmark iteration is one query, cycling through a few thousand
// positions drawn beforehand, so the reported time is the time per query.
//
// The level is built in memory with the engine's own operations: a room of
// 64-unit floor and ceiling tiles and wall panels (y up), 200 pillars, and
// 64 instances whose spheres are sorted into the BSP's root as the render
// pass would sort them somewhere in the tree.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/bsp.h"
#include "engine/collision.h"
#include "engine/pool.h"
#include "engine/vertex_pool.h"
#include "engine/world_polygon.h"
#include "platform/crt_random.h"

namespace {

constexpr int kTiles = 24;
constexpr float kTile = 64.0f;
constexpr float kSize = kTiles * kTile;  // the room is kSize square ...
constexpr float kHeight = 256.0f;        // ... and this high
constexpr int kQueries = 4096;

float RandomIn(float low, float high) { return low + (high - low) * CrtRand() / static_cast<float>(kCrtRandMax); }

struct Level {
  World* world = nullptr;
  std::vector<Instance*> instances;
  std::vector<InstanceNode*> nodes;
  int polygons = 0;

  Level() {
    CrtSrand(4321);
    world = PoolNew<World>();
    VertexPoolInit(world, 1);
    world->bspRoot = BspNodeCreate(0, 1, 0, 0);
    for (int i = 0; i < kTiles; ++i) {
      for (int j = 0; j < kTiles; ++j) {
        const float x0 = i * kTile, z0 = j * kTile, x1 = x0 + kTile, z1 = z0 + kTile;
        Quad({x0, x0, x1, x1}, {0, 0, 0, 0}, {z0, z1, z1, z0});                          // floor, facing up
        Quad({x0, x1, x1, x0}, {kHeight, kHeight, kHeight, kHeight}, {z0, z0, z1, z1});  // ceiling, facing down
      }
    }
    for (int i = 0; i < kTiles; ++i) {
      for (int k = 0; k < 4; ++k) {
        const float a = i * kTile, b = a + kTile, y0 = k * 64.0f, y1 = y0 + 64.0f;
        Quad({a, b, b, a}, {y0, y0, y1, y1}, {0, 0, 0, 0});  // walls facing into the room
        Quad({b, a, a, b}, {y0, y0, y1, y1}, {kSize, kSize, kSize, kSize});
        Quad({0, 0, 0, 0}, {y0, y0, y1, y1}, {b, a, a, b});
        Quad({kSize, kSize, kSize, kSize}, {y0, y0, y1, y1}, {a, b, b, a});
      }
    }
    for (int p = 0; p < 200; ++p) {  // pillars: four sides each, facing out
      const float x = RandomIn(100, kSize - 100), z = RandomIn(100, kSize - 100);
      const float x1 = x + 20, z1 = z + 20;
      Quad({x, x, x1, x1}, {0, kHeight, kHeight, 0}, {z, z, z, z});
      Quad({x1, x1, x1, x1}, {0, kHeight, kHeight, 0}, {z, z, z1, z1});
      Quad({x1, x1, x, x}, {0, kHeight, kHeight, 0}, {z1, z1, z1, z1});
      Quad({x, x, x, x}, {0, kHeight, kHeight, 0}, {z1, z1, z, z});
    }
    for (int i = 0; i < 64; ++i) AddInstance({RandomIn(50, kSize - 50), RandomIn(20, 200), RandomIn(50, kSize - 50)});
  }
  ~Level() {
    BspNodeFree(world->bspRoot);  // frees the instance fragments too
    world->bspRoot = nullptr;
    while (world->firstPolygon) PolygonDelete(world->firstPolygon);
    for (InstanceNode* node : nodes) PoolDelete(node);
    for (Instance* instance : instances) PoolDelete(instance);
    VertexPoolFree(world);
    PoolDelete(world);
  }
  void Quad(std::vector<float> x, std::vector<float> y, std::vector<float> z) {
    const float light[] = {1, 1, 1, 1};
    if (PolygonCreate(world, 4, x.data(), y.data(), z.data(), light, nullptr)) ++polygons;
  }
  void AddInstance(Vec3 at) {
    Instance* instance = PoolNew<Instance>();
    instance->world = world;
    instance->x = at.x, instance->y = at.y, instance->z = at.z;
    instance->radius = 16;
    instance->collidable = 1;
    instance->prev = world->lastInstance;
    (world->lastInstance ? world->lastInstance->next : world->firstInstance) = instance;
    world->lastInstance = instance;
    InstanceNode* node = PoolNew<InstanceNode>();
    node->world = world;
    node->instance = instance;
    node->pivotWorld = at;
    InstanceFragment* fragment = PoolNew<InstanceFragment>();
    fragment->node = node;
    node->firstFragment = node->lastFragment = fragment;
    BspNode* root = world->bspRoot;
    fragment->bspNode = root;
    fragment->prevInBsp = root->lastInstanceFragment;
    (root->lastInstanceFragment ? root->lastInstanceFragment->nextInBsp : root->firstInstanceFragment) = fragment;
    root->lastInstanceFragment = fragment;
    instances.push_back(instance);
    nodes.push_back(node);
  }
};

// Points anywhere in the room, many of them near the floor, a wall or a
// pillar; and segments of 100 to 600 units between such points.
std::vector<Vec3> RandomPoints(int count) {
  std::vector<Vec3> points;
  for (int i = 0; i < count; ++i)
    points.push_back({RandomIn(5, kSize - 5), RandomIn(5, kHeight - 5), RandomIn(5, kSize - 5)});
  return points;
}

std::vector<Vec3> SegmentEnds(const std::vector<Vec3>& starts) {
  std::vector<Vec3> ends;
  for (const Vec3& s : starts) {
    ends.push_back({s.x + RandomIn(-600, 600), s.y + RandomIn(-100, 100), s.z + RandomIn(-600, 600)});
  }
  return ends;
}

void BM_WorldCollideSphere(benchmark::State& state) {
  Level level;
  const std::vector<Vec3> points = RandomPoints(kQueries);
  const float radius = static_cast<float>(state.range(0));
  g_CollideVerticalScale = 0.25f;
  int i = 0, touched = 0;
  for (auto _ : state) {
    Vec3 p = points[i];
    touched += WorldCollideSphere(level.world, &p.x, &p.y, &p.z, radius) != 0;
    benchmark::DoNotOptimize(p);
    i = (i + 1) % kQueries;
  }
  state.counters["polygons"] = level.polygons;
  state.counters["hit%"] = 100.0 * touched / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WorldCollideSphere)->Arg(4)->Arg(12)->Arg(40);

void BM_WorldSphereTouch(benchmark::State& state) {
  Level level;
  const std::vector<Vec3> points = RandomPoints(kQueries);
  g_CollideVerticalScale = 1.0f;
  int i = 0;
  for (auto _ : state) {
    const Vec3 p = points[i];
    benchmark::DoNotOptimize(WorldSphereTouch(level.world, p.x, p.y, p.z, 12.0f));
    i = (i + 1) % kQueries;
  }
}
BENCHMARK(BM_WorldSphereTouch);

void BM_WorldSegmentBlocked(benchmark::State& state) {
  Level level;
  const std::vector<Vec3> starts = RandomPoints(kQueries);
  const std::vector<Vec3> ends = SegmentEnds(starts);
  int i = 0, blocked = 0;
  for (auto _ : state) {
    const Vec3 s = starts[i], e = ends[i];
    blocked += WorldSegmentBlocked(level.world, s.x, s.y, s.z, e.x, e.y, e.z);
    i = (i + 1) % kQueries;
  }
  state.counters["blocked%"] = 100.0 * blocked / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WorldSegmentBlocked);

void BM_CollideRay(benchmark::State& state) {
  Level level;
  const std::vector<Vec3> starts = RandomPoints(kQueries);
  const std::vector<Vec3> ends = SegmentEnds(starts);
  int i = 0, instances = 0;
  for (auto _ : state) {
    const Vec3 s = starts[i], e = ends[i];
    Vec3 h;
    WorldPolygon* polygon;
    Instance* instance;
    instances +=
        CollideRay(level.world, &h.x, &h.y, &h.z, &polygon, &instance, s.x, s.y, s.z, e.x, e.y, e.z) == kRayInstance;
    benchmark::DoNotOptimize(h);
    i = (i + 1) % kQueries;
  }
  state.counters["instance%"] = 100.0 * instances / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CollideRay);

}  // namespace

BENCHMARK_MAIN();
