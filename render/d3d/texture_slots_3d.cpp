#include "render/d3d/texture_slots_3d.h"

#include <cstdlib>
#include <cstring>

#include "engine/palette.h"
#include "engine/texture.h"
#include "platform/gdi.h"
#include "platform/pixel_format.h"
#include "render/d3d/module_3d.h"

TextureSlot3D* g_D3DTextureSlots;
int g_D3DTextureSlotCount;
int g_D3DFrameCounter;

namespace {

DWORD DepthToRenderFlag(DWORD bits) {
  switch (bits) {
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    case 32: return DDBD_32;
    default: return 0;
  }
}

HRESULT AddFormat(DDSURFACEDESC* desc, void* context) {
  static_cast<std::vector<DDSURFACEDESC>*>(context)->push_back(*desc);
  return DDENUMRET_OK;
}

// A texture made in memory has no pixel member to come back from, so its
// pixels are never given back.
bool Reloadable(const Texture* texture) { return texture->archiveOffset >= 0; }

template <typename Object>
void ReleaseAndClear(Object** object) {
  if (*object) (*object)->Release();
  *object = nullptr;
}

// One material carries every slot's texture (it is set anew for each).
D3DMATERIALHANDLE CreateTextureMaterial3D(D3DTEXTUREHANDLE texture, IDirect3DMaterial* material) {
  Module3D& m = D3DModule();
  if (!material || !m.device) return 0;
  D3DMATERIAL desc;
  desc.diffuse = desc.ambient = desc.specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
  desc.power = 40.0f;
  desc.hTexture = texture;
  desc.dwRampSize = 16;
  material->SetMaterial(&desc);
  D3DMATERIALHANDLE handle = 0;
  return material->GetHandle(m.device, &handle) == D3D_OK ? handle : 0;
}

void AddWhiteTexture3D() {
  TextureSlot3D& white = g_D3DTextureSlots[g_D3DTextureSlotCount];
  uint8_t pixels[16];
  std::memset(pixels, FindPaletteColour(255, 255, 255), sizeof pixels);
  white.systemSurface =
      CreateTextureSurface3D(4, 4, pixels, g_PaletteRed, g_PaletteGreen, g_PaletteBlue, &white.keyValue);
  if (!white.systemSurface) return;
  if (Direct3DTextureCreate(white.systemSurface, &white.systemTexture) != D3D_OK) {
    white.systemTexture = nullptr;
    ReleaseAndClear(&white.systemSurface);
    return;
  }
  UploadTexture3D(g_D3DTextureSlotCount);
}

bool ValidSlot(int slot) { return g_D3DTextureSlots && slot >= 0 && slot <= g_D3DTextureSlotCount; }

}  // namespace

void MaskShiftAndBits(DWORD mask, int* shift, int* bits) {
  *shift = 0;
  *bits = 0;
  if (!mask) return;
  while (!(mask & 1)) {
    mask >>= 1;
    ++*shift;
  }
  while (mask) {
    mask >>= 1;
    ++*bits;
  }
}

int EnumerateTextureFormats3D(int device) {
  Module3D& m = D3DModule();
  m.textureFormats.clear();
  if (!m.device || m.device->EnumTextureFormats(AddFormat, &m.textureFormats) != D3D_OK) return 0;
  return ChooseTextureFormat3D(device);
}

