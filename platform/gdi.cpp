// The GDI stand-in: device contexts over DIB sections, DirectDraw surfaces
// and the screen, and the copies between them.
#include "platform/gdi.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "platform/direct_draw_internal.h"
#include "platform/framework/window_manager.h"

namespace {

constexpr int kMaxDibSide = 16384;

struct DibSection {
  bool isDefault = false;  // a memory context's own empty bitmap
  int width = 0;
  int height = 0;
  bool topDown = false;
  int stride = 0;
  PixelLayout layout;
  Rgb8 colours[256];
  std::vector<uint8_t> pixels;
  HDC selectedInto = nullptr;
};

enum class DcKind { Memory, Surface, Screen };

struct DeviceContext {
  DcKind kind = DcKind::Memory;
  DibSection* bitmap = nullptr;  // Memory: the selected one (the default one at first)
  DibSection defaultBitmap;
  IDirectDrawSurface* surface = nullptr;  // Surface
};

struct Registry {
  std::unordered_set<const void*> contexts;
  std::unordered_set<const void*> bitmaps;
};

Registry& R() {
  static Registry registry;
  return registry;
}

DeviceContext* ContextOf(HDC hdc) {
  return R().contexts.count(hdc) ? reinterpret_cast<DeviceContext*>(hdc) : nullptr;
}

DibSection* BitmapOf(HGDIOBJ object) {
  return R().bitmaps.count(object) ? reinterpret_cast<DibSection*>(object) : nullptr;
}

HDC Register(DeviceContext* dc) {
  R().contexts.insert(dc);
  return reinterpret_cast<HDC>(dc);
}

// The primary surface as a target, when there is one to draw on.
bool ScreenView(PixelView* view) {
  IDirectDrawSurface* primary = DirectDrawPrimary();
  if (!primary || !DirectDrawSurfaceUsable(primary)) return false;
  DirectDrawSurfaceView(primary, view);
  return true;
}

// The pixels behind a context; false for a bad handle. A context with
// nothing behind it gives an empty view.
bool ViewOf(HDC hdc, PixelView* view) {
  *view = PixelView{};
  if (DeviceContext* dc = ContextOf(hdc)) {
    switch (dc->kind) {
      case DcKind::Memory: {
        DibSection* b = dc->bitmap;
        if (!b || b->isDefault) return true;
        view->width = b->width;
        view->height = b->height;
        view->layout = b->layout;
        view->pitch = b->topDown ? b->stride : -static_cast<ptrdiff_t>(b->stride);
        view->top = b->pixels.data() + (b->topDown ? 0 : static_cast<ptrdiff_t>(b->height - 1) * b->stride);
        std::copy(b->colours, b->colours + 256, view->colours);
        return true;
      }
      case DcKind::Surface:
        DirectDrawSurfaceView(dc->surface, view);
        return true;
      case DcKind::Screen:
        ScreenView(view);
        return true;
    }
  }
  // A window's paint context draws on the screen.
  if (IsWindow(reinterpret_cast<HWND>(hdc))) {
    ScreenView(view);
    return true;
  }
  return false;
}

// Converts source pixels to the target's layout.
class PixelConverter {
 public:
  PixelConverter(const PixelView& src, const PixelView& dst) : src_(src), dst_(dst) {
    if (src.layout.Indexed() && !dst.layout.Indexed())
      for (int i = 0; i < 256; ++i) table_[i] = PixelFromRgb(src.colours[i], dst.layout);
  }
  uint32_t operator()(uint32_t value) {
    const PixelLayout& s = src_.layout;
    const PixelLayout& d = dst_.layout;
    if (s.Indexed()) return d.Indexed() ? value : table_[value & 0xFF];
    if (s.bitsPerPixel == d.bitsPerPixel && s.redMask == d.redMask && s.greenMask == d.greenMask &&
        s.blueMask == d.blueMask)
      return value;
    const Rgb8 c = PixelToRgb(value, s);
    return d.Indexed() ? NearestColourIndex(c, dst_.colours, 256) : PixelFromRgb(c, d);
  }

