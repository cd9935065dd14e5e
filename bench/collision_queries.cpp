// Collision queries as ships, missiles and enemies make them every frame:
// sphere push-outs, touch tests, lines of sight and rays. One benchmark
// iteration is one query, cycling through 4096 positions drawn beforehand,
// so the reported time is the time per query.
//
// Two scenes: the demo mission "M1.CAN" loaded as the level loader loads it
// (about a hundred polygons and its instances, posed so that their spheres
// are sorted into the BSP), with points drawn inside its hangar, door
// corridor and pump room; and a bigger level built in memory with the
// engine's own operations: a room of 64-unit floor and ceiling tiles and
// wall panels (y up), 200 pillars and 64 instances sorted into the BSP's
// root, about 2,300 polygons.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/animation.h"
#include "engine/bsp.h"
#include "engine/collision.h"
#include "engine/data_archive.h"
#include "engine/instance.h"
#include "engine/intrusive_list.h"
#include "engine/model.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/texture.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_polygon.h"
#include "platform/crt_random.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_level.h"

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
    ListAppend(world->firstInstance, world->lastInstance, instance, &Instance::prev, &Instance::next);
    InstanceNode* node = PoolNew<InstanceNode>();
    node->world = world;
    node->instance = instance;
    node->pivotWorld = at;
    InstanceFragment* fragment = PoolNew<InstanceFragment>();
    fragment->node = node;
    node->firstFragment = node->lastFragment = fragment;
    BspNode* root = world->bspRoot;
    fragment->bspNode = root;
    ListAppend(root->firstInstanceFragment, root->lastInstanceFragment, fragment, &InstanceFragment::prevInBsp,
               &InstanceFragment::nextInBsp);
    instances.push_back(instance);
    nodes.push_back(node);
  }
};

// A world to query and the boxes its query points are drawn from.
struct Scene {
  World* world = nullptr;
  std::vector<std::pair<Vec3, Vec3>> spaces;
  int polygons = 0;
};

Vec3 RandomPoint(const Scene& scene) {
  const auto& [lo, hi] = scene.spaces[CrtRand() % scene.spaces.size()];
  return {RandomIn(lo.x, hi.x), RandomIn(lo.y, hi.y), RandomIn(lo.z, hi.z)};
}

// Query points, and segment ends: another point of the scene's spaces.
std::vector<Vec3> RandomPoints(const Scene& scene) {
  CrtSrand(99);
  std::vector<Vec3> points;
  for (int i = 0; i < kQueries; ++i) points.push_back(RandomPoint(scene));
  return points;
}

void SphereQueries(benchmark::State& state, const Scene* scene, float radius, float scale) {
  const std::vector<Vec3> points = RandomPoints(*scene);
  g_CollideVerticalScale = scale;
  int i = 0, touched = 0;
  for (auto _ : state) {
    Vec3 p = points[i];
    touched += WorldCollideSphere(scene->world, &p.x, &p.y, &p.z, radius) != 0;
    benchmark::DoNotOptimize(p);
    i = (i + 1) % kQueries;
  }
  state.counters["polygons"] = scene->polygons;
  state.counters["hit%"] = 100.0 * touched / static_cast<double>(state.iterations());
}

void TouchQueries(benchmark::State& state, const Scene* scene) {
  const std::vector<Vec3> points = RandomPoints(*scene);
  g_CollideVerticalScale = 1.0f;
  int i = 0;
  for (auto _ : state) {
    const Vec3 p = points[i];
    benchmark::DoNotOptimize(WorldSphereTouch(scene->world, p.x, p.y, p.z, 17.0f));
    i = (i + 1) % kQueries;
  }
}

void LineOfSightQueries(benchmark::State& state, const Scene* scene) {
  const std::vector<Vec3> starts = RandomPoints(*scene);
  int i = 0, blocked = 0;
  for (auto _ : state) {
    const Vec3 s = starts[i], e = starts[(i + 1) % kQueries];
    blocked += WorldSegmentBlocked(scene->world, s.x, s.y, s.z, e.x, e.y, e.z);
    i = (i + 1) % kQueries;
  }
  state.counters["blocked%"] = 100.0 * blocked / static_cast<double>(state.iterations());
}

