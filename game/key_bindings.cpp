#include "game/key_bindings.h"

#include "game/key_codes.h"

namespace {

// The document's table: accelerate, backwards, left, right, down, up,
// strafe, strafe left/right/up/down, fire, missile, special, precise,
// scroll missile, scroll gun.
constexpr KeyAction kActions[kKeyActionCount] = {
    {"keyAccel", {30, 199}, 0},        {"keyAccelBack", {44, 207}, 1},    {"keyLeft", {203, 0}, 2},
    {"keyRight", {205, 0}, 3},         {"keyUp", {200, 0}, 5},            {"keyDown", {208, 0}, 4},
    {"keyStrafe", {56, 184}, 6},       {"keyStrafeLeft", {0, 0}, 7},      {"keyStrafeRight", {0, 0}, 8},
    {"keyStrafeUp", {0, 0}, 9},        {"keyStrafeDown", {0, 0}, 10},     {"keyFireGun", {29, 157}, 11},
    {"keyLaunchMissile", {57, 210}, 12}, {"keySpecial", {28, 0}, 13},     {"keyPrecise", {42, 54}, 14},
    {"keyScrollGun", {0, 0}, 16},      {"keyScrollMissile", {0, 0}, 15},
};

}  // namespace

const KeyAction& KeyActionOfRow(int row) { return kActions[row]; }

int KeyRowOfTableIndex(int tableIndex) {
  for (int row = 0; row < kKeyActionCount; ++row)
    if (kActions[row].tableIndex == tableIndex) return row;
  return -1;
}

CString KeyValueName(int row, int slot) {
  CString name;
  name.Format("%s%d", kActions[row].valueName, slot + 1);
  return name;
}

bool IsKeyCodeInRange(int code) {
  return code == kKeyCodeNone || KeyboardIndexOf(code) >= 0 || JoystickIndexOf(code) >= 0;
}
