// Reading the path network's bodies inside "OBJECTS".
#include "engine/data_archive.h"
#include "engine/model_graph.h"
#include "engine/object_graph.h"

namespace {

int PathJunctionBody(PathJunction* junction) {
  return ArchiveReadInt(&junction->id) && ArchiveReadInt(&junction->code) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&junction->firstIn) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&junction->lastIn) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&junction->firstOut) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&junction->lastOut) &&
         ObjReadRecord<Model, ModelRead>(&junction->model) &&
         ObjReadRecord<PathJunction, PathJunctionRead>(&junction->prev) &&
         ObjReadRecord<PathJunction, PathJunctionRead>(&junction->next);
}

int ReadMask(std::uint32_t* mask) {
  int value;
  if (!ArchiveReadInt(&value)) return 0;
  *mask = static_cast<std::uint32_t>(value);
  return 1;
}

int PathSegmentBody(PathSegment* s) {
  return ArchiveReadInt(&s->id) && ArchiveReadFloat(&s->startTime) && ArchiveReadFloat(&s->endTime) &&
         ArchiveReadFloat(&s->duration) && ArchiveReadVec3(&s->velocity.x, &s->velocity.y, &s->velocity.z) &&
         ArchiveReadVec3(&s->angularVelocity.x, &s->angularVelocity.y, &s->angularVelocity.z) &&
         ArchiveReadInt(&s->code) && ReadMask(&s->selectPattern) && ReadMask(&s->selectMask) &&
         ObjReadRecord<PathJunction, PathJunctionRead>(&s->fromJunction) &&
         ObjReadRecord<PathJunction, PathJunctionRead>(&s->toJunction) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&s->prevOut) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&s->nextOut) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&s->prevIn) &&
         ObjReadRecord<PathSegment, PathSegmentRead>(&s->nextIn);
}

}  // namespace

int PathJunctionRead(PathJunction* junction) {
  return ModelGraphReadBody(junction, g_ModelGraph.junctions, PathJunctionBody);
}
int PathSegmentRead(PathSegment* segment) {
  return ModelGraphReadBody(segment, g_ModelGraph.segments, PathSegmentBody);
}
