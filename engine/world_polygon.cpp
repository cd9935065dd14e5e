#include "engine/world_polygon.h"

#include <cstdlib>

#include "engine/bsp.h"
#include "engine/bsp_fragment.h"
#include "engine/bsp_node_index.h"
#include "engine/collision.h"
#include "engine/engine_error.h"
#include "engine/intrusive_list.h"
#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/polygon_math.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/surface.h"

using namespace polymath;

namespace {

constexpr float kMinNormalLengthSquared = 0.00001f;
constexpr float kMinCornerTurn = 0.00001f;

WorldPolygon* PolygonFail(Surface* surface, int code) {
  SurfaceRelease(surface);
  if (code != kEngineErrorNone) EngineSetError(code, 0);
  return nullptr;
}

float ValueOrZero(const float* values, int i) { return values ? values[i] : 0.0f; }

bool SurfaceIsColourKeyed(const Surface* surface) {
  return surface && surface->texture && surface->texture->name && surface->texture->name[0] == '!';
}

void PolygonUnlinkFromWorld(WorldPolygon* polygon) {
  World* world = polygon->world;
  if (!world) return;
  ListUnlink(world->firstPolygon, world->lastPolygon, polygon, &WorldPolygon::prev, &WorldPolygon::next);
  ListUnlink(world->firstLine, world->lastLine, polygon, &WorldPolygon::prevLine, &WorldPolygon::nextLine);
}

}  // namespace

WorldPolygon* PolygonCreateEx(World* world, int n, const float* x, const float* y, const float* z, const float* light,
                              const float* colour1, const float* colour2, const float* colour3, Surface* surface) {
  EngineSetError(kEngineErrorNone, 0);
  // Range first: abs() of the most negative int would overflow.
  if (n < -kPolygonMaxVertices || n > kPolygonMaxVertices || n == 1 || n == -1) {
    return PolygonFail(surface, kEngineErrorVertexCount);
  }
  const int count = std::abs(n);
  if (!world || (count > 0 && (!x || !y || !z))) return PolygonFail(surface, kEngineErrorNone);

  // Corner normals c(i + 1) = b x a at every vertex; a line has no third
  // vertex and takes fixed directions instead, so that one of its two corners
  // always gives a normal perpendicular to it.
  Vec3 corners[kPolygonMaxVertices] = {};
  Vec3 best = {0.0f, 0.0f, 0.0f};
  float bestLengthSquared = -1.0f;
  for (int i = 0; i < count; ++i) {
    const int i1 = (i + 1) % count;
    const int i2 = (i + 2) % count;
    const Vec3 p0 = {x[i], y[i], z[i]};
    const Vec3 p1 = {x[i1], y[i1], z[i1]};
    const Vec3 a = p0 - p1;
    Vec3 b;
    if (count == 2) {
      b = i == 0 ? Vec3{0.0f, 256.0f, 0.0f} : Vec3{256.0f, 0.0f, 0.0f};
    } else {
      b = Vec3{x[i2], y[i2], z[i2]} - p1;
    }
    corners[i1] = Cross(b, a);
    const float lengthSquared = LengthSquared(corners[i1]);
    if (lengthSquared > bestLengthSquared) {
      bestLengthSquared = lengthSquared;
      best = corners[i1];
    }
  }

  Vec3 normal = {0.0f, 0.0f, 0.0f};
  float d = 0.0f;
  if (count != 0) {
    if (!(bestLengthSquared >= kMinNormalLengthSquared)) return PolygonFail(surface, kEngineErrorNormalTooSmall);
    normal = Normalise(best);
    d = Dot(normal, Vec3{x[0], y[0], z[0]});
  }
  if (count > 2) {
    for (int i = 0; i < count; ++i) {
      if (!(Dot(corners[i], normal) >= kMinCornerTurn)) return PolygonFail(surface, kEngineErrorConcave);
    }
  }

  WorldPolygon* polygon = PoolNew<WorldPolygon>();
  polygon->vertexCount = count;
  polygon->normal = normal;
  polygon->d = d;
  polygon->worldNormal = normal;
  polygon->worldD = d;
  polygon->surface = surface;
  for (int i = 0; i < count; ++i) {
    polygon->vertices[i] = PolygonVertex{x[i],
                                         y[i],
                                         z[i],
                                         ValueOrZero(light, i),
                                         ValueOrZero(colour1, i),
                                         ValueOrZero(colour2, i),
                                         ValueOrZero(colour3, i)};
  }
  polygon->lineColour = FindPaletteColour(255, 255, 255);
  polygon->flatColour = SurfaceIsColourKeyed(surface) ? -1 : FindPaletteColour(128, 128, 128);
  polygon->flags = polygon->flatColour == -1 ? kPolygonColourKeyed : 0;
  polygon->lastDrawn = kStampNever;
  PolygonAppendToWorld(polygon, world);
  if (n > 0) BspInsertPolygon(world->bspRoot, polygon);
  return polygon;
}

WorldPolygon* PolygonCreate(World* world, int n, const float* x, const float* y, const float* z, const float* light,
                            Surface* surface) {
  return PolygonCreateEx(world, n, x, y, z, light, nullptr, nullptr, nullptr, surface);
}

int PolygonDelete(WorldPolygon* polygon) {
  if (!polygon) return 0;
  CollideForgetPolygon(polygon);  // the last hit never names a freed polygon
  PolygonSetGroup(polygon, nullptr, 0);
  PropFreeList(&polygon->props);
  while (polygon->firstFragment) FragmentFree(polygon->firstFragment, 1);
  PolygonUnlinkFromWorld(polygon);
  SurfaceRelease(polygon->surface);
  PoolDelete(polygon);
  return 1;
}

void PolygonAppendToWorld(WorldPolygon* polygon, World* world) {
  polygon->world = world;
  ListAppend(world->firstPolygon, world->lastPolygon, polygon, &WorldPolygon::prev, &WorldPolygon::next);
  if (polygon->vertexCount != 2) return;
  ListAppend(world->firstLine, world->lastLine, polygon, &WorldPolygon::prevLine, &WorldPolygon::nextLine);
}

WorldPolygon* WorldFirstPolygon(World* world) { return world ? world->firstPolygon : nullptr; }

WorldPolygon* PolygonNext(WorldPolygon* polygon) { return polygon ? polygon->next : nullptr; }

void PolygonUpdateWorldPlane(WorldPolygon* polygon) {
  if (!polygon) return;
  const Vec3 oldNormal = polygon->worldNormal;
  if (!polygon->group) {
    polygon->worldNormal = polygon->normal;
    polygon->worldD = polygon->d;
  } else {
    const float* m = polygon->group->worldMatrix;
    polygon->worldNormal = MapDirection(m, polygon->normal);
    // A polygon without vertices still has its plane's point nearest the origin.
    const Vec3 first = polygon->vertexCount > 0
                           ? Vec3{polygon->vertices[0].x, polygon->vertices[0].y, polygon->vertices[0].z}
                           : polygon->normal * polygon->d;
    polygon->worldD = Dot(polygon->worldNormal, MapPoint(m, first));
  }
  // What the polygon's fragments can contain turns with its normal.
  const Vec3 n = polygon->worldNormal;
  if (n.x != oldNormal.x || n.y != oldNormal.y || n.z != oldNormal.z) {
    for (BspFragment* f = polygon->firstFragment; f; f = f->nextInPolygon) BspNodeIndexPlaneMoved(f);
  }
}
