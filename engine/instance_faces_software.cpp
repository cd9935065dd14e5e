#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/bsp_visit.h"
#include "engine/instance_frame.h"
#include "engine/instance_render.h"
#include "engine/lighting.h"
#include "engine/palette.h"
#include "engine/polygon_math.h"
#include "engine/render_math.h"
#include "engine/render_world.h"
#include "engine/texture_remap.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "render/polygon_setup.h"

using namespace polymath;

namespace {

// One queued face: where its record starts in the value block, its texture
// (null = untextured) and its key.
struct QueuedFace {
  int offset;
  Texture* texture;
  std::int32_t key;
};

struct FaceQueue {
  std::vector<std::int32_t> values;  // records: vertex count, then the vertices
  std::vector<QueuedFace> faces;
  std::vector<int> order;  // drawing order of the last DrawSortedPolysSoftware
};
FaceQueue g_Queue;

// Per mesh vertex projection cache of one QueueInstanceFragmentSoftware call.
struct ProjectionCache {
  std::uint32_t stamp = 0;
  std::vector<std::uint32_t> vertexStamp;
  std::vector<std::uint8_t> behind;
  std::vector<std::int32_t> depth, x, y;
};
ProjectionCache g_Cache;

// A face vertex while it is clipped by the leaf planes.
struct FaceVertex {
  float x, y, z;
  float u, v, light;
  int cacheIndex;  // mesh vertex, or -1 for a vertex made by clipping
};

std::vector<FaceVertex> g_FaceA, g_FaceB;

void CacheAdvance(int vertexCount) {
  ProjectionCache& c = g_Cache;
  if (static_cast<int>(c.vertexStamp.size()) < vertexCount) {
    c.vertexStamp.resize(vertexCount, 0);
    c.behind.resize(vertexCount, 0);
    c.depth.resize(vertexCount);
    c.x.resize(vertexCount);
    c.y.resize(vertexCount);
  }
  // Stamps are compared for equality only; when the counter wraps every
  // entry is cleared so that no old entry can match the new stamp.
  if (++c.stamp == 0) {
    std::fill(c.vertexStamp.begin(), c.vertexStamp.end(), 0u);
    c.stamp = 1;
  }
}

float PlaneDistance(const Plane& p, const FaceVertex& v) { return p.nx * v.x + p.ny * v.y + p.nz * v.z - p.d; }

// Clips the face in g_FaceA against the frustum-plane entries from 6 on
// (the leaf planes in the node's frame); the result is in g_FaceA.
void ClipToLeafPlanes() {
  for (int k = kFrustumPlaneCount; k < g_FrustumPlaneCount && !g_FaceA.empty(); ++k) {
    const Plane& plane = g_FrustumPlanes[k];
    g_FaceB.clear();
    const FaceVertex* previous = &g_FaceA.back();
    float previousDistance = PlaneDistance(plane, *previous);
    for (const FaceVertex& current : g_FaceA) {
      const float distance = PlaneDistance(plane, current);
      if ((previousDistance >= 0.0f) != (distance >= 0.0f)) {
        const float t = previousDistance / (previousDistance - distance);
        const FaceVertex& p = *previous;
        g_FaceB.push_back({p.x + (current.x - p.x) * t, p.y + (current.y - p.y) * t, p.z + (current.z - p.z) * t,
                           p.u + (current.u - p.u) * t, p.v + (current.v - p.v) * t,
                           p.light + (current.light - p.light) * t, -1});
      }
      if (distance >= 0.0f) g_FaceB.push_back(current);
      previous = &current;
      previousDistance = distance;
    }
    std::swap(g_FaceA, g_FaceB);
  }
}

// 16.16 texels from a mesh coordinate (16.16 repeats) and a texture size.
float TexelCoordinate(std::int32_t meshValue, int size) {
  return static_cast<float>(meshValue) * static_cast<float>(size);
}

// Projects the clipped face and appends its record; false when a vertex
// lies behind depth 1.0 (the face is dropped).
bool AppendFace(const InstanceFrame& frame, Texture* texture, bool lit) {
  ProjectionCache& c = g_Cache;
  const int count = static_cast<int>(g_FaceA.size());
  if (count < 3) return false;
  const int offset = static_cast<int>(g_Queue.values.size());
  g_Queue.values.push_back(count);
  std::int32_t key = 0;
  for (int i = 0; i < count; ++i) {
    const FaceVertex& v = g_FaceA[i];
    std::int32_t depth, sx, sy;
    const int index = v.cacheIndex;
    if (index >= 0 && c.vertexStamp[index] == c.stamp) {
      if (c.behind[index]) {
        g_Queue.values.resize(offset);
        return false;
      }
      depth = c.depth[index];
      sx = c.x[index];
      sy = c.y[index];
    } else {
      float X, Y, Z;
      rendermath::Transform(frame.toScreen, v.x, v.y, v.z, &X, &Y, &Z);
      if (!(Z >= 1.0f)) {
        if (index >= 0) {
          c.vertexStamp[index] = c.stamp;
          c.behind[index] = 1;
        }
        g_Queue.values.resize(offset);
        return false;
      }
      depth = rendermath::Depth(Z);
      sx = rendermath::Screen16(X, Z);
      sy = rendermath::Screen16(Y, Z);
      if (index >= 0) {
        c.vertexStamp[index] = c.stamp;
        c.behind[index] = 0;
        c.depth[index] = depth;
        c.x[index] = sx;
        c.y[index] = sy;
      }
    }
    key = i == 0 ? depth : std::max(key, depth);
    g_Queue.values.push_back(sx);
    g_Queue.values.push_back(sy);
    if (texture) {
      g_Queue.values.push_back(rendermath::RoundClamped(v.u, rendermath::kScreenLimit16));
      g_Queue.values.push_back(rendermath::RoundClamped(v.v, rendermath::kScreenLimit16));
      if (lit) g_Queue.values.push_back(static_cast<std::int32_t>(std::lrint(v.light)));
    }
  }
  g_Queue.faces.push_back({offset, texture, key});
  return true;
}

}  // namespace

