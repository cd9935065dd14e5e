#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// A spin loop that polls the virtual clock waiting for time to pass would
// never end; after this many reads without a frame the clock moves by 1 ms,
// which keeps such loops finite and still deterministic.
constexpr uint32_t kSpinReadsPerMillisecond = 100000;

struct ClockState {
  std::mutex lock;
  bool fixedStep = false;
  uint32_t stepMs = 0;
  uint32_t virtualMs = kClockDefaultStart;
  uint32_t readsSinceAdvance = 0;
  std::thread::id mainThread;
  // Paced: the real time by which the current frame may end.
  bool paced = false;
  SteadyClock::time_point frameDeadline{};
  // Real-time mode: value = realBase + elapsed since realOrigin.
  uint32_t realBase = kClockDefaultStart;
  SteadyClock::time_point realOrigin = SteadyClock::now();
};

ClockState& State() {
  static ClockState state;
  return state;
}

uint32_t RealNowLocked(ClockState& s) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - s.realOrigin);
  return s.realBase + static_cast<uint32_t>(elapsed.count());
}

}  // namespace

DWORD timeGetTime() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.fixedStep) return RealNowLocked(s);
  if (++s.readsSinceAdvance >= kSpinReadsPerMillisecond) {
    s.readsSinceAdvance = 0;
    s.virtualMs += 1;
  }
  return s.virtualMs;
}

BOOL QueryPerformanceFrequency(int64_t* frequency) {
  if (!frequency) return FALSE;
  *frequency = 1000000;  // microseconds
  return TRUE;
}

BOOL QueryPerformanceCounter(int64_t* count) {
  if (!count) return FALSE;
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.fixedStep) {
    *count = static_cast<int64_t>(s.virtualMs) * 1000;
  } else {
    *count = std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now().time_since_epoch()).count();
  }
  return TRUE;
}

void Sleep(DWORD ms) {
  ClockState& s = State();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (s.fixedStep && std::this_thread::get_id() == s.mainThread) {
      s.virtualMs += ms;
      s.readsSinceAdvance = 0;
      return;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void ClockUseFixedStep(uint32_t stepMs) {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.fixedStep) s.virtualMs = RealNowLocked(s);
  s.fixedStep = true;
  s.stepMs = stepMs;
  s.readsSinceAdvance = 0;
  s.mainThread = std::this_thread::get_id();
}

void ClockUseRealTime() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.fixedStep) return;
  s.fixedStep = false;
  s.realBase = s.virtualMs;
  s.realOrigin = SteadyClock::now();
}

void ClockSetTime(uint32_t ms) {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.virtualMs = ms;
  s.realBase = ms;
  s.realOrigin = SteadyClock::now();
  s.readsSinceAdvance = 0;
}

void ClockEndFrame() {
  ClockState& s = State();
  SteadyClock::time_point wakeAt{};
  {
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.fixedStep) return;
    s.virtualMs += s.stepMs;
    s.readsSinceAdvance = 0;
    if (!s.paced) return;
    const auto now = SteadyClock::now();
    const auto step = std::chrono::milliseconds(s.stepMs);
    // A frame that ran late starts the schedule anew rather than hurrying
    // the frames after it.
    if (s.frameDeadline == SteadyClock::time_point{} || now > s.frameDeadline + step) s.frameDeadline = now;
    s.frameDeadline += step;
    wakeAt = s.frameDeadline;
  }
  std::this_thread::sleep_until(wakeAt);
}

void ClockSetPaced(bool paced) {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.paced = paced;
  s.frameDeadline = SteadyClock::time_point{};
}

void ClockConfigureFromEnvironment() {
  if (const char* start = std::getenv("KORVANE_CLOCK_START"))
    ClockSetTime(static_cast<uint32_t>(std::strtoul(start, nullptr, 0)));
  if (const char* step = std::getenv("KORVANE_FIXED_STEP_MS")) {
    const unsigned long ms = std::strtoul(step, nullptr, 0);
    if (ms > 0) ClockUseFixedStep(static_cast<uint32_t>(ms));
  }
  if (const char* paced = std::getenv("KORVANE_FIXED_STEP_PACED")) ClockSetPaced(std::strcmp(paced, "1") == 0);
}
