#include <algorithm>
#include <cstring>

#include "game/interface_manager.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "softbuild/burn_effects.h"
#include "softbuild/effect_clock.h"
#include "softbuild/screen_lock.h"

namespace {

constexpr int kGridRows = 50;
constexpr int kGridColumns = 320;
constexpr int kHeatMax = 80;
constexpr int kFlameBand = 91;
constexpr int kSpaceTestPasses = 30;
constexpr int kFirstColour = 167;

}  // namespace

void CInterface::PlayExitFire() {
  g_LastEffectPasses = 0;
  ScreenLock screen;
  if (!screen.Bits()) return;
  const int width = screen.Width();
  const int height = screen.Height();
  // One spare cell past the end: the lower-right neighbour of the last
  // column read.
  static uint8_t grid[kGridRows * kGridColumns + 1];
  std::memset(grid, kHeatMax, sizeof grid);
  int a[kGridColumns] = {};
  int b[kGridColumns] = {};
  int top = height - kFlameBand;
  int e = -30;
  int m = 1;
  for (int pass = 1; top >= 0; ++pass) {
    const uint32_t passStart = timeGetTime();
    g_LastEffectPasses = pass;
    if (pass % kSpaceTestPasses == 0) {
      screen.Unlock();
      const bool stop = EffectSpacePressed(*this);
      if (!screen.Relock() || stop) return;
    }
    ++e;
    if (e > 0) {
      const int rise = e / 8;
      top -= rise;
      // Once the band has left the top of the screen there is nothing more
      // to draw (the flames would be placed above row 0).
      if (top < 0) break;
      const int bottom = std::min(m + 2 * rise + 92 + top, height - 1);
      for (int x = 0; x < 640 && x < width; x += 2) {
        for (int y = std::max(top + rise + a[x / 2] + kFlameBand, 0); y <= bottom; ++y) {
          screen.Plot(x, y, 0);
          screen.Plot(x + 1, y, 0);
        }
      }
    }
    const int h = std::max(std::min(height - kFlameBand - top, top), 0);
    for (int& v : b) v = static_cast<int>(v - CrtRand() * 10.0 / 32767.0 + 5.0);
    m = 1;
    for (int i = 0; i < kGridColumns; ++i) {
      const int j = std::clamp(i, 2, kGridColumns - 3);
      const int v = (2 * b[j - 2] + 3 * b[j - 1] + 4 * b[j] + 3 * b[j + 1] + 2 * b[j + 2]) / 14;
      a[i] = std::clamp(v, -h, h);
      m = std::max(m, a[i]);
    }
    std::copy(std::begin(a), std::end(a), std::begin(b));
    uint8_t* bottomRow = grid + (kGridRows - 1) * kGridColumns;
    for (int x = 0; x < kGridColumns; ++x) {
      const double r = CrtRand() * 9.0 / 32767.0;
      bottomRow[x] = static_cast<uint8_t>(static_cast<int>(r * r));
    }
    for (int row = 0; row < kGridRows - 1; ++row) {
      for (int column = 0; column < kGridColumns - 2; ++column) {
        uint8_t* cell = grid + row * kGridColumns + column;
        int v = (3 * cell[319] + 8 * cell[320] + 4 * cell[321] + cell[0]) / 16;
        if (v == cell[0]) continue;
        v = std::min(v + (CrtRand() & 3) + 1, kHeatMax);
        *cell = static_cast<uint8_t>(v);
        if (row > 44) continue;
        const uint8_t colour = static_cast<uint8_t>(kFirstColour + v / 4);
        const int x = 2 * column;
        const int y = top + 2 * row + a[column + 1];
        screen.Plot(x, y, colour);
        screen.Plot(x + 1, y, colour);
        screen.Plot(x, y + 1, colour);
        screen.Plot(x + 1, y + 1, colour);
      }
    }
    if (!screen.Refresh()) return;
    EffectWaitUntil(passStart, kExitFirePassMs);
  }
}
