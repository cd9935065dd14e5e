// Reading the path network's bodies inside "OBJECTS".
#include "engine/data_archive.h"
#include "engine/model_graph.h"
#include "engine/object_graph.h"

namespace {

int ReadMask(std::uint32_t* mask) {
  int value;
  if (!ArchiveReadInt(&value)) return 0;
  *mask = static_cast<std::uint32_t>(value);
  return 1;
}

}  // namespace

ObjBody PathJunctionRead(PathJunction* junction) {
  g_ModelGraph.junctions.push_back(junction);
  if (!ArchiveReadInt(&junction->id) || !ArchiveReadInt(&junction->code)) co_return 0;
  int ok = co_await ObjRef<PathSegment, PathSegmentRead>(&junction->firstIn);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&junction->lastIn);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&junction->firstOut);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&junction->lastOut);
  if (ok) ok = co_await ObjRef<Model, ModelRead>(&junction->model);
  if (ok) ok = co_await ObjRef<PathJunction, PathJunctionRead>(&junction->prev);
  if (ok) ok = co_await ObjRef<PathJunction, PathJunctionRead>(&junction->next);
  co_return ok;
}

ObjBody PathSegmentRead(PathSegment* s) {
  g_ModelGraph.segments.push_back(s);
  if (!ArchiveReadInt(&s->id) || !ArchiveReadFloat(&s->startTime) || !ArchiveReadFloat(&s->endTime) ||
      !ArchiveReadFloat(&s->duration) || !ArchiveReadVec3(&s->velocity.x, &s->velocity.y, &s->velocity.z) ||
      !ArchiveReadVec3(&s->angularVelocity.x, &s->angularVelocity.y, &s->angularVelocity.z) ||
      !ArchiveReadInt(&s->code) || !ReadMask(&s->selectPattern) || !ReadMask(&s->selectMask)) {
    co_return 0;
  }
  int ok = co_await ObjRef<PathJunction, PathJunctionRead>(&s->fromJunction);
  if (ok) ok = co_await ObjRef<PathJunction, PathJunctionRead>(&s->toJunction);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&s->prevOut);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&s->nextOut);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&s->prevIn);
  if (ok) ok = co_await ObjRef<PathSegment, PathSegmentRead>(&s->nextIn);
  co_return ok;
}
