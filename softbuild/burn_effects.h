#pragma once
// korvanesw's two full-screen effects of its own (CInterface::PlayBurnOut and
// CInterface::PlayExitFire). Both run synchronously with the screen locked
// and end early when Space is pressed (tested every 50th burn-out pass and
// every 30th fire pass).
//
// Pace: the original ran them as fast as its machines allowed; here they are
// held to that speed by the multimedia clock so that a fast processor does
// not end them in a blink. The burn-out takes at most two passes per
// millisecond (a 640x480 title burns for about 3 s); the fire one pass per
// 14 ms, about 70 a second (at 480 lines it rises off the screen in about
// 1.6 s).
#include <cstdint>

inline constexpr int kBurnOutPassesPerMs = 2;
inline constexpr uint32_t kExitFirePassMs = 14;

// The fade table the burn-out builds on its first use: entry [c][L] is the
// game colour that best shows colour c at brightness L/64 (0 for the system
// colours). Built once per run from the interface's palette table.
inline constexpr int kFadeLevels = 64;
extern uint8_t g_FadeTable[256][kFadeLevels];
bool FadeTableIsBuilt();
// Forgets the table so that the next burn-out builds it again (tests).
void FadeTableForget();

// The number of passes the last effect ran (tests).
extern int g_LastEffectPasses;
