#pragma once
// What the SDL2 back end's files share (not for callers outside
// platform/sdl/).
#include <SDL.h>

#include <memory>

#include "platform/display.h"
#include "platform/input.h"

// SDL2 started for the back end's devices: every device that calls SDL holds
// one, and SDL_Quit runs when the last of them goes.
class SdlLibrary {
 public:
  // Null (with the reason on the debug output) when SDL2 can't start.
  static std::shared_ptr<SdlLibrary> Start();
  ~SdlLibrary();
  SdlLibrary(const SdlLibrary&) = delete;
  SdlLibrary& operator=(const SdlLibrary&) = delete;

 private:
  SdlLibrary() = default;
};

// The window's display; null when the window can't be made.
std::unique_ptr<PlatformDisplay> SdlDisplayCreate(std::shared_ptr<SdlLibrary> sdl);
// The window's keyboard, text and mouse events.
std::unique_ptr<PlatformInput> SdlInputCreate(std::shared_ptr<SdlLibrary> sdl);
