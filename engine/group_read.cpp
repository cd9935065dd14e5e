// The stored form of a polygon group inside the world member.
#include "engine/data_archive.h"
#include "engine/group_internal.h"
#include "engine/matrix.h"
#include "engine/object_graph.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_internal.h"

int GroupRead(PolygonGroup* group) {
  ReadNestingGuard guard;
  if (guard.TooDeep()) return 0;
  MatrixSetIdentity(group->baseMatrix);
  MatrixSetIdentity(group->moverMatrix);
  MatrixSetIdentity(group->worldMatrix);
  group->callbackStamp = kStampNever;
  if (!PropReadList(&group->props) || !ArchiveReadString(&group->name)) return 0;
  if (!ObjReadRecord<World, RefuseNewRecord<World>>(&group->world)) return 0;
  PolygonGroup** links[] = {&group->prev,        &group->next,        &group->parent,
                            &group->prevSibling, &group->nextSibling, &group->firstChild,
                            &group->lastChild,   &group->prevMover,   &group->nextMover};
  for (PolygonGroup** link : links) {
    if (!ObjReadRecord<PolygonGroup, GroupRead>(link)) return 0;
  }
  int type;
  if (!ArchiveReadInt(&type)) return 0;
  // Anything else would be taken for a mover that no operation knows.
  if (type < -kMoverRotate || type > kMoverRotate) return 0;
  group->moverType = type;
  if (!ArchiveReadFloat(&group->speed) || !ArchiveReadFloat(&group->position)) return 0;
  if (!ArchiveReadVec3(&group->axis.x, &group->axis.y, &group->axis.z)) return 0;
  if (!ArchiveReadVec3(&group->pivot.x, &group->pivot.y, &group->pivot.z)) return 0;
  if (!ArchiveReadFloat(&group->angle)) return 0;
  if (!ArchiveReadFloats(group->moverMatrix, kMatrixElements)) return 0;
  if (!ArchiveReadFloats(group->worldMatrix, kMatrixElements)) return 0;
  int visible;
  if (!ArchiveReadInt(&visible)) return 0;
  group->visible = visible != 0 ? 1 : 0;
  group->valid = 0;
  group->callback = nullptr;
  return 1;
}
