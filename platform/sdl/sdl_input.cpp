// The SDL2 input: the window's key, text and mouse events.
#include "platform/keys.h"
#include "platform/sdl/sdl_devices.h"

namespace {

int ScanCodeFromSdl(SDL_Scancode code) {
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) {
    const char letter = static_cast<char>('A' + (code - SDL_SCANCODE_A));
    return ScanCodeFromChar(letter);
  }
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return DIK_1 + (code - SDL_SCANCODE_1);
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F10) return DIK_F1 + (code - SDL_SCANCODE_F1);
  switch (code) {
    case SDL_SCANCODE_0: return DIK_0;
    case SDL_SCANCODE_ESCAPE: return DIK_ESCAPE;
    case SDL_SCANCODE_MINUS: return DIK_MINUS;
    case SDL_SCANCODE_EQUALS: return DIK_EQUALS;
    case SDL_SCANCODE_BACKSPACE: return DIK_BACK;
    case SDL_SCANCODE_TAB: return DIK_TAB;
    case SDL_SCANCODE_LEFTBRACKET: return DIK_LBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET: return DIK_RBRACKET;
    case SDL_SCANCODE_RETURN: return DIK_RETURN;
    case SDL_SCANCODE_LCTRL: return DIK_LCONTROL;
    case SDL_SCANCODE_SEMICOLON: return DIK_SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE: return DIK_APOSTROPHE;
    case SDL_SCANCODE_GRAVE: return DIK_GRAVE;
    case SDL_SCANCODE_LSHIFT: return DIK_LSHIFT;
    case SDL_SCANCODE_BACKSLASH: return DIK_BACKSLASH;
    case SDL_SCANCODE_COMMA: return DIK_COMMA;
    case SDL_SCANCODE_PERIOD: return DIK_PERIOD;
    case SDL_SCANCODE_SLASH: return DIK_SLASH;
    case SDL_SCANCODE_RSHIFT: return DIK_RSHIFT;
    case SDL_SCANCODE_KP_MULTIPLY: return DIK_MULTIPLY;
    case SDL_SCANCODE_LALT: return DIK_LMENU;
    case SDL_SCANCODE_SPACE: return DIK_SPACE;
    case SDL_SCANCODE_CAPSLOCK: return DIK_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return DIK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return DIK_SCROLL;
    case SDL_SCANCODE_KP_7: return DIK_NUMPAD7;
    case SDL_SCANCODE_KP_8: return DIK_NUMPAD8;
    case SDL_SCANCODE_KP_9: return DIK_NUMPAD9;
    case SDL_SCANCODE_KP_MINUS: return DIK_SUBTRACT;
    case SDL_SCANCODE_KP_4: return DIK_NUMPAD4;
    case SDL_SCANCODE_KP_5: return DIK_NUMPAD5;
    case SDL_SCANCODE_KP_6: return DIK_NUMPAD6;
    case SDL_SCANCODE_KP_PLUS: return DIK_ADD;
    case SDL_SCANCODE_KP_1: return DIK_NUMPAD1;
    case SDL_SCANCODE_KP_2: return DIK_NUMPAD2;
    case SDL_SCANCODE_KP_3: return DIK_NUMPAD3;
    case SDL_SCANCODE_KP_0: return DIK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return DIK_DECIMAL;
    case SDL_SCANCODE_F11: return DIK_F11;
    case SDL_SCANCODE_F12: return DIK_F12;
    case SDL_SCANCODE_KP_ENTER: return DIK_NUMPADENTER;
    case SDL_SCANCODE_RCTRL: return DIK_RCONTROL;
    case SDL_SCANCODE_KP_DIVIDE: return DIK_DIVIDE;
    case SDL_SCANCODE_PRINTSCREEN: return DIK_SYSRQ;
    case SDL_SCANCODE_RALT: return DIK_RMENU;
    case SDL_SCANCODE_PAUSE: return DIK_PAUSE;
    case SDL_SCANCODE_HOME: return DIK_HOME;
    case SDL_SCANCODE_UP: return DIK_UP;
    case SDL_SCANCODE_PAGEUP: return DIK_PRIOR;
    case SDL_SCANCODE_LEFT: return DIK_LEFT;
    case SDL_SCANCODE_RIGHT: return DIK_RIGHT;
    case SDL_SCANCODE_END: return DIK_END;
    case SDL_SCANCODE_DOWN: return DIK_DOWN;
    case SDL_SCANCODE_PAGEDOWN: return DIK_NEXT;
    case SDL_SCANCODE_INSERT: return DIK_INSERT;
    case SDL_SCANCODE_DELETE: return DIK_DELETE;
    default: return 0;
  }
}

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
  const char* Name() const override { return "SDL2 keyboard and mouse"; }

 protected:
  bool NextEvent(InputEvent* event) override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
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

 private:
  std::shared_ptr<SdlLibrary> sdl_;
  SdlScreen* screen_;
};

}  // namespace

std::unique_ptr<PlatformInput> SdlInputCreate(std::shared_ptr<SdlLibrary> sdl, SdlScreen* screen) {
  return std::make_unique<SdlInput>(std::move(sdl), screen);
}
