// Instance faces in a hardware frame: each leaf side's faces are listed
// with their depth keys, sorted and appended to the polygon queue, so that
// after the back-to-front hand-over the farthest face of the side is drawn
// first.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "engine/bsp_visit.h"
#include "engine/instance_frame.h"
#include "engine/lighting.h"
#include "engine/polygon_math.h"
#include "engine/render_hardware.h"
#include "engine/render_math.h"
#include "engine/render_world.h"
#include "engine/texture_remap.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

using namespace polymath;

InstancePolyList g_InstancePolyList;

namespace {

// Per mesh vertex (indices below kInstanceProjectionCache): the rounded
// projection and the fragment that filled it (negated: behind depth 1).
struct ProjectionCache {
  std::int32_t x[kInstanceProjectionCache];
  std::int32_t y[kInstanceProjectionCache];
  std::int32_t depth[kInstanceProjectionCache];
  std::int32_t stamp[kInstanceProjectionCache];
};
ProjectionCache g_Projection;
std::int32_t g_FragmentStamp;

// A face vertex in the node's frame while it is clipped.
struct FaceVertex {
  float x, y, z;
  float u, v, light, red, green, blue;
  int mesh;  // mesh vertex index, or -1 for a vertex made by clipping
};
constexpr int kMaxFaceVertices = 64;

float Distance(const Plane& p, const FaceVertex& v) { return p.nx * v.x + p.ny * v.y + p.nz * v.z - p.d; }

FaceVertex Lerp(const FaceVertex& a, const FaceVertex& b, float t, bool textured, bool lit) {
  auto mix = [t](float p, float q) { return p + (q - p) * t; };
  FaceVertex out = a;
  out.x = mix(a.x, b.x);
  out.y = mix(a.y, b.y);
  out.z = mix(a.z, b.z);
  if (textured) {
    out.u = mix(a.u, b.u);
    out.v = mix(a.v, b.v);
    if (lit) {
      out.light = mix(a.light, b.light);
      out.red = mix(a.red, b.red);
      out.green = mix(a.green, b.green);
      out.blue = mix(a.blue, b.blue);
    }
  }
  out.mesh = -1;
  return out;
}

int ClipFace(FaceVertex* face, int count, const Plane* planes, int planeCount, bool textured, bool lit) {
  FaceVertex scratch[kMaxFaceVertices];
  for (int k = 0; k < planeCount && count > 0; ++k) {
    int out = 0;
    const FaceVertex* previous = &face[count - 1];
    float previousDistance = Distance(planes[k], *previous);
    for (int i = 0; i < count && out < kMaxFaceVertices - 1; ++i) {
      const float distance = Distance(planes[k], face[i]);
      if ((previousDistance >= 0.0f) != (distance >= 0.0f))
        scratch[out++] = Lerp(*previous, face[i], previousDistance / (previousDistance - distance), textured, lit);
      if (distance >= 0.0f) scratch[out++] = face[i];
      previous = &face[i];
      previousDistance = distance;
    }
    std::copy_n(scratch, out, face);
    count = out;
  }
  return count;
}

// Projects the clipped face into the list; false (nothing listed) when a
// vertex lies behind depth 1 or the list is full.
bool ListFace(const FaceVertex* face, int count, const Matrix& toScreen, Texture* texture) {
  InstancePolyList& list = g_InstancePolyList;
  if (count < 3 || list.count >= kInstancePolyFaces || list.writeIndex + count > kInstancePolyVertices) return false;
  PolyVertex* out = list.vertices + list.writeIndex;
  std::int32_t key = 0;
  for (int i = 0; i < count; ++i) {
    const FaceVertex& v = face[i];
    const int m = v.mesh;
    if (m >= kInstanceProjectionCache) return false;
    if (m < 0) {
      // A vertex made by clipping is projected exactly.
      float X, Y, D;
      rendermath::Transform(toScreen, v.x, v.y, v.z, &X, &Y, &D);
      if (!(D >= 1.0f)) return false;
      out[i] = PolyVertex{X / D, Y / D, D, 1.0f / D, 0, 0, 0, 0, 0, 0};
      key = std::max(key, rendermath::Depth(D));
    } else {
      if (std::abs(g_Projection.stamp[m]) != g_FragmentStamp) {
        float X, Y, D;
        rendermath::Transform(toScreen, v.x, v.y, v.z, &X, &Y, &D);
        g_Projection.stamp[m] = D >= 1.0f ? g_FragmentStamp : -g_FragmentStamp;
        if (D >= 1.0f) {
          g_Projection.x[m] = rendermath::Screen16(X, D);
          g_Projection.y[m] = rendermath::Screen16(Y, D);
          g_Projection.depth[m] = std::max(1, rendermath::Depth(D));
        }
      }
      if (g_Projection.stamp[m] < 0) return false;
      const auto z = static_cast<float>(g_Projection.depth[m]);
      out[i] = PolyVertex{static_cast<float>(g_Projection.x[m]), static_cast<float>(g_Projection.y[m]), z, 1.0f / z,
                          0, 0, 0, 0, 0, 0};
      key = std::max(key, g_Projection.depth[m]);
    }
    if (texture) {
      out[i].u = v.u;
      out[i].v = v.v;
      out[i].light = v.light;
      out[i].red = v.red;
      out[i].green = v.green;
      out[i].blue = v.blue;
    } else {
      out[i].u = out[i].v = out[i].light = 0.5f;
    }
  }
  list.firstVertex[list.count] = out;
  list.vertexCount[list.count] = count;
  list.texture[list.count] = texture;
  list.depthKey[list.count] = key;
  ++list.count;
  list.writeIndex += count;
  return true;
}

}  // namespace