int ChooseTextureFormat3D(int device) {
  Module3D& m = D3DModule();
  if (device < 0 || device >= static_cast<int>(m.devices.size())) return 0;
  const DWORD renders = m.devices[static_cast<size_t>(device)].desc.dwDeviceRenderBitDepth;
  TextureFormat3D chosen;
  bool found = false;
  for (const DDSURFACEDESC& desc : m.textureFormats) {
    const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    if (f.dwFlags & DDPF_PALETTEINDEXED8) {
      chosen = TextureFormat3D{};
      chosen.desc = desc;
      chosen.palettized = 1;
      found = true;
      break;
    }
    if (found || !(DepthToRenderFlag(f.dwRGBBitCount) & renders)) continue;
    chosen.desc = desc;
    MaskShiftAndBits(f.dwRBitMask, &chosen.redShift, &chosen.redBits);
    MaskShiftAndBits(f.dwGBitMask, &chosen.greenShift, &chosen.greenBits);
    MaskShiftAndBits(f.dwBBitMask, &chosen.blueShift, &chosen.blueBits);
    found = true;
  }
  if (found) m.textureFormat = chosen;
  return found ? 1 : 0;
}

long ColourMatch3D(IDirectDrawSurface* surface, COLORREF colour) {
  HDC dc = nullptr;
  COLORREF remembered = CLR_INVALID;
  if (surface->GetDC(&dc) == DD_OK) {
    remembered = GetPixel(dc, 0, 0);
    SetPixel(dc, 0, 0, colour);
    surface->ReleaseDC(dc);
  }
  DDSURFACEDESC desc;
  HRESULT locked;
  while ((locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)) == DDERR_WASSTILLDRAWING) {
  }
  if (locked != DD_OK) return -1;
  const int bits = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
  uint32_t value = PixelLoad(static_cast<const uint8_t*>(desc.lpSurface), bits / 8);
  if (bits < 32) value &= (1u << bits) - 1;
  surface->Unlock(nullptr);
  if (remembered != CLR_INVALID && surface->GetDC(&dc) == DD_OK) {
    SetPixel(dc, 0, 0, remembered);
    surface->ReleaseDC(dc);
  }
  return static_cast<long>(value);
}

IDirectDrawSurface* CreateTextureSurface3D(int width, int height, const uint8_t* pixels, const int* red,
                                           const int* green, const int* blue, DWORD* keyValue) {
  Module3D& m = D3DModule();
  const TextureFormat3D& format = m.textureFormat;
  if (!m.directDraw || !pixels) return nullptr;
  DDSURFACEDESC desc = format.desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
  IDirectDrawSurface* surface = nullptr;
  if (m.directDraw->CreateSurface(&desc, &surface, nullptr) != DD_OK) return nullptr;
  *keyValue = kTransparentIndex;

  if (format.palettized) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i)
      entries[i] = PALETTEENTRY{static_cast<BYTE>(red[i]), static_cast<BYTE>(green[i]), static_cast<BYTE>(blue[i]), 0};
    entries[kTransparentIndex] = PALETTEENTRY{kTextureKeyRed, kTextureKeyGreen, kTextureKeyBlue, 0};
    IDirectDrawPalette* palette = nullptr;
    if (m.directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette, nullptr) != DD_OK ||
        surface->SetPalette(palette) != DD_OK) {
      if (palette) palette->Release();
      surface->Release();
      return nullptr;
    }
    palette->Release();  // the surface holds it
  } else {
    const long key = ColourMatch3D(surface, RGB(kTextureKeyRed, kTextureKeyGreen, kTextureKeyBlue));
    if (key < 0) {
      surface->Release();
      return nullptr;
    }
    *keyValue = static_cast<DWORD>(key);
  }

  DDSURFACEDESC locked;
  if (surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) != DD_OK) {
    surface->Release();
    return nullptr;
  }
  const int bytes = static_cast<int>(locked.ddpfPixelFormat.dwRGBBitCount) / 8;
  for (int r = 0; r < height; ++r) {
    const uint8_t* source = pixels + static_cast<size_t>(height - 1 - r) * static_cast<size_t>(width);
    uint8_t* row = static_cast<uint8_t*>(locked.lpSurface) + static_cast<ptrdiff_t>(locked.lPitch) * r;
    if (format.palettized) {
      std::memcpy(row, source, static_cast<size_t>(width));
      continue;
    }
    // A 24-bit format is left unconverted, as the original did.
    if (bytes == 3) continue;
    for (int x = 0; x < width; ++x) {
      const int c = source[x];
      const uint32_t value =
          c == kTransparentIndex
              ? *keyValue
              : ((static_cast<uint32_t>(red[c]) >> (8 - format.redBits)) << format.redShift) |
                    ((static_cast<uint32_t>(green[c]) >> (8 - format.greenBits)) << format.greenShift) |
                    ((static_cast<uint32_t>(blue[c]) >> (8 - format.blueBits)) << format.blueShift);
      PixelStore(row + x * bytes, bytes, value);
    }
  }
  surface->Unlock(nullptr);
  return surface;
}

