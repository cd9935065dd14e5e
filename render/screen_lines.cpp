#include "render/screen_lines.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/palette.h"
#include "render/coverage_buffer.h"
#include "render/coverage_claim.h"

namespace {

constexpr std::uint8_t kLinePatterns[2][8] = {
    {1, 1, 1, 1, 0, 0, 0, 0},  // dashes of four
    {1, 1, 1, 1, 1, 1, 1, 1},  // solid
};

bool BothOutside(std::int64_t a0, std::int64_t a1, int size) {
  return (a0 < 0 && a1 < 0) || (a0 >= size && a1 >= size);
}

// One axis border crossing: when exactly one endpoint lies beyond it, that
// endpoint moves onto the border (integer arithmetic, truncating division).
// p = the axis clipped, q = the other axis.
void ClipAxis(std::int64_t& p0, std::int64_t& q0, std::int64_t& p1, std::int64_t& q1, bool low, std::int64_t border) {
  const bool out0 = low ? p0 < 0 : p0 > border;
  const bool out1 = low ? p1 < 0 : p1 > border;
  if (out0 == out1) return;
  const std::int64_t target = low ? 0 : border;
  const std::int64_t q = q0 + (target - p0) * (q1 - q0) / (p1 - p0);
  if (out0) {
    p0 = target;
    q0 = q;
  } else {
    p1 = target;
    q1 = q;
  }
}

}  // namespace

void DrawLine2D(View* view, int x0, int y0, int x1, int y1, int colour, int solid) {
  const int width = view->width;
  const int height = view->height;
  if (width <= 0 || height <= 0) return;
  std::int64_t ax = x0, ay = y0, bx = x1, by = y1;
  if (BothOutside(ax, bx, width) || BothOutside(ay, by, height)) return;
  ClipAxis(ax, ay, bx, by, true, 0);
  ClipAxis(ax, ay, bx, by, false, width - 1);
  if (BothOutside(ay, by, height)) return;
  ClipAxis(ay, ax, by, bx, true, 0);
  ClipAxis(ay, ax, by, bx, false, height - 1);
  if (BothOutside(ax, bx, width)) return;
  // Truncation in the clipping can leave an endpoint a pixel outside.
  ax = std::clamp<std::int64_t>(ax, 0, width - 1);
  bx = std::clamp<std::int64_t>(bx, 0, width - 1);
  ay = std::clamp<std::int64_t>(ay, 0, height - 1);
  by = std::clamp<std::int64_t>(by, 0, height - 1);

  if (view->flags & kRenderHardware) {
    if (!view->drawPolygon) return;
    PolyVertex line[3] = {};
    line[0].x = static_cast<float>(ax);
    line[0].y = static_cast<float>(ay);
    line[1].x = static_cast<float>(bx);
    line[1].y = static_cast<float>(by);
    line[2].x = static_cast<float>(colour);
    view->drawPolygon(2, line, nullptr, 0);
    return;
  }
  if (!view->firstRow) return;

  int x = static_cast<int>(ax), y = static_cast<int>(ay);
  const int dx = static_cast<int>(bx - ax), dy = static_cast<int>(by - ay);
  const int stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -1 : 1;
  const bool xMajor = std::abs(dx) > std::abs(dy);
  const int major = xMajor ? std::abs(dx) : std::abs(dy);
  const int minor = xMajor ? std::abs(dy) : std::abs(dx);
  int error = -((major + 1) / 2);                  // -major / 2 rounded toward minus infinity
  const int dashed = solid ? 0 : (major / 8) * 8;  // pixels before this alternate 4 on, 4 off
  const std::uint8_t byte = static_cast<std::uint8_t>(colour);
  for (int i = 0;; ++i) {
    std::uint8_t* pixel = view->firstRow + static_cast<std::ptrdiff_t>(y) * view->pitch + x;
    if (solid) {
      *pixel = byte;
    } else if (i >= dashed || (i & 7) < 4) {
      *pixel = g_ColourRemap[*pixel];
    }
    if (i == major) break;
    if (xMajor) {
      x += stepX;
    } else {
      y += stepY;
    }
    error += minor;
    if (error >= 0) {
      error -= major;
      if (xMajor) {
        y += stepY;
      } else {
        x += stepX;
      }
    }
  }
}

