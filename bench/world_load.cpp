// Loading the demo mission the way the level loader does: "OBJECTS" through
// ModelsReload, then the "*.CCW" world through WorldLoad (the world's checks
// and texture coordinates included), then WorldFree. The textures' list is
// open, as in a level load, so surfaces find their textures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine/data_archive.h"
#include "engine/model.h"
#include "engine/texture.h"
#include "engine/world.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"

namespace {

std::unique_ptr<TempFolder> g_Temp;
std::string g_Folder;

bool WriteDemo() {
  g_Temp = std::make_unique<TempFolder>();
  g_Folder = g_Temp->Path();
  std::string error;
  if (!WriteDemoData(g_Folder, &error)) {
    std::fprintf(stderr, "cannot write the demo data: %s\n", error.c_str());
    return false;
  }
  return OpenTextureArchive(kTextureBudgetDefault, (g_Folder + "/TEXTURES.CAN").c_str()) == 1;
}

// Archive to world: open, models, world; the world is freed untimed.
void BM_LoadDemoMission(benchmark::State& state) {
  for (auto _ : state) {
    World* world = nullptr;
    const bool ok = ArchiveOpen((g_Folder + "/M1.CAN").c_str()) && ArchiveFindMember("OBJECTS") && ModelsReload() &&
                    ArchiveFindMember(ArchiveFindWildcard("*.CCW")->name) && WorldLoad(&world);
    ArchiveClose();
    if (!ok) {
      state.SkipWithError("the demo mission did not load");
      break;
    }
    state.PauseTiming();
    WorldFree(world);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadDemoMission)->Unit(benchmark::kMillisecond);

// The world member alone (models already loaded), with WorldFree.
void BM_LoadAndFreeDemoWorld(benchmark::State& state) {
  ArchiveOpen((g_Folder + "/M1.CAN").c_str());
  ArchiveFindMember("OBJECTS");
  ModelsReload();
  for (auto _ : state) {
    World* world = nullptr;
    if (!ArchiveFindMember(ArchiveFindWildcard("*.CCW")->name) || !WorldLoad(&world)) {
      state.SkipWithError("the demo world did not load");
      break;
    }
    WorldFree(world);
  }
  ArchiveClose();
}
BENCHMARK(BM_LoadAndFreeDemoWorld)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!WriteDemo()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  EngineFreeAll();
  TextureArchiveClose();
  g_Temp.reset();
  return 0;
}
