#pragma once
// The multimedia millisecond clock and the high-resolution counter.
//
// timeGetTime is a wrapping u32 that starts far from 0, because the game uses
// 0 as "never". In fixed-step mode the clock is virtual: it moves only when a
// game frame ends (ClockEndFrame) or the main thread sleeps, so whole-program
// runs repeat exactly. Environment: KORVANE_FIXED_STEP_MS=<ms> turns the
// fixed-step mode on at start-up; KORVANE_CLOCK_START=<ms> sets the first value
// (tests use it to cross the wrap). KORVANE_FIXED_STEP_PACED=1 also holds
// each frame to at least its step of real time, so programs that talk to each
// other over the network keep in step with each other and with the network's
// own real-time timeouts; a frame that took longer is not made up for.
#include <cstdint>
#include <ctime>

#include "platform/types.h"

// Where the clock starts unless told otherwise: about 4.6 hours "since boot".
inline constexpr uint32_t kClockDefaultStart = 0x01000000u;

DWORD timeGetTime();
BOOL QueryPerformanceCounter(int64_t* count);
BOOL QueryPerformanceFrequency(int64_t* frequency);
// Waits ms milliseconds; in fixed-step mode a sleep on the main thread
// advances the virtual clock instead of waiting.
void Sleep(DWORD ms);

// Switches to the virtual clock, advancing stepMs per game frame. The calling
// thread becomes the one whose sleeps move the clock.
void ClockUseFixedStep(uint32_t stepMs);
// Back to real time (continuing from the current value).
void ClockUseRealTime();
// Sets the clock's current value (either mode).
void ClockSetTime(uint32_t ms);
// Called once at the end of each game frame: advances the virtual clock by
// its step; nothing in real-time mode. Paced, it first waits for the rest of
// the frame's step in real time.
void ClockEndFrame();
// Turns the real-time pacing of fixed-step frames on or off.
void ClockSetPaced(bool paced);
// The wall-clock date and time in the local time zone (for log lines; it
// does not follow the virtual clock). False when the system can't tell.
bool LocalTimeNow(std::tm* out);

// Reads KORVANE_FIXED_STEP_MS, KORVANE_FIXED_STEP_PACED and KORVANE_CLOCK_START
// (programs call it at start).
void ClockConfigureFromEnvironment();
