#pragma once
// What the benchmarks that play the demo mission share: its data written
// into a temporary folder that is the current folder while they run (the
// game looks for its archives there first), and the step of the clocks from
// one 20-ms frame to the next.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "game/game_clock.h"
#include "platform/clock.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_cockpit.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_textures.h"

// The demo's textures, interface and first mission, and the cockpit picture
// when asked for.
inline bool WriteDemoBenchData(const std::string& folder, bool cockpit) {
  std::string error;
  if (!WriteDemoTextures(folder, &error) || !WriteDemoInterface(folder, &error) ||
      !WriteDemoMission1(folder, &error) || (cockpit && !WriteDemoCockpit(folder, &error))) {
    std::fprintf(stderr, "cannot write the demo data: %s\n", error.c_str());
    return false;
  }
  return true;
}

// A benchmark program's main: the command line's benchmarks run over the
// demo data (with the cockpit picture when asked for); before and after
// them, when given, what the program installs and takes away again.
inline int RunDemoBenchmarks(int argc, char** argv, bool cockpit = false, void (*before)() = nullptr,
                             void (*after)() = nullptr) {
  benchmark::Initialize(&argc, argv);
  TempFolder temp;
  if (!WriteDemoBenchData(temp.Path(), cockpit)) return 1;
  if (before) before();
  {
    ScopedCurrentFolder current(temp.Path());
    benchmark::RunSpecifiedBenchmarks();
  }
  if (after) after();
  benchmark::Shutdown();
  return 0;
}

// The next frame of a fixed-step run: the platform clock ms later, and the
// game time too when asked for (a caller that steps the simulation itself).
inline void NextBenchFrame(int ms, bool gameTime) {
  ClockSetTime(timeGetTime() + static_cast<uint32_t>(ms));
  if (gameTime) g_GameTime = GameTimeAdd(g_GameTime, ms);
}