 private:
  const PixelView& src_;
  const PixelView& dst_;
  uint32_t table_[256] = {};
};

// Copies the source rectangle to the target rectangle, scaling by nearest
// pixel; only target pixels on the target whose source pixel lies on the
// source are written.
void CopyScaled(const PixelView& dst, int x, int y, int width, int height, const PixelView& src, int xSrc, int ySrc,
                int widthSrc, int heightSrc) {
  if (width <= 0 || height <= 0 || widthSrc <= 0 || heightSrc <= 0) return;
  const int x0 = std::max(x, 0), x1 = std::min(x + width, dst.width);
  const int y0 = std::max(y, 0), y1 = std::min(y + height, dst.height);
  if (x0 >= x1 || y0 >= y1) return;
  PixelConverter convert(src, dst);
  const int sb = src.layout.BytesPerPixel(), db = dst.layout.BytesPerPixel();
  std::vector<int> sourceColumn(static_cast<size_t>(x1 - x0));
  for (int tx = x0; tx < x1; ++tx)
    sourceColumn[static_cast<size_t>(tx - x0)] =
        xSrc + static_cast<int>((2 * static_cast<int64_t>(tx - x) + 1) * widthSrc / (2 * static_cast<int64_t>(width)));
  for (int ty = y0; ty < y1; ++ty) {
    const int sy = ySrc + static_cast<int>((2 * static_cast<int64_t>(ty - y) + 1) * heightSrc / (2 * static_cast<int64_t>(height)));
    if (sy < 0 || sy >= src.height) continue;
    const uint8_t* srow = src.top + static_cast<ptrdiff_t>(sy) * src.pitch;
    uint8_t* drow = dst.top + static_cast<ptrdiff_t>(ty) * dst.pitch;
    for (int tx = x0; tx < x1; ++tx) {
      const int sx = sourceColumn[static_cast<size_t>(tx - x0)];
      if (sx < 0 || sx >= src.width) continue;
      PixelStore(drow + static_cast<ptrdiff_t>(tx) * db, db, convert(PixelLoad(srow + static_cast<ptrdiff_t>(sx) * sb, sb)));
    }
  }
}

void Fill(const PixelView& dst, int x, int y, int width, int height, bool white) {
  const int x0 = std::max(x, 0), x1 = std::min(x + width, dst.width);
  const int y0 = std::max(y, 0), y1 = std::min(y + height, dst.height);
  const int bytes = dst.layout.BytesPerPixel();
  uint32_t value = 0;
  if (white) value = dst.layout.Indexed() ? 255 : (dst.layout.redMask | dst.layout.greenMask | dst.layout.blueMask);
  for (int ty = y0; ty < y1; ++ty) {
    uint8_t* p = dst.top + static_cast<ptrdiff_t>(ty) * dst.pitch + static_cast<ptrdiff_t>(x0) * bytes;
    for (int tx = x0; tx < x1; ++tx, p += bytes) PixelStore(p, bytes, value);
  }
}

BOOL Copy(DDCall call, HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
          int heightSrc, DWORD rop) {
  if (DirectDrawFault(call) != DD_OK) return FALSE;
  PixelView target;
  if (!ViewOf(dst, &target)) return FALSE;
  if (rop == BLACKNESS || rop == WHITENESS) {
    if (width > 0 && height > 0) Fill(target, x, y, width, height, rop == WHITENESS);
  } else if (rop == SRCCOPY) {
    PixelView source;
    if (!ViewOf(src, &source)) return FALSE;
    CopyScaled(target, x, y, width, height, source, xSrc, ySrc, widthSrc, heightSrc);
  } else {
    return FALSE;
  }
  if (target.surface) DirectDrawSurfaceWritten(target.surface);
  return TRUE;
}

}  // namespace

HBITMAP CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* info, UINT usage, void** bits, void* /*section*/,
                         DWORD /*offset*/) {
  if (bits) *bits = nullptr;
  if (DirectDrawFault(DDCall::CreateDIBSection) != DD_OK) return nullptr;
  if (!info || !bits || usage != DIB_RGB_COLORS) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int64_t height = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
  if (h.biWidth < 1 || h.biWidth > kMaxDibSide || height < 1 || height > kMaxDibSide) return nullptr;
  if (h.biCompression != BI_RGB || h.biPlanes != 1) return nullptr;
  PixelLayout layout;
  switch (h.biBitCount) {
    case 8: layout = kPixelIndexed8; break;
    case 16: layout = kPixelRgb555; break;
    case 24: layout = kPixelRgb888; break;
    case 32: layout = kPixelXrgb8888; break;
    default: return nullptr;
  }
  const DWORD colours = h.biBitCount == 8 ? (h.biClrUsed ? h.biClrUsed : 256) : 0;
  if (colours > 256) return nullptr;
  auto* b = new DibSection();
  b->width = h.biWidth;
  b->height = static_cast<int>(height);
  b->topDown = h.biHeight < 0;
  b->layout = layout;
  b->stride = (b->width * layout.BytesPerPixel() + 3) & ~3;
  for (DWORD i = 0; i < colours; ++i)
    b->colours[i] = Rgb8{info->bmiColors[i].rgbRed, info->bmiColors[i].rgbGreen, info->bmiColors[i].rgbBlue};
  b->pixels.assign(static_cast<size_t>(b->stride) * static_cast<size_t>(b->height), 0);
  R().bitmaps.insert(b);
  *bits = b->pixels.data();
  return reinterpret_cast<HBITMAP>(b);
}

