// Freeing a world, and the library-wide records at program end.
#include "engine/bsp.h"
#include "engine/instance.h"
#include "engine/light.h"
#include "engine/model.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_polygon.h"

namespace {

void FreeGrid(World* world) {
  const long long cells =
      static_cast<long long>(world->gridCount[0]) * world->gridCount[1] * static_cast<long long>(world->gridCount[2]);
  if (cells > 0 && cells <= 0x7FFFFFFF / static_cast<long long>(sizeof(void*))) {
    const int n = static_cast<int>(cells);
    if (world->gridCellLists && world->gridCellCounts) {
      for (int i = 0; i < n; ++i) {
        if (world->gridCellCounts[i] > 0 && world->gridCellLists[i]) {
          PoolFree(world->gridCellLists[i], world->gridCellCounts[i] * static_cast<int>(sizeof(void*)));
        }
      }
    }
    PoolFree(world->gridCellLists, n * static_cast<int>(sizeof(void*)));
    PoolFree(world->gridCellCounts, n * static_cast<int>(sizeof(std::int16_t)));
  }
  world->gridCellLists = nullptr;
  world->gridCellCounts = nullptr;
  world->gridCount[0] = world->gridCount[1] = world->gridCount[2] = 0;
}

}  // namespace

void WorldFree(World* world) {
  if (!world) return;
  PropFreeList(&world->props);
  FreeGrid(world);
  // Particles before the BSP: their links sit in its nodes.
  while (world->firstParticle) ParticleDelete(world->firstParticle);
  BspNodeFree(world->bspRoot);
  world->bspRoot = nullptr;
  while (world->firstPolygon) PolygonDelete(world->firstPolygon);
  // Instances free their own nodes; whatever node is left on the world's
  // list after them belongs to no instance and goes on its own.
  while (world->firstInstance) InstanceDelete(world->firstInstance);
  while (world->firstInstanceNode) InstanceNodeFree(world->firstInstanceNode);
  while (world->firstLight) LightDelete(world->firstLight);
  while (world->firstSphereLight) LightDelete(world->firstSphereLight);
  while (world->firstGroup) GroupDelete(world->firstGroup);
  // Surfaces go with the last polygon holding them; one that no polygon
  // held (or that a caller still holds) would otherwise outlive the world.
  while (Surface* surface = world->firstSurface) {
    surface->refs = 1;
    SurfaceRelease(surface);
  }
  VertexPoolFree(world);
  PoolDelete(world);
}

void EngineFreeAll() {
  while (g_ModelListHead) ModelFree(g_ModelListHead);
  FreeAllTextures();
  PropFreeList(&g_LibraryProperties);
}
