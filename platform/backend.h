#pragma once
// The back end: one set of devices, chosen once at start-up, through which
// the rest of the program reaches the machine. Each device has its own
// interface (platform/<device>.h) and its implementations beside it:
//   headless (platform/headless/): no window, input from a script; every
//     test uses it;
//   SDL2 (platform/sdl/): a real window with its keyboard and mouse.
// A device with no implementation yet is its null stand-in in both sets.
// The process services (platform/process_services.h) are the same for both.
//
// The choice: KORVANE_BACKEND=headless|sdl forces one; otherwise SDL2 when
// the program was built with it and a display exists, else headless.
#include <memory>
#include <string>

#include "platform/device_3d.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/music.h"
#include "platform/network.h"
#include "platform/sound.h"
#include "platform/video.h"

enum class BackendKind { Headless, Sdl };

// One back end's devices; a set in use has every one of them.
struct PlatformBackend {
  BackendKind kind = BackendKind::Headless;
  std::unique_ptr<PlatformDisplay> display;
  std::unique_ptr<PlatformInput> input;
  std::unique_ptr<PlatformSound> sound;
  std::unique_ptr<PlatformMusic> music;
  std::unique_ptr<PlatformVideo> video;
  std::unique_ptr<Platform3DDevice> device3d;
  std::unique_ptr<PlatformNetwork> network;
};

// Which back end this start-up would choose (environment, build, display);
// *reason, when given, says why in a few words.
BackendKind BackendChoose(const char** reason = nullptr);

// The programs' start: makes the chosen set from the environment (the
// headless input reads KORVANE_INPUT_SCRIPT), installs it and watches the
// stop signals (platform/process_services.h). False with the reason in
// *error when the set can't be made: an input script that can't be read or
// parsed. A headless run with nothing to end it says so on stderr, with how
// to stop or script it.
bool PlatformBackendStart(std::string* error);

// The installed set. Code that runs without a program's start (tests, the
// tools) gets a headless set with no input, made at first use.
PlatformBackend& PlatformBackendGet();
// Replaces the set (tests install headless ones with their own scripts).
void PlatformBackendInstall(PlatformBackend backend);
