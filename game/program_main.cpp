#include "game/program_main.h"

#include "game/game_app.h"
#include "game/game_clock.h"
#include "platform/clock.h"

int ProgramMain(int argc, char** argv) {
  ClockConfigureFromEnvironment();
  // The clock may just have been given its start value.
  ResetGameTimeBase();
  // Both programs keep their settings under one application title.
  AfxSetAppTitle("Korvane");
  return AfxGetApp() == &g_App ? AfxWinMain(argc, argv) : 1;
}
