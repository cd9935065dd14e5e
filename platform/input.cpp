#include "platform/input.h"

#include "platform/process_services.h"

bool PlatformInput::PollEvent(InputEvent* event) {
  if (StopRequestTake()) {
    *event = InputEvent{InputEventType::Quit};
    return true;
  }
  if (!NextEvent(event)) return false;
  if (event->scanCode > 0 && event->scanCode < 256) {
    if (event->type == InputEventType::KeyDown) keyStates_[event->scanCode] = 0x80;
    if (event->type == InputEventType::KeyUp) keyStates_[event->scanCode] = 0;
  }
  return true;
}

uint8_t PlatformInput::KeyState(int scanCode) const {
  if (scanCode <= 0 || scanCode >= 256) return 0;
  return keyStates_[scanCode];
}

void PlatformInput::CopyKeyStates(uint8_t out[256]) const {
  for (int i = 0; i < 256; ++i) out[i] = keyStates_[i];
}
