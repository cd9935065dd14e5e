#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

PlatformBackend HeadlessBackendCreate(std::unique_ptr<HeadlessInput> input) {
  PlatformBackend backend;
  backend.kind = BackendKind::Headless;
  backend.display = HeadlessDisplayCreate();
  backend.input = std::move(input);
  backend.sound = OpenAlLoopbackCreate();
  backend.music = PlatformMusicCreate();
  backend.video = PlatformVideoCreate();
  backend.device3d = Platform3DDeviceChoose();
  backend.network = EnetNetworkCreate();
  return backend;
}

HeadlessInput* HeadlessBackendInstall(std::vector<TimedInputEvent> events) {
  auto input = std::make_unique<HeadlessInput>(std::move(events));
  HeadlessInput* installed = input.get();
  PlatformBackendInstall(HeadlessBackendCreate(std::move(input)));
  return installed;
}

bool HeadlessInputFromEnvironment(std::unique_ptr<HeadlessInput>* input, std::string* error) {
  std::vector<TimedInputEvent> events;
  const char* path = std::getenv("KORVANE_INPUT_SCRIPT");
  const bool scripted = path && *path;
  if (scripted && !InputScriptLoad(path, &events, error)) {
    *error = std::string("input script ") + path + ": " + *error;
    return false;
  }
  const bool quits = std::any_of(events.begin(), events.end(),
                                 [](const TimedInputEvent& e) { return e.event.type == InputEventType::Quit; });
  if (!quits) {
    // Headless, nothing is shown: without this a run that never ends would
    // look like a hang.
    std::fprintf(stderr,
                 "korvane: running headless: no window, sound mixed but not heard, input only from an input script. %s, so the "
                 "program runs until it is stopped: press Ctrl+C or send SIGTERM to quit. To script a run, set "
                 "KORVANE_INPUT_SCRIPT to a script file (format in README.md) that ends with a quit.\n",
                 scripted ? "The input script has no quit" : "No input script is set (KORVANE_INPUT_SCRIPT)");
  }
  *input = std::make_unique<HeadlessInput>(std::move(events));
  return true;
}
