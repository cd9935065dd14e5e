#include <cmath>
#include <cstring>
#include <vector>

#include "game/interface_manager.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "softbuild/burn_effects.h"
#include "softbuild/effect_clock.h"
#include "softbuild/screen_lock.h"

uint8_t g_FadeTable[256][kFadeLevels];
int g_LastEffectPasses = 0;

namespace {

bool g_FadeTableBuilt = false;

constexpr int kQueueCapacity = 4096;
constexpr int kSpaceTestPasses = 50;

struct BurnEntry {
  uint16_t x;
  uint16_t y;
  uint32_t offset;  // y x pitch + x
  int32_t decay;
  int32_t life;  // -1: not yet known
  int32_t stamp;
};

bool IsGameColour(int c) { return c >= 10 && c <= 245; }

}  // namespace

bool FadeTableIsBuilt() { return g_FadeTableBuilt; }
void FadeTableForget() { g_FadeTableBuilt = false; }

void CInterface::BuildFadeTable() {
  if (g_FadeTableBuilt) return;
  g_FadeTableBuilt = true;
  std::memset(g_FadeTable, 0, sizeof g_FadeTable);
  const PALETTEENTRY* p = paletteTable_;
  for (int c = 10; c <= 245; ++c) {
    for (int level = 0; level < kFadeLevels; ++level) {
      const int r = level * p[c].peRed / 64;
      const int g = level * p[c].peGreen / 64;
      const int b = level * p[c].peBlue / 64;
      int best = 0x7FFFFFFF;
      int bestIndex = 0;
      // The later of equal candidates wins; a near enough one ends the search.
      for (int k = 10; k <= 245 && best > 4; ++k) {
        if (k == c) continue;
        const int dr = p[k].peRed - r;
        const int dg = p[k].peGreen - g;
        const int db = p[k].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance <= best) {
          best = distance;
          bestIndex = k;
        }
      }
      g_FadeTable[c][level] = static_cast<uint8_t>(bestIndex);
    }
  }
}

void CInterface::PlayBurnOut() {
  g_LastEffectPasses = 0;
  paletteTable_[0].peRed = paletteTable_[0].peGreen = paletteTable_[0].peBlue = 0;
  BuildFadeTable();
  ScreenLock screen;
  if (!screen.Bits()) return;
  const int width = screen.Width();
  const int height = screen.Height();
  const int pitch = screen.Pitch();
  std::vector<uint8_t> picture(static_cast<size_t>(pitch) * (height + 1), 0);
  std::memcpy(picture.data(), screen.Bits(), static_cast<size_t>(pitch) * height);
  uint8_t* shown = screen.Bits();

  std::vector<BurnEntry> queue;
  queue.reserve(kQueueCapacity);
  const int cx = width / 2;
  const int cy = height / 2;
  queue.push_back(BurnEntry{static_cast<uint16_t>(cx), static_cast<uint16_t>(cy),
                            static_cast<uint32_t>(cy * pitch + cx), 0, -1, 0});
  uint32_t paceStart = timeGetTime();
  for (int pass = 1; !queue.empty(); ++pass) {
    g_LastEffectPasses = pass;
    if (pass % kSpaceTestPasses == 0) {
      screen.Unlock();
      const bool stop = EffectSpacePressed(*this);
      if (!screen.Relock()) return;
      shown = screen.Bits();
      if (stop) break;
    }
    size_t i = 0;
    while (i < queue.size()) {
      BurnEntry& e = queue[i];
      if (e.stamp == pass) {
        ++i;
        continue;
      }
      const int d = e.decay + 20 + CrtRand() * 10 / 32767;
      e.decay = 0;
      const int q = picture[e.offset];
      bool remove = false;
      if (!IsGameColour(q)) {
        remove = true;
      } else {
        if (e.life < 0) {
          const PALETTEENTRY& c = paletteTable_[q];
          e.life = static_cast<int>(std::sqrt(static_cast<double>(c.peRed * c.peRed + c.peGreen * c.peGreen +
                                                                  c.peBlue * c.peBlue)));
        }
        if (e.life > d) {
          const int level = ((e.life - d) * 64) / e.life;
          e.life -= d;
          picture[e.offset] = shown[e.offset] = g_FadeTable[q][level];
        } else {
          picture[e.offset] = shown[e.offset] = 0;
          const int rest = d - e.life;
          const BurnEntry from = e;
          auto spread = [&](int x, int y) {
            const uint32_t offset = static_cast<uint32_t>(y * pitch + x);
            if (picture[offset] == 0 || queue.size() >= kQueueCapacity) return;
            queue.push_back(BurnEntry{static_cast<uint16_t>(x), static_cast<uint16_t>(y), offset, rest / 3, -1, pass});
          };
          if (from.x > 0) spread(from.x - 1, from.y);
          if (from.y > 0) spread(from.x, from.y - 1);
          if (from.x < width - 1) spread(from.x + 1, from.y);
          if (from.y < height - 1) spread(from.x, from.y + 1);
          remove = true;
        }
      }
      if (remove) {
        // The last entry takes this place and is looked at next.
        queue[i] = queue.back();
        queue.pop_back();
      } else {
        ++i;
      }
    }
    if (!screen.Refresh()) return;
    shown = screen.Bits();
    if (pass % kBurnOutPassesPerMs == 0) {
      EffectWaitUntil(paceStart, 1);
      paceStart = timeGetTime();
    }
  }
  screen.FillRect(0, 0, width, height, 0);
}
