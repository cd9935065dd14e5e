#pragma once
// The game clock: milliseconds of game time, advanced by the real time that
// passes between updates unless it is paused. Every timer, fire interval and
// time stamp of the game reads it. Arithmetic is unsigned and wraps, both of
// the platform clock (past 2^32 ms) and of the game time itself, so time
// differences are taken with GameTimeSince, never by plain subtraction of
// ints.
#include <cstdint>

#include "platform/types.h"

extern int32_t g_GameTime;
extern uint32_t g_RealTimeBase;
extern uint8_t g_GameTimePaused;

// The base becomes the platform clock's present (also run once at start-up).
void ResetGameTimeBase();
int GetGameTime();
// Adds the real time since the last update unless paused; the base always
// moves to the present, so paused time is dropped.
void UpdateGameTime();
void SetGameTimePaused(BOOL paused);

// Milliseconds from stamp to now, wrap-safe (negative when stamp is ahead).
inline int32_t GameTimeSince(int32_t stamp, int32_t now) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(stamp));
}
inline int32_t GameTimeSince(int32_t stamp) { return GameTimeSince(stamp, GetGameTime()); }
// stamp + ms with wrap-around instead of overflow.
inline int32_t GameTimeAdd(int32_t stamp, int32_t ms) {
  return static_cast<int32_t>(static_cast<uint32_t>(stamp) + static_cast<uint32_t>(ms));
}
