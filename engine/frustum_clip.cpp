#include "engine/frustum_clip.h"

#include <algorithm>

#include "engine/lighting.h"
#include "engine/render_math.h"
#include "engine/view.h"

std::int32_t g_ClipOutput[kClipMaxVertices * 3];
int g_ClipOutputValues;
int g_ClipOutputVertices;
std::uint32_t g_StatClipOverflows;
Vec3 g_ClipNormal;

namespace {

constexpr int kGuardStage = kClipPlaneStages;        // 6
constexpr int kProjectStage = kClipPlaneStages + 1;  // 7

struct ClipVertex {
  float x, y, z, light;
};

struct ClipStage {
  bool firstPending;
  ClipVertex first;
  ClipVertex prev;
  float prevDistance;
};

ClipStage g_Stages[kProjectStage];
bool g_WithLight;
bool g_Overflowed;

float CameraDepth(float x, float y, float z) {
  const float* m = g_CameraMatrix;
  return x * m[2] + y * m[6] + z * m[10] + m[14];
}

float StageDistance(int stage, const ClipVertex& v) {
  if (stage == kGuardStage) return CameraDepth(v.x, v.y, v.z) - kClipMinDepth;
  const Plane& p = g_FrustumPlanes[stage];
  return p.nx * v.x + p.ny * v.y + p.nz * v.z - p.d;
}

void Emit(const ClipVertex& v) {
  const int words = g_WithLight ? 3 : 2;
  if (g_ClipOutputVertices >= kClipMaxVertices) {
    if (!g_Overflowed) ++g_StatClipOverflows;
    g_Overflowed = true;
    return;
  }
  float X, Y, Z;
  rendermath::Transform(g_CameraMatrix, v.x, v.y, v.z, &X, &Y, &Z);
  // The guard stage leaves Z at kClipMinDepth or more but for rounding.
  Z = std::max(Z, kClipMinDepth * 0.5f);
  std::int32_t* out = g_ClipOutput + g_ClipOutputValues;
  out[0] = rendermath::Screen16(X, Z);
  out[1] = rendermath::Screen16(Y, Z);
  if (g_WithLight) out[2] = LightingAtPoint(v.x, v.y, v.z, g_ClipNormal.x, g_ClipNormal.y, g_ClipNormal.z, v.light);
  g_ClipOutputValues += words;
  ++g_ClipOutputVertices;
}

void Feed(int stage, const ClipVertex& v) {
  if (stage >= kProjectStage) {
    Emit(v);
    return;
  }
  ClipStage& s = g_Stages[stage];
  const float d = StageDistance(stage, v);
  if (s.firstPending) {
    s.firstPending = false;
    s.first = v;
    s.prev = v;
    s.prevDistance = d;
    return;
  }
  if ((s.prevDistance >= 0.0f) != (d >= 0.0f)) {
    const float t = -s.prevDistance / (d - s.prevDistance);
    const ClipVertex& p = s.prev;
    const ClipVertex crossing = {p.x + (v.x - p.x) * t, p.y + (v.y - p.y) * t, p.z + (v.z - p.z) * t,
                                 p.light + (v.light - p.light) * t};
    Feed(stage + 1, crossing);
  }
  if (d >= 0.0f) Feed(stage + 1, v);
  s.prev = v;
  s.prevDistance = d;
}

}  // namespace

void ClipReset(int withLight) {
  g_WithLight = withLight != 0;
  g_Overflowed = false;
  g_ClipOutputValues = 0;
  g_ClipOutputVertices = 0;
  for (ClipStage& s : g_Stages) s.firstPending = true;
}

void ClipPolygonToFrustum(int stage, float x, float y, float z) { ClipLitPolygonToFrustum(stage, x, y, z, 0.0f); }

void ClipLitPolygonToFrustum(int stage, float x, float y, float z, float light) {
  if (stage < kClipFirstStage) stage = kClipFirstStage;
  Feed(stage, ClipVertex{x, y, z, light});
}

void ClipClose() {
  for (int stage = kClipFirstStage; stage < kProjectStage; ++stage) {
    ClipStage& s = g_Stages[stage];
    if (s.firstPending) continue;
    const ClipVertex first = s.first;
    Feed(stage, first);
  }
}

int ClipSegmentToPixels(Vec3 a, Vec3 b, int* x0, int* y0, int* x1, int* y1) {
  for (int i = 0; i < kFrustumPlaneCount; ++i) {
    const Plane& p = g_FrustumPlanes[i];
    const float da = p.nx * a.x + p.ny * a.y + p.nz * a.z - p.d;
    const float db = p.nx * b.x + p.ny * b.y + p.nz * b.z - p.d;
    if (da < 0.0f && db < 0.0f) return 0;
    if (da < 0.0f || db < 0.0f) {
      const float t = da / (da - db);
      const Vec3 c = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
      if (da < 0.0f) {
        a = c;
      } else {
        b = c;
      }
    }
  }
  float X, Y, Z;
  rendermath::Transform(g_CameraMatrix, a.x, a.y, a.z, &X, &Y, &Z);
  Z = std::max(Z, kClipMinDepth);
  *x0 = rendermath::Pixel(X, Z);
  *y0 = rendermath::Pixel(Y, Z);
  rendermath::Transform(g_CameraMatrix, b.x, b.y, b.z, &X, &Y, &Z);
  Z = std::max(Z, kClipMinDepth);
  *x1 = rendermath::Pixel(X, Z);
  *y1 = rendermath::Pixel(Y, Z);
  return 1;
}
