#pragma once
// korvanesw's screen-close transitions (CInterface::PlayFoldTransition and
// CInterface::PlayDissolveTransition, played by CInterface::ClearSurfacesSw
// when a transition is pending).
//
// The fold squeezes the picture into a band that closes toward the middle
// row, one step (two rows from each side) per tick of the multimedia clock,
// brightening the palette toward white every ninth step, then shrinks the
// remaining line from both ends, 1 to 4 ms a column, and waits 100 ms: at
// 640x480 about 1.2 s. The dissolve blacks out 5 of its 60 x 60 tiles per
// clock tick in random order: 720 ms.

// The dissolve's tiles as it clears them (number = row x 60 + column); for
// tests, null otherwise.
using DissolveTileObserver = void (*)(int tile);
extern DissolveTileObserver g_DissolveTileObserver;

inline constexpr int kDissolveTilesPerSide = 60;
