// The perspective-correct world fillers, driven by the coverage buffer.
#include <algorithm>
#include <cstdint>

#include "render/coverage_buffer.h"
#include "render/coverage_claim.h"
#include "render/perspective_piece.h"
#include "render/polygon_edges.h"
#include "render/polygon_fillers.h"
#include "render/raster_state.h"

namespace {

// Records the still-uncovered pieces of [a, b) on line as see-through spans.
void RecordSeeThroughPieces(int line, int a, int b) {
  const CoverageBuffer& c = g_Coverage;
  for (std::int32_t node = c.lineHeads[line]; node != kCoverageNone; node = c.next[node]) {
    if (c.start[node] >= b) break;
    if (c.end[node] <= a) continue;
    SeeThroughRecordSpan(line, std::max(a, c.start[node]), std::min(b, c.end[node]));
  }
}

template <bool kShaded>
void HookedFill() {
  RasterState& r = g_Raster;
  const VertexRing ring = VertexRing::FromRaster();
  if (ring.count < 3) return;
  const bool seeThrough = r.flatColour < 0;
  int entry = -1;
  if (!seeThrough) {
    entry = RasterTextureEntry();
    if (entry < 0) return;
  }
  const CoverageBuffer& c = g_Coverage;
  int top, firstLine, stopLine;
  if (!RingLines(ring, c.firstOpenLine, std::min(c.endOpenLine, r.height), top, firstLine, stopLine)) return;
  const int width = std::min(r.width, c.width);

  auto fillLine = [&](int line, const EdgeWalker& left, const EdgeWalker& right) {
    // The column holding the right edge is included.
    const std::int64_t first = left.x >> 16;
    const std::int64_t end = (std::int64_t{right.x} + 0x10000) >> 16;
    if (first < end && c.lineHeads[line] != kCoverageNone) {
      const int a = static_cast<int>(std::clamp<std::int64_t>(first, 0, width));
      const int b = static_cast<int>(std::clamp<std::int64_t>(end, 0, width));
      if (a < b && seeThrough) {
        RecordSeeThroughPieces(line, a, b);
      } else if (a < b) {
        std::uint8_t* row = r.firstRow + static_cast<std::ptrdiff_t>(line) * r.pitch;
        const SpanRoutine* family = SpanTex;
        std::int32_t lineLight = 0;
        if (kShaded) {
          const std::int32_t leftLight = left.field[0];
          const std::int32_t rightLight = right.field[0];
          lineLight = leftLight;
          if ((leftLight >> 16) == (rightLight >> 16)) {
            family = SpanTexLit;  // one shade row across the whole line
            r.lightStep = 0;
          } else {
            family = SpanTexGouraud;
            r.lightStep = static_cast<std::int32_t>((std::int64_t{rightLight} - leftLight) / (end - first));
          }
        }
        CoverageClaim(line, a, b, false, true, [&](int x0, int x1) {
          if (kShaded) r.light = WrapAdd(lineLight, WrapMul(static_cast<std::int32_t>(x0 - first), r.lightStep));
          DrawPerspectivePiece(line, x0, x1, row, entry, family);
        });
      }
    }
    return true;
  };
  WalkEdges(ring, EdgeMath::kFloating, top, firstLine, stopLine, fillLine);
}

}  // namespace

void DrawPolyTexHooked() { HookedFill<false>(); }

void DrawPolyTexShadedHooked() { HookedFill<true>(); }