int LoadTexture3D(int slot) {
  if (!ValidSlot(slot) || slot == g_D3DTextureSlotCount) return 0;
  TextureSlot3D& s = g_D3DTextureSlots[slot];
  Texture* texture = s.texture;
  const uint8_t* pixels = TextureLoadPixels(texture);
  IDirectDrawSurface* surface = pixels ? CreateTextureSurface3D(texture->width, texture->height, pixels, g_PaletteRed,
                                                                g_PaletteGreen, g_PaletteBlue, &s.keyValue)
                                       : nullptr;
  // The 8-bit pixels go back to the engine's budget once converted (once:
  // the slot build does not unload them again).
  if (Reloadable(texture)) TextureUnloadPixels(texture);
  if (!surface) return 0;
  if (Direct3DTextureCreate(surface, &s.systemTexture) != D3D_OK) {
    s.systemTexture = nullptr;
    surface->Release();
    return 0;
  }
  s.systemSurface = surface;
  return 1;
}

int UploadTexture3D(int slot) {
  Module3D& m = D3DModule();
  if (!ValidSlot(slot)) return 0;
  TextureSlot3D& s = g_D3DTextureSlots[slot];
  if (!s.systemSurface || !s.systemTexture || !m.device) return 0;
  s.textureHandle = 0;
  s.materialHandle = 0;
  DDSURFACEDESC desc;
  s.systemSurface->GetSurfaceDesc(&desc);
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY | DDSCAPS_ALLOCONLOAD;
  if (m.directDraw->CreateSurface(&desc, &s.videoSurface, nullptr) != DD_OK) {
    s.videoSurface = nullptr;
    return 0;
  }
  auto fail = [&s]() {
    ReleaseTextureSlot3D(static_cast<int>(&s - g_D3DTextureSlots));
    return 0;
  };
  if (Direct3DTextureCreate(s.videoSurface, &s.videoTexture) != D3D_OK) {
    s.videoTexture = nullptr;
    return fail();
  }
  if (m.textureFormat.palettized) {
    PALETTEENTRY black[256];
    IDirectDrawPalette* palette = nullptr;
    if (m.directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, black, &palette, nullptr) == DD_OK) {
      s.videoSurface->SetPalette(palette);
      palette->Release();
    }
  }
  const HRESULT loaded = s.videoTexture->Load(s.systemTexture);
  DDSURFACEDESC video;
  s.videoSurface->GetSurfaceDesc(&video);
  if (loaded != D3D_OK || !(video.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY)) return fail();
  if (s.videoTexture->GetHandle(m.device, &s.textureHandle) != D3D_OK) return fail();
  s.materialHandle = CreateTextureMaterial3D(s.textureHandle, m.sharedMaterial);
  if (s.texture && s.texture->name && s.texture->name[0] == '!') {
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = m.textureFormat.palettized ? kTransparentIndex : s.keyValue;
    s.videoSurface->SetColorKey(DDCKEY_SRCBLT, &key);
  }
  return 1;
}

void ReleaseTextureSlot3D(int slot) {
  if (!ValidSlot(slot)) return;
  TextureSlot3D& s = g_D3DTextureSlots[slot];
  ReleaseAndClear(&s.videoTexture);
  ReleaseAndClear(&s.videoSurface);
  s.textureHandle = 0;
  s.materialHandle = 0;
}

