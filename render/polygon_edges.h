#pragma once
// Edge walking shared by the polygon fillers. The left edge walks the vertex
// ring forward from the top vertex, the right edge backward; each walker
// moves on when the current line reaches its edge's lower end, passing over
// edges of zero or negative height, and the polygon ends when the walkers
// would meet. Rasteriser-internal.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "render/fixed_math.h"
#include "render/raster_state.h"

// Where the interpolated fields sit in a vertex of each kind (32-bit words).
struct VertexLayout {
  int words;       // stride
  int zWord;       // the float z, or -1
  int fieldCount;  // integer fields besides x and y (u, v, light)
  int fieldWord[3];
};

inline VertexLayout VertexLayoutOf(VertexKind kind) {
  switch (kind) {
    case VertexKind::kPlain:
      return {2, -1, 0, {0, 0, 0}};
    case VertexKind::kLit:
      return {3, -1, 1, {2, 0, 0}};  // light
    case VertexKind::kUV:
      return {4, -1, 2, {2, 3, 0}};  // u, v
    case VertexKind::kUVLit:
      return {5, -1, 3, {2, 3, 4}};  // u, v, light
    case VertexKind::kZ:
      return {5, 2, 2, {3, 4, 0}};  // u, v
    case VertexKind::kZLit:
      return {6, 2, 3, {3, 4, 5}};  // u, v, light
  }
  return {2, -1, 0, {0, 0, 0}};
}

// The ring in g_Raster, read word by word.
struct VertexRing {
  const std::int32_t* base;
  int count;
  VertexLayout layout;

  static VertexRing FromRaster() {
    VertexRing ring{g_Raster.vertexFirst, 0, VertexLayoutOf(g_Raster.vertexKind)};
    if (ring.base && g_Raster.vertexEnd > ring.base) {
      ring.count = static_cast<int>((g_Raster.vertexEnd - ring.base) / ring.layout.words);
    }
    return ring;
  }
  const std::int32_t* Vertex(int i) const { return base + static_cast<std::ptrdiff_t>(i) * layout.words; }
  std::int32_t X(int i) const { return Vertex(i)[0]; }
  std::int32_t Y(int i) const { return Vertex(i)[1]; }
  std::int32_t Field(int i, int k) const { return Vertex(i)[layout.fieldWord[k]]; }
  float Z(int i) const {
    float z;
    std::memcpy(&z, Vertex(i) + layout.zWord, sizeof z);
    return z;
  }
  // Top vertex (smallest y, first on ties) and the largest y.
  void Extent(int& top, std::int32_t& bottomY) const {
    top = 0;
    bottomY = Y(0);
    for (int i = 1; i < count; ++i) {
      if (Y(i) < Y(top)) top = i;
      bottomY = std::max(bottomY, Y(i));
    }
  }
};

enum class EdgeMath {
  kFloating,  // step = round(dx * 65536 / dy), value = round(x0 + dx * t / dy)
  kInteger,   // step = dx * 65536 / max(dy, 65536), value = x0 + (step * t) >> 16
};

// One side of a polygon with x and the interpolated fields at the current line.
struct EdgeWalker {
  const VertexRing* ring;
  EdgeMath math;
  int direction;
  int current;
  int following;
  std::int32_t x, xStep;
  std::int32_t field[3], fieldStep[3];
  float z, zStep;

  void Start(const VertexRing& r, EdgeMath m, int dir, int top) {
    ring = &r;
    math = m;
    direction = dir;
    current = top;
    following = Next(top);
    x = xStep = 0;
    std::fill(std::begin(field), std::end(field), 0);
    std::fill(std::begin(fieldStep), std::end(fieldStep), 0);
    z = zStep = 0.0f;
  }
  int Next(int index) const { return (index + direction + ring->count) % ring->count; }

  // Makes the walker hold the edge under line y (16.16). False when the
  // walkers would meet (the polygon ends).
  bool Reach(std::int64_t y, bool fresh, int& edgesUsed) {
    bool moved = fresh;
    while (y >= ring->Y(following)) {
      if (++edgesUsed > ring->count - 2) return false;
      current = following;
      following = Next(current);
      moved = true;
    }
    if (moved) SetUp(y);
    return true;
  }

  void SetUp(std::int64_t y) {
    const VertexRing& r = *ring;
    const std::int64_t dy = std::int64_t{r.Y(following)} - r.Y(current);
    const std::int64_t t = y - r.Y(current);
    auto interpolate = [&](std::int32_t from, std::int32_t to, std::int32_t& value, std::int32_t& step) {
      const std::int64_t dx = std::int64_t{to} - from;
      if (math == EdgeMath::kFloating) {
        step = RoundToInt32(static_cast<double>(dx) * 65536.0 / static_cast<double>(dy));
        value = RoundToInt32(static_cast<double>(from) + static_cast<double>(dx) * static_cast<double>(t) / dy);
      } else {
        const std::int64_t wide = dx * 65536 / std::max<std::int64_t>(dy, 65536);
        step = static_cast<std::int32_t>(wide);
        value = static_cast<std::int32_t>(from + ((static_cast<std::int64_t>(step) * t) >> 16));
      }
    };
    interpolate(r.X(current), r.X(following), x, xStep);
    for (int k = 0; k < r.layout.fieldCount; ++k) {
      interpolate(r.Field(current, k), r.Field(following, k), field[k], fieldStep[k]);
    }
    if (r.layout.zWord >= 0) {
      const float from = r.Z(current);
      const float to = r.Z(following);
      zStep = static_cast<float>((static_cast<double>(to) - from) * 65536.0 / static_cast<double>(dy));
      z = static_cast<float>(from +
                             (static_cast<double>(to) - from) * static_cast<double>(t) / static_cast<double>(dy));
    }
  }

  void Advance() {
    x = WrapAdd(x, xStep);
    for (int k = 0; k < ring->layout.fieldCount; ++k) field[k] = WrapAdd(field[k], fieldStep[k]);
    z += zStep;
  }
};

// The top vertex and the lines [firstLine, stopLine) that the ring covers
// within [lowest, limit); false when there are none.
inline bool RingLines(const VertexRing& ring, int lowest, int limit, int& top, int& firstLine, int& stopLine) {
  std::int32_t bottomY;
  ring.Extent(top, bottomY);
  firstLine = std::max(CeilLine(ring.Y(top)), lowest);
  stopLine = std::min(CeilLine(bottomY), limit);
  return firstLine < stopLine;
}

// Walks both edges from the top vertex down lines [firstLine, stopLine),
// calling line(line, left, right) with the walkers at each line. Stops when
// the walkers would meet or line returns false.
template <typename Line>
void WalkEdges(const VertexRing& ring, EdgeMath math, int top, int firstLine, int stopLine, Line&& line) {
  EdgeWalker left;
  EdgeWalker right;
  left.Start(ring, math, +1, top);
  right.Start(ring, math, -1, top);
  int edgesUsed = 0;
  bool fresh = true;
  for (int y = firstLine; y < stopLine; ++y) {
    const std::int64_t y16 = std::int64_t{y} << 16;
    if (!left.Reach(y16, fresh, edgesUsed) || !right.Reach(y16, fresh, edgesUsed)) return;
    fresh = false;
    if (!line(y, left, right)) return;
    left.Advance();
    right.Advance();
  }
}
