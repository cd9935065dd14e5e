// The DirectDraw stand-in: surfaces in memory, the primary shown through the
// back end's display.
#include "platform/direct_draw.h"

#include <algorithm>
#include <cstring>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/direct_draw_internal.h"
#include "platform/framework/window_manager.h"

namespace {

constexpr int kMaxSurfaceSide = 16384;
// A program that has not looked at its queue for this long is in a blocking
// loop; what it writes to the screen is shown at once.
constexpr DWORD kShowInterval = 16;

struct Fault {
  HRESULT result = DD_OK;
  int times = 0;
  int skip = 0;
};

std::vector<DisplayModeSpec> DefaultModes() {
  std::vector<DisplayModeSpec> modes;
  for (const auto& [w, h] : {std::pair{320, 240}, {640, 480}, {800, 600}, {1024, 768}})
    for (int bits : {8, 16, 32}) modes.push_back(DisplayModeSpec{w, h, bits});
  return modes;
}

struct State {
  std::vector<DisplayModeSpec> modes = DefaultModes();
  DisplayModeSpec mode;  // width 0: the desktop's
  bool exclusive = false;
  IDirectDrawSurface* primary = nullptr;
  uint32_t lossBase = 0;
  uint32_t videoLimit = 0;
  uint64_t videoUsed = 0;
  int pitchPadding = 0;
  bool dirty = false;
  DWORD lastActivity = 0;  // last showing or look at the queue
  Fault faults[static_cast<int>(DDCall::Count)];
  int live = 0;
  std::vector<DirectDrawDriverSpec> drivers;  // tests' own list; empty: the primary only
};

State& S() {
  static State state;
  return state;
}

DisplayModeSpec DesktopMode() { return DisplayModeSpec{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 32}; }

DisplayModeSpec CurrentMode() { return S().mode.width ? S().mode : DesktopMode(); }

PixelLayout LayoutForBits(int bits) {
  switch (bits) {
    case 16: return kPixelRgb565;
    case 24: return kPixelRgb888;
    case 32: return kPixelXrgb8888;
    default: return kPixelIndexed8;
  }
}

DDPIXELFORMAT FormatOf(const PixelLayout& layout) {
  DDPIXELFORMAT f;
  f.dwFlags = layout.Indexed() ? DDPF_PALETTEINDEXED8 : DDPF_RGB;
  f.dwRGBBitCount = static_cast<DWORD>(layout.bitsPerPixel);
  f.dwRBitMask = layout.redMask;
  f.dwGBitMask = layout.greenMask;
  f.dwBBitMask = layout.blueMask;
  return f;
}

bool LayoutFromFormat(const DDPIXELFORMAT& f, PixelLayout* layout) {
  if (f.dwFlags & DDPF_PALETTEINDEXED8) {
    if (f.dwRGBBitCount != 0 && f.dwRGBBitCount != 8) return false;
    *layout = kPixelIndexed8;
    return true;
  }
  if (!(f.dwFlags & DDPF_RGB)) return false;
  *layout = PixelLayout{static_cast<int>(f.dwRGBBitCount), f.dwRBitMask, f.dwGBitMask, f.dwBBitMask};
  return !layout->Indexed() && PixelLayoutValid(*layout);
}

uint32_t LossNow() { return S().lossBase + PlatformBackendGet().display->SurfaceLossCount(); }

bool InVideoMemory(const DirectDrawSurfaceData& d) { return !(d.caps & DDSCAPS_SYSTEMMEMORY); }

void ShowScreen() {
  State& s = S();
  s.dirty = false;
  s.lastActivity = timeGetTime();
  IDirectDrawSurface* primary = s.primary;
  if (!primary || !DirectDrawSurfaceUsable(primary)) return;
  const DirectDrawSurfaceData& d = primary->Data();
  Rgb8 colours[256];
  DirectDrawScreenColours(colours);
  DisplayImage image;
  image.pixels = d.pixels.data();
  image.width = d.width;
  image.height = d.height;
  image.pitch = d.pitch;
  image.layout = d.layout;
  image.palette = colours;
  PlatformBackendGet().display->Present(image);
}

void ScreenChanged() {
  State& s = S();
  s.dirty = true;
  if (timeGetTime() - s.lastActivity >= kShowInterval) ShowScreen();
}

bool RectInside(const RECT& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right && r.top < r.bottom;
}

RECT WholeRect(const DirectDrawSurfaceData& d) { return RECT{0, 0, d.width, d.height}; }

bool KeyHides(uint32_t value, const DDCOLORKEY& key) {
  return value >= key.dwColorSpaceLowValue && value <= key.dwColorSpaceHighValue;
}

}  // namespace

