#pragma once
// How korvanesw's screen effects keep time and listen for Space.
//
// They run synchronously inside the caller and wait by polling the
// multimedia millisecond clock (timeGetTime). Every wait sleeps a millisecond
// between polls rather than spinning, so that on the fixed-step clock of the
// tests and headless runs each wait moves the clock on, and on a real one the
// processor is left to the rest of the machine.
#include <cstdint>

class CInterface;

// Lets the window's message queue be looked at without taking anything from
// it: input that arrived meanwhile reaches the devices (so Space can be
// seen) and a frame waiting to be shown is shown. Every wait does this, at
// most once every 16 ms of the clock (the rate frames are shown at).
void EffectLookAtMessages();
// Waits until the clock reads later than t.
void EffectWaitPast(uint32_t t);
// Waits until the clock has moved on by at least ms from start.
void EffectWaitUntil(uint32_t start, uint32_t ms);
// Milliseconds since start (wrap-safe).
uint32_t EffectElapsed(uint32_t start);

// The Space test of the long effects: pending window messages are let be
// seen at once (nothing is removed, so a frame waiting to be shown is shown), the
// keyboard and the joystick are polled, and true when Space (scan code 57)
// was pressed since the last test (that press is consumed) or is down.
bool EffectSpacePressed(CInterface& ui);

inline constexpr int kScanSpace = 57;
