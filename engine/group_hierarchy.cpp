// Polygon groups: finding, walking, visibility, the hierarchy, deletion,
// invalidation and the centre and radius.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "engine/group_internal.h"
#include "engine/intrusive_list.h"
#include "engine/matrix.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"

PolygonGroup* GroupCreate(World* world, const char* name, PolygonGroup* parent) {
  if (!world || !name) return nullptr;
  PolygonGroup* group = PoolNew<PolygonGroup>();
  const int size = static_cast<int>(std::strlen(name)) + 1;
  group->name = static_cast<char*>(PoolAlloc(size));
  std::memcpy(group->name, name, static_cast<size_t>(size));
  group->world = world;
  MatrixSetIdentity(group->baseMatrix);
  MatrixSetIdentity(group->moverMatrix);
  MatrixSetIdentity(group->worldMatrix);
  group->visible = 1;
  group->callbackStamp = kStampNever;
  ListAppend(world->firstGroup, world->lastGroup, group, &PolygonGroup::prev, &PolygonGroup::next);
  world->allClean = 0;
  if (parent && parent->world == world) GroupSetParent(group, parent, 0);
  return group;
}

PolygonGroup* GroupFindByName(World* world, const char* name) {
  if (!world || !name) return nullptr;
  for (PolygonGroup* group = world->firstGroup; group; group = group->next) {
    if (group->name && std::strcmp(group->name, name) == 0) return group;
  }
  return nullptr;
}

PolygonGroup* GroupFirst(World* world) { return world ? world->firstGroup : nullptr; }

PolygonGroup* GroupNext(PolygonGroup* group) { return group ? group->next : nullptr; }

WorldPolygon* GroupFirstPolygon(PolygonGroup* group) {
  if (!group || group->polygonCount <= 0) return nullptr;
  return group->polygons[0];
}

WorldPolygon* GroupNextPolygon(WorldPolygon* polygon) {
  if (!polygon) return nullptr;
  const PolygonGroup* group = polygon->group;
  if (!group) return polygon->next;
  const int next = polygon->groupIndex + 1;
  return next < group->polygonCount ? group->polygons[next] : nullptr;
}

void GroupSetCallback(PolygonGroup* group, GroupCallback callback) {
  if (group) group->callback = callback;
}

void GroupInvalidate(PolygonGroup* group) {
  if (!group || !group->valid) return;
  group->valid = 0;
  if (group->world) group->world->allClean = 0;
  for (PolygonGroup* child = group->firstChild; child; child = child->nextSibling) GroupInvalidate(child);
}

void GroupHide(PolygonGroup* group, int recursive) {
  if (!group || !group->visible) return;
  group->visible = 0;
  GroupInvalidate(group);
  if (!recursive) return;
  for (PolygonGroup* child = group->firstChild; child; child = child->nextSibling) GroupHide(child, 1);
}

void GroupShow(PolygonGroup* group, int recursive) {
  if (!group || group->visible) return;
  group->visible = 1;
  GroupInvalidate(group);
  if (!recursive) return;
  for (PolygonGroup* child = group->firstChild; child; child = child->nextSibling) GroupShow(child, 1);
}

int GroupIsVisible(PolygonGroup* group) { return group && group->visible ? 1 : 0; }

void GroupSetParent(PolygonGroup* group, PolygonGroup* parent, int keep) {
  if (!group) return;
  // A group under itself would make every walk of the hierarchy endless.
  if (TreeIsSelfOrBelow(group, parent)) return;
  if (!keep) {
    MatrixSetIdentity(group->baseMatrix);
  } else {
    // Keep the world placement: the rebuild gives base x mover x parent's
    // world, so base = world x inverse(mover x parent's world).
    Matrix saved;
    MatrixGet(saved);
    MatrixLoad(group->moverMatrix);
    if (parent) MatrixMultiply(parent->worldMatrix);
    MatrixInvert();
    Matrix inverse;
    MatrixGet(inverse);
    MatrixLoad(group->worldMatrix);
    MatrixMultiply(inverse);
    MatrixGet(group->baseMatrix);
    MatrixLoad(saved);
  }
  // Re-parenting under the same parent keeps the group's place among its
  // siblings.
  if (group->parent != parent) TreeSetParent(group, parent);
  GroupInvalidate(group);
}

