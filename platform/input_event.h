#pragma once
// One input event as a back end delivers it, before the window layer turns
// it into messages and the input layer into device state (key tables, the
// mouse's motion, the joystick's reading).
#include <cstdint>

enum class InputEventType {
  KeyDown, KeyUp, Char, MouseMove, MouseButtonDown, MouseButtonUp, MouseWheel, Quit, Activate,
  // The joystick: plugged in (with its capabilities), unplugged, and its
  // axes, buttons and hat. They change only the joystick's state.
  JoystickPlug, JoystickUnplug, JoystickAxis, JoystickButtonDown, JoystickButtonUp, JoystickHat,
};

enum MouseButton : int { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };

// Axis values run from kJoystickAxisMin (left, forward) to kJoystickAxisMax,
// 0 at the centre; the hat is a direction in hundredths of a degree
// clockwise from forward (0, 9000, 18000, 27000 and the diagonals between),
// or kJoystickHatCentred.
inline constexpr int kJoystickAxisMin = -32768;
inline constexpr int kJoystickAxisMax = 32767;
inline constexpr int kJoystickHatCentred = -1;
inline constexpr int kJoystickMaxAxes = 3;     // x, y, z
inline constexpr int kJoystickMaxButtons = 32;

// What a joystick has, as it is plugged in.
struct JoystickCaps {
  int axes = kJoystickMaxAxes;  // 2 (x, y) or 3 (x, y, z)
  int buttons = 8;              // 0..kJoystickMaxButtons
  bool hat = true;
  char name[32] = "joystick";
};

struct InputEvent {
  InputEventType type = InputEventType::Quit;
  int scanCode = 0;        // KeyDown, KeyUp: DirectInput scan code
  uint32_t character = 0;  // Char: the typed character
  int dx = 0, dy = 0;      // MouseMove: relative motion; MouseWheel: dy, away from the player > 0
  int button = 0;          // MouseButtonDown/Up: MouseButton; JoystickButtonDown/Up: 0-based
                           // button; JoystickAxis: 0 x, 1 y, 2 z
  int value = 0;           // JoystickAxis: the axis value; JoystickHat: the direction
  JoystickCaps joystick{}; // JoystickPlug
  // Activate: the program's window gained (true) or lost (false) the focus,
  // or lost it by being minimised; gaining it while it has it means the
  // screen was switched under the program (its surfaces must be restored).
  bool active = false;
  bool minimized = false;
};