namespace {

// Writes and claims one pixel when it is still uncovered.
void CoverageLinePixel(const View* view, int x, int y, std::uint8_t colour) {
  CoverageClaim(y, x, x + 1, false, false,
                [&](int, int) { view->firstRow[static_cast<std::ptrdiff_t>(y) * view->pitch + x] = colour; });
}

// The steps k in [0, major] at which p0 + direction * k lies in [0, size).
bool StepsInside(std::int64_t p0, int direction, std::int64_t major, int size, std::int64_t& first,
                 std::int64_t& last) {
  if (direction > 0) {
    first = std::max<std::int64_t>(0, -p0);
    last = std::min<std::int64_t>(major, size - 1 - p0);
  } else if (direction < 0) {
    first = std::max<std::int64_t>(0, p0 - (size - 1));
    last = std::min<std::int64_t>(major, p0);
  } else {
    if (p0 < 0 || p0 >= size) return false;
    first = 0;
    last = major;
  }
  return first <= last;
}

}  // namespace

void CoverageLine(View* view, int x0, int y0, int x1, int y1, int colour, int pattern) {
  const int width = std::min(view->width, g_Coverage.width);
  const int height = std::min(view->height, g_Coverage.height);
  if (width <= 0 || height <= 0 || !view->firstRow) return;
  if (BothOutside(x0, x1, width) || BothOutside(y0, y1, height)) return;
  const std::uint8_t* bits = kLinePatterns[pattern == 0 ? 0 : 1];
  const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
  const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int stepX = dx < 0 ? -1 : (dx > 0 ? 1 : 0);
  const int stepY = dy < 0 ? -1 : (dy > 0 ? 1 : 0);
  const std::int64_t major = std::max(adx, ady);
  const std::int64_t twiceMajor = 2 * major;
  // Each error term starts at major, grows by twice its axis distance per
  // step and moves its coordinate when it reaches twice major, so the
  // position at step k is closed-form: the walk starts at the first step
  // whose major coordinate lies in the view instead of visiting every pixel
  // of a line that reaches far outside it.
  std::int64_t first, last;
  const bool xMajor = adx >= ady;
  if (!StepsInside(xMajor ? x0 : y0, xMajor ? stepX : stepY, major, xMajor ? width : height, first, last)) return;
  // (major + 2 k distance) needs more than 64 bits for coordinates near the
  // int range.
  using Wide = __int128;
  auto movesAfter = [&](std::int64_t k, std::int64_t distance) {
    return major == 0 ? 0 : static_cast<std::int64_t>((Wide{major} + Wide{k} * 2 * distance) / twiceMajor);
  };
  auto errorAfter = [&](std::int64_t k, std::int64_t distance) {
    return major == 0 ? 0 : static_cast<std::int64_t>((Wide{major} + Wide{k} * 2 * distance) % twiceMajor);
  };
  std::int64_t x = x0 + stepX * movesAfter(first, adx);
  std::int64_t y = y0 + stepY * movesAfter(first, ady);
  std::int64_t errorX = errorAfter(first, adx);
  std::int64_t errorY = errorAfter(first, ady);
  const std::uint8_t byte = static_cast<std::uint8_t>(colour);
  for (std::int64_t k = first; k <= last; ++k) {
    if (bits[k & 7] && x >= 0 && x < width && y >= 0 && y < height) {
      CoverageLinePixel(view, static_cast<int>(x), static_cast<int>(y), byte);
    }
    errorX += 2 * adx;
    if (errorX >= twiceMajor) {
      errorX -= twiceMajor;
      x += stepX;
    }
    errorY += 2 * ady;
    if (errorY >= twiceMajor) {
      errorY -= twiceMajor;
      y += stepY;
    }
  }
}
