#include "media/interface_display.h"

#include <algorithm>
#include <cstring>

#include "platform/debug_output.h"
#include "platform/framework/window_manager.h"

unsigned char g_BlackColour = 109;

namespace {

constexpr int kDibWidth = 640;
constexpr int kDibHeight = 480;

CInterfaceDisplay* g_pDisplay = nullptr;

// One colour channel with the brightness correction.
BYTE Brighten(BYTE c, int brightness) {
  // The shift of a negative value must be arithmetic; >> on int is.
  const int v = (brightness * (c + 2) - 64) >> 5;
  return static_cast<BYTE>(std::clamp(v, 0, 255));
}

// Restores one lost surface; flag is its lost byte. Returns false while it
// stays lost (or is missing).
bool RestoreOne(IDirectDrawSurface* surface, uint8_t* flag, bool* restored) {
  *restored = false;
  if (!*flag) return true;
  if (!surface) return false;
  if (surface->IsLost() != DDERR_SURFACELOST) {
    *flag = 0;
    return true;
  }
  if (surface->Restore() != DD_OK) return false;
  *flag = 0;
  *restored = true;
  return true;
}

}  // namespace

CInterfaceDisplay* InterfaceDisplay() { return g_pDisplay; }

CInterfaceDisplay::CInterfaceDisplay() { g_pDisplay = this; }

CInterfaceDisplay::~CInterfaceDisplay() {
  ReleaseSurfaces(false);
  ReleasePalette();
  ReleaseAndNull(&displayPalette_);
  ReleaseAndNull(&zBuffer_);
  ReleaseAndNull(&clipper_);
  ReleaseDirectDraw();
  if (dib_) DeleteObject(dib_);
  delete dibInfo_;
  if (g_pDisplay == this) g_pDisplay = nullptr;
}

void CInterfaceDisplay::CreateVideoSurface() {
  if (videoSurface_ || !directDraw_) return;
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = 320;
  desc.dwHeight = 240;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  if (directDraw_->CreateSurface(&desc, &videoSurface_, nullptr) != DD_OK) {
    videoSurface_ = nullptr;
    OutputDebugString("korvane: no video surface; videos will be skipped\n");
  }
}

bool CInterfaceDisplay::ClearSurface(IDirectDrawSurface* surface) {
  if (!surface) return true;
  DDSURFACEDESC desc;
  if (surface->GetSurfaceDesc(&desc) != DD_OK) return true;
  const RECT whole{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)};
  DDBLTFX fx;
  fx.dwFillColor = 0;
  // A lost surface can't be filled; it is cleared when it is restored.
  surface->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  return true;
}

bool CInterfaceDisplay::ClearSurfaces() {
  ClearSurface(primary_);
  ClearSurface(back_);
  return true;
}

bool CInterfaceDisplay::RestoreSurfaces(bool check) {
  if (check) primaryLost_ = backLost_ = 1;
  bool restored = false;
  bool ok = RestoreOne(primary_, &primaryLost_, &restored);
  if (restored && window_) RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  ok = RestoreOne(back_, &backLost_, &restored) && ok;
  return ok;
}

void CInterfaceDisplay::ReleaseSurfaces(bool clearFirst) {
  if (clearFirst) ClearSurfaces();
  ReleaseAndNull(&back_);
  ReleaseAndNull(&primary_);
  ReleaseAndNull(&videoSurface_);
}

void CInterfaceDisplay::ReleaseDirectDraw() {
  ReleaseAndNull(&direct3D_);
  // One object can be both the display's and the accelerator's; it is
  // released once.
  if (acceleratorDD_ == displayDD_) displayDD_ = nullptr;
  ReleaseAndNull(&acceleratorDD_);
  ReleaseAndNull(&displayDD_);
  directDraw_ = nullptr;
  direct3DReady_ = 0;
}

bool CInterfaceDisplay::CreateDib() {
  if (dib_) return true;
  auto* info = new BITMAPINFO();
  BITMAPINFOHEADER& h = info->bmiHeader;
  h.biSize = 40;
  h.biWidth = kDibWidth;
  h.biHeight = -kDibHeight;  // top-down rows
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biCompression = BI_RGB;
  h.biClrUsed = 256;
  PALETTEENTRY system[256];
  HDC screen = GetDC(nullptr);
  GetSystemPaletteEntries(screen, 0, 256, system);
  ReleaseDC(nullptr, screen);
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY& e = (i >= 10 && i < 246) ? paletteTable_[i] : system[i];
    info->bmiColors[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
  }
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) {
    OutputDebugString("korvane: the interface bitmap could not be made\n");
    delete info;
    return false;
  }
  dib_ = dib;
  dibInfo_ = info;
  dibBits_ = static_cast<unsigned char*>(bits);
  return true;
}

void CInterfaceDisplay::ClearBackBuffer() {
  if (dibBits_) std::memset(dibBits_, g_BlackColour, static_cast<size_t>(kDibWidth) * kDibHeight);
}

bool CInterfaceDisplay::BlitRect(int x, int y, int width, int height) {
  if ((!menuActive_ && !directDrawing_) || !primary_ || !dib_) return false;
  HDC screen = nullptr;
  if (primary_->GetDC(&screen) != DD_OK) return false;
  HDC memory = CreateCompatibleDC(screen);
  bool copied = false;
  if (memory) {
    HGDIOBJ previous = SelectObject(memory, dib_);
    copied = BitBlt(screen, x + layerOriginX_, y + layerOriginY_, width, height, memory, x, y, SRCCOPY) != FALSE;
    if (previous) SelectObject(memory, previous);
    DeleteDC(memory);
  }
  primary_->ReleaseDC(screen);
  return copied;
}

void CInterfaceDisplay::CreatePalette() {
  if (palette_ || !directDraw_) return;
  directDraw_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, paletteTable_, &palette_, nullptr);
}

void CInterfaceDisplay::ReleasePalette() { ReleaseAndNull(&palette_); }

void CInterfaceDisplay::SetPaletteEntries(const PALETTEENTRY entries[256]) {
  std::copy(entries, entries + 256, paletteTable_);
}

bool CInterfaceDisplay::ApplyPalette() {
  if (!palette_) return true;
  if (!primary_) return false;
  primary_->SetPalette(palette_);
  if (back_) back_->SetPalette(palette_);
  PALETTEENTRY corrected[256];
  std::copy(paletteTable_, paletteTable_ + 256, corrected);
  if (brightness_ != 32) {
    for (int i = 10; i < 246; ++i) {
      corrected[i].peRed = Brighten(corrected[i].peRed, brightness_);
      corrected[i].peGreen = Brighten(corrected[i].peGreen, brightness_);
      corrected[i].peBlue = Brighten(corrected[i].peBlue, brightness_);
    }
  }
  palette_->SetEntries(0, 10, 236, corrected + 10);
  return true;
}
