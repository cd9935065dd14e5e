#include "tests/world/script_world.h"

#include "engine/bsp.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_polygon.h"

ScriptWorld::ScriptWorld() : world_(PoolNew<World>()) {
  VertexPoolInit(world_, 1);
  world_->bspRoot = BspNodeCreate(0.0f, 1.0f, 0.0f, 0.0f);
  world_->allClean = 1;
}

ScriptWorld::~ScriptWorld() { WorldFree(world_); }

PolygonGroup* ScriptWorld::Group(const std::string& name,
                                 const std::vector<std::pair<std::string, std::string>>& props) {
  PolygonGroup* group = GroupCreate(world_, name.c_str(), nullptr);
  for (const auto& [key, text] : props) PropSet(&group->props, NameHash(key.c_str()), text.c_str());
  return group;
}

WorldPolygon* ScriptWorld::Face(PolygonGroup* group, float x, float y, float z) {
  const float xs[] = {x, x + 10, x + 10, x};
  const float ys[] = {y, y, y + 10, y + 10};
  const float zs[] = {z, z, z, z};
  const float light[] = {1, 1, 1, 1};
  WorldPolygon* polygon = PolygonCreate(world_, -4, xs, ys, zs, light, nullptr);
  EXPECT_NE(polygon, nullptr);
  if (polygon) PolygonSetGroup(polygon, group, 0);
  // As a level load does: the group's centre from its faces.
  GroupComputeLocalCentre(group);
  return polygon;
}

WorldPolygon* ScriptWorld::Line(PolygonGroup* group, Vec3 from, Vec3 to) {
  const float xs[] = {from.x, to.x};
  const float ys[] = {from.y, to.y};
  const float zs[] = {from.z, to.z};
  const float light[] = {1, 1};
  WorldPolygon* polygon = PolygonCreate(world_, -2, xs, ys, zs, light, nullptr);
  EXPECT_NE(polygon, nullptr);
  if (polygon) PolygonSetGroup(polygon, group, 0);
  return polygon;
}

void ScriptWorld::WorldProperty(const std::string& name, const std::string& text) {
  PropSet(&world_->props, NameHash(name.c_str()), text.c_str());
}
