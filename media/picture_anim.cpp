#include "media/picture_anim.h"

#include <cstdint>

#include "media/media_services.h"
#include "media/overlay_bitmaps.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/framework/cstring.h"

namespace {
constexpr const char* kArchive = "INTERFC.CAN";
}  // namespace

void CPictureAnim::Load(int x, int y, const char* name, const char* /*ignored*/, int* nextOverlaySlot) {
  int noSlots = 0;
  if (!nextOverlaySlot) nextOverlaySlot = &noSlots;
  nextChange_ = 0;
  x_ = x;
  y_ = y;
  frameCount_ = 0;
  OverlayBitmaps* overlays = OverlayBitmapsInstalled();
  for (int i = 0; i < kMaxFrames; ++i) {
    CString file;
    file.Format("%s%d.bmp", name, i);
    if (overlays) {
      if (!overlays->Load(*nextOverlaySlot, file, kArchive)) continue;
      slots_[frameCount_++] = (*nextOverlaySlot)++;
    } else if (frames_[frameCount_].Load(file, kArchive, false)) {
      ++frameCount_;
    }
  }
  if (frameCount_ == 0) MediaFatalError("picture", 885);
  current_ = 0;
}

bool CPictureAnim::Update() {
  const DWORD now = timeGetTime();
  // Compared by signed difference, so the clock's wrap changes nothing.
  if (nextChange_ == 0 || static_cast<int32_t>(now - nextChange_) > 0) {
    nextChange_ = now + 100 + static_cast<DWORD>(CrtRand() * 200.0f / kCrtRandMax);
    if (frameCount_ > 0) current_ = (current_ + 1) % frameCount_;
    DrawCurrent();
    redrawOnceMore_ = 1;
    return frameCount_ > 0;
  }
  if (redrawOnceMore_) {
    DrawCurrent();
    redrawOnceMore_ = 0;
    return frameCount_ > 0;
  }
  return false;
}

void CPictureAnim::GetCurrentRect(int* left, int* top, int* right, int* bottom) const {
  const CPicture& frame = frames_[current_];
  *left = x_;
  *top = y_;
  *right = x_ + (frame.IsLoaded() ? frame.GetWidth() : 0);
  *bottom = y_ + (frame.IsLoaded() ? frame.GetHeight() : 0);
}

void CPictureAnim::DrawCurrent() {
  if (frameCount_ == 0) return;
  if (OverlayBitmaps* overlays = OverlayBitmapsInstalled()) {
    overlays->Blit(x_, y_, 0, 0, 640, 480, slots_[current_]);
  } else {
    frames_[current_].DrawAt(x_, y_);
  }
}
