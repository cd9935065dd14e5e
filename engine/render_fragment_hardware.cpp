// World fragments in a hardware frame: lit per vertex (with coloured light
// terms), clipped against the frustum in world space, projected and queued
// as screen polygons; opaque ones claim their coverage so that what lies
// behind them is culled before it reaches the triangle back end.
#include <cmath>

#include "engine/depth_cue.h"
#include "engine/frame_stamp.h"
#include "engine/lighting.h"
#include "engine/polygon_math.h"
#include "engine/render_hardware.h"
#include "engine/render_math.h"
#include "engine/render_world.h"
#include "engine/surface.h"
#include "engine/surface_mapping.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

using namespace polymath;

namespace {

// A polygon vertex in world space while it is lit and clipped.
struct HwVertex {
  float x, y, z;
  float u, v;
  float light, red, green, blue;
};

constexpr int kMaxClipped = kFragmentMaxVertices + kFrustumPlaneCount + 2;
// Rounds a light to the steps of the shade table, as the software pass sees
// it (the float nearest 1 / 1966079).
constexpr float kLightStep = 5.0862656e-07f;

Vec3 FragmentPoint(const BspFragment* fragment, int i) {
  const int index = fragment->vertices[i].vertex;
  return {g_WorldVertexX[index], g_WorldVertexY[index], g_WorldVertexZ[index]};
}

// Caches the camera transform of a world vertex; the state byte says
// whether it lies behind depth 1, before the focal length or beyond it.
void CacheVertex(int index) {
  float X, Y, D;
  rendermath::Transform(g_CameraMatrix, g_WorldVertexX[index], g_WorldVertexY[index], g_WorldVertexZ[index], &X, &Y,
                        &D);
  g_HwVertexDepth[index] = D;
  if (!(D > g_FocalLength)) {
    g_VertexState[index] = D <= 1.0f ? kVertexBehind : kVertexNear;
    return;
  }
  g_HwVertexInvDepth[index] = 1.0f / D;
  g_HwVertexScreenX[index] = X / D;
  g_HwVertexScreenY[index] = Y / D;
  g_VertexState[index] = kVertexProjected;
}

void LightVertex(HwVertex* v, Vec3 normal, bool lit) {
  if (!lit) return;
  if (g_SurfaceTakesLights && g_CurrentWorld) {
    for (const Light* l = g_CurrentWorld->firstLight; l; l = l->next) {
      if (l->type == kLightTypeSphere) continue;
      const Vec3 d = {l->x - v->x, l->y - v->y, l->z - v->z};
      if (!(std::fabs(d.x) < l->radius && std::fabs(d.y) < l->radius && std::fabs(d.z) < l->radius)) continue;
      const float d2 = Dot(d, d);
      if (!(d2 < l->radiusSquared)) continue;
      const float dot = Dot(normal, d);
      if (!(dot > 0.0f)) continue;
      const float f = dot / std::max(d2, 1.0f);
      v->light += l->halfPower * f;
      v->red += l->red * f;
      v->green += l->green * f;
      v->blue += l->blue * f;
    }
  }
  if (DepthCueOn()) {
    const Vec3 e = {v->x - g_CameraPosition.x, v->y - g_CameraPosition.y, v->z - g_CameraPosition.z};
    const float cue = DepthCueFactor(Dot(e, e));
    v->light = std::clamp(v->light, 0.0f, 1.0f) * cue;
    v->red = std::clamp(v->red, 0.0f, 1.0f) * cue;
    v->green = std::clamp(v->green, 0.0f, 1.0f) * cue;
    v->blue = std::clamp(v->blue, 0.0f, 1.0f) * cue;
  }
  v->light = static_cast<float>(std::lrint(v->light * 1966079.0f)) * kLightStep;
}

float PlaneDistance(const Plane& p, const HwVertex& v) { return p.nx * v.x + p.ny * v.y + p.nz * v.z - p.d; }

HwVertex Lerp(const HwVertex& a, const HwVertex& b, float t) {
  auto mix = [t](float p, float q) { return p + (q - p) * t; };
  return {mix(a.x, b.x),     mix(a.y, b.y),         mix(a.z, b.z),       mix(a.u, b.u),      mix(a.v, b.v),
          mix(a.light, b.light), mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

// Clips the polygon against planes 0 to 4 (and the far plane 5 while the
// depth cue is on); the count left.
int ClipToFrustum(HwVertex* polygon, int count) {
  HwVertex scratch[kMaxClipped];
  const int planes = DepthCueOn() ? kFrustumPlaneCount : kFrustumPlaneCount - 1;
  for (int k = 0; k < planes && count > 0; ++k) {
    const Plane& plane = g_FrustumPlanes[k];
    int out = 0;
    const HwVertex* previous = &polygon[count - 1];
    float previousDistance = PlaneDistance(plane, *previous);
    for (int i = 0; i < count && out < kMaxClipped - 1; ++i) {
      const HwVertex& current = polygon[i];
      const float distance = PlaneDistance(plane, current);
      if ((previousDistance >= 0.0f) != (distance >= 0.0f))
        scratch[out++] = Lerp(*previous, current, previousDistance / (previousDistance - distance));
      if (distance >= 0.0f) scratch[out++] = current;
      previous = &current;
      previousDistance = distance;
    }
    std::copy_n(scratch, out, polygon);
    count = out;
  }
  return count;
}

// Lights, clips, projects and queues one polygon of a fragment.
void QueuePolygon(const WorldPolygon* polygon, HwVertex* vertices, int count, bool lit, View* view) {
  for (int i = 0; i < count; ++i) LightVertex(&vertices[i], polygon->worldNormal, lit);
  count = ClipToFrustum(vertices, count);
  if (count < 1 || count > PolyQueueSpace()) return;
  PolyVertex* out = PolyQueueWritePosition();
  ScreenVertex outline[kMaxClipped];
  for (int i = 0; i < count; ++i) {
    const HwVertex& v = vertices[i];
    float X, Y, D;
    rendermath::Transform(g_CameraMatrix, v.x, v.y, v.z, &X, &Y, &D);
    if (!(D > 0.0f)) D = 1.0f;  // on the near plane, within rounding
    out[i] = PolyVertex{X / D, Y / D, D, 1.0f / D, v.u, v.v, v.light, v.red, v.green, v.blue};
    outline[i] = ScreenVertex{rendermath::RoundClamped(out[i].x, rendermath::kScreenLimit16),
                              rendermath::RoundClamped(out[i].y, rendermath::kScreenLimit16)};
  }
  const bool translucent = (polygon->flags & kPolygonTranslucent) != 0;
  // Colour-keyed and translucent polygons claim no coverage, so what lies
  // behind them is still drawn.
  if (polygon->flatColour != -1 && !translucent && PolygonCoverOnly(view, outline, outline + count) == 0) return;
  const_cast<WorldPolygon*>(polygon)->lastDrawn = g_FrameStamp;
  PolyQueueAppend(count, translucent ? kPolyColourTranslucent : polygon->flatColour,
                  polygon->surface ? polygon->surface->texture : nullptr);
}

HwVertex FragmentVertexAt(const BspFragment* fragment, int i) {
  const FragmentVertex& f = fragment->vertices[i];
  const Vec3 p = FragmentPoint(fragment, i);
  return {p.x, p.y, p.z, f.u, f.v, f.light, f.colour1, f.colour2, f.colour3};
}

// The light spot of a lit fragment: the foot point on its plane of the first
// point light in front of it, closer than four times its size, whose foot
// point lies inside the fragment.
bool FindLightSpot(const BspFragment* fragment, Vec3* spot) {
  const WorldPolygon* polygon = fragment->polygon;
  const Vec3 normal = polygon->worldNormal;
  const int count = fragment->vertexCount;
  for (const Light* light = g_CurrentWorld->firstLight; light; light = light->next) {
    if (light->type != kLightTypePoint) continue;
    const Vec3 position = {light->x, light->y, light->z};
    const float t = Dot(normal, position) - polygon->worldD;
    if (!(t > 0.0f && t < 4.0f * light->size)) continue;
    const Vec3 foot = position - normal * t;
    bool inside = true;
    Vec3 previous = FragmentPoint(fragment, count - 1);
    for (int i = 0; i < count && inside; ++i) {
      const Vec3 current = FragmentPoint(fragment, i);
      if (Dot(foot - previous, Cross(normal, current - previous)) < 0.0f) inside = false;
      previous = current;
    }
    if (inside) {
      *spot = foot;
      return true;
    }
  }
  return false;
}

}  // namespace

void QueueFragmentHardware(BspFragment* fragment, int side) {
  WorldPolygon* polygon = fragment->polygon;
  if (!polygon || (polygon->flags & kPolygonNeverDrawn)) return;
  const int count = fragment->vertexCount;
  // World lines are drawn by the view's line pass, not as polygons.
  if (count < 3 || count > kFragmentMaxVertices) return;
  if (fragment->back == (side == 1 ? 1 : 0)) return;
  View* view = g_CurrentView;

  g_SurfaceTakesLights = (polygon->flags & kPolygonNoLightSources) ? 0 : 1;
  const bool lit = g_LightsOn && !(polygon->flags & kPolygonUnlit);
  const bool spotCapable = lit && g_LightSpotsOn && !(polygon->flags & kPolygonNoLightSpots);
  if (polygon->surface)
    ComputeSurfaceGradients(polygon->surface, 0, 0, polygon->group ? polygon->group->worldMatrix : nullptr);

  bool needsClip = false, front = false;
  float minX = 0, minY = 0, maxX = 0, maxY = 0;
  const float width16 = static_cast<float>(g_ViewWidth16), height16 = static_cast<float>(g_ViewHeight16);
  for (int i = 0; i < count; ++i) {
    const int index = fragment->vertices[i].vertex;
    if (g_VertexState[index] == kVertexUnseen) CacheVertex(index);
    const std::uint8_t state = g_VertexState[index];
    if (state == kVertexBehind || state == kVertexNear) needsClip = true;
    if (state == kVertexProjected || state == kVertexNear) front = true;
    if (state != kVertexProjected) continue;
    const float x = std::rint(g_HwVertexScreenX[index]), y = std::rint(g_HwVertexScreenY[index]);
    if (x < 0.0f || y < 0.0f || x >= width16 || y >= height16) needsClip = true;
    minX = i == 0 ? x : std::min(minX, x);
    maxX = i == 0 ? x : std::max(maxX, x);
    minY = i == 0 ? y : std::min(minY, y);
    maxY = i == 0 ? y : std::max(maxY, y);
  }
  if (!front) return;
  if (!needsClip) {
    minX = std::clamp(minX, 0.0f, width16);
    maxX = std::clamp(maxX, 0.0f, width16);
    minY = std::clamp(minY, 0.0f, height16);
    maxY = std::clamp(maxY, 0.0f, height16);
    if (maxX <= minX || maxY <= minY) return;
    if (CoverageRectHidden(view, static_cast<int>(minX) >> 16, static_cast<int>(minY) >> 16,
                           static_cast<int>(maxX) >> 16, static_cast<int>(maxY) >> 16))
      return;
  }

  HwVertex vertices[kMaxClipped];
  Vec3 spot;
  if (spotCapable && polygon->surface && g_CurrentWorld && FindLightSpot(fragment, &spot)) {
    HwVertex centre{spot.x, spot.y, spot.z, 0, 0, 0, 0, 0, 0};
    TexCoordsAtPoint(polygon->surface, spot.x, spot.y, spot.z, &centre.u, &centre.v);
    for (int i = 0; i < count; ++i) {
      const FragmentVertex& f = fragment->vertices[i];
      centre.light += f.light / static_cast<float>(count);
      centre.red += f.colour1 / static_cast<float>(count);
      centre.green += f.colour2 / static_cast<float>(count);
      centre.blue += f.colour3 / static_cast<float>(count);
    }
    for (int k = 0; k < count; ++k) {
      vertices[0] = FragmentVertexAt(fragment, k);
      vertices[1] = FragmentVertexAt(fragment, (k + 1) % count);
      vertices[2] = centre;
      QueuePolygon(polygon, vertices, 3, lit, view);
    }
    return;
  }
  for (int i = 0; i < count; ++i) vertices[i] = FragmentVertexAt(fragment, i);
  QueuePolygon(polygon, vertices, count, lit, view);
}

void WorldComputeHardwareTexCoords(World* world) {
  if (!world) return;
  // The surfaces' world frames are the hardware frames' ones while the
  // hardware flag is in force.
  const RenderFlags saved = g_RenderFlagsLastFrame;
  g_RenderFlagsLastFrame |= kRenderHardware;
  for (WorldPolygon* polygon = world->firstPolygon; polygon; polygon = polygon->next) {
    if (!polygon->surface) continue;
    polygon->surface->stamp = kStampNever;
    ComputeSurfaceGradients(polygon->surface, 0, 0, polygon->group ? polygon->group->worldMatrix : nullptr);
    SurfaceComputeTexCoords(polygon);
  }
  g_RenderFlagsLastFrame = saved;
}
