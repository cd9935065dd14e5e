// korvanesw's palette fades: the game's colours (entries 10..245) to black
// over 500 ms and up from black over 300 ms of the multimedia clock, drawn
// through the palette object as often as the clock moves (once a
// millisecond at most). The palette table is never changed: after a fade out
// the screen stays black until the next palette is applied, and the next
// picture shown comes up with the fade in (the build variant's FrameShown).
#include <algorithm>
#include <cstring>

#include "game/interface_manager.h"
#include "platform/clock.h"
#include "softbuild/effect_clock.h"

namespace {

constexpr int kFirst = 10;
constexpr int kCount = 236;
constexpr uint32_t kFadeOutMs = 500;
constexpr uint32_t kFadeInMs = 300;

// Every channel of the game's entries lowered by s (0..256), never below 0
// nor above its colour in the table (nor 255).
void Lower(const PALETTEENTRY* from, int s, PALETTEENTRY* out) {
  auto channel = [s](uint8_t c) { return static_cast<uint8_t>(std::clamp(static_cast<int>(c) - s, 0, static_cast<int>(c))); };
  for (int i = kFirst; i < kFirst + kCount; ++i) {
    out[i] = from[i];
    out[i].peRed = channel(from[i].peRed);
    out[i].peGreen = channel(from[i].peGreen);
    out[i].peBlue = channel(from[i].peBlue);
  }
}

}  // namespace

void CInterface::FadePaletteOut() {
  if (!primary_ || !palette_) return;
  PALETTEENTRY copy[256];
  std::memcpy(copy, paletteTable_, sizeof copy);
  primary_->SetPalette(palette_);
  PALETTEENTRY shown[256];
  const uint32_t t0 = timeGetTime();
  for (uint32_t e = 0; e <= kFadeOutMs; e = EffectElapsed(t0)) {
    Lower(copy, static_cast<int>(std::min<uint32_t>(e * 256 / kFadeOutMs, 256)), shown);
    palette_->SetEntries(0, kFirst, kCount, shown + kFirst);
    Sleep(1);
  }
  // However the clock stepped, the fade ends at black.
  Lower(copy, 256, shown);
  palette_->SetEntries(0, kFirst, kCount, shown + kFirst);
  std::memcpy(paletteTable_, copy, sizeof copy);
  fadeInPending_ = 1;
}

void CInterface::FadePaletteIn() {
  fadeInPending_ = 0;
  if (!primary_ || !palette_) return;
  PALETTEENTRY copy[256];
  std::memcpy(copy, paletteTable_, sizeof copy);
  primary_->SetPalette(palette_);
  PALETTEENTRY shown[256];
  const uint32_t t0 = timeGetTime();
  for (uint32_t e = 0; e <= kFadeInMs; e = EffectElapsed(t0)) {
    Lower(copy, static_cast<int>(std::min<uint32_t>((kFadeInMs - e) * 256 / kFadeInMs, 256)), shown);
    palette_->SetEntries(0, kFirst, kCount, shown + kFirst);
    Sleep(1);
  }
  // However the clock stepped, the fade ends at the table's colours.
  palette_->SetEntries(0, kFirst, kCount, copy + kFirst);
  std::memcpy(paletteTable_, copy, sizeof copy);
}
