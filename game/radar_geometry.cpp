// The radar's geometry.
#include "game/radar_geometry.h"

#include <cmath>

#include "game/hud_layout.h"

int RadarSizeFor(int screenHeight, bool cockpitShown) {
  if (screenHeight < 250) return 45;
  if (screenHeight > 500) return 125;
  return cockpitShown ? 75 : 105;
}

float RadarScale(int halfWidth, int halfHeight) {
  return static_cast<float>((halfWidth + halfHeight) / 2) / 700.0f;
}

float RadarHeading(float forwardX, float forwardZ) { return -std::atan2(forwardX, forwardZ); }

RadarPoint RadarProject(float dx, float dz, float heading, float scale) {
  const float s = std::sin(heading), c = std::cos(heading);
  return {scale * (s * dz + c * dx), scale * (c * dz - s * dx)};
}

int RadarHeightBand(float targetY, float shipY) {
  // The difference of the two heights: a point level with the ship sits in
  // the middle band whichever way the world's y axis points.
  const double band = 5.5 + (static_cast<double>(targetY) - static_cast<double>(shipY)) * 9.0 / 1400.0;
  if (!(band > -1.0 && band < 10.0)) return band > 0 ? kRadarHeightBands : -1;
  return static_cast<int>(band);
}

RadarCorner RadarCornerFor(int layout, int size) {
  switch (static_cast<HudLayout>(layout)) {
    case HudLayout::Cockpit:
      return {465, 378};
    case HudLayout::Plain:
      return {639 - size, 479 - size};
    case HudLayout::Large:
      return {799 - size, 599 - size};
    case HudLayout::Small:
      return {319 - size, 239 - size};
  }
  return {639 - size, 479 - size};
}
