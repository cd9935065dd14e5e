// The demo level's surfaces: the software renderer takes a surface's origin
// as a point of its polygons' plane, so every textured polygon's surface
// must lie in that plane (a surface at the world origin would be mapped
// edge-on, or at the wrong depth, for every wall that does not pass
// through it).
#include <gtest/gtest.h>

#include <cmath>

#include "engine/bsp.h"
#include "engine/pool.h"
#include "engine/texture.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "tools/builder/demo_level.h"

namespace {

TEST(DemoLevelSurfaces, EverySurfaceLiesInThePlaneOfEachOfItsPolygons) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0, -1, 0, -100);
  DemoLevel level;
  BuildDemoLevel(world, &level);
  int textured = 0;
  for (WorldPolygon* p = world->firstPolygon; p; p = p->next) {
    if (!p->surface) continue;
    ++textured;
    const Vec3 o = p->surface->origin;
    const float distance = p->normal.x * o.x + p->normal.y * o.y + p->normal.z * o.z - p->d;
    EXPECT_NEAR(distance, 0.0f, 0.01f) << "polygon at " << p->vertices[0].x << "," << p->vertices[0].y << ","
                                       << p->vertices[0].z;
  }
  EXPECT_GT(textured, 80);
  WorldFree(world);
  FreeAllTextures();
}

}  // namespace
