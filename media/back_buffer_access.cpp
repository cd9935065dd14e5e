#include "media/back_buffer_access.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "media/interface_display.h"

namespace {

const BackBufferSource* g_Source = nullptr;

// The interface bitmap, made and cleared on first use.
bool AcquireInterfaceBitmap(BackBufferTarget* target) {
  CInterfaceDisplay* display = InterfaceDisplay();
  if (!display) return false;
  if (!display->GetBackBufferBits()) {
    if (!display->CreateDib()) return false;
    display->ClearBackBuffer();
  }
  target->bits = display->GetBackBufferBits();
  target->pitch = 640;
  target->width = 640;
  target->height = 480;
  return true;
}

}  // namespace

void BackBufferSourceInstall(const BackBufferSource* source) { g_Source = source; }

CBackBufferAccess::CBackBufferAccess() {
  acquired_ = g_Source ? g_Source->acquire(&target_) : AcquireInterfaceBitmap(&target_);
  if (!acquired_ || !target_.bits) target_ = BackBufferTarget{};
}

CBackBufferAccess::CBackBufferAccess(unsigned char** bits, int* pitch) : CBackBufferAccess() {
  *bits = target_.bits;
  *pitch = target_.pitch;
}

CBackBufferAccess::~CBackBufferAccess() {
  if (acquired_ && g_Source && g_Source->release) g_Source->release();
}

void CBackBufferAccess::FillRect(int x0, int y0, int x1, int y1, unsigned char colour) {
  if (!target_.bits) return;
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, target_.width);
  y1 = std::min(y1, target_.height);
  // A rectangle wholly outside the target is empty after clipping.
  if (x0 >= x1) return;
  for (int y = y0; y < y1; ++y)
    std::memset(target_.bits + static_cast<ptrdiff_t>(y) * target_.pitch + x0, colour, static_cast<size_t>(x1 - x0));
}
