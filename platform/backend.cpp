#include "platform/backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/debug_output.h"
#include "platform/headless/headless_backend.h"
#include "platform/process_services.h"
#if KORVANE_HAVE_SDL
#include "platform/sdl/sdl_backend.h"
#endif

namespace {

#if KORVANE_HAVE_SDL
constexpr bool kSdlBuilt = true;
#else
constexpr bool kSdlBuilt = false;
#endif

std::unique_ptr<PlatformBackend>& Current() {
  static std::unique_ptr<PlatformBackend> backend;
  return backend;
}

bool DisplayExists() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// One line naming the chosen implementation of every device.
void DebugListDevices(const PlatformBackend& b, const char* reason) {
  char line[512];
  std::snprintf(line, sizeof line,
                "korvane: %s back end (%s): display %s, input %s, sound %s, music %s, video %s, 3-D device %s, "
                "network %s\n",
                b.kind == BackendKind::Sdl ? "SDL2" : "headless", reason, b.display->Name(), b.input->Name(),
                b.sound->Name(), b.music->Name(), b.video->Name(), b.device3d->Name(), b.network->Name());
  OutputDebugString(line);
}

}  // namespace

BackendKind BackendChoose(const char** reason) {
  const char* forced = std::getenv("KORVANE_BACKEND");
  const bool forcedHeadless = forced && std::strcmp(forced, "headless") == 0;
  const bool forcedSdl = forced && std::strcmp(forced, "sdl") == 0;
  BackendKind kind = BackendKind::Headless;
  const char* why = "no display found";
  if (forcedHeadless) {
    why = "KORVANE_BACKEND asks for it";
  } else if (!kSdlBuilt) {
    why = "built without SDL2";
    if (forcedSdl) std::fprintf(stderr, "korvane: built without SDL2, using the headless back end\n");
  } else if (forcedSdl || DisplayExists()) {
    kind = BackendKind::Sdl;
    why = forcedSdl ? "KORVANE_BACKEND asks for it" : "a display exists";
  }
  if (reason) *reason = why;
  return kind;
}

bool PlatformBackendStart(std::string* error) {
  const char* reason = nullptr;
  const BackendKind kind = BackendChoose(&reason);
  PlatformBackend backend;
#if KORVANE_HAVE_SDL
  if (kind == BackendKind::Sdl && !SdlBackendCreate(&backend)) {
    std::fprintf(stderr, "korvane: SDL2 start failed, using the headless back end\n");
    reason = "SDL2 could not start";
  }
#else
  (void)kind;
#endif
  if (!backend.input) {
    std::unique_ptr<HeadlessInput> input;
    if (!HeadlessInputFromEnvironment(&input, error)) return false;
    backend = HeadlessBackendCreate(std::move(input));
  }
  DebugListDevices(backend, reason);
  PlatformBackendInstall(std::move(backend));
  StopSignalsWatch();
  return true;
}

PlatformBackend& PlatformBackendGet() {
  if (!Current()) HeadlessBackendInstall();
  return *Current();
}

void PlatformBackendInstall(PlatformBackend backend) {
  Current() = std::make_unique<PlatformBackend>(std::move(backend));
}
