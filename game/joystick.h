#pragma once
// The joystick, read through the multimedia joystick functions
// (platform/joystick_api.h): its buttons and hat as the joystick keys of the
// key-code space (game/key_codes.h), its axes for the ship controls.
//
// InitJoystick runs on the main thread (at start-up and at every level start
// or saved-game load); PollJoystick and the queries run on either thread
// (the input thread polls every 10 ms). Everything InitJoystick rewrites
// (the id, the capabilities, the read flags, the last reading) is held under
// one lock, the joystick keys are stored in one step, and g_JoystickPresent
// is atomic, so that a level start may find the joystick again while the
// input thread reads it.
#include <atomic>
#include <cstdint>

#include "platform/joystick_api.h"

// 1 when a joystick was found and its last read succeeded; a failed read
// (the joystick unplugged) clears it until the next InitJoystick.
extern std::atomic<uint8_t> g_JoystickPresent;

// Looks for the joystick: id 0, else id 1; clears the joystick keys; sets the
// read flags for what the joystick has (Z, a four-way hat).
void InitJoystick();
// Reads the joystick into the joystick keys, at most once every 31 ms;
// nothing without a joystick.
void PollJoystick();
// Whether joystick key index (0..19: buttons 0..7, hat 16..19) was down at
// the last poll; false for any other index.
bool JoystickKeyDown(int index);
// The stick's axes in -1..1, with a dead zone of a quarter of each half
// range round the centre; all 0 without a joystick (or one unplugged now).
// An axis whose range is empty (min == max) reads 0.
void ReadJoystickAxes(float* x, float* y, float* z);

// One axis reading in -1..1 for the range min..max: centre c = (min + max)
// / 2, half range h = c - min; readings within h / 4 of c give 0, others
// (reading - c) / h, clamped. 0 when the range is empty (h <= 0).
float JoystickAxisValue(UINT min, UINT max, DWORD reading);

// The read flags the last InitJoystick chose (for tests).
DWORD JoystickReadFlags();
