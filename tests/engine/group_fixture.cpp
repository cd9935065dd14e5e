#include "tests/engine/group_fixture.h"

#include "engine/polygon_group.h"
#include "engine/vertex_pool.h"

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