void InstancePolyListClear() {
  g_InstancePolyList.count = 0;
  g_InstancePolyList.writeIndex = 0;
}

void QueueInstanceFragmentHardware(InstanceFragment* fragment, int side) {
  if (!fragment || g_Coverage.openLineCount == 0) return;
  InstanceNode* node = fragment->node;
  if (!node || !node->meshNode || !node->instance) return;
  if (++g_FragmentStamp <= 0) {
    std::fill(std::begin(g_Projection.stamp), std::end(g_Projection.stamp), 0);
    g_FragmentStamp = 1;
  }
  const MeshNode* mesh = node->meshNode;
  const Instance* instance = node->instance;
  const Vec3 centre = InstanceNodeCentre(node);
  const float radius = InstanceNodeRadius(node);
  if (InstanceNodeCubeHidden(centre, radius, g_CurrentView)) return;

  InstanceFrame frame;
  InstanceFrameEnter(node, &frame);
  // Frustum planes 1 to 5 in the node's frame, then the leaf planes.
  Plane planes[kMaxFrustumPlanes];
  int planeCount = 0;
  for (int k = 1; k < kFrustumPlaneCount; ++k) {
    const Plane& p = g_FrustumPlanes[k];
    const Vec3 n = MapDirection(frame.toLocal, {p.nx, p.ny, p.nz});
    const Vec3 onPlane = MapPoint(frame.toLocal, Vec3{p.nx, p.ny, p.nz} * p.d);
    planes[planeCount++] = {n.x, n.y, n.z, Dot(n, onPlane)};
  }
  if (!InstanceLeafPlanesAppend(node, centre, radius)) return;
  for (int k = kFrustumPlaneCount; k < g_FrustumPlaneCount && planeCount < kMaxFrustumPlanes; ++k)
    planes[planeCount++] = g_FrustumPlanes[k];

  const bool lit = g_InstanceVertexLighting != 0;
  const float base = instance->ownAmbient >= 0.0f ? instance->ownAmbient : g_InstanceAmbientDefault;
  const int first = side == 1 ? 0 : fragment->frontCount;
  const int count = fragment->spanCount + (side == 1 ? fragment->frontCount : fragment->backCount);
  FaceVertex face[kMaxFaceVertices];
  for (int k = first + count - 1; k >= first; --k) {
    const int index = fragment->faces[k];
    if (index < 0 || index >= mesh->faceCount) continue;
    const std::int32_t* vertexList = mesh->faceVertices[index];
    const int signedCount = vertexList[0];
    const bool facesEye = mesh->faceD[index] <= mesh->faceNx[index] * frame.eye.x +
                                                    mesh->faceNy[index] * frame.eye.y + mesh->faceNz[index] * frame.eye.z;
    if (signedCount > 0 && !facesEye) continue;
    const int n = std::abs(signedCount);
    if (n < 3 || n > kMaxFaceVertices / 2) continue;
    Texture* texture = mesh->faceTexture ? mesh->faceTexture[index] : nullptr;
    if (texture && instance->remapCount > 0) texture = TextureRemap(instance, texture);
    int made = 0;
    for (int i = 1; i <= n; ++i) {
      const int v = vertexList[i];
      if (v < 0 || v >= mesh->vertexCount) break;
      const Vec3 p = InstanceVertexPosition(node, frame, v);
      FaceVertex out{p.x, p.y, p.z, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, v};
      if (texture) {
        out.u = static_cast<float>(mesh->u[v]) * (1.0f / 65536.0f);
        out.v = static_cast<float>(mesh->v[v]) * (-1.0f / 65536.0f);
        if (lit) {
          const int level = InstanceColourLightingAtPoint(p.x, p.y, p.z, mesh->nx[v], mesh->ny[v], mesh->nz[v], base,
                                                          &out.red, &out.green, &out.blue);
          out.light = static_cast<float>(level - 0x8000) * 5.0862656e-07f;
        }
      }
      face[made++] = out;
    }
    if (made != n) continue;
    const int clipped = ClipFace(face, n, planes, planeCount, texture != nullptr, lit);
    ListFace(face, clipped, frame.toScreen, texture);
  }
}

void QueueSortedPolysHardware() {
  InstancePolyList& list = g_InstancePolyList;
  const int count = list.count;
  int order[kInstancePolyFaces];
  for (int i = 0; i < count; ++i) order[i] = i;
  for (int gap = count / 2; gap > 0; gap /= 2)
    for (int i = 0; i + gap < count; ++i)
      for (int j = i; j >= 0 && list.depthKey[order[j]] > list.depthKey[order[j + gap]]; j -= gap)
        std::swap(order[j], order[j + gap]);
  for (int k = 0; k < count; ++k) {
    const int f = order[k];
    const int n = list.vertexCount[f];
    if (n >= PolyQueueSpace()) continue;
    std::copy_n(list.firstVertex[f], n, PolyQueueWritePosition());
    PolyQueueAppend(n, 0, list.texture[f]);
  }
}

void QueueLeafInstanceFaces(BspNode* node, int side) {
  if (!node->firstInstanceFragment) return;
  InstancePolyListClear();
  Instance* last = nullptr;
  for (InstanceFragment* fragment = node->firstInstanceFragment; fragment; fragment = fragment->nextInBsp) {
    InstanceNode* instanceNode = InstanceFragmentDrawnOnSide(node, fragment, side);
    if (!instanceNode) continue;
    QueueInstanceFragmentHardware(fragment, side);
    last = instanceNode->instance;
  }
  if (g_InstancePolyList.count == 0) return;
  if (last) last->drawn = 1;
  QueueSortedPolysHardware();
}
