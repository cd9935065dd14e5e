#pragma once
// The records of the level's objects that the document keeps
// (world/document/level_objects.cpp).
//
// Level words read there:
//   "animated_object"  instance property: frames per second of a looping
//                      keyframe animation of the instance
//   "total_frames"     its frame count (10 when absent)
//   "level"            a pick-up's difficulty digits: it exists only at a
//                      difficulty whose digit the text holds (network: 0)
//   "respawn.3ds"      a model whose instances are the respawn points
//   "spinning_clock_hh", "_mh", "_sh"  the groups of a clock's hands
//
// Rule for the instances that leave a running level: whoever deletes an
// instance first drops its animation records (CNetDoc::RemoveAnimatedObject),
// so no record points at a deleted instance. At a network level start and
// at a saved-game load alike, an "animated_object" instance that carries
// "static_object" stays with its record; the other instances that no
// object claims go.
#include <cstdint>
#include <ctime>

#include "engine/records.h"

struct AnimatedObject {
  Instance* instance;
  int32_t totalFrames;
  float frame;           // the pose: the instance's animation time
  float framesPerSecond;
  int32_t lastUpdate;    // game ms
};

// At most this much time (ms) advances an animation in one update.
inline constexpr int32_t kAnimationStepLimitMs = 500;

// True for an instance that a network start and a saved-game load keep
// (an "animated_object" with "static_object").
bool IsKeptAnimatedInstance(const Instance* instance);

// Where the spinning clocks read the local time; false when it can't be
// had (the clocks then stay). Tests may replace it (null: the computer's).
using LocalTimeSource = bool (*)(std::tm* out);
extern LocalTimeSource g_LocalTimeSource;
