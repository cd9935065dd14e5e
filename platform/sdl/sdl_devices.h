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
// The window's keyboard, text, mouse and window events, and the first
// joystick or game controller.
std::unique_ptr<PlatformInput> SdlInputCreate(std::shared_ptr<SdlLibrary> sdl, SdlScreen* screen);

// The DirectInput scan code of a key (platform/sdl/sdl_keymap.cpp); 0 for a
// key the game has no code for.
int ScanCodeFromSdl(SDL_Scancode code);

// The one joystick the input reads: the first joystick or game controller
// plugged in (platform/sdl/sdl_joystick.cpp). Main thread.
class SdlJoystick {
 public:
  // Starts SDL's game controller support (and with it the joystick's); with
  // none, no joystick is ever found.
  SdlJoystick();
  ~SdlJoystick();
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // When none is open, opens the first joystick plugged in; true with its
  // plug event in *plug when one was opened now.
  bool OpenFirst(InputEvent* plug);
  // An SDL event about joysticks as an input event (plugged in when none was
  // open, the open one unplugged, its axes, buttons and hat); false for an
  // event that is not one or says nothing about the open joystick.
  bool Translate(const SDL_Event& e, InputEvent* out);

 private:
  bool Open(int deviceIndex, InputEvent* plug);
  void Close();

  bool ready_ = false;
  SDL_Joystick* joystick_ = nullptr;
  SDL_GameController* controller_ = nullptr;  // set when the joystick is a game controller
  SDL_JoystickID instance_ = -1;
  Uint8 dpad_ = SDL_HAT_CENTERED;  // a controller's d-pad as hat bits
};
