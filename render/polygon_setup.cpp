#include "render/polygon_setup.h"

#include <algorithm>
#include <cmath>

#include "engine/frame_stamp.h"
#include "engine/texture.h"
#include "render/coverage_buffer.h"
#include "engine/surface.h"
#include "render/polygon_edges.h"
#include "render/polygon_fillers.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

void RasterLoadTarget(const View* view) {
  g_Raster.firstRow = view->firstRow;
  g_Raster.pitch = view->pitch;
  g_Raster.width = view->width;
  g_Raster.height = view->height;
}

void RasterLoadGradients(const Surface* surface) {
  // The surface keeps the S, T and Q planes one after the other, each as x
  // step, y step and value at the view centre (as ComputeSurfaceGradients
  // stores them).
  const float* g = surface->gradients;
  for (int k = 0; k < 3; ++k) {
    g_Raster.s[k] = g[0 + k];
    g_Raster.t[k] = g[3 + k];
    g_Raster.q[k] = g[6 + k];
  }
  g_Raster.uOffset = surface->uOffset;
  g_Raster.vOffsetNegated = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(surface->vOffset));
}

int RasterLoadTexture(Texture* texture) {
  if (!texture) {
    g_Raster.pixels = nullptr;
    return 0;
  }
  texture->lastUsed = g_FrameStamp;
  g_Raster.pixels = texture->pixels ? texture->pixels : TextureLoadPixels(texture);
  g_Raster.log2Width = texture->log2Width;
  g_Raster.log2Height = texture->log2Height;
  return g_Raster.pixels != nullptr;
}

namespace {

template <typename Vertex>
void LoadRing(Vertex* vertices, Vertex* end, VertexKind kind) {
  g_Raster.vertexFirst = reinterpret_cast<const std::int32_t*>(vertices);
  g_Raster.vertexEnd = reinterpret_cast<const std::int32_t*>(end);
  g_Raster.vertexKind = kind;
}

template <typename Vertex>
void SetupWorldFragment(View* view, Vertex* vertices, Vertex* end, BspFragment* fragment, VertexKind kind,
                        void (*filler)()) {
  RasterLoadTarget(view);
  ++g_StatPolysRendered;
  const std::uint32_t pixelsBefore = g_PixelsDrawn;
  const int spansBefore = g_SeeThrough.spanCount;
  LoadRing(vertices, end, kind);
  const WorldPolygon* polygon = fragment->polygon;
  g_Raster.flatColour = polygon->flatColour;
  if (g_Raster.flatColour >= 0 && !(polygon->flags & kPolygonTranslucent)) {
    Surface* surface = polygon->surface;
    if (!surface || !surface->texture) return;  // nothing to map: the pass fills these flat
    g_Raster.hookSurface = surface;
    g_Raster.hookWidth = view->width;
    g_Raster.hookHeight = view->height;
    g_Raster.hookMatrix = polygon->group ? polygon->group->worldMatrix : nullptr;
    g_Raster.hook = PrepareSurfaceSpans;
    g_Raster.prepared = surface->stamp == g_FrameStamp;
    if (g_Raster.prepared) {
      RasterLoadGradients(surface);
      ChoosePerspectiveStep();
    }
    RasterLoadTexture(surface->texture);
  } else {
    g_Raster.flatColour = -1;
  }
  filler();
  SeeThroughEndPolygon(fragment, spansBefore);
  if (g_PixelsDrawn != pixelsBefore) ++g_StatPolysVisible;
}

}  // namespace

void SetupTexturedFragment(View* view, ScreenVertex* vertices, ScreenVertex* end, BspFragment* fragment) {
  SetupWorldFragment(view, vertices, end, fragment, VertexKind::kPlain, DrawPolyTexHooked);
}

void SetupShadedPolygon(View* view, ScreenVertexLit* vertices, ScreenVertexLit* end, BspFragment* fragment) {
  SetupWorldFragment(view, vertices, end, fragment, VertexKind::kLit, DrawPolyTexShadedHooked);
}

