#include "engine/path.h"

#include <cmath>

#include "engine/intrusive_list.h"
#include "engine/matrix.h"
#include "engine/pool.h"

namespace {

// A segment's duration as the path code uses it: zero or negative (or not a
// number) is a segment passed at once.
float Duration(const PathSegment* segment) { return segment->duration > 0.0f ? segment->duration : 0.0f; }

// Moves and turns the instance through seconds of the segment's motion, in
// steps of kPathIntegrationStep and a last shorter one, while work is left
// (one unit a step). Returns the seconds integrated: all of them, unless the
// work ran out first.
float Integrate(Instance* instance, const PathSegment* segment, float seconds, long* work) {
  if (!(seconds > 0.0f)) return seconds;
  Matrix saved;
  MatrixGet(saved);
  // In double, so that a long step loses nothing to rounding on the way; a
  // tolerance keeps float leftovers (0.3 - 3 x 0.1) from adding a step.
  double remaining = seconds;
  while (remaining > 1e-6 && *work > 0) {
    const float h = remaining > kPathIntegrationStep + 1e-6 ? kPathIntegrationStep : static_cast<float>(remaining);
    remaining -= h;
    --*work;
    instance->angleX += segment->angularVelocity.x * h;
    instance->angleY += segment->angularVelocity.y * h;
    instance->angleZ += segment->angularVelocity.z * h;
    MatrixIdentity();
    MatrixRotateZ(instance->angleZ);
    MatrixRotateX(instance->angleX);
    MatrixRotateY(instance->angleY);
    float dx, dy, dz;
    MatrixTransformPoint(segment->velocity.x * h, segment->velocity.y * h, segment->velocity.z * h, &dx, &dy, &dz);
    instance->x += dx;
    instance->y += dy;
    instance->z += dz;
  }
  MatrixLoad(saved);
  return remaining > 1e-6 ? static_cast<float>(seconds - remaining) : seconds;
}

PathSegment* FindOutgoing(const PathJunction* junction, int id) {
  for (PathSegment* s = junction->firstOut; s; s = s->nextOut) {
    if (s->id == id) return s;
  }
  return nullptr;
}

PathSegment* FindIncoming(const PathJunction* junction, int id) {
  for (PathSegment* s = junction->firstIn; s; s = s->nextIn) {
    if (s->id == id) return s;
  }
  return nullptr;
}

// The segment to take at the junction: pending choices oldest first (each
// one consumed whether found or not), else the first eligible outgoing one.
PathSegment* ChooseAtJunction(Instance* instance, const PathJunction* junction, int* direction) {
  if (instance->queueCount > kPathChoiceCount) instance->queueCount = kPathChoiceCount;
  while (instance->queueCount > 0) {
    const unsigned slot =
        (static_cast<unsigned>(instance->queueEnd) - static_cast<unsigned>(instance->queueCount)) % kPathChoiceCount;
    --instance->queueCount;
    const int id = instance->queueIds[slot];
    const int choice = instance->queueDirections[slot];
    PathSegment* found = choice == 1 ? FindOutgoing(junction, id) : FindIncoming(junction, id);
    if (found) {
      *direction = choice;
      return found;
    }
  }
  for (PathSegment* s = junction->firstOut; s; s = s->nextOut) {
    if (PathSegmentAccepts(s, instance->pathMask)) {
      *direction = 1;
      return s;
    }
  }
  return nullptr;
}

}  // namespace

void PathSegmentFree(PathSegment* segment) {
  if (!segment) return;
  if (PathJunction* from = segment->fromJunction) {
    ListUnlink(from->firstOut, from->lastOut, segment, &PathSegment::prevOut, &PathSegment::nextOut);
  }
  if (PathJunction* to = segment->toJunction) {
    ListUnlink(to->firstIn, to->lastIn, segment, &PathSegment::prevIn, &PathSegment::nextIn);
  }
  PoolDelete(segment);
}

int PathSegmentAccepts(const PathSegment* segment, std::uint32_t mask) {
  return ((segment->selectMask & mask) ^ segment->selectPattern) == 0xFFFFFFFFu ? 1 : 0;
}

PathSegment* InstanceFollowPath(Instance* instance, float seconds) {
  return InstanceFollowPathBounded(instance, seconds, kPathMaxWorkPerCall);
}

PathSegment* InstanceFollowPathBounded(Instance* instance, float seconds, long maxWork) {
  if (!instance || !instance->pathSegment) return nullptr;
  float dt = std::isfinite(seconds) ? seconds : 0.0f;
  long work = maxWork;
  int idleCrossings = 0;
  while (dt > 0.0f) {
    const PathSegment* segment = instance->pathSegment;
    const float duration = Duration(segment);
    const float entered = instance->pathTime;
    const bool forward = instance->pathDirection == 1;
    const PathJunction* next = nullptr;
    float rest;
    if (forward) {
      instance->pathTime += dt;
      rest = instance->pathTime - duration;
      if (rest >= 0.0f) {
        next = segment->toJunction;
      } else {
        rest = 0.0f;
      }
    } else {
      instance->pathTime -= dt;
      rest = -instance->pathTime;
      if (rest >= 0.0f) {
        next = segment->fromJunction;
      } else {
        rest = 0.0f;
      }
    }
    const float spent = dt - rest;
    const float moved = Integrate(instance, segment, spent, &work);
    if (moved < spent) {
      // Out of work: the path time goes only as far as the instance did.
      instance->pathTime = forward ? entered + moved : entered - moved;
      break;
    }
    if (!next) break;
    // Crossings that spend no time (a ring of segments that take none) are
    // counted, so that such a ring cannot hold the caller; and every
    // crossing is work. Stopping here leaves the instance at the junction
    // with its path time there too.
    idleCrossings = spent > 0.0f ? 0 : idleCrossings + 1;
    if (idleCrossings > kPathMaxIdleCrossings || work-- <= 0) {
      instance->pathTime = forward ? duration : 0.0f;
      break;
    }
    int direction = 1;
    PathSegment* chosen = ChooseAtJunction(instance, next, &direction);
    if (!chosen) break;  // rests at the junction
    instance->pathSegment = chosen;
    instance->pathDirection = direction;
    instance->pathTime = direction == 1 ? 0.0f : Duration(chosen);
    dt = rest;
  }
  const PathSegment* segment = instance->pathSegment;
  const float duration = Duration(segment);
  if (duration > 0.0f) {
    instance->animTime = segment->startTime + (instance->pathTime / duration) * (segment->endTime - segment->startTime);
  } else {
    // A segment that takes no time is always at the end it was entered for.
    instance->animTime = instance->pathDirection == 1 ? segment->endTime : segment->startTime;
  }
  instance->dirty = 1;
  instance->matrixGiven = 0;
  return instance->pathSegment;
}

void InstanceQueuePathChoice(Instance* instance, int segmentId, int direction) {
  if (!instance) return;
  const unsigned slot = static_cast<unsigned>(instance->queueEnd) % kPathChoiceCount;
  instance->queueIds[slot] = segmentId;
  instance->queueDirections[slot] = direction;
  instance->queueEnd = static_cast<int>((slot + 1) % kPathChoiceCount);
  if (instance->queueCount < kPathChoiceCount) ++instance->queueCount;
}
