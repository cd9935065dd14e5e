// The end of a software frame: background fill of what stayed uncovered,
// then the see-through polygons, farthest first.
#include <algorithm>
#include <cstdint>

#include "engine/engine_error.h"
#include "engine/palette.h"
#include "render/coverage_buffer.h"
#include "engine/surface.h"
#include "render/polygon_setup.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "render/single_span.h"

namespace {

void FillUncovered(const View* view) {
  const CoverageBuffer& c = g_Coverage;
  const bool fill = g_BackgroundFill != 0 && view->firstRow != nullptr;
  const std::uint8_t background = fill ? static_cast<std::uint8_t>(FindPaletteColour(0, 0, 0)) : 0;
  const int height = std::min(c.height, view->height);
  const int width = std::min(c.width, view->width);
  for (int line = 0; line < height; ++line) {
    for (std::int32_t node = c.lineHeads[line]; node != kCoverageNone; node = c.next[node]) {
      const int start = c.start[node];
      const int end = std::min(c.end[node], width);
      if (start >= end) continue;
      if (fill) {
        std::uint8_t* row = view->firstRow + static_cast<std::ptrdiff_t>(line) * view->pitch;
        std::fill(row + start, row + end, background);
      }
      g_PixelsDrawn += static_cast<std::uint32_t>(end - start);
      if (g_ZBuffer && line < g_ZBufferHeight) {
        std::uint32_t* zRow = g_ZBuffer + static_cast<std::ptrdiff_t>(line) * g_ZBufferWidth;
        std::fill(zRow + start, zRow + std::min(end, g_ZBufferWidth), 0u);
      }
    }
  }
}

// Loads gradients and texture of one see-through polygon; false when it has
// nothing to draw with.
bool PrepareSeeThroughPolygon(const View* view, const WorldPolygon* polygon) {
  Surface* surface = polygon->surface;
  if (!surface || !surface->texture) return false;
  ComputeSurfaceGradients(surface, view->width, view->height, polygon->group ? polygon->group->worldMatrix : nullptr);
  RasterLoadGradients(surface);
  g_Raster.affine = false;  // always perspective-correct, at the step chosen last
  g_Raster.prepared = true;
  return RasterLoadTexture(surface->texture) != 0;
}

void DrawSeeThroughPolygons(const View* view) {
  SeeThroughLists& lists = g_SeeThrough;
  int spanEnd = lists.spanCount;
  for (int p = lists.polygonCount - 1; p >= 0; --p) {
    const SeeThroughPolygon& entry = lists.polygons[p];
    const int spanStart = spanEnd - entry.spanCount;
    const WorldPolygon* polygon = entry.fragment ? entry.fragment->polygon : nullptr;
    if (polygon && spanStart >= 0 && PrepareSeeThroughPolygon(view, polygon)) {
      void (*draw)() = DrawPolyTexTranslucent;
      if (polygon->flatColour < 0) {
        draw = (polygon->flags & kPolygonTranslucent) ? DrawPolyTexKeyTranslucent : DrawPolyTexKey;
      }
      for (int s = spanEnd - 1; s >= spanStart; --s) {
        const SeeThroughSpan& span = lists.spans[s];
        g_Raster.spanLine = span.line;
        g_Raster.spanFirst = span.first;
        g_Raster.spanEnd = span.end;
        g_Raster.spanTarget = view->firstRow + static_cast<std::ptrdiff_t>(span.line) * view->pitch + span.first;
        draw();
      }
    }
    spanEnd = std::max(spanStart, 0);
  }
}

}  // namespace

void FinishFrameSpans(View* view) {
  RasterLoadTarget(view);
  FillUncovered(view);
  if (view->firstRow) DrawSeeThroughPolygons(view);
}
