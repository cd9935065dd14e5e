// Whole game frames of the started demo mission at 640x480, one
// CNetView::OnDraw each: the clock, the simulation step, the render (korvanesw:
// the software rasteriser into the 8-bit back surface; korvane3d: the
// triangle path through the Direct3D stand-in), the cockpit, HUD and
// statistics layers and the presentation into the headless display's
// memory. The ship holds still at its start, in view of the hangar; the
// cockpit is off, then on.
#include <benchmark/benchmark.h>

#include <set>

#include "apps/korvane3d/direct3d_overlays.h"
#include "apps/korvane3d/direct3d_variant.h"
#include "apps/korvanesw/software_variant.h"
#include "bench/demo_bench.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/overlay_bitmaps.h"
#include "render/render_stats.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"

namespace {

// The last presented frame shows the level: many colours over much of the
// screen (the headless display keeps what was last presented).
bool PresentedFrameShowsTheLevel() {
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the screen shows what was drawn
  RgbFrame frame;
  if (!PlatformBackendGet().display->ReadPresented(&frame)) return false;
  std::set<int> colours;
  int lit = 0;
  for (int y = 0; y < frame.height; y += 4) {
    for (int x = 0; x < frame.width; x += 4) {
      const Rgb8 c = frame.At(x, y);
      colours.insert(c.r << 16 | c.g << 8 | c.b);
      if (c.r + c.g + c.b > 30) ++lit;
    }
  }
  return colours.size() > 20 && lit > (frame.width / 4) * (frame.height / 4) / 4;
}

// Arguments: the program (0 korvanesw, 1 korvane3d) and the cockpit (0, 1).
void BM_GameFrame(benchmark::State& state) {
  static SoftwareVariant software;
  static Direct3DVariant direct3d;
  static Direct3DOverlayBitmaps overlays;
  MessageQueueReset();
  HeadlessBackendInstall();
  if (state.range(0) == 0) {
    BuildVariantInstall(&software);
    OverlayBitmapsInstall(nullptr);
  } else {
    BuildVariantInstall(&direct3d);
    OverlayBitmapsInstall(&overlays);
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
    // As a level start with its view does: the cockpit's pictures.
    view->LoadCockpitBitmaps();
    ui->SetCockpitShown(state.range(1) != 0);
    for (int i = 0; i < 3; ++i) {  // the switch to full screen and the first uploads
      NextBenchFrame(20, false);
      view->OnDraw(nullptr);
    }
    const int framesBefore = view->GetFrameCounter();
    uint64_t pixels = 0;
    for (auto _ : state) {
      NextBenchFrame(20, false);
      view->OnDraw(nullptr);
      pixels += g_PixelsDrawn;
    }
    // Every measured frame must have been a whole one: stepped, rendered
    // (korvanesw's rasteriser wrote pixels; korvane3d's triangles went to the
    // device) and presented, showing the level.
    const double frames = static_cast<double>(state.iterations());
    if (view->GetFrameCounter() - framesBefore != static_cast<int>(state.iterations())) {
      state.SkipWithError("a frame returned before it was drawn");
    } else if (state.range(0) == 0 && pixels / state.iterations() < 640u * 248u) {
      state.SkipWithError("the software frames drew too few pixels");
    } else if (!PresentedFrameShowsTheLevel()) {
      state.SkipWithError("the presented frame does not show the level");
    }
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(pixels) / frames);
    delete view;
    delete doc;
  }
  OverlayBitmapsInstall(nullptr);
  ClockUseRealTime();
  MessageQueueReset();
}
BENCHMARK(BM_GameFrame)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunDemoBenchmarks(argc, argv, true); }
