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
// Junctions in a row that one InstanceFollowPath call may pass without
// spending time (a ring of segments that take none cannot hold the caller).
inline constexpr int kPathMaxIdleCrossings = 64;
// The work one InstanceFollowPath call may do: integration steps and
// junction crossings together. Over 38 days of motion in 0.1-second steps,
// so no frame of the game comes near it; it bounds a step through segments
// of a few microseconds.
inline constexpr long kPathMaxWorkPerCall = 1L << 25;

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
// it dirty with matrixGiven 0. The whole step is integrated however long.
// A segment of zero or negative duration is passed at once; after
// kPathMaxIdleCrossings such crossings in a row the rest of the step is
// dropped, with the instance and its path time at the junction. With
// seconds <= 0 (or not finite) only animTime and the flags are set. Nothing
// for a null instance or one with no segment. Returns the segment after the
// step.
PathSegment* InstanceFollowPath(Instance* instance, float seconds);
// InstanceFollowPath doing at most maxWork integration steps and junction
// crossings (InstanceFollowPath allows kPathMaxWorkPerCall). When the work
// runs out the rest of the step is dropped: the instance's path time stays
// where its position is, so the two never disagree.
PathSegment* InstanceFollowPathBounded(Instance* instance, float seconds, long maxWork);

// Appends a choice for the next junction (direction 1: an outgoing segment
// with that id, else an incoming one); the oldest is dropped when 16 are
// pending.
void InstanceQueuePathChoice(Instance* instance, int segmentId, int direction);
