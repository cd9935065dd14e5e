#include "render/d3d/display_3d.h"

#include <cstdio>
#include <vector>

#include "platform/debug_output.h"

namespace {

// Direct3D's render-depth flags.
constexpr DWORD kRenders8 = 0x800;
constexpr DWORD kRenders16 = 0x400;
constexpr DWORD kRenders24 = 0x200;
constexpr DWORD kRenders32 = 0x100;

// The stand-in's hardware device renders at 16 bits per pixel.
constexpr DWORD kDeviceRenderDepths = kRenders16;

struct DisplayModeRecord {
  int width = 0;
  int height = 0;
  int bits = 0;
  int supported = 0;
};

struct Module {
  int noAccelerator = 0;
  int desktopWidth = 0, desktopHeight = 0, desktopBits = 0;
  std::vector<DisplayModeRecord> modes;
  int chosenMode = -1;
};

Module& M() {
  static Module module;
  return module;
}

DWORD DepthToRenderFlag(int bits) {
  switch (bits) {
    case 8: return kRenders8;
    case 16: return kRenders16;
    case 24: return kRenders24;
    case 32: return kRenders32;
    default: return 0;
  }
}

HRESULT AddMode(DDSURFACEDESC* desc, void* context) {
  auto* modes = static_cast<std::vector<DisplayModeRecord>*>(context);
  modes->push_back(DisplayModeRecord{static_cast<int>(desc->dwWidth), static_cast<int>(desc->dwHeight),
                                     static_cast<int>(desc->ddpfPixelFormat.dwRGBBitCount), 0});
  return DDENUMRET_OK;
}

// The first supported 640x480 mode, else the last supported 800x600 one.
int ChooseMode(const std::vector<DisplayModeRecord>& modes) {
  for (size_t i = 0; i < modes.size(); ++i)
    if (modes[i].supported && modes[i].width == 640 && modes[i].height == 480) return static_cast<int>(i);
  int chosen = -1;
  for (size_t i = 0; i < modes.size(); ++i)
    if (modes[i].supported && modes[i].width == 800 && modes[i].height == 600) chosen = static_cast<int>(i);
  return chosen;
}

}  // namespace

int InitDirect3D(IDirectDraw** current, IDirect3D** direct3D, IDirectDraw** display, IDirectDraw** accelerator,
                 int* notFound, int* mustFullScreen) {
  Module& m = M();
  *notFound = 1;
  *mustFullScreen = 0;
  // The stand-in lists only the primary display driver, which has no GUID,
  // so there is no accelerator to search for.
  m.noAccelerator = 1;
  IDirectDraw* primary = nullptr;
  if (DirectDrawCreate(nullptr, &primary, nullptr) != DD_OK) return 0;
  *current = *display = *accelerator = primary;

  DDSURFACEDESC desktop;
  if (primary->GetDisplayMode(&desktop) != DD_OK) return 0;
  m.desktopWidth = static_cast<int>(desktop.dwWidth);
  m.desktopHeight = static_cast<int>(desktop.dwHeight);
  m.desktopBits = static_cast<int>(desktop.ddpfPixelFormat.dwRGBBitCount);
  m.modes.clear();
  m.chosenMode = -1;
  if (primary->EnumDisplayModes(0, nullptr, &m.modes, AddMode) != DD_OK) return 0;
  if (Direct3DCreate(primary, direct3D) != DD_OK) return 0;

  // The one device is a hardware device: it marks the modes it renders at.
  *notFound = 0;
  for (DisplayModeRecord& mode : m.modes) mode.supported = (DepthToRenderFlag(mode.bits) & kDeviceRenderDepths) != 0;
  const bool rendersAtDesktop = (DepthToRenderFlag(m.desktopBits) & kDeviceRenderDepths) != 0;
  *mustFullScreen = rendersAtDesktop ? 0 : 1;
  return 1;
}

int InitDisplay3D(HWND window, int /*fullScreen*/, IDirectDraw* directDraw, IDirectDrawSurface** front,
                  IDirectDrawSurface** back, IDirectDrawSurface** /*zBuffer*/, IDirectDrawClipper** /*clipper*/,
                  IDirectDrawPalette** palette) {
  Module& m = M();
  const HRESULT level = directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  if (level != DD_OK) {
    char text[96];
    std::snprintf(text, sizeof text, "korvane: SetCooperativeLevel failed: 0x%08X\n", static_cast<unsigned>(level));
    OutputDebugString(text);
    return 0;
  }
  m.chosenMode = ChooseMode(m.modes);
  if (m.chosenMode < 0) return 0;
  const DisplayModeRecord& mode = m.modes[static_cast<size_t>(m.chosenMode)];
  if (directDraw->SetDisplayMode(static_cast<DWORD>(mode.width), static_cast<DWORD>(mode.height),
                                 static_cast<DWORD>(mode.bits)) != DD_OK)
    return 0;

  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
  desc.dwBackBufferCount = 1;
  if (directDraw->CreateSurface(&desc, front, nullptr) != DD_OK) return 0;
  DDSCAPS backCaps;
  backCaps.dwCaps = DDSCAPS_BACKBUFFER;
  if ((*front)->GetAttachedSurface(&backCaps, back) != DD_OK) return 0;

  DDPIXELFORMAT format;
  if ((*back)->GetPixelFormat(&format) != DD_OK) return 0;
  if (format.dwFlags & DDPF_PALETTEINDEXED8) {
    PALETTEENTRY entries[256];
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, entries);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 256; ++i) entries[i].peFlags = (i == 0 || i == 255) ? 0x40 : PC_RESERVED;
    if (directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, palette, nullptr) != DD_OK) return 0;
    if ((*back)->SetPalette(*palette) != DD_OK || (*front)->SetPalette(*palette) != DD_OK) return 0;
  }
  return 1;
}

// The device calls are accepted; the triangle back end gives them bodies.
int CreateDevice3D(IDirect3D* direct3D, IDirectDrawSurface* back, int /*fullScreen*/) {
  return direct3D && back ? 1 : 0;
}
int CreateBackground3D(IDirect3D* direct3D) { return direct3D ? 1 : 0; }
void ResetRenderStateDefaults3D() {}
int SetRenderStates3D() { return 1; }
void ReleaseExecuteBuffer3D() {}
void ReleaseDevice3D() {}
void ReleaseBackgroundMaterial3D() {}
void FreeTextureFormats3D() {}

void GetDisplaySize3D(int* width, int* height) {
  const Module& m = M();
  const bool chosen = m.chosenMode >= 0 && static_cast<size_t>(m.chosenMode) < m.modes.size();
  *width = chosen ? m.modes[static_cast<size_t>(m.chosenMode)].width : 0;
  *height = chosen ? m.modes[static_cast<size_t>(m.chosenMode)].height : 0;
}
