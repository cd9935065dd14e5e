#pragma once
// One input event as a back end delivers it, before the window layer turns
// it into messages and the input layer into key tables.
#include <cstdint>

enum class InputEventType { KeyDown, KeyUp, Char, MouseMove, MouseButtonDown, MouseButtonUp, Quit, Activate };

enum MouseButton : int { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };

struct InputEvent {
  InputEventType type = InputEventType::Quit;
  int scanCode = 0;        // KeyDown, KeyUp: DirectInput scan code
  uint32_t character = 0;  // Char: the typed character
  int dx = 0, dy = 0;      // MouseMove: relative motion
  int button = 0;          // MouseButtonDown/Up: MouseButton
  // Activate: the program's window gained (true) or lost (false) the focus,
  // or lost it by being minimised; gaining it while it has it means the
  // screen was switched under the program (its surfaces must be restored).
  bool active = false;
  bool minimized = false;
};
