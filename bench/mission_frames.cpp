// A demo mission played as the programs play it, headless, at a fixed 20-ms
// step: the level started with its interface, view and cockpit pictures, the
// opening camera waited out, then a scripted flight through the keys (bursts
// of accelerating, turning and backing) for a fixed number of whole frames
// (CNetView::OnDraw). Each frame's simulation step and its render (world,
// cockpit, HUD, presentation) are timed apart through the view's step
// observer and reported per frame, for korvanesw (the software rasteriser)
// and korvane3d (the triangle path through the Direct3D stand-in).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "apps/korvane3d/direct3d_overlays.h"
#include "apps/korvane3d/direct3d_variant.h"
#include "apps/korvanesw/software_variant.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/key_bindings.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/overlay_bitmaps.h"
#include "platform/backend.h"
#include "render/render_stats.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_cockpit.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_mission_2.h"
#include "tools/builder/demo_mission_3.h"
#include "tools/builder/demo_mission_arena.h"
#include "tools/builder/demo_textures.h"

namespace {

constexpr int kStepMs = 20;
// The level's opening camera holds the ship for about three seconds.
constexpr int kOpeningFrames = 200;
constexpr int kFlightFrames = 1000;  // 20 s of play

// DirectInput scan codes of the default bindings.
constexpr int kKeyAccelerate = 30;  // A
constexpr int kKeyBackwards = 44;   // Z
constexpr int kKeyLeft = 203;
constexpr int kKeyRight = 205;

std::unique_ptr<TempFolder> g_Temp;

bool WriteDemo() {
  g_Temp = std::make_unique<TempFolder>();
  std::string error;
  if (!WriteDemoTextures(g_Temp->Path(), &error) || !WriteDemoInterface(g_Temp->Path(), &error) ||
      !WriteDemoMission1(g_Temp->Path(), &error) ||
      !WriteDemoMission2(g_Temp->Path(), &error) || !WriteDemoMission3(g_Temp->Path(), &error) ||
      !WriteDemoArenaMission(g_Temp->Path(), &error) || !WriteDemoCockpit(g_Temp->Path(), &error)) {
    std::fprintf(stderr, "cannot write the demo data: %s\n", error.c_str());
    return false;
  }
  return true;
}

// The flight's keys at a frame: a 200-frame loop of accelerating, turning
// right, backing and turning left, so the ship sweeps the level's first
// rooms and comes back rather than resting against one wall.
struct FlightLeg {
  int untilFrame;
  int keys[2];
};
constexpr FlightLeg kFlight[] = {
    {70, {kKeyAccelerate, 0}},
    {100, {kKeyAccelerate, kKeyRight}},
    {170, {kKeyBackwards, 0}},
    {200, {kKeyBackwards, kKeyLeft}},
};
constexpr int kFlightLoop = 200;

const FlightLeg& LegAt(int frame) {
  const int inLoop = frame % kFlightLoop;
  for (const FlightLeg& leg : kFlight)
    if (inLoop < leg.untilFrame) return leg;
  return kFlight[0];
}

// The flight as the input's timed events, relative to the input's making:
// at each leg's first frame its keys go down and the last leg's keys up, due
// just before that frame's clock (the poll thread reads the keyboard while
// the frames run, so the list is made whole before it starts).
std::vector<TimedInputEvent> FlightEvents() {
  std::vector<TimedInputEvent> events;
  auto key = [&](int frame, int scanCode, bool down) {
    InputEvent event{down ? InputEventType::KeyDown : InputEventType::KeyUp};
    event.scanCode = scanCode;
    const uint32_t due = static_cast<uint32_t>((kOpeningFrames + frame + 1) * kStepMs - kStepMs / 2);
    events.push_back(TimedInputEvent{due, event});
  };
  for (int frame = 0; frame < kFlightFrames; ++frame) {
    const FlightLeg& now = LegAt(frame);
    const FlightLeg* before = frame > 0 ? &LegAt(frame - 1) : nullptr;
    if (before == &now) continue;
    if (before)
      for (int code : before->keys)
        if (code) key(frame, code, false);
    for (int code : now.keys)
      if (code) key(frame, code, true);
  }
  return events;
}

// The simulation step and the render of the frame in progress, timed
// between the view's named steps.
struct FrameTimes {
  using Clock = std::chrono::steady_clock;
  Clock::time_point simulationStart, renderStart;
  double simulationNs = 0, renderNs = 0;
  int simulated = 0, rendered = 0;
};
FrameTimes g_Times;

void ObserveStep(const char* step) {
  const auto now = FrameTimes::Clock::now();
  auto ns = [&](FrameTimes::Clock::time_point since) {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(now - since).count());
  };
  if (std::strcmp(step, "StepSimulation") == 0) {
    g_Times.simulationStart = now;
  } else if (std::strcmp(step, "ResetFrameEvent") == 0 || std::strcmp(step, "NewGameRequested") == 0) {
    g_Times.simulationNs += ns(g_Times.simulationStart);
    ++g_Times.simulated;
  } else if (std::strcmp(step, "RenderFrame") == 0) {
    g_Times.renderStart = now;
  } else if (std::strcmp(step, "SetFrameEvent") == 0) {
    g_Times.renderNs += ns(g_Times.renderStart);
    ++g_Times.rendered;
  }
}

