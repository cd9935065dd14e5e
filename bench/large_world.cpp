// How the engine scales with the size of the world: levels of 18, 70, 295
// and 1190 connected rooms (about 1,000, 4,000, 17,000 and 69,000 polygons,
// tools/builder/rooms_level.h), each measured for
// - Build: laying the level out through polygon creation and BSP insertion;
// - ReadFile / ReadArchive / Load: one plain read of the mission archive,
//   one read of its two members through the engine's archive reader, and
//   loading it as the level loader does (models, then the world member);
// - FrameLit / FrameUnlit: 640x480 software frames from six fixed views
//   round a room in the middle of the level;
// - Insert: a decal created on the floor plane (the BSP root, which holds a
//   coplanar fragment per floor tile of the level) and deleted again;
// beside a plain full-screen textured fill (one textured wall across the
// whole view, drawn through the same call), measured in the same run.
// Times are the thread's CPU time, so that other work on the machine
// does not enter the ratios.
// After the benchmarks it prints the ratios: frame / fill, load / read
// (through the archive reader, and through a plain read).
//
//   build/bench/large_world [--benchmark_filter=...] [--benchmark_repetitions=N]
// With repetitions the ratios take each benchmark's fastest run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "engine/model.h"
#include "engine/object_graph.h"
#include "engine/pool.h"
#include "engine/render_world.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "engine/world_polygon.h"
#include "render/render_stats.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/rooms_level.h"
#include "tools/frame/mission_frame.h"
#include "tests/support/process_info.h"
#include "tests/support/temp_folder.h"
#include "tools/frame/rooms_views.h"

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;
const int kRoomCounts[] = {18, 70, 295, 1190};
// The fill: one room, looked at from close to a wall that fills the view.
constexpr int kFillRooms = 1;
constexpr RenderFlags kUnlit = kRenderWorld | kRenderCameraMatrix | kRenderPerspective;

TempFolder g_Temp;
const std::string g_Folder = g_Temp.Path();
// Mean seconds per iteration (the least of the runs), by benchmark name and
// room count.
std::map<std::string, std::map<int, double>> g_Seconds;

std::string Folder(int rooms) { return g_Folder + "/rooms" + std::to_string(rooms); }
std::string MissionPath(int rooms) { return Folder(rooms) + "/M1.CAN"; }
std::string TexturesPath() { return g_Folder + "/TEXTURES.CAN"; }

bool WriteData() {
  std::string error;
  bool ok = WriteDemoTextures(g_Folder, &error);
  std::vector<int> levels(std::begin(kRoomCounts), std::end(kRoomCounts));
  levels.push_back(kFillRooms);
  for (int rooms : levels) {
    ok = ok && std::filesystem::create_directories(Folder(rooms)) && WriteRoomsMission(Folder(rooms), rooms, &error);
  }
  if (!ok) std::fprintf(stderr, "cannot write the levels: %s\n", error.c_str());
  return ok;
}

double HeapMegabytes() { return static_cast<double>(HeapBytesInUse()) / (1024.0 * 1024.0); }

double PeakRssMegabytes() { return static_cast<double>(PeakResidentBytes()) / (1024.0 * 1024.0); }

// Runs body once per iteration, timing it with its own clock (so that
// untimed work may follow in the same iteration), and records the mean.
template <typename Body, typename After>
void Measure(benchmark::State& state, const char* name, Body body, After after) {
  double total = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    body();
    const double elapsed = ThreadCpuSeconds() - start;
    state.SetIterationTime(elapsed);
    total += elapsed;
    after();
  }
  // The fastest of the runs (--benchmark_repetitions) stands for the level.
  const double mean = total / static_cast<double>(state.iterations());
  const auto [entry, fresh] = g_Seconds[name].try_emplace(static_cast<int>(state.range(0)), mean);
  if (!fresh) entry->second = std::min(entry->second, mean);
}

void CountWorld(benchmark::State& state, const World* world) {
  int polygons = 0;
  for (const WorldPolygon* p = world->firstPolygon; p; p = p->next) ++polygons;
  state.counters["polygons"] = polygons;
  state.counters["fragments"] = world->fragmentCount;
  state.counters["vertices"] = world->vertexPool.used;
  int rootFragments = world->bspRoot ? world->bspRoot->fragmentCount : 0;
  state.counters["root_fragments"] = rootFragments;
}

