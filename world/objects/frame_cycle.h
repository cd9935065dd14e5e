#pragma once
// The looping animations of the projectiles and shells: the frame position
// grows with time and its integer part picks the frame; past the last frame
// the position wraps round by whole cycles, so it never grows without end.
#include <cmath>

// The frame to show for position (0..count-1); wraps position by whole
// cycles once it has run past count frames. A position that is negative or
// not a number (a damaged saved game) starts again at 0.
inline int CycleFrame(float& position, int count) {
  if (count <= 0) return 0;
  if (!(position >= 0.0f) || !std::isfinite(position)) position = 0.0f;
  const float n = static_cast<float>(count);
  if (position >= n) position -= n * std::floor(position / n);
  const int k = static_cast<int>(position);
  return k < count ? k : count - 1;
}