void ReleaseSystemTexture3D(int slot) {
  if (!ValidSlot(slot)) return;
  TextureSlot3D& s = g_D3DTextureSlots[slot];
  ReleaseAndClear(&s.systemSurface);
  ReleaseAndClear(&s.systemTexture);
}

int FindTextureToEvict3D() {
  int victim = -1;
  for (int i = 0; i < g_D3DTextureSlotCount; ++i) {
    const TextureSlot3D& s = g_D3DTextureSlots[i];
    if (!s.videoSurface || s.lastUsed >= g_D3DFrameCounter - 1) continue;
    if (victim < 0 || s.lastUsed < g_D3DTextureSlots[victim].lastUsed) victim = i;
  }
  return victim;
}

void EnsureTextureResident3D(int slot) {
  if (!ValidSlot(slot) || slot == g_D3DTextureSlotCount) return;
  TextureSlot3D& s = g_D3DTextureSlots[slot];
  if (s.lastUsed == g_D3DFrameCounter) return;
  const bool madeCopy = !s.systemSurface;
  if (madeCopy && !LoadTexture3D(slot)) return;
  // Every try searches the whole table, so the upload fails only when no
  // slot is left to evict.
  while (!UploadTexture3D(slot)) {
    const int victim = FindTextureToEvict3D();
    if (victim < 0) break;
    ReleaseTextureSlot3D(victim);
  }
  if (madeCopy) ReleaseSystemTexture3D(slot);
}

void LoadAllTextures3D() {
  FreeTextureSlots3D();
  // Without a device there is no texture format yet: entering full screen
  // builds the slots.
  if (!D3DModule().device) return;
  int count = 0;
  for (Texture* t = TextureListHead(); t; t = TextureNext(t)) ++count;
  g_D3DTextureSlots = static_cast<TextureSlot3D*>(std::calloc(static_cast<size_t>(count) + 1, sizeof(TextureSlot3D)));
  if (!g_D3DTextureSlots) return;
  g_D3DTextureSlotCount = count;
  g_D3DFrameCounter = 0;
  int i = 0;
  for (Texture* t = TextureListHead(); t; t = TextureNext(t), ++i) {
    TextureSlot3D& s = g_D3DTextureSlots[i];
    s.texture = t;
    t->hardwareSlot = i;
    s.preloaded = t->pixels ? LoadTexture3D(i) : 0;
  }
  AddWhiteTexture3D();
}

void FreeTextureSlots3D() {
  if (!g_D3DTextureSlots) return;
  for (int i = 0; i <= g_D3DTextureSlotCount; ++i) {
    ReleaseTextureSlot3D(i);
    ReleaseSystemTexture3D(i);
  }
  std::free(g_D3DTextureSlots);
  g_D3DTextureSlots = nullptr;
  g_D3DTextureSlotCount = 0;
}

void ReleaseTextureSurfaces3D() {
  for (int i = 0; i < g_D3DTextureSlotCount; ++i) ReleaseTextureSlot3D(i);
}

void ValidateTextureSlots3D() {
  if (!g_D3DTextureSlots) return;
  int i = 0;
  for (Texture* t = TextureListHead(); t; t = TextureNext(t), ++i) {
    if (i >= g_D3DTextureSlotCount || g_D3DTextureSlots[i].texture != t || t->hardwareSlot != i) {
      LoadAllTextures3D();
      return;
    }
  }
  if (i != g_D3DTextureSlotCount) LoadAllTextures3D();
}

int TextureSlotOf3D(Texture* texture) {
  const int s = texture ? texture->hardwareSlot : -1;
  if (s < 0 || s >= g_D3DTextureSlotCount || g_D3DTextureSlots[s].texture != texture) return g_D3DTextureSlotCount;
  return s;
}