// --- build, read, load --------------------------------------------------

void BM_Build(benchmark::State& state) {
  const int rooms = static_cast<int>(state.range(0));
  World* world = nullptr;
  PoolReleaseAll();
  const double before = HeapMegabytes();
  double built = 0;
  Measure(
      state, "Build",
      [&] {
        world = RoomsWorldCreate();
        RoomsLevel level;
        BuildRoomsLevel(world, rooms, &level);
      },
      [&] {
        state.PauseTiming();
        built = HeapMegabytes() - before;
        CountWorld(state, world);
        WorldFree(world);
        EngineFreeAll();
        PoolReleaseAll();
        state.ResumeTiming();
      });
  state.counters["heap_MB"] = built;
}

void BM_ReadFile(benchmark::State& state) {
  const std::string path = MissionPath(static_cast<int>(state.range(0)));
  std::vector<char> bytes;
  Measure(
      state, "ReadFile",
      [&] {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) return;
        std::fseek(file, 0, SEEK_END);
        bytes.resize(static_cast<std::size_t>(std::ftell(file)));
        std::fseek(file, 0, SEEK_SET);
        if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
        std::fclose(file);
      },
      [] {});
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

// The same bytes through the engine's archive reader, as the load reads
// them: the models' member and the world member, each in full.
void BM_ReadArchive(benchmark::State& state) {
  const std::string path = MissionPath(static_cast<int>(state.range(0)));
  std::vector<char> bytes;
  bool ok = true;
  Measure(
      state, "ReadArchive",
      [&] {
        ok = ArchiveOpen(path.c_str());
        for (const char* member : {"OBJECTS", "*.CCW"}) {
          const ArchiveEntry* entry = ArchiveFindWildcard(member);
          const int size = ArchiveMemberSize(member);
          bytes.resize(static_cast<std::size_t>(size > 0 ? size : 0));
          ok = ok && entry && size > 0 && ArchiveFindMember(entry->name) && ArchiveReadBytes(bytes.data(), size);
        }
        ArchiveClose();
      },
      [] {});
  if (!ok) state.SkipWithError("the archive did not read");
}

