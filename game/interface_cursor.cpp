// korvane3d's software cursor of the menus: the bytes under it are saved
// into a 32 x 64 area before it is drawn and put back before the next
// frame draws.
#include <algorithm>

#include "game/interface_manager.h"
#include "media/back_buffer_access.h"

namespace {
constexpr int kPictureCursor = 15;
constexpr int kSaveWidth = 32;
constexpr int kSaveHeight = 64;
constexpr uint8_t kSeeThrough = 109;
}  // namespace

void CInterface::RestoreUnderCursor() {
  const RECT rect = cursorRect_;
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  CBackBufferAccess target;
  if (!target.Bits()) return;
  // The rectangle was clipped to the save area and the target when saved.
  for (int row = 0; row < rect.bottom - rect.top; ++row)
    std::copy_n(cursorSave_[row], rect.right - rect.left,
                target.Bits() + static_cast<size_t>(rect.top + row) * target.Pitch() + rect.left);
}

bool CInterface::DrawCursor(int x, int y) {
  CPicture& picture = backgrounds_[kPictureCursor];
  const RECT old = cursorRect_;
  RECT now{};
  {
    CBackBufferAccess target;
    if (!target.Bits() || !picture.IsLoaded()) return false;
    // The save area holds 32 x 64 bytes: a larger picture is cut to it, and
    // nothing is written outside the target either.
    const int w = std::min({picture.GetWidth(), kSaveWidth, target.Width()});
    const int h = std::min({picture.GetHeight(), kSaveHeight, target.Height()});
    const int left = std::clamp(x - w / 2, 0, std::max(0, target.Width() - 1 - w));
    const int top = std::clamp(y - h / 2, 0, std::max(0, target.Height() - 1 - h));
    for (int row = 0; row < h; ++row) {
      uint8_t* line = target.Bits() + static_cast<size_t>(top + row) * target.Pitch() + left;
      std::copy_n(line, w, cursorSave_[row]);
      for (int column = 0; column < w; ++column) {
        const uint8_t colour = picture.PixelAt(column, row);
        if (colour != kSeeThrough) line[column] = colour;
      }
    }
    now = RECT{left, top, left + w, top + h};
  }
  cursorRect_ = now;
  // The old place and the new one reach the screen together.
  RECT both = now;
  if (old.left < old.right && old.top < old.bottom) {
    both.left = std::min(old.left, now.left);
    both.top = std::min(old.top, now.top);
    both.right = std::max(old.right, now.right);
    both.bottom = std::max(old.bottom, now.bottom);
  }
  BlitRect(both.left, both.top, both.right - both.left, both.bottom - both.top);
  return true;
}
