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

// The window's display, which the input's event loop tells about the window.
class SdlScreen : public PlatformDisplay {
 public:
  // A window event taken by the input: the window is redrawn after a resize
  // or an exposure. True, with *event set, when the game must see it as an
  // activation (focus gained or lost, minimised).
  virtual bool HandleWindowEvent(const SDL_WindowEvent& window, InputEvent* event) = 0;
  // Alt+Enter: full screen <-> window. True, with *event set, when the
  // program holds the screen: its surfaces are lost and it is activated
  // again to restore them.
  virtual bool ToggleFullScreen(InputEvent* event) = 0;
};

// The window's display; null when the window can't be made.
std::unique_ptr<SdlScreen> SdlDisplayCreate(std::shared_ptr<SdlLibrary> sdl);
// The window's keyboard, text, mouse and window events.
std::unique_ptr<PlatformInput> SdlInputCreate(std::shared_ptr<SdlLibrary> sdl, SdlScreen* screen);