void GroupDelete(PolygonGroup* group) {
  if (!group) return;
  World* world = group->world;
  GroupStopMover(group);
  GroupForgetPendingCallbacks(group);
  PropFreeList(&group->props);
  // Its polygons stay in the world, ungrouped, where their own coordinates
  // put them (world plane and BSP again). PolygonSetGroup(null) moves the
  // table's last polygon into the emptied slot, so take them from the end.
  while (group->polygonCount > 0) PolygonSetGroup(group->polygons[group->polygonCount - 1], nullptr, 1);
  while (group->firstChild) GroupSetParent(group->firstChild, nullptr, 0);
  TreeDetach(group);
  if (world) ListUnlink(world->firstGroup, world->lastGroup, group, &PolygonGroup::prev, &PolygonGroup::next);
  if (group->polygons) PoolFree(group->polygons, group->polygonCapacity * static_cast<int>(sizeof(WorldPolygon*)));
  if (group->name) PoolFree(group->name, static_cast<int>(std::strlen(group->name)) + 1);
  PoolDelete(group);
}

void GroupGetCentre(PolygonGroup* group, float* x, float* y, float* z) {
  if (!group) return;
  if (x) *x = group->worldCentre.x;
  if (y) *y = group->worldCentre.y;
  if (z) *z = group->worldCentre.z;
}

void GroupComputeCentre(PolygonGroup* group, float* x, float* y, float* z) {
  if (!group) return;
  double sx = 0.0, sy = 0.0, sz = 0.0;
  int count = 0;
  for (int i = 0; i < group->polygonCount; ++i) {
    const WorldPolygon* polygon = group->polygons[i];
    if (polygon->vertexCount <= 2) continue;
    for (int k = 0; k < polygon->vertexCount; ++k) {
      sx += polygon->vertices[k].x;
      sy += polygon->vertices[k].y;
      sz += polygon->vertices[k].z;
      ++count;
    }
  }
  const double scale = count > 0 ? 1.0 / count : 0.0;
  if (x) *x = static_cast<float>(sx * scale);
  if (y) *y = static_cast<float>(sy * scale);
  if (z) *z = static_cast<float>(sz * scale);
}

float GroupRadius(PolygonGroup* group) {
  if (!group) return 0.0f;
  Vec3 lo = {FLT_MAX, FLT_MAX, FLT_MAX};
  Vec3 hi = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  bool any = false;
  for (int i = 0; i < group->polygonCount; ++i) {
    const WorldPolygon* polygon = group->polygons[i];
    for (int k = 0; k < polygon->vertexCount; ++k) {
      const PolygonVertex& v = polygon->vertices[k];
      lo = {std::fmin(lo.x, v.x), std::fmin(lo.y, v.y), std::fmin(lo.z, v.z)};
      hi = {std::fmax(hi.x, v.x), std::fmax(hi.y, v.y), std::fmax(hi.z, v.z)};
      any = true;
    }
  }
  float radius = 0.0f;
  if (any) {
    const float dx = hi.x - lo.x, dy = hi.y - lo.y, dz = hi.z - lo.z;
    radius = 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
  }
  for (PolygonGroup* child = group->firstChild; child; child = child->nextSibling) {
    radius = std::fmax(radius, GroupRadius(child));
  }
  group->radius = radius;
  return radius;
}

void GroupComputeLocalCentre(PolygonGroup* group) {
  if (!group) return;
  Vec3 mean = {0.0f, 0.0f, 0.0f};
  Vec3 value = {0.0f, 0.0f, 0.0f};
  for (int i = 0; i < group->polygonCount; ++i) {
    const WorldPolygon* polygon = group->polygons[i];
    if (polygon->vertexCount > 2) {
      Vec3 sum = {0.0f, 0.0f, 0.0f};
      for (int k = 0; k < polygon->vertexCount; ++k) {
        sum.x += polygon->vertices[k].x;
        sum.y += polygon->vertices[k].y;
        sum.z += polygon->vertices[k].z;
      }
      const float inverse = 1.0f / static_cast<float>(polygon->vertexCount);
      value = {sum.x * inverse, sum.y * inverse, sum.z * inverse};
    }
    // Running mean: mean_n = mean_(n-1) + (value - mean_(n-1)) / n.
    const float weight = 1.0f / static_cast<float>(i + 1);
    mean = {mean.x + (value.x - mean.x) * weight, mean.y + (value.y - mean.y) * weight,
            mean.z + (value.z - mean.z) * weight};
  }
  group->localCentre = mean;
}
