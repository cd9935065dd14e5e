// Starting the demo mission as a new game does: from opening "M1.CAN" to the
// first frame being ready (CNetDoc::StartLevel: the level load with its
// texture pixels, the managers, the markers, the ship), single play. The
// document is made before and deleted after each start, untimed; so is its
// first simulation step, which is timed on its own.
#include <benchmark/benchmark.h>

#include "bench/demo_bench.h"
#include "game/net_doc.h"

namespace {

void BM_StartDemoLevel(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto* doc = new CNetDoc();
    state.ResumeTiming();
    const bool started = doc->StartLevel();
    state.PauseTiming();
    delete doc;
    state.ResumeTiming();
    if (!started) {
      state.SkipWithError("the demo level did not start");
      break;
    }
  }
}
BENCHMARK(BM_StartDemoLevel)->Unit(benchmark::kMillisecond);

// One simulation step of the started level (the world simulation's steps
// are still empty: this is the driver's own cost).
void BM_UpdateFrame(benchmark::State& state) {
  auto* doc = new CNetDoc();
  if (!doc->StartLevel()) state.SkipWithError("the demo level did not start");
  for (auto _ : state) doc->UpdateFrame(20);
  delete doc;
}
BENCHMARK(BM_UpdateFrame);

}  // namespace

int main(int argc, char** argv) { return RunDemoBenchmarks(argc, argv); }
