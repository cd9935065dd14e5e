// Loading a world from the world member ("*.CCW").
#include <cstdint>
#include <cstring>

#include "engine/bsp.h"
#include "engine/data_archive.h"
#include "engine/depth_cue.h"
#include "engine/engine_error.h"
#include "engine/instance.h"
#include "engine/light.h"
#include "engine/object_graph.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/surface_mapping.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_internal.h"
#include "engine/world_polygon.h"

float g_FlatShadeLow = 0.0f;
float g_FlatShadeHigh = 1.0f;

namespace {

// What the world's instances may build, in bytes of instance nodes: a
// floor any level gets, and more for each byte of the member.
constexpr std::int64_t kInstanceBytesFloor = 64 << 20;
constexpr std::int64_t kInstanceBytesPerMemberByte = 256;

// The three scalars of the member, applied once the whole world is accepted,
// so that a failed load leaves the engine's settings as they were.
struct WorldSettings {
  float depthCueFar;
  float flatShadeLow;
  float flatShadeHigh;
};
WorldSettings g_ReadSettings;

// Every fragment vertex gets its texture coordinates from its polygon's
// surface, in repeats of the texture.
void WorldComputeTexCoords(World* world) {
  for (WorldPolygon* polygon = world->firstPolygon; polygon; polygon = polygon->next) {
    Surface* surface = polygon->surface;
    const Texture* texture = surface ? surface->texture : nullptr;
    const bool mapped = texture && texture->width > 0 && texture->height > 0;
    for (BspFragment* fragment = polygon->firstFragment; fragment; fragment = fragment->nextInPolygon) {
      for (int i = 0; i < fragment->vertexCount; ++i) {
        FragmentVertex& vertex = fragment->vertices[i];
        vertex.u = 0.0f;
        vertex.v = 0.0f;
        if (!mapped) continue;
        const Vec3 p = VertexPosition(world, vertex.vertex);
        int s, t;
        SurfaceTexelAtPoint(surface, p.x, p.y, p.z, &s, &t);
        vertex.u = static_cast<float>(s) / 65536.0f / static_cast<float>(texture->width);
        vertex.v = static_cast<float>(t) / 65536.0f / static_cast<float>(texture->height);
      }
    }
  }
}

}  // namespace

ObjBody WorldRead(World* world) {
  if (!PropReadList(&world->props)) co_return 0;
  int ok = co_await ObjRef<Light, LightRead>(&world->firstLight);
  if (ok) ok = co_await ObjRef<Light, LightRead>(&world->lastLight);
  if (ok) ok = co_await ObjRef<PolygonGroup, GroupRead>(&world->firstGroup);
  if (ok) ok = co_await ObjRef<PolygonGroup, GroupRead>(&world->lastGroup);
  if (ok) ok = co_await ObjRef<PolygonGroup, GroupRead>(&world->firstMover);
  if (ok) ok = co_await ObjRef<Surface, SurfaceRead>(&world->firstSurface);
  if (ok) ok = co_await ObjRef<Surface, SurfaceRead>(&world->lastSurface);
  if (ok) ok = co_await ObjRef<BspNode, BspNodeRead>(&world->bspRoot);
  if (!ok) co_return 0;
  if (!ArchiveReadFloat(&g_ReadSettings.depthCueFar) || !ArchiveReadFloat(&g_ReadSettings.flatShadeLow) ||
      !ArchiveReadFloat(&g_ReadSettings.flatShadeHigh)) {
    co_return 0;
  }
  if (!VertexPoolRead(world)) co_return 0;
  world->gridCount[0] = world->gridCount[1] = world->gridCount[2] = 0;
  world->allClean = 0;
  world->firstPolygon = world->lastPolygon = nullptr;
  world->firstLine = world->lastLine = nullptr;
  world->firstInstanceNode = world->lastInstanceNode = nullptr;
  world->firstParticle = world->lastParticle = nullptr;
  ok = co_await ObjRef<Instance, InstanceRead>(&world->firstInstance);
  if (ok) ok = co_await ObjRef<Instance, InstanceRead>(&world->lastInstance);
  if (!ok || !PolygonsRead(world)) co_return 0;
  world->firstSphereLight = world->lastSphereLight = nullptr;
  co_return 1;
}

int WorldLoad(World** out) {
  if (!out) return 0;
  *out = nullptr;
  World* world = nullptr;
  EngineSetError(kEngineErrorNone, 0);
  g_InstanceReadBudget = kInstanceBytesPerMemberByte * ArchiveMemberRemaining() + kInstanceBytesFloor;
  ObjTableReset();
  const int ok = ObjReadRecord<World, WorldRead>(&world) && world && WorldCheck(world);
  g_InstanceReadBudget = INT64_MAX;
  if (!ok) {
    // Every refusal above says what it found; this names what else failed.
    EngineRefuse(world ? "the world's records are damaged" : "the member holds no world");
    WorldDiscardRead(world);
    ObjTableFree();
    return 0;
  }
  ObjTableFree();
  for (PolygonGroup* group = world->firstGroup; group; group = group->next) GroupComputeLocalCentre(group);
  for (PolygonGroup* group = world->firstGroup; group; group = group->next) GroupRadius(group);
  WorldComputeTexCoords(world);
  DepthCueSet(0.0f, g_ReadSettings.depthCueFar);
  g_FlatShadeLow = g_ReadSettings.flatShadeLow;
  g_FlatShadeHigh = g_ReadSettings.flatShadeHigh;
  *out = world;
  return 1;
}
