#include "media/rect8.h"

#include <algorithm>
#include <utility>

#include "media/back_buffer_access.h"
#include "media/interface_display.h"

namespace {

void Order(int* x1, int* y1, int* x2, int* y2) {
  if (*x1 > *x2) std::swap(*x1, *x2);
  if (*y1 > *y2) std::swap(*y1, *y2);
}

// Copies the part of the rectangle inside the target to the screen.
void Show(const CBackBufferAccess& access, int x1, int y1, int x2, int y2) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, access.Width());
  y2 = std::min(y2, access.Height());
  CInterfaceDisplay* display = InterfaceDisplay();
  if (display && x1 < x2 && y1 < y2) display->BlitRect(x1, y1, x2 - x1, y2 - y1);
}

}  // namespace

void FillRect8(int x1, int y1, int x2, int y2, unsigned char colour) {
  CBackBufferAccess access;
  if (!access.Bits()) return;
  Order(&x1, &y1, &x2, &y2);
  access.FillRect(x1, y1, x2, y2, colour);
  Show(access, x1, y1, x2, y2);
}

void FrameRect8(int x1, int y1, int x2, int y2, unsigned char colour) {
  CBackBufferAccess access;
  if (!access.Bits()) return;
  Order(&x1, &y1, &x2, &y2);
  if (x1 == x2 || y1 == y2) return;
  // An edge beyond the target stays beyond it when the corners are brought
  // to within a pixel of it, and the arithmetic below can't overflow.
  x1 = std::clamp(x1, -1, access.Width() + 1);
  x2 = std::clamp(x2, -1, access.Width() + 1);
  y1 = std::clamp(y1, -1, access.Height() + 1);
  y2 = std::clamp(y2, -1, access.Height() + 1);
  // Each edge is a one-pixel rectangle, clipped by the fill.
  access.FillRect(x1, y1, x2, y1 + 1, colour);
  access.FillRect(x1, y2 - 1, x2, y2, colour);
  access.FillRect(x1, y1, x1 + 1, y2, colour);
  access.FillRect(x2 - 1, y1, x2, y2, colour);
  Show(access, x1, y1, x2, y2);
}