// ---- Shared with the GDI ---------------------------------------------------

HRESULT DirectDrawFault(DDCall call) {
  Fault& f = S().faults[static_cast<int>(call)];
  if (f.times <= 0) return DD_OK;
  if (f.skip > 0) {
    --f.skip;
    return DD_OK;
  }
  --f.times;
  return f.result;
}

IDirectDrawSurface* DirectDrawPrimary() { return S().primary; }

bool DirectDrawSurfaceUsable(const IDirectDrawSurface* surface) {
  const DirectDrawSurfaceData& d = surface->Data();
  return !InVideoMemory(d) || d.lossStamp == LossNow();
}

void DirectDrawScreenColours(Rgb8 colours[256]) {
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY e = SystemPaletteColour(i);
    colours[i] = Rgb8{e.peRed, e.peGreen, e.peBlue};
  }
  IDirectDrawSurface* primary = S().primary;
  const IDirectDrawPalette* palette = primary && primary->Data().layout.Indexed() ? primary->Data().palette : nullptr;
  for (int i = 10; i < 246; ++i) {
    const PALETTEENTRY e = palette ? palette->Entries()[i] : PALETTEENTRY{};
    colours[i] = Rgb8{e.peRed, e.peGreen, e.peBlue};
  }
}

void DirectDrawSurfaceView(IDirectDrawSurface* surface, PixelView* view) {
  DirectDrawSurfaceData& d = surface->Data();
  view->top = d.pixels.data();
  view->width = d.width;
  view->height = d.height;
  view->pitch = d.pitch;
  view->layout = d.layout;
  view->surface = surface;
  if (!d.layout.Indexed()) return;
  if (d.palette) {
    for (int i = 0; i < 256; ++i) {
      const PALETTEENTRY& e = d.palette->Entries()[i];
      view->colours[i] = Rgb8{e.peRed, e.peGreen, e.peBlue};
    }
  } else {
    DirectDrawScreenColours(view->colours);
  }
}

void DirectDrawSurfaceWritten(IDirectDrawSurface* surface) {
  if (surface && surface == S().primary) ScreenChanged();
}

void DirectDrawShowPendingFrame() {
  State& s = S();
  if (s.dirty) ShowScreen();
  s.lastActivity = timeGetTime();
}

// ---- Objects ---------------------------------------------------------------

DirectDrawObject::DirectDrawObject() { ++S().live; }

DirectDrawObject::~DirectDrawObject() { --S().live; }

