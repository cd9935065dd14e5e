#include "softbuild/screen_lock.h"

#include <algorithm>
#include <cstring>

#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "platform/direct_draw.h"

namespace {
void SetSurfaceLocked(bool on) {
  if (g_pNetDoc) g_pNetDoc->SetSurfaceBusy(on);
}
}  // namespace

ScreenLock::ScreenLock() : ScreenLock(g_pInterface ? g_pInterface->GetPrimarySurface() : nullptr) {}

ScreenLock::ScreenLock(IDirectDrawSurface* surface) : surface_(surface) { Lock(); }

ScreenLock::~ScreenLock() { Unlock(); }

bool ScreenLock::Lock() {
  if (!surface_) return false;
  DDSURFACEDESC desc;
  if (surface_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return false;
  // Only 8-bit screens are drawn on.
  if (!desc.lpSurface || desc.ddpfPixelFormat.dwRGBBitCount != 8 || desc.lPitch <= 0) {
    surface_->Unlock(desc.lpSurface);
    return false;
  }
  bits_ = static_cast<uint8_t*>(desc.lpSurface);
  pitch_ = desc.lPitch;
  width_ = static_cast<int>(desc.dwWidth);
  height_ = static_cast<int>(desc.dwHeight);
  SetSurfaceLocked(true);
  return true;
}

void ScreenLock::Unlock() {
  if (!bits_) return;
  surface_->Unlock(bits_);
  bits_ = nullptr;
  SetSurfaceLocked(false);
}

bool ScreenLock::Relock() { return bits_ != nullptr || Lock(); }

bool ScreenLock::Refresh() {
  Unlock();
  return Lock();
}

void ScreenLock::FillRect(int x0, int y0, int x1, int y1, uint8_t colour) {
  if (!bits_) return;
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, width_);
  y1 = std::min(y1, height_);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) std::memset(Row(y) + x0, colour, static_cast<size_t>(x1 - x0));
}