void InstanceFaceQueueClear() {
  g_Queue.values.clear();
  g_Queue.faces.clear();
}

int InstanceFaceQueueCount() { return static_cast<int>(g_Queue.faces.size()); }
std::int32_t InstanceFaceQueueKey(int i) { return g_Queue.faces[i].key; }
int InstanceFaceQueueDrawnOrder(int k) { return g_Queue.order[k]; }

void InstanceFaceQueueAppend(Texture* texture, std::int32_t key, int vertexCount, const std::int32_t* values) {
  const int words = texture ? (g_InstanceVertexLighting ? 5 : 4) : 2;
  const int offset = static_cast<int>(g_Queue.values.size());
  g_Queue.values.push_back(vertexCount);
  g_Queue.values.insert(g_Queue.values.end(), values, values + vertexCount * words);
  g_Queue.faces.push_back({offset, texture, key});
}

void QueueInstanceFragmentSoftware(InstanceFragment* fragment, int side) {
  if (!fragment || g_Coverage.openLineCount == 0) return;
  InstanceNode* node = fragment->node;
  if (!node || !node->meshNode || !node->instance) return;
  const MeshNode* mesh = node->meshNode;
  const Instance* instance = node->instance;
  View* view = g_CurrentView;
  CacheAdvance(mesh->vertexCount);

  const Vec3 centre = InstanceNodeCentre(node);
  const float radius = InstanceNodeRadius(node);
  if (InstanceNodeCubeHidden(centre, radius, view)) return;
  if (!InstanceLeafPlanesAppend(node, centre, radius)) return;

  InstanceFrame frame;
  InstanceFrameEnter(node, &frame);
  const bool lit = g_InstanceVertexLighting != 0;
  const float base = instance->ownAmbient >= 0.0f ? instance->ownAmbient : g_InstanceAmbientDefault;

  const int first = side == 1 ? 0 : fragment->frontCount;
  const int count = fragment->spanCount + (side == 1 ? fragment->frontCount : fragment->backCount);
  for (int k = first + count - 1; k >= first; --k) {
    const int face = fragment->faces[k];
    if (face < 0 || face >= mesh->faceCount) continue;
    const std::int32_t* list = mesh->faceVertices[face];
    const int signedCount = list[0];
    const bool facesEye = mesh->faceD[face] <= mesh->faceNx[face] * frame.eye.x + mesh->faceNy[face] * frame.eye.y +
                                                   mesh->faceNz[face] * frame.eye.z;
    if (signedCount > 0 && !facesEye) continue;  // a one-sided face turned away from the eye
    const int n = std::abs(signedCount);
    // The fillers take a ring whose left edge runs forward from the top: a
    // two-sided face seen from behind is walked the other way round.
    const bool reversed = !facesEye;
    Texture* texture = mesh->faceTexture ? mesh->faceTexture[face] : nullptr;
    if (texture && instance->remapCount > 0) texture = TextureRemap(instance, texture);

    g_FaceA.clear();
    for (int i = 1; i <= n; ++i) {
      const int v = list[reversed ? n + 1 - i : i];
      if (v < 0 || v >= mesh->vertexCount) break;
      const Vec3 p = InstanceVertexPosition(node, frame, v);
      FaceVertex out = {p.x, p.y, p.z, 0.0f, 0.0f, 0.0f, v};
      if (texture) {
        out.u = TexelCoordinate(mesh->u[v], texture->width);
        out.v = TexelCoordinate(mesh->v[v], texture->height);
      }
      if (lit) {
        out.light =
            static_cast<float>(InstanceLightingAtPoint(p.x, p.y, p.z, mesh->nx[v], mesh->ny[v], mesh->nz[v], base));
      }
      g_FaceA.push_back(out);
    }
    if (static_cast<int>(g_FaceA.size()) != n) continue;
    ClipToLeafPlanes();
    AppendFace(frame, texture, lit);
  }
}

void DrawSortedPolysSoftware() {
  const int count = InstanceFaceQueueCount();
  std::vector<int>& order = g_Queue.order;
  order.resize(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  // Shell sort by key, smallest (nearest) first.
  for (int gap = count / 2; gap > 0; gap /= 2) {
    for (int i = 0; i + gap < count; ++i) {
      for (int j = i; j >= 0 && g_Queue.faces[order[j]].key > g_Queue.faces[order[j + gap]].key; j -= gap) {
        std::swap(order[j], order[j + gap]);
      }
    }
  }
  if (count == 0) return;
  View* view = g_CurrentView;
  const int black = FindPaletteColour(0, 0, 0);
  const bool lit = g_InstanceVertexLighting != 0;
  for (int k = 0; k < count; ++k) {
    const QueuedFace& face = g_Queue.faces[order[k]];
    std::int32_t* record = g_Queue.values.data() + face.offset;
    const int n = record[0];
    std::int32_t* values = record + 1;
    if (!face.texture) {
      ScreenVertex* v = reinterpret_cast<ScreenVertex*>(values);
      FillPolygonFlat(view, v, v + n, black);
    } else if (lit) {
      ScreenVertexUVLit* v = reinterpret_cast<ScreenVertexUVLit*>(values);
      DrawQueuedPolyLit(view, v, v + n, face.texture);
    } else {
      ScreenVertexUV* v = reinterpret_cast<ScreenVertexUV*>(values);
      DrawQueuedPolyUnlit(view, v, v + n, face.texture);
    }
  }
}
