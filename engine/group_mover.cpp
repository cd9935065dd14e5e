// Polygon groups: movers, the per-update advance, the matrices and the
// rebuild into the BSP.
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/bsp.h"
#include "engine/bsp_fragment.h"
#include "engine/group_internal.h"
#include "engine/intrusive_list.h"
#include "engine/matrix.h"
#include "engine/polygon_group.h"
#include "engine/polygon_math.h"
#include "engine/world_polygon.h"

namespace {

// The mover-end callbacks of the WorldUpdate calls in progress (a callback
// may itself call WorldUpdate, so they form a chain). GroupDelete clears a
// freed group's entries so that no callback reaches a freed group.
struct PendingCallbacks {
  std::vector<PolygonGroup*> groups;
  PendingCallbacks* outer;
};
PendingCallbacks* g_PendingCallbacks = nullptr;

bool HasMover(const PolygonGroup* group) { return group->moverType != kMoverNone; }

// The running list keeps no tail: movers start at its head.
void UnlinkMover(PolygonGroup* group) {
  if (World* world = group->world) {
    ListUnlink(world->firstMover, group, &PolygonGroup::prevMover, &PolygonGroup::nextMover);
  }
}

// The mover's transform for the current position (no mover: left as it is).
void GroupComputeMoverMatrix(PolygonGroup* group) {
  const int type = group->moverType < 0 ? -group->moverType : group->moverType;
  if (type == kMoverSlide) {
    MatrixSetIdentity(group->moverMatrix);
    group->moverMatrix[12] = group->axis.x * group->position;
    group->moverMatrix[13] = group->axis.y * group->position;
    group->moverMatrix[14] = group->axis.z * group->position;
  } else if (type == kMoverRotate) {
    const float angle = (group->angle == 0.0f ? kFullTurn : group->angle) * group->position;
    MatrixIdentity();
    MatrixTranslate(-group->pivot.x, -group->pivot.y, -group->pivot.z);
    MatrixRotateAxis(group->axis.x, group->axis.y, group->axis.z, angle);
    MatrixTranslate(group->pivot.x, group->pivot.y, group->pivot.z);
    MatrixGet(group->moverMatrix);
  }
}

// Matrices, centre, planes and BSP insertion of the group and all its
// children. The caller saves and restores the current matrix.
void GroupComputeMatrix(PolygonGroup* group) {
  GroupComputeMoverMatrix(group);
  MatrixLoad(group->baseMatrix);
  MatrixMultiply(group->moverMatrix);
  if (group->parent) MatrixMultiply(group->parent->worldMatrix);
  MatrixGet(group->worldMatrix);
  group->worldCentre = polymath::MapPoint(group->worldMatrix, group->localCentre);
  BspNode* root = group->world ? group->world->bspRoot : nullptr;
  for (int i = 0; i < group->polygonCount; ++i) {
    WorldPolygon* polygon = group->polygons[i];
    PolygonUpdateWorldPlane(polygon);
    BspInsertPolygon(root, polygon);
  }
  for (PolygonGroup* child = group->firstChild; child; child = child->nextSibling) GroupComputeMatrix(child);
  group->valid = 1;
}

}  // namespace

void GroupForgetPendingCallbacks(const PolygonGroup* group) {
  for (PendingCallbacks* pending = g_PendingCallbacks; pending; pending = pending->outer) {
    for (PolygonGroup*& entry : pending->groups) {
      if (entry == group) entry = nullptr;
    }
  }
}

void GroupStopMover(PolygonGroup* group) {
  if (!group || group->moverType <= 0) return;
  UnlinkMover(group);
  group->moverType = -group->moverType;
}

void GroupStartMover(PolygonGroup* group) {
  if (!group || group->moverType >= 0 || !group->world) return;
  World* world = group->world;
  group->moverType = -group->moverType;
  group->prevMover = nullptr;
  group->nextMover = world->firstMover;
  if (world->firstMover) world->firstMover->prevMover = group;
  world->firstMover = group;
}

void GroupSetSlideMover(PolygonGroup* group, float dx, float dy, float dz, float speed, float position) {
  if (!group) return;
  GroupStopMover(group);
  group->axis = {dx, dy, dz};
  group->speed = speed;
  group->position = position;
  group->moverType = -kMoverSlide;
  GroupInvalidate(group);
}

void GroupSetRotateMover(PolygonGroup* group, float px, float py, float pz, float ax, float ay, float az, float angle,
                         float speed, float position) {
  if (!group) return;
  GroupStopMover(group);
  group->pivot = {px, py, pz};
  group->axis = {ax, ay, az};
  group->angle = angle;
  group->speed = speed;
  group->position = position;
  group->moverType = -kMoverRotate;
  GroupInvalidate(group);
}

int GroupSetMoverState(PolygonGroup* group, float position, float speed) {
  if (!group || !HasMover(group)) return 0;
  group->position = position;
  group->speed = speed;
  GroupInvalidate(group);
  GroupStopMover(group);
  return 1;
}

int GroupGetMoverState(PolygonGroup* group, float* position, float* speed) {
  if (!group || !HasMover(group)) return 0;
  if (position) *position = group->position;
  if (speed) *speed = group->speed;
  return 1;
}

int GroupIsMoving(PolygonGroup* group) { return group && group->moverType > 0 ? 1 : 0; }

void WorldUpdateMovers(World* world, float seconds) {
  if (!world || !(seconds > 0.0f)) return;
  PendingCallbacks pending{{}, g_PendingCallbacks};
  // Nothing below calls out of the engine, so the running list cannot change
  // under the walk except by this loop's own unlinking.
  PolygonGroup* next = nullptr;
  for (PolygonGroup* group = world->firstMover; group; group = next) {
    next = group->nextMover;
    group->position += seconds * group->speed;
    if (group->moverType == kMoverRotate && group->angle == 0.0f) {
      group->position -= std::floor(group->position);
      GroupInvalidate(group);
      continue;
    }
    if (group->position < 0.0f) group->position = 0.0f;
    if (group->position > 1.0f) group->position = 1.0f;
    GroupInvalidate(group);
    if ((group->position == 0.0f && group->speed < 0.0f) || (group->position == 1.0f && group->speed > 0.0f)) {
      GroupStopMover(group);
      if (group->callback) pending.groups.push_back(group);
    }
  }
  if (pending.groups.empty()) return;
  g_PendingCallbacks = &pending;
  for (size_t i = 0; i < pending.groups.size(); ++i) {
    PolygonGroup* group = pending.groups[i];
    // Cleared when an earlier callback deleted the group; the callback is
    // read again in case one of them replaced or removed it.
    if (group && group->callback) group->callback(group, kGroupMoverEnded);
  }
  g_PendingCallbacks = pending.outer;
}

void WorldRebuildGroups(World* world) {
  if (!world) return;
  for (PolygonGroup* group = world->firstGroup; group; group = group->next) {
    if (group->valid) continue;
    for (int i = 0; i < group->polygonCount; ++i) {
      WorldPolygon* polygon = group->polygons[i];
      while (polygon->firstFragment) FragmentFree(polygon->firstFragment, 1);
    }
  }
  Matrix saved;
  MatrixGet(saved);
  for (PolygonGroup* group = world->firstGroup; group; group = group->next) {
    if (group->valid) continue;
    PolygonGroup* top = group;
    while (top->parent && !top->parent->valid) top = top->parent;
    GroupComputeMatrix(top);
  }
  MatrixLoad(saved);
  world->allClean = 1;
}
