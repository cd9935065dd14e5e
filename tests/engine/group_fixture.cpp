#include "tests/engine/group_fixture.h"

#include <cstring>

#include "engine/group_internal.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/vertex_pool.h"

PolygonGroup* TestGroupCreate(World* world, const char* name, PolygonGroup* parent) {
  PolygonGroup* group = PoolNew<PolygonGroup>();
  const int size = static_cast<int>(std::strlen(name)) + 1;
  group->name = static_cast<char*>(PoolAlloc(size));
  std::memcpy(group->name, name, size);
  group->world = world;
  GroupMatrixIdentity(group->baseMatrix);
  GroupMatrixIdentity(group->moverMatrix);
  GroupMatrixIdentity(group->worldMatrix);
  group->visible = 1;
  group->prev = world->lastGroup;
  if (world->lastGroup) {
    world->lastGroup->next = group;
  } else {
    world->firstGroup = group;
  }
  world->lastGroup = group;
  world->allClean = 0;
  if (parent) GroupSetParent(group, parent, 0);
  return group;
}

WorldPolygon* TestGroupPolygon(PolygonGroup* group, const std::vector<Vec3>& points) {
  WorldPolygon* polygon = TestPolygon(group->world, points, -1);
  PolygonSetGroup(polygon, group, 0);
  GroupInvalidate(group);
  return polygon;
}

std::vector<Vec3> FragmentPoints(const WorldPolygon* polygon) {
  std::vector<Vec3> points;
  for (const BspFragment* f = polygon->firstFragment; f; f = f->nextInPolygon) {
    for (int i = 0; i < f->vertexCount; ++i) points.push_back(VertexPosition(polygon->world, f->vertices[i].vertex));
  }
  return points;
}

int FragmentCount(const WorldPolygon* polygon) {
  int count = 0;
  for (const BspFragment* f = polygon->firstFragment; f; f = f->nextInPolygon) ++count;
  return count;
}
