#include "render/coverage_buffer.h"

#include <algorithm>
#include <iterator>

#include "render/coverage_claim.h"
#include "render/raster_state.h"
#include "render/render_stats.h"

CoverageBuffer g_Coverage;
SeeThroughLists g_SeeThrough;

namespace {

void CoverageInitialise() {
  CoverageBuffer& c = g_Coverage;
  for (int i = 0; i < kCoverageNodeCount; ++i) c.next[i] = i - 1;  // node 0 ends the chain
  c.freeHead = kCoverageNodeCount - 1;
  std::fill(std::begin(c.lineHeads), std::end(c.lineHeads), kCoverageNone);
  c.width = 0;
  c.height = 0;
  c.initialised = true;
  ReciprocalTableFill();
}

// Returns every node of lines 0 .. height - 1 to the pool. Nodes exist only
// on lines below the height of the reset that made them, so this frees them
// all even when the new view is smaller.
void CoverageReleaseLines(int height) {
  CoverageBuffer& c = g_Coverage;
  for (int y = 0; y < height; ++y) {
    std::int32_t node = c.lineHeads[y];
    while (node != kCoverageNone) {
      const std::int32_t after = c.next[node];
      CoverageFreeNode(node);
      node = after;
    }
    c.lineHeads[y] = kCoverageNone;
  }
}

}  // namespace

int CoverageReset(View* view) {
  CoverageBuffer& c = g_Coverage;
  if (!c.initialised) CoverageInitialise();
  CoverageReleaseLines(c.height);
  g_SeeThrough.polygonCount = 0;
  g_SeeThrough.spanCount = 0;
  g_StatSpanNodesExhausted = 0;
  g_StatSeeThroughSpansDropped = 0;
  g_StatSeeThroughPolysDropped = 0;

  const bool fits = view && view->width >= 0 && view->height >= 0 && view->height <= kCoverageMaxLines &&
                    view->width <= kReciprocalCount;
  const int width = fits ? view->width : 0;
  const int height = fits ? view->height : 0;
  c.width = width;
  c.height = height;
  if (width == 0) {
    // No columns: every line is covered from the start.
    c.openLineCount = 0;
    c.firstOpenLine = 0;
    c.endOpenLine = 0;
    return fits ? 1 : 0;
  }
  for (int y = 0; y < height; ++y) {
    const std::int32_t node = CoverageTakeNode();  // the pool holds far more nodes than lines
    c.start[node] = 0;
    c.end[node] = width;
    c.prev[node] = kCoverageNone;
    c.next[node] = kCoverageNone;
    c.lineHeads[y] = node;
  }
  c.openLineCount = height;
  c.firstOpenLine = 0;
  c.endOpenLine = height;
  return 1;
}

int CoverageClaimSpan(int x0, int x1, int y) {
  if (x0 >= x1 || y < 0 || y >= g_Coverage.height) return 0;
  const int claimed = CoverageClaim(y, x0, x1, true, false, [](int, int) {});
  if (claimed == 0) return 0;
  ++g_StatPolysVisible;
  return 1;
}

int CoverageRectHidden(View* view, int x0, int y0, int x1, int y1) {
  const CoverageBuffer& c = g_Coverage;
  const int width = std::min(view->width, c.width);
  const int height = std::min(view->height, c.height);
  const int left = std::max(x0 - 1, 0);
  const int right = std::min(x1 + 1, width);
  int top = std::max(y0 - 1, 0);
  int bottom = std::min(y1 + 1, height);
  if (left >= right || top >= bottom || top >= c.endOpenLine || bottom <= c.firstOpenLine) return 1;
  top = std::max(top, c.firstOpenLine);
  bottom = std::min(bottom, c.endOpenLine);
  for (int y = top; y < bottom; ++y) {
    for (std::int32_t node = c.lineHeads[y]; node != kCoverageNone; node = c.next[node]) {
      if (c.start[node] >= right) break;
      if (c.end[node] > left) return 0;
    }
  }
  return 1;
}

int SeeThroughRecordSpan(int line, int first, int end) {
  SeeThroughLists& lists = g_SeeThrough;
  if (lists.spanCount >= kSeeThroughMaxSpans) {
    ++g_StatSeeThroughSpansDropped;
    return 0;
  }
  lists.spans[lists.spanCount++] = {static_cast<std::uint16_t>(line), static_cast<std::uint16_t>(first),
                                    static_cast<std::uint16_t>(end)};
  return 1;
}

void SeeThroughEndPolygon(BspFragment* fragment, int spanCountBefore) {
  SeeThroughLists& lists = g_SeeThrough;
  const int recorded = lists.spanCount - spanCountBefore;
  if (recorded <= 0) return;
  if (lists.polygonCount >= kSeeThroughMaxPolygons) {
    lists.spanCount = spanCountBefore;
    g_StatSeeThroughSpansDropped += static_cast<std::uint32_t>(recorded);
    ++g_StatSeeThroughPolysDropped;
    return;
  }
  lists.polygons[lists.polygonCount++] = {fragment, recorded};
}
