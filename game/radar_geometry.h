#pragma once
// The radar's geometry: how big it is on a screen, where a world point lands
// on it (centred on the ship, the ship's heading up) and which of its nine
// height colours a point takes.

// The radar's side in pixels for a screen height: 45 below 250 lines, 125
// above 500, otherwise 75 with the cockpit shown and 105 without.
int RadarSizeFor(int screenHeight, bool cockpitShown);

// Radar pixels per world unit: 700 units fill the half-size.
float RadarScale(int halfWidth, int halfHeight);

// The heading angle of a forward vector, turned so that the heading points
// up on the radar.
float RadarHeading(float forwardX, float forwardZ);

// A world offset from the ship (dx, dz) on the radar relative to its centre,
// x to the right and y upward, before truncation.
struct RadarPoint {
  float x, y;
};
RadarPoint RadarProject(float dx, float dz, float heading, float scale);

// The height colour of a point against the ship's height: the difference
// mapped so that equal heights give 5 and each band spans 1400 / 9 units;
// 0..8 are the drawn bands, anything else is out of the radar's height range.
int RadarHeightBand(float targetY, float shipY);
inline constexpr int kRadarHeightBands = 9;

// Where the radar stands in the 2-D target of a layout: its top-left corner.
// Layout 0..3 as HudLayout (Cockpit, Plain, Large, Small).
struct RadarCorner {
  int x, y;
};
RadarCorner RadarCornerFor(int layout, int size);
