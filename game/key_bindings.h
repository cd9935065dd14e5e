#pragma once
// The ship actions that keys are bound to, two keys each, as the settings
// file (section "Keys") and the key-binding screen know them. The screen
// lists the actions in row order; the document's key table keeps them in an
// order of its own (down before up, scroll missile before scroll gun), so
// every transfer goes by action through KeyTableIndex, never by position.
#include "platform/framework/cstring.h"

inline constexpr int kKeyActionCount = 17;

struct KeyAction {
  const char* valueName;  // "keyAccel": the values are "keyAccel1" and "keyAccel2"
  int defaults[2];        // key codes (game/key_codes.h); 0 none
  int tableIndex;         // the action's pair in the document's key table
};

// By screen row: accelerate, accelerate backwards, turn left, turn right,
// up, down, strafe, strafe left, strafe right, strafe up, strafe down, fire
// gun, launch missile, special, precise, scroll gun, scroll missile.
const KeyAction& KeyActionOfRow(int row);

// The row whose action sits at the document table's index (the inverse of
// KeyActionOfRow(row).tableIndex).
int KeyRowOfTableIndex(int tableIndex);

// The value name of a row's first (slot 0) or second (slot 1) key.
CString KeyValueName(int row, int slot);

// A code the key-code space holds: 0 (none), a scan code 1..255 or a
// joystick code 4096..4115. Anything else read from the settings file is
// taken as the action's default.
bool IsKeyCodeInRange(int code);
