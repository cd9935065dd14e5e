// What the level's machinery costs per frame: the script manager's actor
// pass (automatic doors and sensors tested against an enemy and the
// player, the doors opened and closed) over N doors and N sensors, and one
// facing polygon rebuilt toward a moving ship.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "engine/bsp.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_polygon.h"
#include "world/script/script_manager.h"

namespace {

World* MakeWorld() {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0.0f, 1.0f, 0.0f, 0.0f);
  world->allClean = 1;
  return world;
}

WorldPolygon* Square(World* world, PolygonGroup* group, float x) {
  const float xs[] = {x, x + 10, x + 10, x}, ys[] = {0, 0, 10, 10}, zs[] = {0, 0, 0, 0}, light[] = {1, 1, 1, 1};
  WorldPolygon* polygon = PolygonCreate(world, -4, xs, ys, zs, light, nullptr);
  PolygonSetGroup(polygon, group, 0);
  GroupComputeLocalCentre(group);
  return polygon;
}

void BM_ActorPass(benchmark::State& state) {
  World* world = MakeWorld();
  const int n = static_cast<int>(state.range(0));
  for (int i = 0; i < n; ++i) {
    PolygonGroup* group = GroupCreate(world, ("door_" + std::to_string(i)).c_str(), nullptr);
    PropSet(&group->props, NameHash("auto"), "1");
    PropSet(&group->props, NameHash("radius"), "40");
    Square(world, group, i * 100.0f);
    const float xs[] = {i * 100.0f, i * 100.0f}, ys[] = {0, -20}, zs[] = {0, 0}, light[] = {1, 1};
    PolygonSetGroup(PolygonCreate(world, -2, xs, ys, zs, light, nullptr), group, 0);
  }
  WorldRebuildGroups(world);
  {
    CScriptManager scripts;
    scripts.BuildFromWorld(world);
    for (int i = 0; i < n; ++i) {
      auto* sensor = new CSensor(CString(("sensor" + std::to_string(i)).c_str()));
      sensor->position = {i * 100.0f + 50, 0, 0};
      sensor->continuous = true;
      sensor->objectFilter = "drone*";
      scripts.AddSensorObject(sensor);
    }
    float x = 0;
    for (auto _ : state) {
      scripts.ResetAutoDoors();
      scripts.TestActor(x, 5, 0, 10, "player");
      scripts.TestActor(x + 300, 5, 0, 10, "guard");
      scripts.CloseAutoDoors();
      WorldUpdateMovers(world, 0.02f);
      x = x > n * 100.0f ? 0 : x + 7;
    }
  }
  WorldFree(world);
}
BENCHMARK(BM_ActorPass)->Arg(10)->Arg(100);

void BM_FacingRebuild(benchmark::State& state) {
  World* world = MakeWorld();
  PolygonGroup* group = GroupCreate(world, "facing_sign", nullptr);
  {
    RefPtr<CFacingObject> facing(new CFacingObject(Square(world, group, 0), nullptr));
    facing->Init();
    float angle = 0;
    for (auto _ : state) {
      facing->FaceToward({100 * std::cos(angle), 5, 100 * std::sin(angle)});
      WorldRebuildGroups(world);
      angle += 0.01f;
    }
  }
  WorldFree(world);
}
BENCHMARK(BM_FacingRebuild);

}  // namespace

BENCHMARK_MAIN();
