#include "game/game_clock.h"

#include "platform/clock.h"

int32_t g_GameTime = 0;
uint32_t g_RealTimeBase = 0;
uint8_t g_GameTimePaused = 0;

namespace {
// The clock's base is taken when the program starts.
[[maybe_unused]] const bool kBaseTaken = (ResetGameTimeBase(), true);
}  // namespace

void ResetGameTimeBase() { g_RealTimeBase = timeGetTime(); }

int GetGameTime() { return g_GameTime; }

void UpdateGameTime() {
  const uint32_t now = timeGetTime();
  const uint32_t delta = now - g_RealTimeBase;
  if (!g_GameTimePaused) g_GameTime = GameTimeAdd(g_GameTime, static_cast<int32_t>(delta));
  g_RealTimeBase += delta;
}

void SetGameTimePaused(BOOL paused) { g_GameTimePaused = paused ? 1 : 0; }
