#pragma once
// The game's key codes: one space for the keyboard and the joystick, so that
// every action can be bound to either. The key bindings store these codes
// (settings section "Keys"), so a code may be anything a settings file holds:
// every user checks its range before it indexes a table.
//   0            no key (an unbound action)
//   1..255       DirectInput keyboard scan codes (DIK_*)
//   4096..4103   joystick buttons 1 to 8
//   4112..4115   joystick hat up, down, left, right
// A code is a joystick code exactly when its bit 0x1000 is set.
#include "platform/framework/cstring.h"

inline constexpr int kKeyCodeNone = 0;
inline constexpr int kJoystickCodeBase = 0x1000;  // 4096
inline constexpr int kJoystickKeyCount = 20;      // codes 4096..4115 index the joystick keys
inline constexpr int kJoystickButtonFirst = 4096;
inline constexpr int kJoystickButtonCount = 8;
inline constexpr int kJoystickHatUp = 4112;
inline constexpr int kJoystickHatDown = 4113;
inline constexpr int kJoystickHatLeft = 4114;
inline constexpr int kJoystickHatRight = 4115;

inline bool IsJoystickCode(int code) { return (code & kJoystickCodeBase) != 0; }
// The scan code's table index (1..255), or -1 when code is not one.
inline int KeyboardIndexOf(int code) { return code >= 1 && code <= 255 ? code : -1; }
// The joystick keys' index (0..19), or -1 when code is not a joystick code
// within them (negative codes and codes past 4115 included).
inline int JoystickIndexOf(int code) {
  return code >= kJoystickCodeBase && code < kJoystickCodeBase + kJoystickKeyCount ? code - kJoystickCodeBase : -1;
}

// A key's name as the key-binding fields show it ("Esc", "l.ctrl", "joy3",
// "hat rght"), or "-----" for a code that has none.
CString KeyCodeName(int code);
// The text of a key-binding field: one blank, then the name, padded with
// blanks to 9 characters in all.
CString KeyFieldText(int code);
// What a binding stores for a chosen code: the code when it has a name, else
// 0, which unbinds the action (Backspace, 14, among them).
int KeyCodeForBinding(int code);
