#include "game/joystick.h"

#include <algorithm>
#include <mutex>

#include "game/key_codes.h"
#include "platform/clock.h"

std::atomic<uint8_t> g_JoystickPresent{0};

namespace {

constexpr DWORD kBaseReadFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS | JOY_RETURNCENTERED | JOY_USEDEADZONE;
constexpr DWORD kPollIntervalMs = 30;  // a read only when more than this has passed
constexpr int kHatIndex = kJoystickHatUp - kJoystickCodeBase;  // 16: up, down, left, right

struct JoystickState {
  std::mutex lock;
  UINT id = 0;
  JOYCAPSA caps;
  DWORD readFlags = 0;
  JOYINFOEX last;  // the last successful read
  DWORD lastReadMs = 0;
};

JoystickState& State() {
  static JoystickState state;
  return state;
}

// The joystick keys, one bit per index 0..19, replaced whole by each poll so
// that a reader never sees a refill half done.
std::atomic<uint32_t> g_JoystickKeys{0};

uint32_t KeysOf(const JOYINFOEX& info) {
  uint32_t keys = info.dwButtons & ((1u << kJoystickButtonCount) - 1);
  switch (info.dwPOV) {
    case JOY_POVFORWARD: keys |= 1u << (kHatIndex + 0); break;
    case JOY_POVBACKWARD: keys |= 1u << (kHatIndex + 1); break;
    case JOY_POVLEFT: keys |= 1u << (kHatIndex + 2); break;
    case JOY_POVRIGHT: keys |= 1u << (kHatIndex + 3); break;
    default: break;  // centred or a diagonal
  }
  return keys;
}

}  // namespace

float JoystickAxisValue(UINT min, UINT max, DWORD reading) {
  const int64_t centre = (static_cast<int64_t>(min) + max) >> 1;
  const int64_t half = centre - min;
  // An empty (or reversed) range measures no deflection; dividing by it would
  // read as full deflection.
  if (half <= 0) return 0;
  const int64_t dead = half >> 2;
  const int64_t offset = static_cast<int64_t>(reading) - centre;
  if (offset >= -dead && offset <= dead) return 0;
  return std::clamp(static_cast<float>(offset) / static_cast<float>(half), -1.0f, 1.0f);
}

void InitJoystick() {
  JoystickState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  g_JoystickKeys = 0;
  g_JoystickPresent = 0;
  s.caps = JOYCAPSA{};
  const UINT ids = joyGetNumDevs();
  if (ids != 0) {
    if (joyGetDevCapsA(0, &s.caps, sizeof s.caps) == JOYERR_NOERROR) {
      s.id = 0;
      g_JoystickPresent = 1;
    } else if (ids > 1 && joyGetDevCapsA(1, &s.caps, sizeof s.caps) == JOYERR_NOERROR) {
      s.id = 1;
      g_JoystickPresent = 1;
    }
  }
  s.readFlags = kBaseReadFlags;
  if (s.caps.wCaps & JOYCAPS_HASZ) s.readFlags |= JOY_RETURNZ;
  if (s.caps.wCaps & JOYCAPS_POV4DIR) s.readFlags |= JOY_RETURNPOV;
}

void PollJoystick() {
  if (!g_JoystickPresent) return;
  JoystickState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  // Looked at again under the lock: InitJoystick or the other thread's poll
  // may have changed it.
  if (!g_JoystickPresent) return;
  const DWORD now = timeGetTime();
  if (now - s.lastReadMs <= kPollIntervalMs) return;
  s.lastReadMs = now;
  JOYINFOEX info;
  info.dwSize = sizeof info;
  info.dwFlags = s.readFlags;
  if (joyGetPosEx(s.id, &info) != JOYERR_NOERROR) {
    g_JoystickPresent = 0;
    g_JoystickKeys = 0;
    return;
  }
  s.last = info;
  g_JoystickKeys = KeysOf(info);
}

bool JoystickKeyDown(int index) {
  return index >= 0 && index < kJoystickKeyCount && (g_JoystickKeys.load() >> index) & 1u;
}

void ReadJoystickAxes(float* x, float* y, float* z) {
  *x = *y = *z = 0;
  if (!g_JoystickPresent) return;
  PollJoystick();
  JoystickState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!g_JoystickPresent) return;
  *x = JoystickAxisValue(s.caps.wXmin, s.caps.wXmax, s.last.dwXpos);
  *y = JoystickAxisValue(s.caps.wYmin, s.caps.wYmax, s.last.dwYpos);
  if (s.readFlags & JOY_RETURNZ) *z = JoystickAxisValue(s.caps.wZmin, s.caps.wZmax, s.last.dwZpos);
}

DWORD JoystickReadFlags() {
  JoystickState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.readFlags;
}
