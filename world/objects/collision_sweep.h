#pragma once
// The collision sweep that debris, bombs and free-moving level objects
// share: a step from O to P cut into sub-steps no longer than r / k, each
// pushed out of the world as a sphere; liquids swallow bodies that check
// them, sticky bombs stop at the first polygon, and the first real push-out
// bounces the body (its restitution vector mirrored in the surface) and ends
// the sweep. The body's own instance has collision radius 0 while it runs;
// the caller sets it afterwards as its table says. Game thread only.
#include <cstdint>

#include "engine/records.h"
#include "platform/types.h"

struct SweepRules {
  float radius;          // r
  float subSteps;        // k: sub-steps 1 + k |P - O| / r
  bool liquids;          // water, lava and sludge swallow the body
  int splashCount;       // sparks of a splash
  float pushThreshold;   // |d|^2 at or below which a push-out is ignored
  float spinFactor;      // spin x this at a bounce
  float restitution;     // the velocity x this is mirrored (0: random 1.0..1.1 per component)
  bool sticky;           // stop where a world polygon is first touched
  // Before the query of every sub-step (free-moving objects hurt the ship):
  // the sub-step point and the number of sub-steps.
  void (*beforeQuery)(void* context, const float point[3], int subSteps) = nullptr;
  void* context = nullptr;
};

enum class SweepResult {
  kMoved,    // the body ends at P, or was pushed out without a bounce
  kBounced,  // pushed out and its velocity mirrored
  kSank,     // fell into a liquid (splash and sound made): remove it
  kStuck,    // a sticky body came to rest at the sub-step point
};

struct SweepBody {
  float* position;  // in: P (already moved); out: where the body ends
  float* velocity;
  float* spin;
  Instance* instance;  // may be null
  DPID owner;          // of the splash
};

// from is O. Nothing is queried without a world.
SweepResult CollisionSweep(World* world, const float from[3], SweepBody body, const SweepRules& rules);
