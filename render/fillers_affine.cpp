// The affine instance-face fillers: 16.16 integer edges, one span routine
// call per uncovered piece, driven by the coverage buffer.
#include <algorithm>
#include <cstdint>

#include "render/coverage_buffer.h"
#include "render/coverage_claim.h"
#include "render/perspective_piece.h"
#include "render/polygon_edges.h"
#include "render/polygon_fillers.h"
#include "render/raster_state.h"

namespace {

template <bool kShaded>
void AffineFill() {
  RasterState& r = g_Raster;
  const VertexRing ring = VertexRing::FromRaster();
  if (ring.count < 3) return;
  const int entry = RasterTextureEntry();
  if (entry < 0) return;
  const CoverageBuffer& c = g_Coverage;
  int top, firstLine, stopLine;
  if (!RingLines(ring, c.firstOpenLine, std::min(c.endOpenLine, r.height), top, firstLine, stopLine)) return;
  const int width = std::min(r.width, c.width);

  auto fillLine = [&](int line, const EdgeWalker& left, const EdgeWalker& right) {
    if (left.x > right.x) return false;
    const int first = left.x >> 16;
    const int end = right.x >> 16;
    if (first < end && first < width && end > 0 && c.lineHeads[line] != kCoverageNone) {
      const std::int64_t columns = end - first;
      // Fields: u, v, then the light of the lit ring.
      const std::int32_t du = static_cast<std::int32_t>((std::int64_t{right.field[0]} - left.field[0]) / columns);
      const std::int32_t dv = static_cast<std::int32_t>((std::int64_t{right.field[1]} - left.field[1]) / columns);
      const SpanRoutine* family = SpanTex;
      if (kShaded) {
        const std::int32_t leftLight = left.field[2];
        const std::int32_t rightLight = right.field[2];
        if ((leftLight >> 16) == (rightLight >> 16)) {
          family = SpanTexLit;
          r.lightStep = 0;
        } else {
          family = SpanTexGouraud;
          r.lightStep = static_cast<std::int32_t>((std::int64_t{rightLight} - leftLight) / columns);
        }
      }
      std::uint8_t* row = r.firstRow + static_cast<std::ptrdiff_t>(line) * r.pitch;
      CoverageClaim(line, std::max(first, 0), std::min(end, width), false, true, [&](int x0, int x1) {
        const std::int32_t k = x0 - first;
        if (kShaded) r.light = WrapAdd(left.field[2], WrapMul(k, r.lightStep));
        const SpanLevelChoice level = SpanSelectLevel(entry, r.pixels, WrapAdd(left.field[0], WrapMul(k, du)),
                                                      WrapAdd(left.field[1], WrapMul(k, dv)), du, dv);
        r.du = level.du;
        r.dv = level.dv;
        family[level.entry](row + x0, x1 - x0, level.u, level.v, level.texels);
      });
    }
    return true;
  };
  WalkEdges(ring, EdgeMath::kInteger, top, firstLine, stopLine, fillLine);
}

}  // namespace

void DrawPolyTex() { AffineFill<false>(); }

void DrawPolyTexShaded() { AffineFill<true>(); }
