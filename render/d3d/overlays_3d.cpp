#include "render/d3d/overlays_3d.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/bmp_image.h"
#include "engine/data_archive.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "platform/ascii.h"
#include "platform/pixel_format.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/error_text_3d.h"
#include "render/d3d/module_3d.h"

namespace {

OverlayRecord3D g_Overlays[kOverlayCount3D];

bool ValidIndex(int index) { return index >= 0 && index < kOverlayCount3D; }

// Reads a whole member of an archive, leaving the reader as it was.
bool ReadMember(const char* member, const char* archive, std::vector<uint8_t>* bytes) {
  if (!ArchivePushState()) return false;
  bool ok = false;
  if (ArchiveOpen(archive)) {
    const int size = ArchiveMemberSize(member);
    if (size > 0 && ArchiveFindMember(member)) {
      bytes->resize(static_cast<size_t>(size));
      ok = ArchiveReadBytes(bytes->data(), size) != 0;
      ArchiveFlush();
    }
    ArchiveClose();
  }
  ArchivePopState();
  return ok;
}

// The overlay's surface, bitmap and colour key from its bitmap info and
// bottom-up 8-bit rows (rowBytes apart).
bool MakeOverlay(OverlayRecord3D& o, BITMAPINFO* info, const uint8_t* rows, int rowBytes) {
  Module3D& m = D3DModule();
  const int width = info->bmiHeader.biWidth, height = info->bmiHeader.biHeight;
  o.bitmapInfo = info;
  if (!m.directDraw) return false;
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  if (m.directDraw->CreateSurface(&desc, &o.surface, nullptr) != DD_OK) {
    o.surface = nullptr;
    return false;
  }
  o.width = width;
  o.height = height;
  void* bits = nullptr;
  o.bitmap = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!o.bitmap || !bits) return false;
  std::memcpy(bits, rows, static_cast<size_t>(rowBytes) * static_cast<size_t>(height));

  // The first see-through pixel, among the picture's own pixels (not the
  // rows' padding).
  int keyRow = -1, keyColumn = -1;
  for (int r = 0; r < height && keyRow < 0; ++r) {
    const uint8_t* row = rows + static_cast<size_t>(r) * static_cast<size_t>(rowBytes);
    const void* found = std::memchr(row, 255, static_cast<size_t>(width));
    if (found) {
      keyRow = r;
      keyColumn = static_cast<int>(static_cast<const uint8_t*>(found) - row);
    }
  }

  HDC surfaceDc = nullptr;
  if (o.surface->GetDC(&surfaceDc) != DD_OK) return false;
  HDC memory = CreateCompatibleDC(surfaceDc);
  HGDIOBJ before = SelectObject(memory, o.bitmap);
  BitBlt(surfaceDc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
  SelectObject(memory, before);
  DeleteDC(memory);
  o.surface->ReleaseDC(surfaceDc);

  o.keyed = keyRow >= 0 ? 1 : 0;
  if (o.keyed) {
    // Stored rows run bottom up: stored row r is surface row height - 1 - r.
    DDSURFACEDESC locked;
    if (o.surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) != DD_OK) return false;
    const int bytes = static_cast<int>(locked.ddpfPixelFormat.dwRGBBitCount) / 8;
    const uint8_t* pixel = static_cast<const uint8_t*>(locked.lpSurface) +
                           static_cast<ptrdiff_t>(locked.lPitch) * (height - 1 - keyRow) + keyColumn * bytes;
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = PixelLoad(pixel, bytes);
    o.surface->Unlock(nullptr);
    o.surface->SetColorKey(DDCKEY_SRCBLT, &key);
  }
  return true;
}

}  // namespace

const OverlayRecord3D* OverlayRecord3DAt(int index) { return ValidIndex(index) ? &g_Overlays[index] : nullptr; }

void ClearOverlayRecords3D() { std::fill(std::begin(g_Overlays), std::end(g_Overlays), OverlayRecord3D{}); }

