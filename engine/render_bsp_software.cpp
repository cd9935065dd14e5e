#include <algorithm>
#include <vector>

#include "engine/bsp_visit.h"
#include "engine/depth_cue.h"
#include "engine/fragment_cull.h"
#include "engine/frame_stamp.h"
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

// Fragments passed over for lying wholly off the view, in traversal order,
// since the last fragment that was handed to the drawing.
std::vector<BspFragment*> g_OffView;

// 1 when the full test would have handed an off-view fragment (facing the
// eye, of three or more vertices) to the drawing: some vertex is in front
// of depth 1.0 and some would send it through the clipper (with none, it
// would have an empty rectangle off the edge).
bool WouldBeHandedOn(BspFragment* fragment) {
  const WorldPolygon* polygon = fragment->polygon;
  if (!polygon || (polygon->flags & kPolygonNeverDrawn)) return false;
  bool seen = false, nearVertex = false;
  for (int i = 0; i < fragment->vertexCount; ++i) {
    const int index = fragment->vertices[i].vertex;
    if (g_VertexState[index] == kVertexUnseen) CacheVertex(index);
    const std::uint8_t state = g_VertexState[index];
    nearVertex = nearVertex || state == kVertexBehind || state == kVertexNear;
    seen = seen || state == kVertexProjected || state == kVertexNear;
  }
  return seen && nearVertex;
}

// The light-source switch as the last fragment handed to the drawing would
// have left it, for instance faces about to be lit.
void SettleLightSwitch() {
  for (auto it = g_OffView.rbegin(); it != g_OffView.rend(); ++it) {
    if (WouldBeHandedOn(*it)) {
      g_SurfaceTakesLights = ((*it)->polygon->flags & kPolygonNoLightSources) ? 0 : 1;
      break;
    }
  }
  g_OffView.clear();
}

// A leaf side's instance faces, lit with the switch as it would stand.
void DrawLeafFaces(BspNode* node, int side) {
  if (!node->firstInstanceFragment) return;
  SettleLightSwitch();
  DrawLeafInstanceFaces(node, side);
}

// Step 10 for one fragment: the polygon's flags, facing, the cached screen
// positions of its vertices, its rectangle against the coverage buffer, and
// then the drawing.
void DrawFragment(BspFragment* fragment, int side, View* view, bool depthCueClips) {
  WorldPolygon* polygon = fragment->polygon;
  if (!polygon || (polygon->flags & kPolygonNeverDrawn)) return;
  const int count = fragment->vertexCount;
  if (count >= 3 && fragment->back == (side == 1 ? 1 : 0)) return;  // faces away from the eye

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
  if (!seen) return;
  if (!nearVertex) {
    if (count >= 3 && !(minX < maxX && minY < maxY)) return;
    if (CoverageRectHidden(view, minX >> 16, minY >> 16, maxX >> 16, maxY >> 16)) return;
  }
  g_SurfaceTakesLights = (polygon->flags & kPolygonNoLightSources) ? 0 : 1;
  g_OffView.clear();
  g_FragmentLighting = g_LightsOn && !(polygon->flags & kPolygonUnlit);
  g_FragmentLightSpots = g_LightSpotsOn && !(polygon->flags & kPolygonNoLightSpots);
  if (depthCueClips && FragmentBeyondFar(fragment)) {
    // The clipper would keep nothing of it: all that drawing it leaves is
    // its polygon's drawn stamp.
    fragment->polygon->lastDrawn = g_FrameStamp;
    return;
  }
  RenderFragmentSoftware(fragment, (depthCueClips || nearVertex) ? 1 : 0);
}

// A node's fragments, in list order, after a first look at their bounding
// boxes has dropped what the full test would drop.
void DrawNodeFragments(BspNode* node, int side, View* view) {
  const bool depthCueClips = g_DepthCueFar >= 0.0f;
  // Drawing never reaches another node's fragments, so one list serves.
  static std::vector<FragmentCullItem> left;
  left.clear();
  FragmentCull(node, side, view, &left);
  for (const FragmentCullItem& item : left) {
    if (item.result == kFragmentOffView) {
      g_OffView.push_back(item.fragment);
    } else {
      DrawFragment(item.fragment, side, view, depthCueClips);
    }
  }
}

}  // namespace

void RenderBspSoftware(BspNode* node, int planeMask, int depth) {
  if (!node) return;
  if (depth == 0) {
    FragmentCullBegin();
    g_OffView.clear();
  }
  node->visited = 0;
  if (g_Coverage.openLineCount == 0) return;
  View* view = g_CurrentView;
  int mask = planeMask;
  if (!BspEyeInBox(node) && BspNodeCulled(node, &mask, view)) return;

  ++g_StatNodes;
  node->visited = 1;
  // The children are visited next and after the near subtree: start
  // fetching their records now.
  __builtin_prefetch(node->front);
  __builtin_prefetch(node->back);
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
    if (!nearChild) DrawLeafFaces(node, side);
  }

  DrawNodeFragments(node, side, view);

  node->side = -side;
  BspNodeDrawParticles(node, -side, view);
  if (instancesInTree && !farChild) DrawLeafFaces(node, -side);

  RenderBspSoftware(farChild, mask, depth + 1);
  // What is drawn after the traversal (z-buffered instances, and the next
  // frame's first instance faces) sees the switch as the traversal left it.
  if (depth == 0) SettleLightSwitch();
}