void BM_Load(benchmark::State& state) {
  const std::string path = MissionPath(static_cast<int>(state.range(0)));
  if (!OpenTextureArchive(kTextureBudgetDefault, TexturesPath().c_str())) {
    state.SkipWithError("no textures");
    return;
  }
  World* world = nullptr;
  PoolReleaseAll();
  const double before = HeapMegabytes();
  double loaded = 0;
  bool ok = true;
  Measure(
      state, "Load",
      [&] {
        ok = ArchiveOpen(path.c_str()) && ArchiveFindMember("OBJECTS") && ModelsReload() &&
             ArchiveFindMember(ArchiveFindWildcard("*.CCW")->name) && WorldLoad(&world);
        ArchiveClose();
      },
      [&] {
        state.PauseTiming();
        loaded = HeapMegabytes() - before;
        if (ok) CountWorld(state, world);
        WorldFree(world);
        world = nullptr;
        EngineFreeAll();
        ObjTableFree();
        PoolReleaseAll();
        state.ResumeTiming();
      });
  if (!ok) state.SkipWithError("the level did not load");
  TextureArchiveClose();
  state.counters["heap_MB"] = loaded;
  state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

// --- frames and insertion in a loaded level ------------------------------

struct LoadedLevel {
  int rooms = 0;
  MissionScene scene;
};

// The level of rooms rooms, loaded once and kept until another is asked for.
MissionScene* Scene(int rooms) {
  static LoadedLevel level;
  if (level.rooms == rooms) return &level.scene;
  if (level.rooms) MissionSceneFree(&level.scene);
  level.rooms = 0;
  std::string error;
  if (!MissionSceneLoad(TexturesPath(), MissionPath(rooms), &level.scene, &error)) {
    std::fprintf(stderr, "large world bench: %s\n", error.c_str());
    return nullptr;
  }
  level.rooms = rooms;
  return &level.scene;
}

void Frames(benchmark::State& state, const char* name, RenderFlags flags) {
  const int rooms = static_cast<int>(state.range(0));
  MissionScene* scene = Scene(rooms);
  if (!scene) {
    state.SkipWithError("the level did not load");
    return;
  }
  std::vector<std::vector<float>> views;
  for (const FramePlacement& placement : RoomsLevelViews(rooms)) views.push_back(PlacementCamera(placement));
  FrameOptions options;
  options.flags = flags;
  FrameImage image;
  std::size_t view = 0;
  std::uint64_t nodes = 0, polygons = 0;
  Measure(
      state, name, [&] { RenderMissionFrame(scene, views[view].data(), options, &image); },
      [&] {
        nodes += g_StatNodes;
        polygons += g_StatPolysRendered;
        view = (view + 1) % views.size();
      });
  const double n = static_cast<double>(state.iterations());
  state.counters["nodes"] = static_cast<double>(nodes) / n;
  state.counters["polys_drawn"] = static_cast<double>(polygons) / n;
  CountWorld(state, scene->world);
}
// The plain full-screen textured fill every frame is measured against: the
// same RenderWorld call, unlit, with one textured wall receding across the
// whole view (the level of one room, from 50 units off a wall).
void BM_TexturedFill(benchmark::State& state) {
  MissionScene* scene = Scene(kFillRooms);
  if (!scene) {
    state.SkipWithError("the level did not load");
    return;
  }
  const std::vector<float> camera = PlacementCamera({{200, -20, 50}, {0, 195 * kDegrees, 0}});
  FrameOptions options;
  options.flags = kUnlit;
  FrameImage image;
  std::uint64_t polygons = 0;
  Measure(
      state, "TexturedFill", [&] { RenderMissionFrame(scene, camera.data(), options, &image); },
      [&] { polygons += g_StatPolysRendered; });
  state.counters["polys_drawn"] = static_cast<double>(polygons) / static_cast<double>(state.iterations());
}

void BM_FrameLit(benchmark::State& state) { Frames(state, "FrameLit", kRenderFlagsDefault); }
void BM_FrameUnlit(benchmark::State& state) {
  Frames(state, "FrameUnlit", kUnlit);
}

// A 30 x 30 decal inside a floor tile of the middle room, made and deleted.
void BM_Insert(benchmark::State& state) {
  const int rooms = static_cast<int>(state.range(0));
  MissionScene* scene = Scene(rooms);
  if (!scene) {
    state.SkipWithError("the level did not load");
    return;
  }
  const Vec3 c = RoomCorner(rooms, RoomsMiddle(rooms));
  const float x[] = {c.x + 110, c.x + 140, c.x + 140, c.x + 110};
  const float y[] = {kRoomsFloor, kRoomsFloor, kRoomsFloor, kRoomsFloor};
  const float z[] = {c.z + 140, c.z + 140, c.z + 110, c.z + 110};
  const float light[] = {1, 1, 1, 1};
  Measure(
      state, "Insert",
      [&] {
        WorldPolygon* decal = PolygonCreate(scene->world, 4, x, y, z, light, nullptr);
        PolygonDelete(decal);
      },
      [] {});
  CountWorld(state, scene->world);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int rooms : kRoomCounts) b->Arg(rooms);
  b->UseManualTime();
}

BENCHMARK(BM_TexturedFill)->Arg(kFillRooms)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Build)->Apply(Sizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadArchive)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameLit)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameUnlit)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Insert)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

void PrintRatios() {
  const double fill = g_Seconds["TexturedFill"][kFillRooms];
  std::printf("\nrooms   frame lit/fill   frame unlit/fill   load/read   load/fread   build s   insert us\n");
  for (int rooms : kRoomCounts) {
    auto ratio = [&](const char* name, double base) {
      const auto& byRooms = g_Seconds[name];
      const auto found = byRooms.find(rooms);
      return found == byRooms.end() || base <= 0 ? 0.0 : found->second / base;
    };
    std::printf("%5d   %14.1f   %16.1f   %9.1f   %10.1f   %7.2f   %9.1f\n", rooms, ratio("FrameLit", fill),
                ratio("FrameUnlit", fill), ratio("Load", g_Seconds["ReadArchive"][rooms]),
                ratio("Load", g_Seconds["ReadFile"][rooms]), ratio("Build", 1.0), ratio("Insert", 1e-6));
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!WriteData()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintRatios();
  return 0;
}
