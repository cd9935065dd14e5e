#pragma once
// Path networks: junctions joined by segments, read with their model
// (engine/model.h). A segment is a piece of motion with a duration, a linear
// velocity in the instance's own axes, an angular velocity and a range of
// animation time; an instance following it is moved, turned and posed along
// it, and at its end picks the next segment at the junction.
//
// Stored bodies inside "OBJECTS":
//   PathJunction: i32 id; i32 code; refs firstIn, lastIn, firstOut, lastOut
//                 (segments), model, prev, next (junctions)
//   PathSegment:  i32 id; floats startTime, endTime, duration; 3 floats
//                 velocity; 3 floats angularVelocity; i32 code; i32
//                 selectPattern; i32 selectMask; refs fromJunction,
//                 toJunction (junctions), prevOut, nextOut, prevIn, nextIn
//                 (segments)
#include "engine/records.h"

// Motion is integrated in steps of at most this many seconds.
inline constexpr float kPathIntegrationStep = 0.1f;
// Junctions one InstanceFollowPath call may pass: a loop of segments that
// take no time cannot hold the caller.
inline constexpr int kPathMaxJunctionsPerStep = 64;
// Integration steps one call may take (100 seconds of motion); time beyond
// that is not integrated.
inline constexpr int kPathMaxStepsPerCall = 1000;

// Takes the segment off its from-junction's outgoing and its to-junction's
// incoming list and frees it. Null-safe.
void PathSegmentFree(PathSegment* segment);

// 1 when the segment accepts an instance with this mask:
// (selectMask & mask) ^ selectPattern is all ones.
int PathSegmentAccepts(const PathSegment* segment, std::uint32_t mask);

// Advances the instance along its segment by seconds: moves and turns it,
// crosses junctions (queued choices first, oldest first, then the first
// outgoing segment that accepts its pathMask), spends the remaining time in
// the next segment, and sets animTime from its place in the segment; marks
// it dirty with matrixGiven 0. A segment of zero or negative duration is
// passed at once. With seconds <= 0 (or not finite) only animTime and the
// flags are set. Nothing for a null instance or one with no segment. Returns
// the segment after the step.
PathSegment* InstanceFollowPath(Instance* instance, float seconds);

// Appends a choice for the next junction (direction 1: an outgoing segment
// with that id, else an incoming one); the oldest is dropped when 16 are
// pending.
void InstanceQueuePathChoice(Instance* instance, int segmentId, int direction);
