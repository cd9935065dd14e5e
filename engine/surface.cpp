#include "engine/surface.h"

#include <cmath>

#include "engine/frame_stamp.h"
#include "engine/intrusive_list.h"
#include "engine/matrix.h"
#include "engine/polygon_math.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/render_world.h"
#include "engine/texture.h"
#include "engine/view.h"

using namespace polymath;

namespace {

// Below this |D| / (|N| |Q|) the surface's plane passes (nearly) through the
// eye: the gradients would be infinite or meaningless.
constexpr float kEdgeOnLimit = 1e-6f;

void SurfaceSetConstantMapping(Surface* surface) {
  for (float& g : surface->gradients) g = 0.0f;
  surface->gradients[8] = 1.0f;
}

// The point mapped by the group matrix (when given) and then by the current
// matrix, and moved so that the screen centre is at 0.
Vec3 GradientPoint(Vec3 p, const float* groupMatrix, float cx, float cy) {
  if (groupMatrix) p = MapPoint(groupMatrix, p);
  Vec3 out;
  MatrixTransformPoint(p.x, p.y, p.z, &out.x, &out.y, &out.z);
  return {out.x / 65536.0f - out.z * cx, out.y / 65536.0f - out.z * cy, out.z};
}

}  // namespace

Surface* SurfaceCreate(World* world, float ox, float oy, float oz, float ux, float uy, float uz, float vx, float vy,
                       float vz, int uOffset, int vOffset, Texture* texture) {
  if (!world || !texture) return nullptr;
  Surface* surface = PoolNew<Surface>();
  surface->refs = 1;
  surface->origin = {ox, oy, oz};
  surface->uAxis = {ux, uy, uz};
  surface->vAxis = {vx, vy, vz};
  surface->worldOrigin = surface->origin;
  surface->worldU = surface->uAxis;
  surface->worldV = surface->vAxis;
  surface->uOffset = uOffset;
  surface->vOffset = vOffset;
  surface->texture = texture;
  surface->stamp = kStampNever;
  surface->world = world;
  ListAppend(world->firstSurface, world->lastSurface, surface, &Surface::prev, &Surface::next);
  return surface;
}

void SurfaceRelease(Surface* surface) {
  if (!surface || --surface->refs > 0) return;
  PropFreeList(&surface->props);
  ReleaseTexture(surface->texture);
  if (World* world = surface->world) {
    ListUnlink(world->firstSurface, world->lastSurface, surface, &Surface::prev, &Surface::next);
  }
  PoolDelete(surface);
}

void ComputeSurfaceGradients(Surface* surface, int width, int height, const float* groupMatrix) {
  if (!surface) return;
  if (surface->stamp == g_FrameStamp && surface->stamp != kStampNever) return;
  surface->stamp = g_FrameStamp;

  if (HardwareModeActive()) {
    if (groupMatrix) {
      surface->worldOrigin = MapPoint(groupMatrix, surface->origin);
      surface->worldU = MapDirection(groupMatrix, surface->uAxis);
      surface->worldV = MapDirection(groupMatrix, surface->vAxis);
    } else {
      surface->worldOrigin = surface->origin;
      surface->worldU = surface->uAxis;
      surface->worldV = surface->vAxis;
    }
    return;
  }

  const float cx = static_cast<float>(width >> 1);
  const float cy = static_cast<float>(height >> 1);
  const Vec3 q = GradientPoint(surface->origin, groupMatrix, cx, cy);
  const Vec3 q1 = GradientPoint(surface->origin + surface->uAxis, groupMatrix, cx, cy);
  const Vec3 q2 = GradientPoint(surface->origin + surface->vAxis, groupMatrix, cx, cy);
  const Vec3 a = (q1 - q) * (1.0f / 256.0f);
  const Vec3 b = (q2 - q) * (1.0f / 256.0f);
  const Vec3 n = Cross(a, b);
  const float d = Dot(n, q);
  const float scale = std::sqrt(LengthSquared(n) * LengthSquared(q));
  if (!(std::fabs(d) > kEdgeOnLimit * scale)) {  // also catches NaN
    SurfaceSetConstantMapping(surface);
    return;
  }
  const Vec3 s = Cross(b, q) * (65536.0f / d);
  const Vec3 t = Cross(a, q) * (65536.0f / d);
  const Vec3 r = n * (1.0f / d);
  const float gradients[kSurfaceGradientCount] = {s.x, s.y, s.z, t.x, t.y, t.z, r.x, r.y, r.z};
  for (float g : gradients) {
    if (!std::isfinite(g)) {
      SurfaceSetConstantMapping(surface);
      return;
    }
  }
  for (int i = 0; i < kSurfaceGradientCount; ++i) surface->gradients[i] = gradients[i];
}
