#include "platform/joystick_api.h"

#include <bit>
#include <cstdio>

#include "platform/backend.h"

namespace {

constexpr UINT kJoystickIds = 2;
constexpr UINT kAxisRange = 65535;

DWORD AxisPosition(int value) { return static_cast<DWORD>(value - kJoystickAxisMin); }

}  // namespace

UINT joyGetNumDevs() { return kJoystickIds; }

MMRESULT joyGetDevCapsA(UINT id, JOYCAPSA* caps, UINT size) {
  if (id >= kJoystickIds) return MMSYSERR_BADDEVICEID;
  if (!caps || size != sizeof(JOYCAPSA)) return MMSYSERR_INVALPARAM;
  JoystickCaps found;
  if (id != 0 || !PlatformBackendGet().input->JoystickFind(&found)) return JOYERR_UNPLUGGED;
  *caps = JOYCAPSA{};
  std::snprintf(caps->szPname, sizeof caps->szPname, "%s", found.name);
  caps->wXmax = caps->wYmax = kAxisRange;
  if (found.axes >= 3) {
    caps->wZmax = kAxisRange;
    caps->wCaps |= JOYCAPS_HASZ;
  }
  if (found.hat) caps->wCaps |= JOYCAPS_HASPOV | JOYCAPS_POV4DIR;
  caps->wNumButtons = static_cast<UINT>(found.buttons);
  caps->wMaxButtons = kJoystickMaxButtons;
  caps->wNumAxes = static_cast<UINT>(found.axes);
  caps->wMaxAxes = kJoystickMaxAxes;
  caps->wPeriodMin = 10;
  caps->wPeriodMax = 1000;
  return JOYERR_NOERROR;
}

MMRESULT joyGetPosEx(UINT id, JOYINFOEX* info) {
  if (!info || info->dwSize != sizeof(JOYINFOEX) || id >= kJoystickIds) return JOYERR_PARMS;
  JoystickReading reading;
  if (id != 0 || !PlatformBackendGet().input->JoystickRead(&reading)) return JOYERR_UNPLUGGED;
  const DWORD flags = info->dwFlags;
  const DWORD centre = AxisPosition(0);
  if (flags & JOY_RETURNX) info->dwXpos = AxisPosition(reading.axes[0]);
  if (flags & JOY_RETURNY) info->dwYpos = AxisPosition(reading.axes[1]);
  if (flags & JOY_RETURNZ) info->dwZpos = AxisPosition(reading.axes[2]);
  if (flags & JOY_RETURNR) info->dwRpos = centre;
  if (flags & JOY_RETURNU) info->dwUpos = centre;
  if (flags & JOY_RETURNV) info->dwVpos = centre;
  if (flags & JOY_RETURNBUTTONS) {
    info->dwButtons = reading.buttons;
    info->dwButtonNumber = static_cast<DWORD>(std::popcount(reading.buttons));
  }
  if (flags & JOY_RETURNPOV)
    info->dwPOV = reading.hat == kJoystickHatCentred ? JOY_POVCENTERED : static_cast<DWORD>(reading.hat);
  return JOYERR_NOERROR;
}
