#include "tests/engine/world_fixture.h"

#include <cstring>

#include "engine/bsp.h"
#include "engine/light.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/surface.h"
#include "engine/vertex_pool.h"
#include "engine/world_polygon.h"

World* TestWorldCreate(BspNode* root) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = root;
  world->allClean = 1;
  return world;
}

void TestWorldFree(World* world) {
  if (!world) return;
  while (world->firstGroup) GroupDelete(world->firstGroup);
  while (world->firstPolygon) PolygonDelete(world->firstPolygon);
  BspNodeFree(world->bspRoot);
  world->bspRoot = nullptr;
  while (world->firstLight) LightDelete(world->firstLight);
  while (world->firstSphereLight) LightDelete(world->firstSphereLight);
  while (world->firstParticle) ParticleDelete(world->firstParticle);
  // Surfaces the test still holds references to.
  while (Surface* surface = world->firstSurface) {
    surface->refs = 1;
    SurfaceRelease(surface);
  }
  VertexPoolFree(world);
  PoolDelete(world);
}

Texture* TestTextureCreate(const char* name, int width, int height) {
  Texture* texture = PoolNew<Texture>();
  texture->refs = 1;
  const int size = static_cast<int>(std::strlen(name)) + 1;
  texture->name = static_cast<char*>(PoolAlloc(size));
  std::memcpy(texture->name, name, size);
  texture->width = width;
  texture->height = height;
  texture->archiveOffset = -1;
  texture->hardwareSlot = kTextureNoHardwareSlot;
  return texture;
}

void TestTextureFree(Texture* texture) {
  PoolFree(texture->name, static_cast<int>(std::strlen(texture->name)) + 1);
  PoolDelete(texture);
}

WorldPolygon* TestPolygon(World* world, const std::vector<Vec3>& points, int sign, Surface* surface) {
  std::vector<float> x, y, z, light;
  for (const Vec3& p : points) {
    x.push_back(p.x);
    y.push_back(p.y);
    z.push_back(p.z);
    light.push_back(1.0f);
  }
  return PolygonCreate(world, sign * static_cast<int>(points.size()), x.data(), y.data(), z.data(), light.data(),
                       surface);
}

std::vector<Vec3> RectXY(float x0, float y0, float x1, float y1, float z) {
  return {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
}

int BspSubtreeSize(const BspNode* node) {
  if (!node) return 0;
  return 1 + BspSubtreeSize(node->front) + BspSubtreeSize(node->back);
}

int PoolRefs(const World* world, int index) { return world->vertexPool.refCount[index]; }

void WorldTest::SetUp() {
  root_ = BspNodeCreate(0.0f, 0.0f, 1.0f, 0.0f);
  world_ = TestWorldCreate(root_);
}

void WorldTest::TearDown() { TestWorldFree(world_); }
