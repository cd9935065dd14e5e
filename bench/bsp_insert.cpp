// Run-time BSP insertion and removal, as doors, movers and effects do every
// frame: a level of static geometry, then quads created (inserted, cut by the
// level's planes) and deleted again, and existing polygons re-inserted as a
// moving group's rebuild does. Reported per insertion.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/bsp.h"
#include "engine/light.h"
#include "engine/particle.h"
#include "engine/pool.h"
#include "engine/vertex_pool.h"
#include "engine/world_polygon.h"
#include "platform/crt_random.h"

namespace {

float RandomIn(float low, float high) { return low + (high - low) * CrtRand() / static_cast<float>(kCrtRandMax); }

// A box-shaped level: a floor and ceiling of tiles and walls of panels
// around it, plus free-standing pillars inside, about 2,400 polygons.
struct Level {
  World* world = nullptr;

  Level() {
    CrtSrand(1234);
    world = PoolNew<World>();
    VertexPoolInit(world, 1);
    world->bspRoot = BspNodeCreate(0, 0, 1, 0);
    constexpr int kTiles = 24;
    constexpr float kTile = 64.0f;
    constexpr float kSize = kTiles * kTile;
    for (int i = 0; i < kTiles; ++i) {
      for (int j = 0; j < kTiles; ++j) {
        const float x0 = i * kTile, y0 = j * kTile, x1 = x0 + kTile, y1 = y0 + kTile;
        Quad({x0, x1, x1, x0}, {y0, y0, y1, y1}, {0, 0, 0, 0});          // floor, facing up
        Quad({x0, x0, x1, x1}, {y0, y1, y1, y0}, {256, 256, 256, 256});  // ceiling, facing down
      }
    }
    for (int i = 0; i < kTiles; ++i) {
      for (int k = 0; k < 4; ++k) {
        const float a = i * kTile, b = a + kTile, z0 = k * 64.0f, z1 = z0 + 64.0f;
        Quad({a, b, b, a}, {0, 0, 0, 0}, {z0, z0, z1, z1});
        Quad({b, a, a, b}, {kSize, kSize, kSize, kSize}, {z0, z0, z1, z1});
        Quad({0, 0, 0, 0}, {b, a, a, b}, {z0, z0, z1, z1});
        Quad({kSize, kSize, kSize, kSize}, {a, b, b, a}, {z0, z0, z1, z1});
      }
    }
    for (int p = 0; p < 200; ++p) {  // pillars: four sides each
      const float x = RandomIn(100, kSize - 100), y = RandomIn(100, kSize - 100);
      const float x1 = x + 20, y1 = y + 20;
      Quad({x, x1, x1, x}, {y, y, y, y}, {0, 0, 256, 256});
      Quad({x1, x1, x1, x1}, {y, y1, y1, y}, {0, 0, 256, 256});
      Quad({x1, x, x, x1}, {y1, y1, y1, y1}, {0, 0, 256, 256});
      Quad({x, x, x, x}, {y1, y, y, y1}, {0, 0, 256, 256});
    }
  }
  ~Level() {
    while (world->firstPolygon) PolygonDelete(world->firstPolygon);
    BspNodeFree(world->bspRoot);
    VertexPoolFree(world);
    PoolDelete(world);
  }
  WorldPolygon* Quad(std::vector<float> x, std::vector<float> y, std::vector<float> z) {
    const float light[] = {1, 1, 1, 1};
    return PolygonCreate(world, 4, x.data(), y.data(), z.data(), light, nullptr);
  }
  // A random effect quad somewhere in the room, facing a random way.
  WorldPolygon* EffectQuad() {
    const float cx = RandomIn(0, 1536), cy = RandomIn(0, 1536), cz = RandomIn(8, 248), s = RandomIn(4, 48);
    if (CrtRand() & 1)
      return Quad({cx - s, cx + s, cx + s, cx - s}, {cy, cy, cy, cy}, {cz - s, cz - s, cz + s, cz + s});
    return Quad({cx, cx, cx, cx}, {cy - s, cy + s, cy + s, cy - s}, {cz - s, cz - s, cz + s, cz + s});
  }
};

// Create (insert) and delete a few thousand quads.
void BM_InsertAndDelete(benchmark::State& state) {
  Level level;
  const int count = static_cast<int>(state.range(0));
  std::vector<WorldPolygon*> made(count);
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) made[i] = level.EffectQuad();
    for (int i = 0; i < count; ++i) PolygonDelete(made[i]);
  }
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["nodes"] = g_BspNodeCount;
}
BENCHMARK(BM_InsertAndDelete)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);

// Re-insert existing polygons in place, as a door's group rebuild does: the
// old fragments are freed (pruning) and the polygon descends again.
void BM_Reinsert(benchmark::State& state) {
  Level level;
  const int count = static_cast<int>(state.range(0));
  std::vector<WorldPolygon*> doors(count);
  for (int i = 0; i < count; ++i) doors[i] = level.EffectQuad();
  for (auto _ : state) {
    for (WorldPolygon* door : doors) BspInsertPolygon(level.world->bspRoot, door);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Reinsert)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);

// Building the level itself: ~2,400 static polygons into an empty BSP.
void BM_BuildLevel(benchmark::State& state) {
  for (auto _ : state) {
    Level level;
    benchmark::DoNotOptimize(level.world->bspRoot);
  }
}
BENCHMARK(BM_BuildLevel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
