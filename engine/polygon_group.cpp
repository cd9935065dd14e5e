#include "engine/polygon_group.h"

#include "engine/bsp.h"
#include "engine/pool.h"
#include "engine/world_polygon.h"

namespace {

void GroupTableRemove(PolygonGroup* group, WorldPolygon* polygon) {
  int index = polygon->groupIndex;
  // A table damaged by bad data must not let the wrong slot be overwritten.
  if (index < 0 || index >= group->polygonCount || group->polygons[index] != polygon) {
    index = -1;
    for (int i = 0; i < group->polygonCount; ++i) {
      if (group->polygons[i] == polygon) index = i;
    }
    if (index < 0) return;
  }
  const int last = group->polygonCount - 1;
  group->polygons[index] = group->polygons[last];
  group->polygons[index]->groupIndex = index;
  group->polygons[last] = nullptr;
  group->polygonCount = last;
}

void GroupTableAppend(PolygonGroup* group, WorldPolygon* polygon) {
  if (group->polygonCount >= group->polygonCapacity) {
    const int pointer = static_cast<int>(sizeof(WorldPolygon*));
    const int grown = group->polygonCapacity + kGroupTableGrowth;
    group->polygons =
        static_cast<WorldPolygon**>(PoolRealloc(group->polygons, group->polygonCapacity * pointer, grown * pointer));
    group->polygonCapacity = grown;
  }
  polygon->groupIndex = group->polygonCount;
  group->polygons[group->polygonCount++] = polygon;
}

}  // namespace

int PolygonSetGroup(WorldPolygon* polygon, PolygonGroup* group, int reinsert) {
  if (!polygon) return 0;
  if (polygon->group != group) {
    if (polygon->group) GroupTableRemove(polygon->group, polygon);
    polygon->group = group;
    polygon->groupIndex = 0;
    if (group) GroupTableAppend(group, polygon);
  }
  if (reinsert) {
    PolygonUpdateWorldPlane(polygon);
    if (polygon->world) BspInsertPolygon(polygon->world->bspRoot, polygon);
  }
  return 1;
}
