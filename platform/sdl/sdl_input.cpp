// The SDL2 input: the window's key, text, mouse and window events, and the
// first joystick or game controller.
#include "platform/keys.h"
#include "platform/sdl/sdl_devices.h"

namespace {

int MouseButtonFromSdl(Uint8 button) {
  if (button == SDL_BUTTON_RIGHT) return kMouseRight;
  if (button == SDL_BUTTON_MIDDLE) return kMouseMiddle;
  return kMouseLeft;
}

class SdlInput : public PlatformInput {
 public:
  SdlInput(std::shared_ptr<SdlLibrary> sdl, SdlScreen* screen) : sdl_(std::move(sdl)), screen_(screen) {
    SDL_StartTextInput();
  }
  const char* Name() const override { return "SDL2 keyboard, mouse and joystick"; }

  // A hidden cursor lets the mouse move without bounds, as DirectInput's
  // relative mouse does; the game draws its own cursor.
  void ShowSystemCursor(bool shown) override { SDL_SetRelativeMouseMode(shown ? SDL_FALSE : SDL_TRUE); }

 protected:
  bool NextEvent(InputEvent* event) override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (joystick_.Translate(e, event)) return true;
      switch (e.type) {
        case SDL_QUIT:
          *event = InputEvent{InputEventType::Quit};
          return true;
        case SDL_WINDOWEVENT:
          if (screen_ && screen_->HandleWindowEvent(e.window, event)) return true;
          break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
          if (e.key.repeat) break;
          // Alt+Enter belongs to the window, not to the game.
          if (e.key.keysym.scancode == SDL_SCANCODE_RETURN && (e.key.keysym.mod & KMOD_ALT)) {
            if (e.type == SDL_KEYDOWN && screen_ && screen_->ToggleFullScreen(event)) return true;
            break;
          }
          const int scan = ScanCodeFromSdl(e.key.keysym.scancode);
          if (!scan) break;
          *event = InputEvent{e.type == SDL_KEYDOWN ? InputEventType::KeyDown : InputEventType::KeyUp, scan};
          return true;
        }
        case SDL_TEXTINPUT: {
          const unsigned char c = static_cast<unsigned char>(e.text.text[0]);
          if (c == 0 || c >= 0x80) break;  // the game types ASCII only
          *event = InputEvent{InputEventType::Char};
          event->character = c;
          return true;
        }
        case SDL_MOUSEMOTION:
          *event = InputEvent{InputEventType::MouseMove};
          event->dx = e.motion.xrel;
          event->dy = e.motion.yrel;
          return true;
        case SDL_MOUSEWHEEL:
          *event = InputEvent{InputEventType::MouseWheel};
          event->dy = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
          return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
          *event = InputEvent{e.type == SDL_MOUSEBUTTONDOWN ? InputEventType::MouseButtonDown
                                                            : InputEventType::MouseButtonUp};
          event->button = MouseButtonFromSdl(e.button.button);
          return true;
        default:
          break;
      }
    }
    return false;
  }

  void LookForJoystick() override {
    InputEvent plug;
    if (joystick_.OpenFirst(&plug)) ApplyEvent(plug);
  }

 private:
  std::shared_ptr<SdlLibrary> sdl_;
  SdlScreen* screen_;
  SdlJoystick joystick_;
};

}  // namespace

std::unique_ptr<PlatformInput> SdlInputCreate(std::shared_ptr<SdlLibrary> sdl, SdlScreen* screen) {
  return std::make_unique<SdlInput>(std::move(sdl), screen);
}
