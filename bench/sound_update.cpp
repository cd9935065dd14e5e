// One game frame's sound work with every channel busy: 16 looping
// positional sounds around a moving ship on the headless loopback output.
// BM_SoundUpdate times the manager's Update alone (placing each sound by
// distance and pan, the effects volume, ducking); BM_SoundUpdateAndMix adds
// mixing one 20 ms frame of output, as the game clock drives it headless.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "media/sound_manager.h"
#include "media/sound_services.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_sounds.h"

namespace {

const HWND kWindow = reinterpret_cast<HWND>(1);
float g_ShipX = 0;

// The manager with 16 channels, each playing a looping sound at its own
// place within hearing range; null with the reason when it can't start.
struct SixteenLoops {
  TempFolder folder;
  std::unique_ptr<ScopedCurrentFolder> inFolder;
  std::unique_ptr<CSoundManager> manager;

  bool Start(std::string* why) {
    HeadlessBackendInstall();
    ClockUseFixedStep(20);
    ClockSetTime(kClockDefaultStart);
    if (!WriteDemoSoundArchive(folder.Join("SOUND.CAN"))) return *why = "cannot write SOUND.CAN", false;
    inFolder = std::make_unique<ScopedCurrentFolder>(folder.Path());
    SoundServices services;
    services.listener = [](SoundListener* out) {
      *out = SoundListener{};
      out->x = g_ShipX;
      return true;
    };
    SoundSetServices(services);
    manager = std::make_unique<CSoundManager>(kWindow);
    if (!manager->IsStarted()) return *why = "sound did not start", false;
    manager->SetChannelCount(kSoundChannelSlots);
    for (int i = 0; i < kSoundChannelSlots; ++i) {
      const float angle = static_cast<float>(i) * 0.39f;
      manager->PlaySoundAt(i, 1500 * std::cos(angle), 0, 1500 * std::sin(angle), kSoundLoop);
    }
    // A looping sound whose channel was given back takes one again at a
    // later update.
    for (int i = 0; i < 4 && Playing() < kSoundChannelSlots; ++i) manager->Update();
    const int playing = Playing();
    if (playing != kSoundChannelSlots) return *why = std::to_string(playing) + " channels play, not 16", false;
    return true;
  }
  int Playing() const {
    int playing = 0;
    for (const auto& s : manager->Instances()) playing += s->channel >= 0 ? 1 : 0;
    return playing;
  }
  ~SixteenLoops() {
    manager.reset();
    SoundSetServices(SoundServices{});
    inFolder.reset();
    ClockUseRealTime();
  }
};

// One set for the whole run: the manager and its output are made once, as
// in the game (a second output made after the first was released did not
// keep its channels playing here).
SixteenLoops* Loops(std::string* why) {
  static SixteenLoops loops;
  static std::string failure;
  static const bool started = loops.Start(&failure);
  *why = failure;
  return started ? &loops : nullptr;
}

void BM_SoundUpdate(benchmark::State& state) {
  std::string why;
  SixteenLoops* set = Loops(&why);
  if (!set) return state.SkipWithError(why.c_str());
  SixteenLoops& loops = *set;
  for (auto _ : state) {
    g_ShipX += 1;  // the ship moves, so every volume and pan is worked out anew
    loops.manager->Update();
  }
  state.counters["playing"] = loops.Playing();
}
BENCHMARK(BM_SoundUpdate)->Unit(benchmark::kMicrosecond);

void BM_SoundUpdateAndMix(benchmark::State& state) {
  std::string why;
  SixteenLoops* set = Loops(&why);
  if (!set) return state.SkipWithError(why.c_str());
  SixteenLoops& loops = *set;
  for (auto _ : state) {
    g_ShipX += 1;
    loops.manager->Update();
    ClockSetTime(timeGetTime() + 20);
    PlatformBackendGet().sound->Pump();
  }
  state.counters["playing"] = loops.Playing();
}
BENCHMARK(BM_SoundUpdateAndMix)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
