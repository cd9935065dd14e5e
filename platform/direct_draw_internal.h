#pragma once
// What the DirectDraw and GDI stand-ins share (not for callers outside
// platform/).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/direct_draw.h"
#include "platform/pixel_format.h"

struct DirectDrawSurfaceData {
  int width = 0;
  int height = 0;
  int pitch = 0;
  PixelLayout layout;
  DWORD caps = 0;
  std::vector<uint8_t> pixels;  // pitch * height bytes
  IDirectDrawPalette* palette = nullptr;
  IDirectDrawSurface* backBuffer = nullptr;  // a flip chain's, held by its primary
  IDirectDrawClipper* clipper = nullptr;
  bool hasColorKey = false;
  DDCOLORKEY colorKey;
  bool locked = false;  // by Lock or by an outstanding GetDC
  bool lockedReadOnly = false;
  HDC dc = nullptr;
  uint32_t lossStamp = 0;   // the loss count the pixels belong to
  uint32_t videoBytes = 0;  // counted against the video memory
  bool flipped = false;     // a primary whose GDI buffer is at the back
};

// Pixels as a copy sees them: the top row, rows pitch bytes apart (negative
// for bottom-up bitmaps), and for 8-bit pixels their 256 colours.
struct PixelView {
  uint8_t* top = nullptr;
  int width = 0;
  int height = 0;
  ptrdiff_t pitch = 0;
  PixelLayout layout;
  Rgb8 colours[256];
  IDirectDrawSurface* surface = nullptr;  // told when written
};

// DD_OK, or the result a test asked this call to fail with.
HRESULT DirectDrawFault(DDCall call);
// The primary surface (the screen), or null.
IDirectDrawSurface* DirectDrawPrimary();
// True while the surface's pixels are usable (not lost).
bool DirectDrawSurfaceUsable(const IDirectDrawSurface* surface);
// The pixels of a surface, with its palette's colours (the screen's when it
// has none).
void DirectDrawSurfaceView(IDirectDrawSurface* surface, PixelView* view);
// The surface's pixels were changed; the screen is shown when it is the
// primary.
void DirectDrawSurfaceWritten(IDirectDrawSurface* surface);
// The colours the screen shows for 8-bit pixels: the fixed system colours at
// 0-9 and 246-255, the primary's palette (or black) between.
void DirectDrawScreenColours(Rgb8 colours[256]);

// The GDI side of IDirectDrawSurface::GetDC and ReleaseDC.
HDC GdiSurfaceDcCreate(IDirectDrawSurface* surface);
void GdiSurfaceDcDelete(HDC hdc);