HDC CreateCompatibleDC(HDC /*hdc*/) {
  if (DirectDrawFault(DDCall::CreateCompatibleDC) != DD_OK) return nullptr;
  auto* dc = new DeviceContext();
  dc->kind = DcKind::Memory;
  dc->defaultBitmap.isDefault = true;
  dc->bitmap = &dc->defaultBitmap;
  return Register(dc);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  if (DirectDrawFault(DDCall::SelectObject) != DD_OK) return nullptr;
  DeviceContext* dc = ContextOf(hdc);
  if (!dc || dc->kind != DcKind::Memory) return nullptr;
  DibSection* next = object == reinterpret_cast<HGDIOBJ>(&dc->defaultBitmap) ? &dc->defaultBitmap : BitmapOf(object);
  if (!next || (next->selectedInto && next->selectedInto != hdc)) return nullptr;
  DibSection* previous = dc->bitmap;
  previous->selectedInto = nullptr;
  next->selectedInto = hdc;
  dc->bitmap = next;
  return reinterpret_cast<HGDIOBJ>(previous);
}

BOOL DeleteDC(HDC hdc) {
  DeviceContext* dc = ContextOf(hdc);
  if (!dc || dc->kind != DcKind::Memory) return FALSE;
  dc->bitmap->selectedInto = nullptr;
  R().contexts.erase(dc);
  delete dc;
  return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
  DibSection* b = BitmapOf(object);
  if (!b || b->selectedInto) return FALSE;
  R().bitmaps.erase(b);
  delete b;
  return TRUE;
}

HDC GetDC(HWND /*window*/) {
  auto* dc = new DeviceContext();
  dc->kind = DcKind::Screen;
  return Register(dc);
}

int ReleaseDC(HWND /*window*/, HDC hdc) {
  DeviceContext* dc = ContextOf(hdc);
  if (!dc || dc->kind != DcKind::Screen) return 0;
  R().contexts.erase(dc);
  delete dc;
  return 1;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  return Copy(DDCall::BitBlt, dst, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, DWORD rop) {
  return Copy(DDCall::StretchBlt, dst, x, y, width, height, src, xSrc, ySrc, widthSrc, heightSrc, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  if (rop != BLACKNESS && rop != WHITENESS) return FALSE;
  return Copy(DDCall::PatBlt, hdc, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

namespace {
// The pixel at (x, y) behind a context, or null.
uint8_t* PixelAt(const PixelView& view, int x, int y) {
  if (!view.top || x < 0 || y < 0 || x >= view.width || y >= view.height) return nullptr;
  return view.top + view.pitch * y + static_cast<ptrdiff_t>(x) * view.layout.BytesPerPixel();
}
Rgb8 ColourOf(COLORREF colour) {
  return Rgb8{static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour >> 16)};
}
}  // namespace

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour) {
  PixelView view;
  if (!ViewOf(hdc, &view)) return CLR_INVALID;
  uint8_t* p = PixelAt(view, x, y);
  if (!p) return CLR_INVALID;
  const Rgb8 c = ColourOf(colour);
  const uint32_t value =
      view.layout.Indexed() ? NearestColourIndex(c, view.colours, 256) : PixelFromRgb(c, view.layout);
  PixelStore(p, view.layout.BytesPerPixel(), value);
  if (view.surface) DirectDrawSurfaceWritten(view.surface);
  const Rgb8 set = view.layout.Indexed() ? view.colours[value] : PixelToRgb(value, view.layout);
  return RGB(set.r, set.g, set.b);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  PixelView view;
  if (!ViewOf(hdc, &view)) return CLR_INVALID;
  const uint8_t* p = PixelAt(view, x, y);
  if (!p) return CLR_INVALID;
  const uint32_t value = PixelLoad(p, view.layout.BytesPerPixel());
  const Rgb8 c = view.layout.Indexed() ? view.colours[value] : PixelToRgb(value, view.layout);
  return RGB(c.r, c.g, c.b);
}

PALETTEENTRY SystemPaletteColour(int index) {
  // The twenty colours the system keeps for itself in an 8-bit mode.
  static constexpr BYTE kLow[10][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                       {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                       {192, 220, 192}, {166, 202, 240}};
  static constexpr BYTE kHigh[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                                        {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                                        {0, 255, 255},   {255, 255, 255}};
  const BYTE* c = nullptr;
  if (index >= 0 && index < 10) c = kLow[index];
  if (index >= 246 && index < 256) c = kHigh[index - 246];
  return c ? PALETTEENTRY{c[0], c[1], c[2], 0} : PALETTEENTRY{};
}

UINT GetSystemPaletteEntries(HDC /*hdc*/, UINT start, UINT count, PALETTEENTRY* entries) {
  if (!entries || start >= 256) return 0;
  count = std::min(count, 256 - start);
  Rgb8 colours[256];
  DirectDrawScreenColours(colours);
  for (UINT i = 0; i < count; ++i) {
    const Rgb8 c = colours[start + i];
    entries[i] = PALETTEENTRY{c.r, c.g, c.b, 0};
  }
  return count;
}

HDC GdiSurfaceDcCreate(IDirectDrawSurface* surface) {
  auto* dc = new DeviceContext();
  dc->kind = DcKind::Surface;
  dc->surface = surface;
  return Register(dc);
}

void GdiSurfaceDcDelete(HDC hdc) {
  DeviceContext* dc = ContextOf(hdc);
  if (!dc) return;
  R().contexts.erase(dc);
  delete dc;
}
