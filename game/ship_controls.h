#pragma once
// The ship's control actions: the rows of the document's key table (two keys
// each), in the table's own order, and the small arithmetic the controls and
// the world simulation share.
#include <cstdlib>

enum ShipAction {
  kActionAccel,
  kActionAccelBack,
  kActionLeft,
  kActionRight,
  kActionDown,
  kActionUp,
  kActionStrafe,
  kActionStrafeLeft,
  kActionStrafeRight,
  kActionStrafeUp,
  kActionStrafeDown,
  kActionFireGun,
  kActionLaunchMissile,
  kActionSpecial,
  kActionPrecise,
  kActionScrollMissile,
  kActionScrollGun,
  kShipActionCount
};

inline float Sqr(float x) { return x * x; }
// A float from 0 to x from the C library's random numbers.
float RandomFloat(float x);
// Two inputs on one axis: of the same sign (an input of 0 counts as the
// axis's sign) the larger magnitude wins, of opposite signs they add.
void AccumulateSigned(float* axis, float input);