uint32_t DirectDrawObject::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT IDirectDrawPalette::SetEntries(DWORD /*flags*/, DWORD start, DWORD count, const PALETTEENTRY* entries) {
  if (const HRESULT fault = DirectDrawFault(DDCall::SetEntries)) return fault;
  if (!entries || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
  std::copy(entries, entries + count, entries_ + start);
  IDirectDrawSurface* primary = S().primary;
  if (primary && primary->Data().palette == this) ScreenChanged();
  return DD_OK;
}

HRESULT IDirectDrawPalette::GetEntries(DWORD /*flags*/, DWORD start, DWORD count, PALETTEENTRY* entries) const {
  if (!entries || start > 256 || count > 256 - start) return DDERR_INVALIDPARAMS;
  std::copy(entries_ + start, entries_ + start + count, entries);
  return DD_OK;
}

HRESULT IDirectDrawClipper::SetHWnd(DWORD /*flags*/, HWND window) {
  window_ = window;
  return DD_OK;
}

IDirectDrawSurface::IDirectDrawSurface() : data_(new DirectDrawSurfaceData) {}

IDirectDrawSurface::~IDirectDrawSurface() {
  State& s = S();
  if (s.primary == this) {
    s.primary = nullptr;
    s.dirty = false;
  }
  if (data_->dc) GdiSurfaceDcDelete(data_->dc);
  if (data_->palette) data_->palette->Release();
  if (data_->clipper) data_->clipper->Release();
  if (data_->backBuffer) data_->backBuffer->Release();
  s.videoUsed -= data_->videoBytes;
  delete data_;
}

namespace {
void DescribeSurface(const DirectDrawSurfaceData& d, DDSURFACEDESC* desc) {
  *desc = DDSURFACEDESC{};
  desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = static_cast<DWORD>(d.width);
  desc->dwHeight = static_cast<DWORD>(d.height);
  desc->lPitch = d.pitch;
  desc->ddpfPixelFormat = FormatOf(d.layout);
  desc->ddsCaps.dwCaps = d.caps;
  if (d.backBuffer) {
    desc->dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc->dwBackBufferCount = 1;
  }
  if (d.hasColorKey) {
    desc->dwFlags |= DDSD_CKSRCBLT;
    desc->ddckCKSrcBlt = d.colorKey;
  }
}
}  // namespace

HRESULT IDirectDrawSurface::GetSurfaceDesc(DDSURFACEDESC* desc) const {
  if (const HRESULT fault = DirectDrawFault(DDCall::GetSurfaceDesc)) return fault;
  if (!desc) return DDERR_INVALIDPARAMS;
  DescribeSurface(*data_, desc);
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetPixelFormat(DDPIXELFORMAT* format) const {
  if (!format) return DDERR_INVALIDPARAMS;
  *format = FormatOf(data_->layout);
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetCaps(DDSCAPS* caps) const {
  if (!caps) return DDERR_INVALIDPARAMS;
  caps->dwCaps = data_->caps;
  return DD_OK;
}

HRESULT IDirectDrawSurface::Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* /*event*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::Lock)) return fault;
  if (!desc) return DDERR_INVALIDPARAMS;
  DirectDrawSurfaceData& d = *data_;
  if (!DirectDrawSurfaceUsable(this)) return DDERR_SURFACELOST;
  if (d.locked) return DDERR_SURFACEBUSY;
  const RECT r = rect ? *rect : WholeRect(d);
  if (!RectInside(r, d.width, d.height)) return DDERR_INVALIDRECT;
  DescribeSurface(d, desc);
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = d.pixels.data() + static_cast<size_t>(r.top) * static_cast<size_t>(d.pitch) +
                    static_cast<size_t>(r.left) * static_cast<size_t>(d.layout.BytesPerPixel());
  d.locked = true;
  d.lockedReadOnly = (flags & DDLOCK_READONLY) != 0;
  return DD_OK;
}

HRESULT IDirectDrawSurface::Unlock(void* /*surfaceData*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::Unlock)) return fault;
  DirectDrawSurfaceData& d = *data_;
  if (!d.locked || d.dc) return DDERR_NOTLOCKED;
  d.locked = false;
  if (!d.lockedReadOnly) DirectDrawSurfaceWritten(this);
  return DD_OK;
}

HRESULT IDirectDrawSurface::Blt(const RECT* dstRect, IDirectDrawSurface* src, const RECT* srcRect, DWORD flags,
                                const DDBLTFX* fx) {
  if (const HRESULT fault = DirectDrawFault(DDCall::Blt)) return fault;
  DirectDrawSurfaceData& d = *data_;
  const bool fill = (flags & DDBLT_COLORFILL) != 0;
  if (fill ? !fx : !src) return DDERR_INVALIDPARAMS;
  if ((flags & DDBLT_KEYSRCOVERRIDE) && !fx) return DDERR_INVALIDPARAMS;
  if (!DirectDrawSurfaceUsable(this) || (!fill && !DirectDrawSurfaceUsable(src))) return DDERR_SURFACELOST;
  if (d.locked || (!fill && src->data_->locked)) return DDERR_SURFACEBUSY;

  const RECT dr = dstRect ? *dstRect : WholeRect(d);
  if (dr.left >= dr.right || dr.top >= dr.bottom) return DDERR_INVALIDRECT;
  // The part of the target written: all of it, or with a clipper what lies
  // on the surface.
  RECT clip = dr;
  if (d.clipper) {
    clip.left = std::max(clip.left, LONG{0});
    clip.top = std::max(clip.top, LONG{0});
    clip.right = std::min<LONG>(clip.right, d.width);
    clip.bottom = std::min<LONG>(clip.bottom, d.height);
    if (clip.left >= clip.right || clip.top >= clip.bottom) return DD_OK;
  } else if (!RectInside(dr, d.width, d.height)) {
    return DDERR_INVALIDRECT;
  }
  const int bytes = d.layout.BytesPerPixel();

  if (fill) {
    for (LONG y = clip.top; y < clip.bottom; ++y) {
      uint8_t* p = d.pixels.data() + static_cast<size_t>(y) * d.pitch + static_cast<size_t>(clip.left) * bytes;
      for (LONG x = clip.left; x < clip.right; ++x, p += bytes) PixelStore(p, bytes, fx->dwFillColor);
    }
    DirectDrawSurfaceWritten(this);
    return DD_OK;
  }

  const DirectDrawSurfaceData& sd = *src->data_;
  if (sd.layout.BytesPerPixel() != bytes) return DDERR_INVALIDPIXELFORMAT;
  const RECT sr = srcRect ? *srcRect : WholeRect(sd);
  if (!RectInside(sr, sd.width, sd.height)) return DDERR_INVALIDRECT;
  const DDCOLORKEY* key = nullptr;
  if (flags & DDBLT_KEYSRCOVERRIDE) {
    key = &fx->ddckSrcColorkey;
  } else if (flags & DDBLT_KEYSRC) {
    if (!sd.hasColorKey) return DDERR_COLORKEYNOTSET;
    key = &sd.colorKey;
  }
  // A copy within one surface reads from a snapshot, so overlap is harmless.
  const std::vector<uint8_t> snapshot = src == this ? sd.pixels : std::vector<uint8_t>();
  const uint8_t* source = src == this ? snapshot.data() : sd.pixels.data();
  const int64_t dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  const int64_t sw = sr.right - sr.left, sh = sr.bottom - sr.top;
  for (LONG y = clip.top; y < clip.bottom; ++y) {
    const int64_t sy = sr.top + ((2 * (y - dr.top) + 1) * sh) / (2 * dh);
    const uint8_t* srow = source + sy * sd.pitch;
    uint8_t* drow = d.pixels.data() + static_cast<size_t>(y) * d.pitch;
    for (LONG x = clip.left; x < clip.right; ++x) {
      const int64_t sx = sr.left + ((2 * (x - dr.left) + 1) * sw) / (2 * dw);
      const uint32_t value = PixelLoad(srow + sx * bytes, bytes);
      if (key && KeyHides(value, *key)) continue;
      PixelStore(drow + static_cast<size_t>(x) * bytes, bytes, value);
    }
  }
  DirectDrawSurfaceWritten(this);
  return DD_OK;
}

HRESULT IDirectDrawSurface::Flip(IDirectDrawSurface* /*override*/, DWORD /*flags*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::Flip)) return fault;
  DirectDrawSurfaceData& d = *data_;
  if (!d.backBuffer) return DDERR_NOTFLIPPABLE;
  if (!DirectDrawSurfaceUsable(this) || !DirectDrawSurfaceUsable(d.backBuffer)) return DDERR_SURFACELOST;
  if (d.locked || d.backBuffer->data_->locked) return DDERR_SURFACEBUSY;
  d.pixels.swap(d.backBuffer->data_->pixels);
  d.flipped = !d.flipped;
  if (this == S().primary) ShowScreen();
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** attached) {
  if (const HRESULT fault = DirectDrawFault(DDCall::GetAttachedSurface)) return fault;
  if (!caps || !attached) return DDERR_INVALIDPARAMS;
  if (!(caps->dwCaps & DDSCAPS_BACKBUFFER) || !data_->backBuffer) return DDERR_NOTFOUND;
  data_->backBuffer->AddRef();
  *attached = data_->backBuffer;
  return DD_OK;
}

HRESULT IDirectDrawSurface::IsLost() const { return DirectDrawSurfaceUsable(this) ? DD_OK : DDERR_SURFACELOST; }

HRESULT IDirectDrawSurface::Restore() {
  if (const HRESULT fault = DirectDrawFault(DDCall::Restore)) return fault;
  const uint32_t now = LossNow();
  for (IDirectDrawSurface* s = this; s; s = s->data_->backBuffer) {
    DirectDrawSurfaceData& d = *s->data_;
    if (!InVideoMemory(d) || d.lossStamp == now) continue;
    std::fill(d.pixels.begin(), d.pixels.end(), uint8_t{0});
    d.lossStamp = now;
    DirectDrawSurfaceWritten(s);
  }
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetDC(HDC* hdc) {
  if (const HRESULT fault = DirectDrawFault(DDCall::GetDC)) return fault;
  if (!hdc) return DDERR_INVALIDPARAMS;
  DirectDrawSurfaceData& d = *data_;
  if (!DirectDrawSurfaceUsable(this)) return DDERR_SURFACELOST;
  if (d.locked) return DDERR_SURFACEBUSY;
  d.dc = GdiSurfaceDcCreate(this);
  if (!d.dc) return DDERR_CANTCREATEDC;
  d.locked = true;
  d.lockedReadOnly = false;
  *hdc = d.dc;
  return DD_OK;
}

HRESULT IDirectDrawSurface::ReleaseDC(HDC hdc) {
  DirectDrawSurfaceData& d = *data_;
  if (!hdc || hdc != d.dc) return DDERR_INVALIDPARAMS;
  GdiSurfaceDcDelete(hdc);
  d.dc = nullptr;
  d.locked = false;
  DirectDrawSurfaceWritten(this);
  return DD_OK;
}

HRESULT IDirectDrawSurface::SetPalette(IDirectDrawPalette* palette) {
  if (const HRESULT fault = DirectDrawFault(DDCall::SetPalette)) return fault;
  DirectDrawSurfaceData& d = *data_;
  if (!d.layout.Indexed()) return DDERR_NOTPALETTIZED;
  if (palette) palette->AddRef();
  if (d.palette) d.palette->Release();
  d.palette = palette;
  DirectDrawSurfaceWritten(this);
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetPalette(IDirectDrawPalette** palette) {
  if (!palette) return DDERR_INVALIDPARAMS;
  if (!data_->palette) return DDERR_NOPALETTEATTACHED;
  data_->palette->AddRef();
  *palette = data_->palette;
  return DD_OK;
}

HRESULT IDirectDrawSurface::SetColorKey(DWORD flags, const DDCOLORKEY* key) {
  if (const HRESULT fault = DirectDrawFault(DDCall::SetColorKey)) return fault;
  if (!(flags & DDCKEY_SRCBLT)) return DDERR_INVALIDPARAMS;
  data_->hasColorKey = key != nullptr;
  if (key) data_->colorKey = *key;
  return DD_OK;
}

HRESULT IDirectDrawSurface::GetColorKey(DWORD flags, DDCOLORKEY* key) const {
  if (!(flags & DDCKEY_SRCBLT) || !key) return DDERR_INVALIDPARAMS;
  if (!data_->hasColorKey) return DDERR_NOCOLORKEY;
  *key = data_->colorKey;
  return DD_OK;
}

HRESULT IDirectDrawSurface::SetClipper(IDirectDrawClipper* clipper) {
  if (clipper) clipper->AddRef();
  if (data_->clipper) data_->clipper->Release();
  data_->clipper = clipper;
  return DD_OK;
}

IDirectDraw::~IDirectDraw() {
  // The screen goes back to the desktop with the object that held it.
  if ((level_ & DDSCL_EXCLUSIVE) && S().exclusive) {
    S().exclusive = false;
    PlatformBackendGet().display->SetExclusive(false);
  }
}

HRESULT IDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
  if (const HRESULT fault = DirectDrawFault(DDCall::SetCooperativeLevel)) return fault;
  const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
  if (exclusive != ((flags & DDSCL_FULLSCREEN) != 0)) return DDERR_INVALIDPARAMS;
  if (!exclusive && !(flags & DDSCL_NORMAL)) return DDERR_INVALIDPARAMS;
  if (exclusive && !IsWindow(window)) return DDERR_NOHWND;
  level_ = flags;
  if (S().exclusive != exclusive) {
    S().exclusive = exclusive;
    PlatformBackendGet().display->SetExclusive(exclusive);
  }
  return DD_OK;
}

HRESULT IDirectDraw::EnumDisplayModes(DWORD /*flags*/, const DDSURFACEDESC* filter, void* context,
                                      HRESULT (*callback)(DDSURFACEDESC*, void*)) {
  if (const HRESULT fault = DirectDrawFault(DDCall::EnumDisplayModes)) return fault;
  if (!callback) return DDERR_INVALIDPARAMS;
  for (const DisplayModeSpec& m : S().modes) {
    if (filter && (filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != static_cast<DWORD>(m.width)) continue;
    if (filter && (filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != static_cast<DWORD>(m.height)) continue;
    if (filter && (filter->dwFlags & DDSD_PIXELFORMAT) &&
        filter->ddpfPixelFormat.dwRGBBitCount != static_cast<DWORD>(m.bitsPerPixel))
      continue;
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
    desc.dwWidth = static_cast<DWORD>(m.width);
    desc.dwHeight = static_cast<DWORD>(m.height);
    desc.lPitch = m.width * m.bitsPerPixel / 8;
    desc.dwRefreshRate = 60;
    desc.ddpfPixelFormat = FormatOf(LayoutForBits(m.bitsPerPixel));
    if (callback(&desc, context) == DDENUMRET_CANCEL) break;
  }
  return DD_OK;
}

HRESULT IDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  if (const HRESULT fault = DirectDrawFault(DDCall::SetDisplayMode)) return fault;
  State& s = S();
  if (!s.exclusive || !(level_ & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  const auto it = std::find_if(s.modes.begin(), s.modes.end(), [&](const DisplayModeSpec& m) {
    return static_cast<DWORD>(m.width) == width && static_cast<DWORD>(m.height) == height &&
           static_cast<DWORD>(m.bitsPerPixel) == bitsPerPixel;
  });
  if (it == s.modes.end()) return DDERR_INVALIDMODE;
  s.mode = *it;
  ++s.lossBase;
  return DD_OK;
}

HRESULT IDirectDraw::RestoreDisplayMode() {
  if (const HRESULT fault = DirectDrawFault(DDCall::RestoreDisplayMode)) return fault;
  State& s = S();
  if (s.mode.width) {
    s.mode = DisplayModeSpec{};
    ++s.lossBase;
  }
  return DD_OK;
}

HRESULT IDirectDraw::GetDisplayMode(DDSURFACEDESC* desc) const {
  if (const HRESULT fault = DirectDrawFault(DDCall::GetDisplayMode)) return fault;
  if (!desc) return DDERR_INVALIDPARAMS;
  const DisplayModeSpec m = CurrentMode();
  *desc = DDSURFACEDESC{};
  desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  desc->dwWidth = static_cast<DWORD>(m.width);
  desc->dwHeight = static_cast<DWORD>(m.height);
  desc->lPitch = m.width * m.bitsPerPixel / 8;
  desc->dwRefreshRate = 60;
  desc->ddpfPixelFormat = FormatOf(LayoutForBits(m.bitsPerPixel));
  return DD_OK;
}

HRESULT IDirectDraw::GetCaps(DDCAPS* hardware, DDCAPS* emulation) const {
  if (const HRESULT fault = DirectDrawFault(DDCall::GetCaps)) return fault;
  const State& s = S();
  const DWORD total = s.videoLimit ? s.videoLimit : 0x4000000u;
  const DWORD used = static_cast<DWORD>(std::min<uint64_t>(s.videoUsed, total));
  if (hardware) {
    *hardware = DDCAPS{};
    hardware->dwCaps = (has3D_ ? DDCAPS_3D : 0) | DDCAPS_BLT | DDCAPS_PALETTE | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL;
    hardware->dwVidMemTotal = total;
    hardware->dwVidMemFree = total - used;
  }
  if (emulation) {
    *emulation = DDCAPS{};
    emulation->dwCaps = DDCAPS_BLT | DDCAPS_PALETTE | DDCAPS_COLORKEY | DDCAPS_BLTCOLORFILL;
  }
  return DD_OK;
}

HRESULT IDirectDraw::CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* /*outer*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::CreateSurface)) return fault;
  if (!desc || !surface || !(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
  State& s = S();
  DWORD caps = desc->ddsCaps.dwCaps;
  const bool primary = (caps & DDSCAPS_PRIMARYSURFACE) != 0;
  const bool chain = (caps & DDSCAPS_FLIP) != 0;
  int width = 0, height = 0;
  PixelLayout layout = LayoutForBits(CurrentMode().bitsPerPixel);
  if (primary) {
    if (s.primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    if (chain) {
      if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount != 1)
        return DDERR_INVALIDPARAMS;
      if (!s.exclusive) return DDERR_NOEXCLUSIVEMODE;
    }
    width = CurrentMode().width;
    height = CurrentMode().height;
  } else {
    if (chain) return DDERR_INVALIDCAPS;
    if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth < 1 || desc->dwHeight < 1) return DDERR_INVALIDPARAMS;
    if (desc->dwWidth > kMaxSurfaceSide) return DDERR_TOOBIGWIDTH;
    if (desc->dwHeight > kMaxSurfaceSide) return DDERR_TOOBIGHEIGHT;
    width = static_cast<int>(desc->dwWidth);
    height = static_cast<int>(desc->dwHeight);
    if ((desc->dwFlags & DDSD_PIXELFORMAT) && !LayoutFromFormat(desc->ddpfPixelFormat, &layout))
      return DDERR_INVALIDPIXELFORMAT;
  }
  if ((caps & DDSCAPS_SYSTEMMEMORY) && (caps & DDSCAPS_VIDEOMEMORY)) return DDERR_INVALIDCAPS;
  if (primary && (caps & DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDCAPS;

  const int pitch = ((width * layout.BytesPerPixel() + 3) & ~3) + s.pitchPadding;
  const uint64_t bytes = static_cast<uint64_t>(pitch) * static_cast<uint64_t>(height);
  const bool video = !(caps & DDSCAPS_SYSTEMMEMORY);
  const uint64_t videoBytes = video ? bytes * (chain ? 2 : 1) : 0;
  if (s.videoLimit && s.videoUsed + videoBytes > s.videoLimit) return DDERR_OUTOFVIDEOMEMORY;

  auto make = [&](DWORD surfaceCaps) {
    IDirectDrawSurface* made = new IDirectDrawSurface();
    DirectDrawSurfaceData& d = made->Data();
    d.width = width;
    d.height = height;
    d.pitch = pitch;
    d.layout = layout;
    d.caps = surfaceCaps;
    d.pixels.assign(static_cast<size_t>(bytes), 0);
    d.lossStamp = LossNow();
    d.videoBytes = video ? static_cast<uint32_t>(bytes) : 0;
    s.videoUsed += d.videoBytes;
    return made;
  };
  if (video && !(caps & DDSCAPS_VIDEOMEMORY)) caps |= DDSCAPS_VIDEOMEMORY;
  IDirectDrawSurface* made = make(primary ? (caps | DDSCAPS_FRONTBUFFER) : caps);
  if (chain) {
    const DWORD backCaps = (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | DDSCAPS_BACKBUFFER;
    made->Data().backBuffer = make(backCaps);
  }
  if (primary) s.primary = made;
  *surface = made;
  return DD_OK;
}

HRESULT IDirectDraw::CreatePalette(DWORD flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette,
                                   void* /*outer*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::CreatePalette)) return fault;
  if (!palette || !(flags & DDPCAPS_8BIT)) return DDERR_INVALIDPARAMS;
  if ((flags & DDPCAPS_INITIALIZE) && !entries) return DDERR_INVALIDPARAMS;
  IDirectDrawPalette* made = new IDirectDrawPalette();
  if (flags & DDPCAPS_INITIALIZE) std::copy(entries, entries + 256, made->entries_);
  *palette = made;
  return DD_OK;
}

HRESULT IDirectDraw::CreateClipper(DWORD /*flags*/, IDirectDrawClipper** clipper, void* /*outer*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::CreateClipper)) return fault;
  if (!clipper) return DDERR_INVALIDPARAMS;
  *clipper = new IDirectDrawClipper();
  return DD_OK;
}

HRESULT IDirectDraw::FlipToGDISurface() {
  if (const HRESULT fault = DirectDrawFault(DDCall::FlipToGDISurface)) return fault;
  IDirectDrawSurface* primary = S().primary;
  if (primary && primary->Data().flipped) return primary->Flip(nullptr, DDFLIP_WAIT);
  return DD_OK;
}

namespace {
std::vector<DirectDrawDriverSpec> Drivers() {
  if (!S().drivers.empty()) return S().drivers;
  DirectDrawDriverSpec primary;
  primary.description = "Primary Display Driver";
  primary.name = "display";
  return {primary};
}
}  // namespace

HRESULT DirectDrawEnumerate(BOOL (*callback)(GUID*, char*, char*, void*), void* context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  for (DirectDrawDriverSpec driver : Drivers()) {
    if (!callback(driver.hasGuid ? &driver.guid : nullptr, driver.description.data(), driver.name.data(), context))
      break;
  }
  return DD_OK;
}

HRESULT DirectDrawCreate(const GUID* driver, IDirectDraw** object, void* /*outer*/) {
  if (const HRESULT fault = DirectDrawFault(DDCall::DirectDrawCreate)) return fault;
  if (!object) return DDERR_INVALIDPARAMS;
  for (const DirectDrawDriverSpec& d : Drivers()) {
    if (d.hasGuid != (driver != nullptr) || (driver && !(d.guid == *driver))) continue;
    if (!d.creatable) return DDERR_NODIRECTDRAWHW;
    *object = new IDirectDraw();
    (*object)->has3D_ = d.has3D;
    return DD_OK;
  }
  return DDERR_INVALIDDIRECTDRAWGUID;
}

// ---- Tests -----------------------------------------------------------------

void DirectDrawFailNext(DDCall call, HRESULT result, int times, int skip) {
  S().faults[static_cast<int>(call)] = Fault{result, times, skip};
}

void DirectDrawSetModes(const std::vector<DisplayModeSpec>& modes) { S().modes = modes; }

void DirectDrawSetVideoMemory(uint32_t bytes) { S().videoLimit = bytes; }

void DirectDrawSetPitchPadding(int bytes) { S().pitchPadding = std::max(0, bytes) & ~3; }

void DirectDrawLoseSurfaces() { ++S().lossBase; }

void DirectDrawResetTestState() {
  State& s = S();
  for (Fault& f : s.faults) f = Fault{};
  s.modes = DefaultModes();
  s.mode = DisplayModeSpec{};
  s.videoLimit = 0;
  s.pitchPadding = 0;
  s.drivers.clear();
}

void DirectDrawSetDrivers(const std::vector<DirectDrawDriverSpec>& drivers) { S().drivers = drivers; }

int DirectDrawLiveObjects() { return S().live; }
