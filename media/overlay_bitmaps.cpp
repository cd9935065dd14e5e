#include "media/overlay_bitmaps.h"

#include "media/picture.h"

namespace {
OverlayBitmaps* g_Overlays = nullptr;
}  // namespace

void OverlayBitmapsInstall(OverlayBitmaps* overlays) { g_Overlays = overlays; }

OverlayBitmaps* OverlayBitmapsInstalled() { return g_Overlays; }

PictureOverlayBitmaps::PictureOverlayBitmaps() : slots_(new CPicture[kSlots]) {}

PictureOverlayBitmaps::~PictureOverlayBitmaps() = default;

bool PictureOverlayBitmaps::Load(int index, const char* member, const char* archive) {
  if (index < 0 || index >= kSlots) return false;
  return slots_[index].Load(member, archive, false);
}

void PictureOverlayBitmaps::Release(int index) {
  if (index >= 0 && index < kSlots) slots_[index].Free();
}

const CPicture* PictureOverlayBitmaps::Slot(int index) const {
  return index >= 0 && index < kSlots && slots_[index].IsLoaded() ? &slots_[index] : nullptr;
}