// The last presented frame shows the level: many colours over much of the
// screen (the headless display keeps what was last presented). With
// KORVANE_BENCH_FRAMES set to a folder the frame is kept there as a PNG, to
// be looked at.
bool PresentedFrameShowsTheLevel(const std::string& name) {
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  RgbFrame frame;
  if (!PlatformBackendGet().display->ReadPresented(&frame)) return false;
  if (const char* folder = std::getenv("KORVANE_BENCH_FRAMES")) {
    const std::string path = std::string(folder) + "/" + name + ".png";
    if (!RgbFrameWritePng(frame, path.c_str())) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }
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

float Distance(const float* a, const float* b) {
  const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// One turn of the game loop: the input pumped (the due keys reach the
// keyboard), then the frame.
void Frame(CNetView* view) {
  ClockSetTime(timeGetTime() + kStepMs);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  view->OnDraw(nullptr);
}

// Arguments: the program (0 korvanesw, 1 korvane3d), the mission (1: M1.CAN, 2: M2.CAN, 3: M3.CAN, 4: the
// network arena M4.CAN, flown alone).
void BM_MissionFrames(benchmark::State& state) {
  static SoftwareVariant software;
  static Direct3DVariant direct3d;
  static Direct3DOverlayBitmaps overlays;
  MessageQueueReset();
  ClockUseFixedStep(kStepMs);
  ClockSetTime(5000);
  HeadlessBackendInstall(FlightEvents());
  if (state.range(0) == 0) {
    BuildVariantInstall(&software);
    OverlayBitmapsInstall(nullptr);
  } else {
    BuildVariantInstall(&direct3d);
    OverlayBitmapsInstall(&overlays);
  }
  g_CurrentMissionArchive.Format("M%d.CAN", static_cast<int>(state.range(1)));
  ResetGameTimeBase();
  {
    auto ui = std::make_unique<CInterface>();
    ui->SetDifficulty(2);
    ui->SetWindowFocus(true);  // as the program's window has it: the ship reads its keys
    auto* doc = new CNetDoc();
    if (!ui->EnterFullScreen(-1) || !doc->StartLevel()) {
      state.SkipWithError("the mission did not start");
      delete doc;
      return;
    }
    // The default keys, as a first start's settings give them (the user's
    // own settings file is not read).
    for (int row = 0; row < kKeyActionCount; ++row)
      for (int slot = 0; slot < 2; ++slot)
        doc->SetKeyBinding(KeyActionOfRow(row).tableIndex, slot, KeyActionOfRow(row).defaults[slot]);
    auto* view = new CNetView;
    view->LoadCockpitBitmaps();
    ui->SetCockpitShown(true);
    for (int i = 0; i < kOpeningFrames; ++i) Frame(view);
    CDirectPlayer* ship = doc->GetLocalPlayer();
    float start[3] = {};
    if (ship) std::memcpy(start, &ship->GetState().matrix[12], sizeof start);
    float farthest = 0;
    g_Times = FrameTimes{};
    g_ViewStepObserver = ObserveStep;
    const int framesBefore = view->GetFrameCounter();
    uint64_t pixels = 0;
    for (auto _ : state) {
      Frame(view);
      pixels += g_PixelsDrawn;
      if (ship) farthest = std::max(farthest, Distance(start, &ship->GetState().matrix[12]));
    }
    g_ViewStepObserver = nullptr;
    // Every measured frame was a whole one, stepped and rendered; the ship
    // flew; the last frame presented shows the level.
    const int frames = static_cast<int>(state.iterations());
    if (view->GetFrameCounter() - framesBefore != frames || g_Times.simulated != frames ||
        g_Times.rendered != frames) {
      state.SkipWithError("a frame was not stepped and rendered whole");
    } else if (!ship || farthest < 50.0f) {
      state.SkipWithError("the scripted flight did not move the ship");
    } else if (!PresentedFrameShowsTheLevel(std::string(state.range(0) == 0 ? "korvanesw" : "korvane3d") + "_m" +
                                            std::to_string(state.range(1)))) {
      state.SkipWithError("the presented frame does not show the level");
    }
    state.counters["simulation_ms"] = g_Times.simulationNs / 1e6 / frames;
    state.counters["render_ms"] = g_Times.renderNs / 1e6 / frames;
    state.counters["farthest"] = farthest;
    if (state.range(0) == 0) state.counters["pixels"] = static_cast<double>(pixels) / frames;
    delete view;
    delete doc;
  }
  OverlayBitmapsInstall(nullptr);
  ClockUseRealTime();
  MessageQueueReset();
}
BENCHMARK(BM_MissionFrames)
    ->ArgNames({"program", "mission"})
    ->ArgsProduct({{0, 1}, {1, 2, 3, 4}})
    ->Iterations(kFlightFrames)
    ->Unit(benchmark::kMillisecond);

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
