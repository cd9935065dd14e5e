#include <algorithm>

#include "engine/bsp_visit.h"
#include "engine/depth_cue.h"
#include "engine/lighting.h"
#include "engine/render_math.h"
#include "engine/render_software.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "render/raster_state.h"

int g_FragmentLighting;
int g_FragmentLightSpots;

namespace {

// Transforms a world vertex into the cache: rounded depth, 16.16 screen
// position and its state. A vertex that projects too far off the view to
// be handed to the rasteriser as it is counts as near: its fragment goes
// through the clipper.
void CacheVertex(int index) {
  float X, Y, Z;
  rendermath::Transform(g_CameraMatrix, g_WorldVertexX[index], g_WorldVertexY[index], g_WorldVertexZ[index], &X, &Y,
                        &Z);
  g_VertexDepth[index] = rendermath::Depth(Z);
  if (!(Z > 1.0f)) {
    g_VertexState[index] = kVertexBehind;
    return;
  }
  g_VertexScreenX[index] = rendermath::Screen16(X, Z);
  g_VertexScreenY[index] = rendermath::Screen16(Y, Z);
  const bool inRange = rendermath::ScreenInRange(X, Z) && rendermath::ScreenInRange(Y, Z);
  g_VertexState[index] = (Z > g_FocalLength && inRange) ? kVertexProjected : kVertexNear;
}

// A node's fragments, in list order.
void DrawNodeFragments(BspNode* node, int side, View* view) {
  const bool depthCueClips = g_DepthCueFar >= 0.0f;
  for (BspFragment* fragment = node->firstFragment; fragment; fragment = fragment->next) {
    const WorldPolygon* polygon = fragment->polygon;
    if (!polygon || (polygon->flags & kPolygonNeverDrawn)) continue;
    const int count = fragment->vertexCount;
    if (count >= 3 && fragment->back == (side == 1 ? 1 : 0)) continue;  // faces away from the eye

    bool nearVertex = false, seen = false;
    std::int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool firstProjected = true;
    for (int i = 0; i < count; ++i) {
      const int index = fragment->vertices[i].vertex;
      if (g_VertexState[index] == kVertexUnseen) CacheVertex(index);
      const std::uint8_t state = g_VertexState[index];
      if (state == kVertexBehind || state == kVertexNear) nearVertex = true;
      if (state == kVertexProjected || state == kVertexNear) {
        seen = true;
        const std::int32_t x = std::clamp(g_VertexScreenX[index], 0, g_ViewWidth16);
        const std::int32_t y = std::clamp(g_VertexScreenY[index], 0, g_ViewHeight16);
        if (firstProjected) {
          minX = maxX = x;
          minY = maxY = y;
          firstProjected = false;
        } else {
          minX = std::min(minX, x);
          maxX = std::max(maxX, x);
          minY = std::min(minY, y);
          maxY = std::max(maxY, y);
        }
      }
    }
    if (!seen) continue;
    if (!nearVertex) {
      if (count >= 3 && !(minX < maxX && minY < maxY)) continue;
      if (CoverageRectHidden(view, minX >> 16, minY >> 16, maxX >> 16, maxY >> 16)) continue;
    }
    g_SurfaceTakesLights = (polygon->flags & kPolygonNoLightSources) ? 0 : 1;
    g_FragmentLighting = g_LightsOn && !(polygon->flags & kPolygonUnlit);
    g_FragmentLightSpots = g_LightSpotsOn && !(polygon->flags & kPolygonNoLightSpots);
    RenderFragmentSoftware(fragment, (depthCueClips || nearVertex) ? 1 : 0);
  }
}

}  // namespace

void RenderBspSoftware(BspNode* node, int planeMask, int depth) {
  if (!node) return;
  node->visited = 0;
  if (g_Coverage.openLineCount == 0) return;
  View* view = g_CurrentView;
  int mask = planeMask;
  if (!BspEyeInBox(node) && BspNodeCulled(node, &mask, view)) return;

  ++g_StatNodes;
  node->visited = 1;
  BspNodeSortParticles(node);
  BspNodePushInstanceFragments(node);

  const Vec3& eye = g_CameraPosition;
  const int side = BspNodeDistance(node, eye) >= 0.0f ? 1 : -1;
  node->side = side;
  BspNode* nearChild = side == 1 ? node->front : node->back;
  BspNode* farChild = side == 1 ? node->back : node->front;
  const bool instancesInTree = !RenderInstancesZBuffered(view);

  RenderBspSoftware(nearChild, mask, depth + 1);

  BspNodeDrawParticles(node, side, view);
  if (instancesInTree) {
    if (node->firstInstanceFragment && (!node->front || !node->back)) BspRecordLeafChain(node);
    if (!nearChild) DrawLeafInstanceFaces(node, side);
  }

  DrawNodeFragments(node, side, view);

  node->side = -side;
  BspNodeDrawParticles(node, -side, view);
  if (instancesInTree && !farChild) DrawLeafInstanceFaces(node, -side);

  RenderBspSoftware(farChild, mask, depth + 1);
}
