// The stored form of a polygon group inside the world member.
#include "engine/data_archive.h"
#include "engine/group_internal.h"
#include "engine/matrix.h"
#include "engine/object_graph.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/world_internal.h"

ObjBody GroupRead(PolygonGroup* group) {
  MatrixSetIdentity(group->baseMatrix);
  MatrixSetIdentity(group->moverMatrix);
  MatrixSetIdentity(group->worldMatrix);
  group->callbackStamp = kStampNever;
  if (!PropReadList(&group->props) || !ArchiveReadString(&group->name)) co_return 0;
  if (!ObjReadEarlierRecord(&group->world)) co_return 0;
  PolygonGroup** links[] = {&group->prev,        &group->next,        &group->parent,
                            &group->prevSibling, &group->nextSibling, &group->firstChild,
                            &group->lastChild,   &group->prevMover,   &group->nextMover};
  for (PolygonGroup** link : links) {
    const int ok = co_await ObjRef<PolygonGroup, GroupRead>(link);
    if (!ok) co_return 0;
  }
  int type;
  if (!ArchiveReadInt(&type)) co_return 0;
  // Anything else would be taken for a mover that no operation knows.
  if (type < -kMoverRotate || type > kMoverRotate) co_return 0;
  group->moverType = type;
  int visible;
  if (!ArchiveReadFloat(&group->speed) || !ArchiveReadFloat(&group->position) ||
      !ArchiveReadVec3(&group->axis.x, &group->axis.y, &group->axis.z) ||
      !ArchiveReadVec3(&group->pivot.x, &group->pivot.y, &group->pivot.z) || !ArchiveReadFloat(&group->angle) ||
      !ArchiveReadFloats(group->moverMatrix, kMatrixElements) ||
      !ArchiveReadFloats(group->worldMatrix, kMatrixElements) || !ArchiveReadInt(&visible)) {
    co_return 0;
  }
  group->visible = visible != 0 ? 1 : 0;
  group->valid = 0;
  group->callback = nullptr;
  co_return 1;
}