namespace {

// Overlay index from the bytes of an 8-bit BMP file; 0 (and the overlay
// empty) when they are no such bitmap or the surface can't be made.
int MakeOverlayFromBmp(int index, const std::vector<uint8_t>& file) {
  BmpImage image;
  if (BmpImageRead(file.data(), file.size(), &image) != BmpFault::None) return 0;
  auto* info = new BITMAPINFO();
  info->bmiHeader.biWidth = image.width;
  info->bmiHeader.biHeight = image.height;
  info->bmiHeader.biBitCount = 8;
  info->bmiHeader.biCompression = BI_RGB;
  info->bmiHeader.biClrUsed = static_cast<DWORD>(image.colourCount);
  for (int i = 0; i < image.colourCount; ++i) {
    const uint8_t* entry = file.data() + image.colourOffset + static_cast<size_t>(i) * 4;
    info->bmiColors[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
  }
  OverlayRecord3D& o = g_Overlays[index];
  if (!MakeOverlay(o, info, file.data() + image.pixelOffset, image.rowBytes)) {
    ReleaseOverlayBitmap3D(index);
    return 0;
  }
  return 1;
}

}  // namespace

int LoadOverlayBitmap3D(int index, const char* member, const char* archive) {
  if (!ValidIndex(index) || !member || !archive) return 0;
  ReleaseOverlayBitmap3D(index);
  std::vector<uint8_t> file;
  if (!ReadMember(member, archive, &file)) return 0;
  return MakeOverlayFromBmp(index, file);
}

int LoadOverlayBitmapFile3D(int index, const char* path) {
  if (!ValidIndex(index) || !path) return 0;
  ReleaseOverlayBitmap3D(index);
  FILE* in = std::fopen(path, "rb");
  if (!in) return 0;
  // A picture file is at most a few megabytes; anything larger is no
  // overlay and is not read whole.
  constexpr long kMaxFileBytes = 16L << 20;
  std::vector<uint8_t> file;
  long size = -1;
  if (std::fseek(in, 0, SEEK_END) == 0) size = std::ftell(in);
  bool ok = size > 0 && size <= kMaxFileBytes && std::fseek(in, 0, SEEK_SET) == 0;
  if (ok) {
    file.resize(static_cast<size_t>(size));
    ok = std::fread(file.data(), 1, file.size(), in) == file.size();
  }
  std::fclose(in);
  return ok ? MakeOverlayFromBmp(index, file) : 0;
}

void LoadOverlayFromTexture3D(int index, const char* name) {
  if (!ValidIndex(index) || !name) return;
  Texture* texture = TextureListHead();
  while (texture && !(texture->name && AsciiCompareNoCase(texture->name, name) == 0)) texture = TextureNext(texture);
  if (!texture) return;
  ReleaseOverlayBitmap3D(index);
  const int width4 = (texture->width + 3) & ~3;
  const int height = texture->height;
  auto* info = new BITMAPINFO();
  info->bmiHeader.biWidth = width4;
  info->bmiHeader.biHeight = height;
  info->bmiHeader.biBitCount = 8;
  info->bmiHeader.biCompression = BI_RGB;
  info->bmiHeader.biClrUsed = 256;
  for (int i = 0; i < 256; ++i)
    info->bmiColors[i] = RGBQUAD{static_cast<BYTE>(g_PaletteBlue[i]), static_cast<BYTE>(g_PaletteGreen[i]),
                                 static_cast<BYTE>(g_PaletteRed[i]), 0};
  info->bmiColors[255] = RGBQUAD{252, 0, 252, 0};
  std::vector<uint8_t> rows(static_cast<size_t>(width4) * static_cast<size_t>(height), 0);
  const bool wasLoaded = texture->pixels != nullptr;
  if (const uint8_t* pixels = TextureLoadPixels(texture)) {
    for (int i = 0; i < height; ++i)
      std::memcpy(rows.data() + static_cast<size_t>(i) * width4,
                  pixels + static_cast<size_t>(height - 1 - i) * static_cast<size_t>(texture->width),
                  static_cast<size_t>(texture->width));
    // Pixels made in memory have nowhere to come back from.
    if (!wasLoaded && texture->archiveOffset >= 0) TextureUnloadPixels(texture);
  }
  if (!MakeOverlay(g_Overlays[index], info, rows.data(), width4)) ReleaseOverlayBitmap3D(index);
}

void BlitOverlayBitmap3D(int x, int y, int left, int top, int right, int bottom, int index,
                         IDirectDrawSurface* destination) {
  if (!ValidIndex(index) || !destination) return;
  const OverlayRecord3D& o = g_Overlays[index];
  if (!o.surface) return;
  int originX = 0, originY = 0;
  GetDisplayOrigin3D(&originX, &originY);
  x += originX;
  y += originY;
  DDSURFACEDESC desc;
  if (destination->GetSurfaceDesc(&desc) != DD_OK) return;
  const int width = static_cast<int>(desc.dwWidth), height = static_cast<int>(desc.dwHeight);
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, o.width);
  bottom = std::min(bottom, o.height);
  if (x < 0) {
    left -= x;
    x = 0;
  }
  if (y < 0) {
    top -= y;
    y = 0;
  }
  if (x + (right - left) > width) right -= x + (right - left) - width;
  if (y + (bottom - top) > height) bottom -= y + (bottom - top) - height;
  if (right <= left || bottom <= top) return;
  const RECT source{left, top, right, bottom};
  const RECT target{x, y, x + right - left, y + bottom - top};
  const HRESULT result =
      destination->Blt(&target, o.surface, &source, DDBLT_WAIT | (o.keyed ? DDBLT_KEYSRC : 0), nullptr);
  if (result != DD_OK) D3DTraceError(result);
}

void ReleaseOverlayBitmap3D(int index) {
  if (!ValidIndex(index)) return;
  OverlayRecord3D& o = g_Overlays[index];
  if (o.surface) o.surface->Release();
  delete o.bitmapInfo;
  if (o.bitmap) DeleteObject(o.bitmap);
  o = OverlayRecord3D{};
}

void ReleaseAllOverlays3D() {
  for (int i = 0; i < kOverlayCount3D; ++i) ReleaseOverlayBitmap3D(i);
}
