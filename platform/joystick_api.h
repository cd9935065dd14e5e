#pragma once
// The multimedia joystick functions, as far as the game uses them: how many
// joystick ids there are, one joystick's capabilities, and its position,
// buttons and hat.
//
// Id 0 is the joystick that the back end's input (platform/input.h) finds:
// joyGetDevCapsA (0) looks for one (the first plugged in), and joyGetPosEx
// (0) reads the one found until it is unplugged, when it fails with
// JOYERR_UNPLUGGED until joyGetDevCapsA finds a joystick again. Id 1 is never
// a joystick. Axes run from 0 to 65535, 32767 or 32768 at the centre; the
// hat (dwPOV) is in hundredths of a degree clockwise from forward, or
// JOY_POVCENTERED.
//
// Threads: joyGetDevCapsA on the main thread; joyGetNumDevs and joyGetPosEx
// on any thread.
#include <cstdint>

#include "platform/types.h"

using MMRESULT = UINT;
inline constexpr MMRESULT JOYERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT JOYERR_PARMS = 165;
inline constexpr MMRESULT JOYERR_UNPLUGGED = 167;

// joyGetPosEx flags: what to return, and how.
inline constexpr DWORD JOY_RETURNX = 0x1;
inline constexpr DWORD JOY_RETURNY = 0x2;
inline constexpr DWORD JOY_RETURNZ = 0x4;
inline constexpr DWORD JOY_RETURNR = 0x8;
inline constexpr DWORD JOY_RETURNU = 0x10;
inline constexpr DWORD JOY_RETURNV = 0x20;
inline constexpr DWORD JOY_RETURNPOV = 0x40;
inline constexpr DWORD JOY_RETURNBUTTONS = 0x80;
inline constexpr DWORD JOY_RETURNCENTERED = 0x400;
inline constexpr DWORD JOY_USEDEADZONE = 0x800;

// wCaps bits.
inline constexpr UINT JOYCAPS_HASZ = 0x1;
inline constexpr UINT JOYCAPS_HASPOV = 0x10;
inline constexpr UINT JOYCAPS_POV4DIR = 0x20;

inline constexpr DWORD JOY_POVCENTERED = 0xFFFF;
inline constexpr DWORD JOY_POVFORWARD = 0;
inline constexpr DWORD JOY_POVRIGHT = 9000;
inline constexpr DWORD JOY_POVBACKWARD = 18000;
inline constexpr DWORD JOY_POVLEFT = 27000;

// 404 bytes, field for field as the multimedia API has it.
struct JOYCAPSA {
  WORD wMid = 0, wPid = 0;
  char szPname[32] = {};
  UINT wXmin = 0, wXmax = 0, wYmin = 0, wYmax = 0, wZmin = 0, wZmax = 0;
  UINT wNumButtons = 0, wPeriodMin = 0, wPeriodMax = 0;
  UINT wRmin = 0, wRmax = 0, wUmin = 0, wUmax = 0, wVmin = 0, wVmax = 0;
  UINT wCaps = 0, wMaxAxes = 0, wNumAxes = 0, wMaxButtons = 0;
  char szRegKey[32] = {};
  char szOEMVxD[260] = {};
};
static_assert(sizeof(JOYCAPSA) == 404);

// 52 bytes; the caller sets dwSize and dwFlags.
struct JOYINFOEX {
  DWORD dwSize = 0, dwFlags = 0;
  DWORD dwXpos = 0, dwYpos = 0, dwZpos = 0, dwRpos = 0, dwUpos = 0, dwVpos = 0;
  DWORD dwButtons = 0, dwButtonNumber = 0, dwPOV = 0;
  DWORD dwReserved1 = 0, dwReserved2 = 0;
};
static_assert(sizeof(JOYINFOEX) == 52);

// The number of joystick ids: 2 (0 and 1), whether or not one is plugged in.
UINT joyGetNumDevs();
// Id 0: looks for a joystick and fills its capabilities (size must be
// sizeof(JOYCAPSA)); JOYERR_UNPLUGGED when there is none. Other ids:
// MMSYSERR_BADDEVICEID (id 1: JOYERR_UNPLUGGED).
MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size);
// The found joystick's axes, buttons (bit n: button n + 1, including presses
// since the previous read) and hat, as dwFlags asks; JOYERR_UNPLUGGED when
// none was found or it has been unplugged since, JOYERR_PARMS for another id
// or a dwSize that is not 52.
MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info);
