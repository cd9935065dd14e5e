#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/bsp_visit.h"
#include "engine/instance_frame.h"
#include "engine/instance_render.h"
#include "engine/lighting.h"
#include "engine/render_math.h"
#include "engine/render_world.h"
#include "engine/texture_remap.h"
#include "engine/view.h"
#include "render/polygon_setup.h"

namespace {

// Per mesh vertex state of one DrawInstanceZBuffered call: 0 not yet
// transformed, 1 behind the eye, else 2 plus the outcode bits.
constexpr std::uint8_t kZStateUnseen = 0;
constexpr std::uint8_t kZStateBehind = 1;
constexpr std::uint8_t kZStateProjected = 2;
constexpr std::uint8_t kOutLeft = 4, kOutRight = 8, kOutTop = 0x10, kOutBottom = 0x20;

struct ZVertexCache {
  std::vector<std::uint8_t> state;
  std::vector<float> invDepth;
  std::vector<std::int32_t> x, y, light;
};
ZVertexCache g_ZCache;
std::vector<std::int32_t> g_ZFace;

void ZCacheReset(int vertexCount) {
  ZVertexCache& c = g_ZCache;
  if (static_cast<int>(c.state.size()) < vertexCount) {
    c.state.resize(vertexCount);
    c.invDepth.resize(vertexCount);
    c.x.resize(vertexCount);
    c.y.resize(vertexCount);
    c.light.resize(vertexCount);
  }
  std::fill(c.state.begin(), c.state.begin() + vertexCount, kZStateUnseen);
}

void ZCacheFill(const InstanceNode* node, const InstanceFrame& frame, int v) {
  ZVertexCache& c = g_ZCache;
  const MeshNode* mesh = node->meshNode;
  const Vec3 p = InstanceVertexPosition(node, frame, v);
  float X, Y, Z;
  rendermath::Transform(frame.toScreen, p.x, p.y, p.z, &X, &Y, &Z);
  if (!(Z >= 1.0f)) {
    c.state[v] = kZStateBehind;
    return;
  }
  const float inv = 1.0f / Z;
  const std::int32_t x = rendermath::RoundClamped(X * inv, rendermath::kScreenLimit16);
  const std::int32_t y = rendermath::RoundClamped(Y * inv, rendermath::kScreenLimit16);
  std::uint8_t state = kZStateProjected;
  if (x < 0) state |= kOutLeft;
  if (x > g_ViewWidth16) state |= kOutRight;
  if (y < 0) state |= kOutTop;
  if (y > g_ViewHeight16) state |= kOutBottom;
  c.state[v] = state;
  c.invDepth[v] = inv;
  c.x[v] = x;
  c.y[v] = y;
  if (g_InstanceVertexLighting) {
    c.light[v] = InstanceLightingAtPoint(p.x, p.y, p.z, mesh->nx[v], mesh->ny[v], mesh->nz[v], 0.0f);
  }
}

void PushFloat(float f) {
  std::int32_t bits;
  static_assert(sizeof bits == sizeof f);
  std::memcpy(&bits, &f, sizeof bits);
  g_ZFace.push_back(bits);
}

}  // namespace

void DrawInstanceZBuffered(InstanceNode* node) {
  if (!node || !node->meshNode || !node->instance || !node->instance->collidable) return;
  if (!InstanceNodeInFrustum(node)) return;
  const MeshNode* mesh = node->meshNode;
  const Instance* instance = node->instance;
  View* view = g_CurrentView;
  InstanceFrame frame;
  InstanceFrameEnter(node, &frame);
  ZCacheReset(mesh->vertexCount);
  const bool lit = g_InstanceVertexLighting != 0;
  ZVertexCache& c = g_ZCache;
  bool anyDrawn = false;

  for (int face = 0; face < mesh->faceCount; ++face) {
    Texture* texture = mesh->faceTexture ? mesh->faceTexture[face] : nullptr;
    if (texture && instance->remapCount > 0) texture = TextureRemap(instance, texture);
    if (!texture) continue;
    const std::int32_t* list = mesh->faceVertices[face];
    const int signedCount = list[0];
    const bool facesEye = mesh->faceD[face] < mesh->faceNx[face] * frame.eye.x + mesh->faceNy[face] * frame.eye.y +
                                                  mesh->faceNz[face] * frame.eye.z;
    if (signedCount > 0 && !facesEye) continue;
    const int n = std::abs(signedCount);
    // A two-sided face seen from behind is walked the other way round, so
    // that the filler's left edge still runs forward from the top.
    const bool reversed = !facesEye;
    if (n < 3) continue;
    g_ZFace.clear();
    std::uint8_t all = 0xFF;
    bool dropped = false;
    for (int i = 1; i <= n && !dropped; ++i) {
      const int v = list[reversed ? n + 1 - i : i];
      if (v < 0 || v >= mesh->vertexCount) {
        dropped = true;
        break;
      }
      if (c.state[v] == kZStateUnseen) ZCacheFill(node, frame, v);
      if (c.state[v] == kZStateBehind) {
        dropped = true;
        break;
      }
      all &= c.state[v];
      g_ZFace.push_back(c.x[v]);
      g_ZFace.push_back(c.y[v]);
      PushFloat(c.invDepth[v]);
      g_ZFace.push_back(rendermath::RoundClamped(static_cast<float>(mesh->u[v]) * static_cast<float>(texture->width),
                                                 rendermath::kScreenLimit16));
      g_ZFace.push_back(rendermath::RoundClamped(static_cast<float>(mesh->v[v]) * static_cast<float>(texture->height),
                                                 rendermath::kScreenLimit16));
      if (lit) g_ZFace.push_back(c.light[v]);
    }
    // Drawn only when no screen edge has every vertex beyond it.
    if (dropped || all != kZStateProjected) continue;
    anyDrawn = true;
    if (lit) {
      ScreenVertexZLit* first = reinterpret_cast<ScreenVertexZLit*>(g_ZFace.data());
      DrawPolyZLit(view, first, first + n, texture);
    } else {
      ScreenVertexZ* first = reinterpret_cast<ScreenVertexZ*>(g_ZFace.data());
      DrawPolyZUnlit(view, first, first + n, texture);
    }
  }
  // Marked as the BSP pass marks the instances it queues faces of, so that
  // the game sees the same thing with or without the z-buffer.
  if (anyDrawn) node->instance->drawn = 1;
}
