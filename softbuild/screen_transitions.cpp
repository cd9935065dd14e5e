#include "softbuild/screen_transitions.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "game/interface_manager.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "softbuild/effect_clock.h"
#include "softbuild/screen_lock.h"

DissolveTileObserver g_DissolveTileObserver = nullptr;

namespace {

constexpr int kFirst = 10;
constexpr int kCount = 236;
constexpr int kTiles = kDissolveTilesPerSide * kDissolveTilesPerSide;

}  // namespace

void CInterface::PlayFoldTransition() {
  std::vector<uint8_t> picture;
  int width = 0;
  int height = 0;
  int pitch = 0;
  {
    ScreenLock screen;
    if (!screen.Bits()) return;
    width = std::min(screen.Width(), screenWidth_ > 0 ? screenWidth_ : screen.Width());
    height = std::min(screen.Height(), screenHeight_ > 0 ? screenHeight_ : screen.Height());
    pitch = screen.Pitch();
    picture.assign(static_cast<size_t>(pitch) * (height + 1), 0);
    std::memcpy(picture.data(), screen.Bits(), static_cast<size_t>(pitch) * height);
  }
  PALETTEENTRY copy[256];
  std::memcpy(copy, paletteTable_, sizeof copy);
  if (primary_ && palette_) primary_->SetPalette(palette_);

  ScreenLock screen;
  const int h2 = height / 2 - 1;
  if (screen.Bits() && h2 > 0) {
    // Collapse: the picture squeezed into the band of rows i..H-i-1.
    for (int k = 0; 2 * k < h2; ++k) {
      const int i = 2 * k;
      const int c = h2 - i;
      const uint32_t t = timeGetTime();
      for (int r = i; r <= height - i - 1; ++r) {
        const int s = h2 - (h2 * (c - (r - i))) / c;
        if (s >= 0 && s < height) std::memcpy(screen.Row(r), picture.data() + static_cast<size_t>(s) * pitch, width);
      }
      std::memset(screen.Row(i), 0, width);
      std::memset(screen.Row(height - i - 1), 0, width);
      if (k > 0) {
        std::memset(screen.Row(i - 1), 0, width);
        std::memset(screen.Row(height - i), 0, width);
      }
      if (k % 9 == 8 && palette_) {
        screen.Unlock();
        const int a = (560 * k) / h2;
        PALETTEENTRY bright[256];
        std::memcpy(bright, copy, sizeof bright);
        for (int e = kFirst; e < kFirst + kCount; ++e) {
          bright[e].peRed = static_cast<uint8_t>(std::min(copy[e].peRed + a, 255));
          bright[e].peGreen = static_cast<uint8_t>(std::min(copy[e].peGreen + a, 255));
          bright[e].peBlue = static_cast<uint8_t>(std::min(copy[e].peBlue + a, 255));
        }
        palette_->SetEntries(0, kFirst, kCount, bright + kFirst);
      }
      // What this step drew is shown before the next one.
      if (!screen.Refresh()) break;
      EffectWaitPast(t);
    }
    // Shrink: the bright line left in the middle closes from both ends,
    // down to its last two pixels, so that the screen ends black.
    const int w2 = width / 2 - 1;
    for (int j = 0; j <= w2 && screen.Bits(); ++j) {
      const uint32_t t = timeGetTime();
      EffectWaitPast(t + static_cast<uint32_t>((w2 - j) / 100));
      for (int r = h2; r <= height - h2 - 1; ++r) {
        screen.Row(r)[j] = 0;
        screen.Row(r)[width - 1 - j] = 0;
      }
      if (j % 8 == 7) screen.Refresh();
    }
  }
  screen.Unlock();
  EffectWaitUntil(timeGetTime(), 100);
  std::memcpy(paletteTable_, copy, sizeof copy);
  ApplyPalette();
}

void CInterface::PlayDissolveTransition() {
  ScreenLock screen;
  if (!screen.Bits()) return;
  const int width = screen.Width();
  const int height = screen.Height();
  int tiles[kTiles];
  for (int i = 0; i < kTiles; ++i) tiles[i] = i;
  int n = kTiles;
  uint32_t t0 = timeGetTime();
  int c = 0;
  while (n > 0) {
    // A 15-bit random number times at most 3600 stays far inside 32 bits;
    // the product is unsigned all the same, and i < n always.
    const int i = static_cast<int>(static_cast<uint32_t>(CrtRand()) * static_cast<uint32_t>(n) / 32768u);
    const int tile = tiles[i];
    const int column = tile % kDissolveTilesPerSide;
    const int row = tile / kDissolveTilesPerSide;
    screen.FillRect(column * width / kDissolveTilesPerSide, row * height / kDissolveTilesPerSide,
                    (column + 1) * width / kDissolveTilesPerSide, (row + 1) * height / kDissolveTilesPerSide, 0);
    if (g_DissolveTileObserver) g_DissolveTileObserver(tile);
    --n;
    if (i < n) tiles[i] = tiles[n];
    if (++c == 5) {
      if (!screen.Refresh()) return;
      EffectWaitPast(t0);
      t0 = timeGetTime();
      c = 0;
    }
  }
}
