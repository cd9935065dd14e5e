// Whole game frames of the started demo mission at 640x480, one
// CNetView::OnDraw each: the clock, the simulation step, the render (korvanesw:
// the software rasteriser into the 8-bit back surface; korvane3d: the
// triangle path through the Direct3D stand-in), the cockpit, HUD and
// statistics layers and the presentation into the headless display's
// memory. The ship holds still at its start, in view of the hangar; the
// cockpit is off, then on.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "apps/korvane3d/direct3d_variant.h"
#include "apps/korvanesw/software_variant.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_textures.h"

namespace {

std::unique_ptr<TempFolder> g_Temp;

bool WriteDemo() {
  g_Temp = std::make_unique<TempFolder>();
  std::string error;
  if (!WriteDemoTextures(g_Temp->Path(), &error) || !WriteDemoInterface(g_Temp->Path(), &error) ||
      !WriteDemoMission1(g_Temp->Path(), &error)) {
    std::fprintf(stderr, "cannot write the demo data: %s\n", error.c_str());
    return false;
  }
  return true;
}

// Arguments: the program (0 korvanesw, 1 korvane3d) and the cockpit (0, 1).
void BM_GameFrame(benchmark::State& state) {
  static SoftwareVariant software;
  static Direct3DVariant direct3d;
  MessageQueueReset();
  HeadlessBackendInstall();
  if (state.range(0) == 0) {
    BuildVariantInstall(&software);
  } else {
    BuildVariantInstall(&direct3d);
  }
  ClockUseFixedStep(20);
  ClockSetTime(5000);
  ResetGameTimeBase();
  {
    auto ui = std::make_unique<CInterface>();
    ui->SetDifficulty(2);
    auto* doc = new CNetDoc();
    if (!ui->EnterFullScreen(-1) || !doc->StartLevel()) {
      state.SkipWithError("the demo level did not start");
      delete doc;
      return;
    }
    auto* view = new CNetView;
    ui->SetCockpitShown(state.range(1) != 0);
    for (int i = 0; i < 3; ++i) {  // the switch to full screen and the first uploads
      ClockSetTime(timeGetTime() + 20);
      view->OnDraw(nullptr);
    }
    for (auto _ : state) {
      ClockSetTime(timeGetTime() + 20);
      view->OnDraw(nullptr);
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    delete view;
    delete doc;
  }
  ClockUseRealTime();
  MessageQueueReset();
}
BENCHMARK(BM_GameFrame)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!WriteDemo()) return 1;
  {
    // The game looks for its archives in the current folder first.
    ScopedCurrentFolder current(g_Temp->Path());
    benchmark::RunSpecifiedBenchmarks();
  }
  benchmark::Shutdown();
  g_Temp.reset();
  return 0;
}
