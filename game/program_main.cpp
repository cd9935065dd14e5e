#include "game/program_main.h"

#include <cstdio>
#include <string>

#include "game/crash_handler.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "platform/backend.h"
#include "platform/clock.h"

int ProgramMain(int argc, char** argv) {
  ClockConfigureFromEnvironment();
  // The back end is made before anything else, so that a run whose input
  // script is broken ends here, before it could pass for a clean quit.
  std::string error;
  if (!PlatformBackendStart(&error)) {
    std::fprintf(stderr, "korvane: %s\n", error.c_str());
    return kExitBadStart;
  }
  // An exit that skips the interface manager's own end still gives the
  // desktop back.
  CrashHandlerSetDisplayRestore([] { PlatformBackendGet().display->RestoreDesktop(); });
  // The clock may just have been given its start value.
  ResetGameTimeBase();
  // Both programs keep their settings under one application title.
  AfxSetAppTitle("Korvane");
  return AfxGetApp() == &g_App ? AfxWinMain(argc, argv) : 1;
}