void PrepareSurfaceSpans() {
  Surface* surface = g_Raster.hookSurface;
  if (!surface) return;
  ComputeSurfaceGradients(surface, g_Raster.hookWidth, g_Raster.hookHeight, g_Raster.hookMatrix);
  RasterLoadGradients(surface);
  ChoosePerspectiveStep();
}

void ChoosePerspectiveStep() {
  RasterState& r = g_Raster;
  if (std::fabs(r.q[kGradientStepX]) < 1e-9f) {
    r.affine = true;  // Q is constant along every line: spans are exact without division
    return;
  }
  const VertexRing ring = VertexRing::FromRaster();
  if (ring.count == 0) {
    r.affine = true;
    return;
  }
  const int halfWidth = r.width / 2;
  const int halfHeight = r.height / 2;
  float largest = 0.0f;
  float smallest = 0.0f;
  for (int i = 0; i < ring.count; ++i) {
    const int px = std::clamp(ring.X(i) >> 16, 0, std::max(r.width, 0));
    const int py = std::clamp(ring.Y(i) >> 16, 0, std::max(r.height, 0));
    const float q = static_cast<float>(py - halfHeight) * r.q[kGradientStepY] +
                    static_cast<float>(px - halfWidth) * r.q[kGradientStepX] + r.q[kGradientCentre];
    if (i == 0 || q > largest) largest = q;
    if (i == 0 || q < smallest) smallest = q;
  }
  int stepLog2;
  if (smallest == 0.0f) {
    stepLog2 = 2;
  } else {
    const float ratio = largest / smallest;
    if (ratio < 0.0f) {
      stepLog2 = 2;  // the polygon crosses the eye plane
    } else if (ratio < 1.01f) {
      r.affine = true;
      return;
    } else if (ratio < 2.0f) {
      stepLog2 = 5;
    } else if (ratio < 8.0f) {
      stepLog2 = 4;
    } else if (ratio < 16.0f) {
      stepLog2 = 3;
    } else {
      stepLog2 = 2;
    }
  }
  r.affine = false;
  r.stepLog2 = stepLog2;
  r.step = 1 << stepLog2;
  r.stepFloat = static_cast<float>(r.step);
}

void DrawQueuedPolyUnlit(View* view, ScreenVertexUV* vertices, ScreenVertexUV* end, Texture* texture) {
  RasterLoadTarget(view);
  LoadRing(vertices, end, VertexKind::kUV);
  ++g_StatPolysRendered;
  if (!RasterLoadTexture(texture)) return;
  DrawPolyTex();
}

void DrawQueuedPolyLit(View* view, ScreenVertexUVLit* vertices, ScreenVertexUVLit* end, Texture* texture) {
  RasterLoadTarget(view);
  LoadRing(vertices, end, VertexKind::kUVLit);
  ++g_StatPolysRendered;
  const std::uint32_t pixelsBefore = g_PixelsDrawn;
  if (!RasterLoadTexture(texture)) return;
  DrawPolyTexShaded();
  if (g_PixelsDrawn != pixelsBefore) ++g_StatPolysVisible;
}

void DrawPolyZUnlit(View* view, ScreenVertexZ* vertices, ScreenVertexZ* end, Texture* texture) {
  if (!g_ZBuffer || !texture) return;
  RasterLoadTarget(view);
  LoadRing(vertices, end, VertexKind::kZ);
  if (!RasterLoadTexture(texture)) return;
  DrawPolyTexZ();
}

void DrawPolyZLit(View* view, ScreenVertexZLit* vertices, ScreenVertexZLit* end, Texture* texture) {
  if (!g_ZBuffer || !texture) return;
  RasterLoadTarget(view);
  LoadRing(vertices, end, VertexKind::kZLit);
  if (!RasterLoadTexture(texture)) return;
  DrawPolyTexGouraudZ();
}
