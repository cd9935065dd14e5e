// The z-buffered instance-face fillers: no coverage buffer, no texture level
// selection; every line is one family A or B call tested against g_ZBuffer.
#include <algorithm>
#include <cstdint>

#include "render/fixed_math.h"
#include "render/perspective_piece.h"
#include "render/polygon_edges.h"
#include "render/polygon_fillers.h"
#include "render/raster_state.h"

namespace {

template <bool kLit>
void ZFill() {
  RasterState& r = g_Raster;
  if (!g_ZBuffer) return;
  const VertexRing ring = VertexRing::FromRaster();
  if (ring.count < 3) return;
  const int entry = RasterTextureEntry();
  if (entry < 0) return;
  // The z-buffer is indexed only within the size it was made for.
  int top, firstLine, stopLine;
  if (!RingLines(ring, 0, std::min(r.height, g_ZBufferHeight), top, firstLine, stopLine)) return;
  const int width = std::min(r.width, g_ZBufferWidth);
  const SpanRoutine routine = kLit ? SpanTexGouraudZ[entry] : SpanTexZ[entry];

  auto fillLine = [&](int line, const EdgeWalker& left, const EdgeWalker& right) {
    if (left.x > right.x) return false;
    // Pixel centres between the edges.
    const int first = static_cast<int>(std::max<std::int64_t>((std::int64_t{left.x} + 0x8000) >> 16, 0));
    const int end = static_cast<int>(std::min<std::int64_t>((std::int64_t{right.x} + 0x8000) >> 16, width));
    const std::int64_t lineWidth = std::int64_t{right.x} - left.x;
    // Empty lines (and columns clamped to nothing) are skipped before any
    // division by the line's width.
    if (first < end && lineWidth > 0) {
      const double perPixel = 65536.0 / static_cast<double>(lineWidth);
      const double prestep = (first + 0.5) - static_cast<double>(left.x) / 65536.0;
      const std::int32_t du = RoundToInt32((static_cast<double>(right.field[0]) - left.field[0]) * perPixel);
      const std::int32_t dv = RoundToInt32((static_cast<double>(right.field[1]) - left.field[1]) * perPixel);
      const float dz = static_cast<float>((static_cast<double>(right.z) - left.z) * perPixel);
      const std::int32_t u = RoundToInt32(left.field[0] + du * prestep);
      const std::int32_t v = RoundToInt32(left.field[1] + dv * prestep);
      const double z = left.z + dz * prestep;
      if (kLit) {
        r.lightStep = RoundToInt32((static_cast<double>(right.field[2]) - left.field[2]) * perPixel);
        r.light = RoundToInt32(left.field[2] + r.lightStep * prestep);
      }
      r.du = du;
      r.dv = dv;
      r.zRow = g_ZBuffer + static_cast<std::ptrdiff_t>(line) * g_ZBufferWidth + first;
      r.z = RoundToUint32Wrapped(z * kZScale);
      r.zStep = RoundToUint32Wrapped(static_cast<double>(dz) * kZScale);
      routine(r.firstRow + static_cast<std::ptrdiff_t>(line) * r.pitch + first, end - first, u, v, r.pixels);
    }
    return true;
  };
  WalkEdges(ring, EdgeMath::kFloating, top, firstLine, stopLine, fillLine);
}

}  // namespace

void DrawPolyTexZ() { ZFill<false>(); }

void DrawPolyTexGouraudZ() { ZFill<true>(); }
