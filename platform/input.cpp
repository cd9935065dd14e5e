#include "platform/input.h"

#include <algorithm>
#include <utility>

#include "platform/process_services.h"

bool PlatformInput::PollEvent(InputEvent* event) {
  if (StopRequestTake()) {
    *event = InputEvent{InputEventType::Quit};
    return true;
  }
  if (!NextEvent(event)) return false;
  ApplyEvent(*event);
  return true;
}

void PlatformInput::ApplyEvent(const InputEvent& event) {
  switch (event.type) {
    case InputEventType::KeyDown:
    case InputEventType::KeyUp:
      if (!keysFollowClock_) SetKey(event.scanCode, event.type == InputEventType::KeyDown);
      break;
    case InputEventType::MouseMove:
      mouseDx_ += event.dx;
      mouseDy_ += event.dy;
      break;
    case InputEventType::MouseWheel:
      mouseWheel_ += event.dy;
      break;
    case InputEventType::MouseButtonDown:
    case InputEventType::MouseButtonUp:
      if (event.button >= 0 && event.button < 4)
        mouseButtons_[event.button] = event.type == InputEventType::MouseButtonDown ? 0x80 : 0;
      break;
    case InputEventType::JoystickPlug:
    case InputEventType::JoystickUnplug:
    case InputEventType::JoystickAxis:
    case InputEventType::JoystickButtonDown:
    case InputEventType::JoystickButtonUp:
    case InputEventType::JoystickHat:
      ApplyJoystickEvent(event);
      break;
    case InputEventType::Activate:
      NoteFocus(event.active);
      break;
    case InputEventType::Char:
    case InputEventType::Quit:
      break;
  }
}

void PlatformInput::ApplyJoystickEvent(const InputEvent& event) {
  std::lock_guard<std::mutex> guard(joystickLock_);
  switch (event.type) {
    case InputEventType::JoystickPlug:
      joystickPlugged_ = true;
      ++joystickPlugs_;
      if (joystickPlugs_ == 0) ++joystickPlugs_;  // 0 means "none found"
      joystickCaps_ = event.joystick;
      joystickCaps_.axes = std::clamp(joystickCaps_.axes, 0, kJoystickMaxAxes);
      joystickCaps_.buttons = std::clamp(joystickCaps_.buttons, 0, kJoystickMaxButtons);
      joystickCaps_.name[sizeof joystickCaps_.name - 1] = 0;
      joystick_ = JoystickReading{};
      joystickPressed_ = 0;
      break;
    case InputEventType::JoystickUnplug:
      joystickPlugged_ = false;
      break;
    case InputEventType::JoystickAxis:
      if (event.button >= 0 && event.button < kJoystickMaxAxes)
        joystick_.axes[event.button] = std::clamp(event.value, kJoystickAxisMin, kJoystickAxisMax);
      break;
    case InputEventType::JoystickButtonDown:
    case InputEventType::JoystickButtonUp: {
      if (event.button < 0 || event.button >= kJoystickMaxButtons) break;
      const uint32_t bit = 1u << event.button;
      if (event.type == InputEventType::JoystickButtonDown) {
        joystick_.buttons |= bit;
        joystickPressed_ |= bit;
      } else {
        joystick_.buttons &= ~bit;
      }
      break;
    }
    case InputEventType::JoystickHat:
      joystick_.hat = event.value >= 0 && event.value < 36000 ? event.value : kJoystickHatCentred;
      break;
    default:
      break;
  }
}

void PlatformInput::SetKey(int scanCode, bool down) const {
  if (scanCode <= 0 || scanCode >= 256) return;
  if (down) {
    keyStates_[scanCode] = 0x80;
    keysPressed_[scanCode] = 0x80;
  } else {
    keyStates_[scanCode] = 0;
  }
}

uint8_t PlatformInput::KeyState(int scanCode) const {
  if (scanCode <= 0 || scanCode >= 256) return 0;
  CatchUpKeys();
  return keyStates_[scanCode];
}

void PlatformInput::ReadKeyboard(KeyboardState* out) const {
  CatchUpKeys();
  for (int i = 0; i < 256; ++i) (*out)[i] = keyStates_[i];
}

bool PlatformInput::TakeKeyPress(int after, int* scanCode) {
  CatchUpKeys();
  // One exchange per key: a press noted by the main thread meanwhile is
  // either taken now or left for the next take, never lost.
  for (int i = std::max(after + 1, 1); i < 256; ++i) {
    if (keysPressed_[i].exchange(0)) {
      *scanCode = i;
      return true;
    }
  }
  return false;
}

void PlatformInput::ReadMouse(MouseReading* out) {
  out->dx = std::exchange(mouseDx_, 0);
  out->dy = std::exchange(mouseDy_, 0);
  out->wheel = std::exchange(mouseWheel_, 0);
  std::copy(std::begin(mouseButtons_), std::end(mouseButtons_), out->buttons);
}

void PlatformInput::NoteFocus(bool focused) {
  if (focused_.exchange(focused) && !focused) ++focusLosses_;
}

bool PlatformInput::JoystickFind(JoystickCaps* caps) {
  LookForJoystick();
  std::lock_guard<std::mutex> guard(joystickLock_);
  joystickFound_ = joystickPlugged_ ? joystickPlugs_ : 0;
  if (!joystickFound_) return false;
  *caps = joystickCaps_;
  return true;
}

bool PlatformInput::JoystickRead(JoystickReading* out) {
  std::lock_guard<std::mutex> guard(joystickLock_);
  // A joystick unplugged since it was found, even one plugged in again,
  // stays lost until the next search.
  if (!joystickFound_ || !joystickPlugged_ || joystickFound_ != joystickPlugs_) return false;
  *out = joystick_;
  out->buttons |= std::exchange(joystickPressed_, 0);
  return true;
}
