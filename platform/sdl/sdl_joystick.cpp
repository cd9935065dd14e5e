// The SDL2 joystick: the first joystick or game controller plugged in. A
// game controller is read through SDL's controller mapping, so that any pad
// gives the same layout: the left stick is x and y, the right stick's
// vertical is z (thrust), A B X Y, the shoulders, Back and Start are buttons
// 1 to 8, and the d-pad is the hat.
#include <algorithm>
#include <cstdio>

#include "platform/sdl/sdl_devices.h"

namespace {

constexpr int kControllerButtons = 10;

int ControllerButton(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return 0;
    case SDL_CONTROLLER_BUTTON_B: return 1;
    case SDL_CONTROLLER_BUTTON_X: return 2;
    case SDL_CONTROLLER_BUTTON_Y: return 3;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return 4;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return 5;
    case SDL_CONTROLLER_BUTTON_BACK: return 6;
    case SDL_CONTROLLER_BUTTON_START: return 7;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return 8;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return 9;
    default: return -1;
  }
}

Uint8 DpadBit(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return SDL_HAT_UP;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return SDL_HAT_RIGHT;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return SDL_HAT_DOWN;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return SDL_HAT_LEFT;
    default: return 0;
  }
}

int ControllerAxis(Uint8 axis) {
  switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX: return 0;
    case SDL_CONTROLLER_AXIS_LEFTY: return 1;
    case SDL_CONTROLLER_AXIS_RIGHTY: return 2;
    default: return -1;
  }
}

// Hundredths of a degree clockwise from forward.
int HatDirection(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return kJoystickHatCentred;
  }
}

InputEvent Event(InputEventType type, int index, int value) {
  InputEvent event{type};
  event.button = index;
  event.value = value;
  return event;
}

}  // namespace

SdlJoystick::SdlJoystick() : ready_(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {}

SdlJoystick::~SdlJoystick() {
  Close();
  if (ready_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlJoystick::OpenFirst(InputEvent* plug) {
  if (!ready_ || joystick_) return false;
  for (int i = 0, count = SDL_NumJoysticks(); i < count; ++i)
    if (Open(i, plug)) return true;
  return false;
}

bool SdlJoystick::Open(int deviceIndex, InputEvent* plug) {
  JoystickCaps caps;
  if (SDL_IsGameController(deviceIndex)) {
    controller_ = SDL_GameControllerOpen(deviceIndex);
    joystick_ = controller_ ? SDL_GameControllerGetJoystick(controller_) : nullptr;
    caps.axes = kJoystickMaxAxes;
    caps.buttons = kControllerButtons;
    caps.hat = true;
  } else {
    joystick_ = SDL_JoystickOpen(deviceIndex);
    if (joystick_) {
      caps.axes = std::clamp(SDL_JoystickNumAxes(joystick_), 0, kJoystickMaxAxes);
      caps.buttons = std::clamp(SDL_JoystickNumButtons(joystick_), 0, kJoystickMaxButtons);
      caps.hat = SDL_JoystickNumHats(joystick_) > 0;
    }
  }
  if (!joystick_) {
    Close();
    return false;
  }
  instance_ = SDL_JoystickInstanceID(joystick_);
  dpad_ = SDL_HAT_CENTERED;
  if (const char* name = SDL_JoystickName(joystick_))
    std::snprintf(caps.name, sizeof caps.name, "%s", name);
  *plug = InputEvent{InputEventType::JoystickPlug};
  plug->joystick = caps;
  return true;
}

void SdlJoystick::Close() {
  if (controller_) SDL_GameControllerClose(controller_);
  else if (joystick_) SDL_JoystickClose(joystick_);
  controller_ = nullptr;
  joystick_ = nullptr;
  instance_ = -1;
}

bool SdlJoystick::Translate(const SDL_Event& e, InputEvent* out) {
  switch (e.type) {
    case SDL_JOYDEVICEADDED:
      return ready_ && !joystick_ && Open(e.jdevice.which, out);
    case SDL_JOYDEVICEREMOVED:
      if (!joystick_ || e.jdevice.which != instance_) return false;
      Close();
      *out = InputEvent{InputEventType::JoystickUnplug};
      return true;
    case SDL_CONTROLLERAXISMOTION: {
      const int axis = ControllerAxis(e.caxis.axis);
      if (!controller_ || e.caxis.which != instance_ || axis < 0) return false;
      *out = Event(InputEventType::JoystickAxis, axis, e.caxis.value);
      return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      if (!controller_ || e.cbutton.which != instance_) return false;
      const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
      if (const Uint8 bit = DpadBit(e.cbutton.button)) {
        dpad_ = static_cast<Uint8>(down ? (dpad_ | bit) : (dpad_ & ~bit));
        *out = Event(InputEventType::JoystickHat, 0, HatDirection(dpad_));
        return true;
      }
      const int button = ControllerButton(e.cbutton.button);
      if (button < 0) return false;
      *out = Event(down ? InputEventType::JoystickButtonDown : InputEventType::JoystickButtonUp, button, 0);
      return true;
    }
    // A controller's own joystick events repeat what its controller events
    // say, unmapped: only a plain joystick is read through them.
    case SDL_JOYAXISMOTION:
      if (controller_ || !joystick_ || e.jaxis.which != instance_ || e.jaxis.axis >= kJoystickMaxAxes) return false;
      *out = Event(InputEventType::JoystickAxis, e.jaxis.axis, e.jaxis.value);
      return true;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
      if (controller_ || !joystick_ || e.jbutton.which != instance_ || e.jbutton.button >= kJoystickMaxButtons)
        return false;
      *out = Event(e.type == SDL_JOYBUTTONDOWN ? InputEventType::JoystickButtonDown : InputEventType::JoystickButtonUp,
                   e.jbutton.button, 0);
      return true;
    case SDL_JOYHATMOTION:
      if (controller_ || !joystick_ || e.jhat.which != instance_ || e.jhat.hat != 0) return false;
      *out = Event(InputEventType::JoystickHat, 0, HatDirection(e.jhat.value));
      return true;
    default:
      return false;
  }
}
