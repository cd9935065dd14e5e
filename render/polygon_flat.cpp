// The flat and cover-only polygon fills: edge walking in floating point with
// truncation, claiming [left rounded down, right rounded up) per line.
#include <algorithm>
#include <cstdint>

#include "render/coverage_buffer.h"
#include "render/coverage_claim.h"
#include "render/fixed_math.h"
#include "render/render_stats.h"

namespace {

// One side of the polygon. The left side walks the ring forward from the top
// vertex, the right side backward.
struct FlatEdge {
  const ScreenVertex* ring;
  int count;
  int direction;  // +1 forward, -1 backward
  int current;    // upper vertex of the edge
  int following;  // lower vertex of the edge
  std::int32_t x;
  std::int32_t step;

  int Step(int index) const { return (index + direction + count) % count; }

  void Start(int top) {
    current = top;
    following = Step(top);
  }

  // Takes the edge that holds line y (16.16). False when the walk meets an
  // edge running upward (the polygon ends there) or runs into the other side.
  bool Take(std::int64_t y, bool fresh, int& edgesUsed) {
    bool moved = fresh;
    while (y >= ring[following].y) {
      if (++edgesUsed > count - 2) return false;
      current = following;
      following = Step(current);
      if (ring[following].y < ring[current].y) return false;
      moved = true;
    }
    if (moved) {
      const ScreenVertex& from = ring[current];
      const ScreenVertex& to = ring[following];
      const double ratio = (static_cast<double>(to.x) - from.x) / (static_cast<double>(to.y) - from.y);
      step = TruncToInt32(ratio * 65536.0);
      x = TruncToInt32(from.x + ratio * (static_cast<double>(y) - from.y));
    }
    return true;
  }
};

// Walks the polygon and calls claimLine(y, x0, x1) for every line whose
// extent is not empty and that still has uncovered spans.
template <typename ClaimLine>
void ScanFlatPolygon(View* view, const ScreenVertex* vertices, const ScreenVertex* end, ClaimLine claimLine) {
  const int count = static_cast<int>(end - vertices);
  if (count < 3) return;
  int top = 0;
  std::int32_t bottomY = vertices[0].y;
  for (int i = 1; i < count; ++i) {
    if (vertices[i].y < vertices[top].y) top = i;
    bottomY = std::max(bottomY, vertices[i].y);
  }
  const int firstLine = std::max(CeilLine(vertices[top].y), 0);
  const int stopLine = std::min({CeilLine(bottomY), view->height, g_Coverage.height});
  if (firstLine >= stopLine) return;

  FlatEdge left{vertices, count, +1, 0, 0, 0, 0};
  FlatEdge right{vertices, count, -1, 0, 0, 0, 0};
  left.Start(top);
  right.Start(top);
  int edgesUsed = 0;
  bool fresh = true;
  for (int line = firstLine; line < stopLine; ++line) {
    const std::int64_t y = std::int64_t{line} << 16;
    if (!left.Take(y, fresh, edgesUsed) || !right.Take(y, fresh, edgesUsed)) return;
    fresh = false;
    if (left.x < right.x && g_Coverage.lineHeads[line] != kCoverageNone) {
      const int x0 = left.x >> 16;
      const int x1 = static_cast<int>((std::int64_t{right.x} + 0xFFFF) >> 16);
      claimLine(line, x0, x1);
    }
    left.x = WrapAdd(left.x, left.step);
    right.x = WrapAdd(right.x, right.step);
  }
}

}  // namespace

int PolygonCoverOnly(View* view, ScreenVertex* vertices, ScreenVertex* end) {
  ++g_StatPolysRendered;
  int claimed = 0;
  ScanFlatPolygon(view, vertices, end, [&](int line, int x0, int x1) {
    const int before = claimed;
    claimed += CoverageClaim(line, x0, x1, true, false, [](int, int) {});
    if (before == 0 && claimed > 0) ++g_StatPolysVisible;
  });
  return claimed;
}

void FillPolygonFlat(View* view, ScreenVertex* vertices, ScreenVertex* end, int colour) {
  ++g_StatPolysRendered;
  const std::uint8_t byte = static_cast<std::uint8_t>(colour);
  const int width = view->width;
  int claimed = 0;
  ScanFlatPolygon(view, vertices, end, [&](int line, int x0, int x1) {
    std::uint8_t* row = view->firstRow + static_cast<std::ptrdiff_t>(line) * view->pitch;
    claimed += CoverageClaim(line, x0, x1, true, false, [&](int a, int b) {
      b = std::min(b, width);
      if (a < b) std::fill(row + a, row + b, byte);
    });
  });
  if (claimed > 0) ++g_StatPolysVisible;
}
