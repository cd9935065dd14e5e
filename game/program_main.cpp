#include "game/program_main.h"

#include <cstdio>

#include "game/build_variant.h"
#include "platform/backend.h"
#include "platform/clock.h"

int ProgramMain(int /*argc*/, char** /*argv*/) {
  ClockConfigureFromEnvironment();
  PlatformBackend& backend = PlatformBackendGet();
  // Until the application shell exists the program runs an empty loop that
  // ends when the input says so.
  for (;;) {
    InputEvent event;
    while (backend.PollEvent(&event)) {
      if (event.type == InputEventType::Quit) return 0;
    }
    ClockEndFrame();
    Sleep(1);
  }
}