void RayQueries(benchmark::State& state, const Scene* scene) {
  const std::vector<Vec3> starts = RandomPoints(*scene);
  int i = 0, polygons = 0, instances = 0;
  for (auto _ : state) {
    const Vec3 s = starts[i], e = starts[(i + 1) % kQueries];
    Vec3 h;
    WorldPolygon* polygon;
    Instance* instance;
    const int hit = CollideRay(scene->world, &h.x, &h.y, &h.z, &polygon, &instance, s.x, s.y, s.z, e.x, e.y, e.z);
    polygons += hit == kRayPolygon;
    instances += hit == kRayInstance;
    benchmark::DoNotOptimize(h);
    i = (i + 1) % kQueries;
  }
  state.counters["polygon%"] = 100.0 * polygons / static_cast<double>(state.iterations());
  state.counters["instance%"] = 100.0 * instances / static_cast<double>(state.iterations());
}

void Register(const std::string& name, const Scene* scene) {
  // Missiles test small spheres unscaled; the ship a sphere of its size in
  // the squashed space.
  benchmark::RegisterBenchmark((name + "/WorldCollideSphere/missile").c_str(), SphereQueries, scene, 4.0f, 1.0f);
  benchmark::RegisterBenchmark((name + "/WorldCollideSphere/ship").c_str(), SphereQueries, scene, 17.0f, 0.25f);
  benchmark::RegisterBenchmark((name + "/WorldSphereTouch").c_str(), TouchQueries, scene);
  benchmark::RegisterBenchmark((name + "/WorldSegmentBlocked").c_str(), LineOfSightQueries, scene);
  benchmark::RegisterBenchmark((name + "/CollideRay").c_str(), RayQueries, scene);
}

// The demo mission, written to a folder of its own and loaded.
struct DemoScene {
  TempFolder temp;
  Scene scene;

  bool Load() {
    const std::string& folder = temp.Path();
    std::string error;
    if (!WriteDemoData(folder, &error)) {
      std::fprintf(stderr, "cannot write the demo data: %s\n", error.c_str());
      return false;
    }
    if (OpenTextureArchive(kTextureBudgetDefault, (folder + "/TEXTURES.CAN").c_str()) != 1) return false;
    const bool ok = ArchiveOpen((folder + "/M1.CAN").c_str()) && ArchiveFindMember("OBJECTS") && ModelsReload() &&
                    ArchiveFindMember(kDemoLevelMember) && WorldLoad(&scene.world);
    ArchiveClose();
    if (!ok) return false;
    // As the first frame leaves it: groups in place, instances posed and
    // sorted into the tree.
    WorldRebuildGroups(scene.world);
    for (Instance* instance = scene.world->firstInstance; instance; instance = instance->next) {
      InstanceUpdateMatrix(instance);
      InstanceNodeUpdate(InstanceFirstNode(instance), instance->animTime);
    }
    for (WorldPolygon* p = scene.world->firstPolygon; p; p = p->next) ++scene.polygons;
    // Hangar, door corridor, pump room (y grows downwards, floor at 100).
    scene.spaces = {
        {{-380, -220, -380}, {380, 80, 380}}, {{-60, -20, 420}, {60, 80, 880}}, {{-280, -280, 920}, {280, 80, 1480}}};
    return true;
  }
  ~DemoScene() {
    WorldFree(scene.world);
    EngineFreeAll();
    TextureArchiveClose();
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  DemoScene demo;
  if (!demo.Load()) {
    std::fprintf(stderr, "the demo mission did not load\n");
    return 1;
  }
  Level built;
  Scene builtScene;
  builtScene.world = built.world;
  builtScene.polygons = built.polygons;
  builtScene.spaces = {{{5, 5, 5}, {kSize - 5, kHeight - 5, kSize - 5}}};
  Register("demo", &demo.scene);
  Register("built", &builtScene);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
