#include "render/d3d/display_3d.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "render/d3d/error_text_3d.h"
#include "render/d3d/module_3d.h"
#include "render/d3d/overlays_3d.h"
#include "render/d3d/texture_slots_3d.h"

Module3D& D3DModule() {
  static Module3D module;
  return module;
}

namespace {

struct DriverRecord3D {
  bool hasGuid = false;
  GUID guid;
  std::string name;
  std::string description;
};

DWORD DepthToRenderFlag(int bits) {
  switch (bits) {
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    case 32: return DDBD_32;
    default: return 0;
  }
}

BOOL AddDriver(GUID* guid, char* description, char* name, void* context) {
  DriverRecord3D record;
  record.hasGuid = guid != nullptr;
  if (guid) record.guid = *guid;
  record.name = name ? name : "";
  record.description = description ? description : "";
  static_cast<std::vector<DriverRecord3D>*>(context)->push_back(record);
  return TRUE;
}

HRESULT AddMode(DDSURFACEDESC* desc, void* context) {
  static_cast<std::vector<DisplayModeRecord3D>*>(context)->push_back(DisplayModeRecord3D{
      static_cast<int>(desc->dwWidth), static_cast<int>(desc->dwHeight),
      static_cast<int>(desc->ddpfPixelFormat.dwRGBBitCount), 0});
  return DDENUMRET_OK;
}

void CopyCut(char* to, size_t size, const char* from) {
  std::snprintf(to, size, "%s", from ? from : "");
}

HRESULT AddDevice(GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware, D3DDEVICEDESC* emulation,
                  void* context) {
  Module3D& m = *static_cast<Module3D*>(context);
  DeviceRecord3D record{};
  CopyCut(record.name, sizeof record.name, name);
  CopyCut(record.description, sizeof record.description, description);
  record.hardware = hardware->dcmColorModel != 0 ? 1 : 0;
  record.desc = record.hardware ? *hardware : *emulation;
  record.guid = *guid;
  record.perspectiveTextures = (record.desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_PERSPECTIVE) ? 1 : 0;
  record.zBuffer = record.desc.dwDeviceZBufferBitDepth != 0 ? 1 : 0;
  record.rendersAtDesktop =
      m.noAccelerator && (record.desc.dwDeviceRenderBitDepth & DepthToRenderFlag(m.desktopBits)) ? 1 : 0;
  m.devices.push_back(record);
  return DDENUMRET_OK;
}

// The first supported 640x480 mode, else the last supported 800x600 one.
int ChooseMode(const std::vector<DisplayModeRecord3D>& modes) {
  for (size_t i = 0; i < modes.size(); ++i)
    if (modes[i].supported && modes[i].width == 640 && modes[i].height == 480) return static_cast<int>(i);
  int chosen = -1;
  for (size_t i = 0; i < modes.size(); ++i)
    if (modes[i].supported && modes[i].width == 800 && modes[i].height == 600) chosen = static_cast<int>(i);
  return chosen;
}

const DeviceRecord3D* ChosenDevice() {
  const Module3D& m = D3DModule();
  if (m.chosenDevice < 0 || m.chosenDevice >= static_cast<int>(m.devices.size())) return nullptr;
  return &m.devices[static_cast<size_t>(m.chosenDevice)];
}

const DisplayModeRecord3D* ChosenMode() {
  const Module3D& m = D3DModule();
  if (m.chosenMode < 0 || m.chosenMode >= static_cast<int>(m.modes.size())) return nullptr;
  return &m.modes[static_cast<size_t>(m.chosenMode)];
}

// Writes the states into a new execute buffer of `bytes` bytes and executes
// it inside a scene of its own; the buffer is released afterwards.
int ExecuteStates(const D3DSTATE* states, int count, DWORD bytes) {
  Module3D& m = D3DModule();
  if (!m.device || !m.viewport) return 0;
  D3DEXECUTEBUFFERDESC desc;
  desc.dwFlags = D3DDEB_BUFSIZE;
  desc.dwBufferSize = bytes;
  IDirect3DExecuteBuffer* buffer = nullptr;
  if (m.device->CreateExecuteBuffer(&desc, &buffer, nullptr) != D3D_OK) return 0;
  int ok = 0;
  if (buffer->Lock(&desc) == D3D_OK) {
    ExecuteWriter3D writer(desc.lpData, desc.dwBufferSize);
    writer.States(D3DOP_STATERENDER, states, count);
    writer.Exit();
    buffer->Unlock();
    if (writer.Ok() && m.device->BeginScene() == D3D_OK) {
      const HRESULT executed = ExecuteBuffer3D(buffer, 0, 0, static_cast<DWORD>(writer.Position()));
      const HRESULT ended = m.device->EndScene();
      ok = executed == D3D_OK && ended == D3D_OK;
    }
  }
  buffer->Release();
  return ok;
}

}  // namespace

HRESULT ExecuteBuffer3D(IDirect3DExecuteBuffer* buffer, DWORD vertexCount, DWORD instructionOffset,
                        DWORD instructionEnd) {
  Module3D& m = D3DModule();
  D3DEXECUTEDATA data;
  data.dwVertexOffset = 0;
  data.dwVertexCount = vertexCount;
  data.dwInstructionOffset = instructionOffset;
  data.dwInstructionLength = instructionEnd - instructionOffset;
  if (const HRESULT set = buffer->SetExecuteData(&data)) return set;
  return m.device->Execute(buffer, m.viewport, D3DEXECUTE_UNCLIPPED);
}

int InitDirect3D(IDirectDraw** current, IDirect3D** direct3D, IDirectDraw** display, IDirectDraw** accelerator,
                 int* notFound, int* mustFullScreen) {
  Module3D& m = D3DModule();
  ClearOverlayRecords3D();
  m.noAccelerator = 0;
  *notFound = 1;
  *mustFullScreen = 0;

  std::vector<DriverRecord3D> drivers;
  DirectDrawEnumerate(AddDriver, &drivers);
  IDirectDraw* found = nullptr;
  for (const DriverRecord3D& driver : drivers) {
    if (!driver.hasGuid) continue;
    IDirectDraw* candidate = nullptr;
    if (DirectDrawCreate(&driver.guid, &candidate, nullptr) != DD_OK) continue;
    DDCAPS hardware;
    if (candidate->GetCaps(&hardware, nullptr) == DD_OK && (hardware.dwCaps & DDCAPS_3D)) {
      found = candidate;
      break;
    }
    candidate->Release();
  }
  if (found) {
    // The display object is checked like every other creation.
    if (DirectDrawCreate(nullptr, display, nullptr) != DD_OK) {
      *display = nullptr;
      found->Release();
      return 0;
    }
    *current = *accelerator = found;
  } else {
    IDirectDraw* primary = nullptr;
    if (DirectDrawCreate(nullptr, &primary, nullptr) != DD_OK) return 0;
    *current = *display = *accelerator = primary;
    m.noAccelerator = 1;
  }
  m.directDraw = *current;

  DDSURFACEDESC desktop;
  if ((*current)->GetDisplayMode(&desktop) != DD_OK) return 0;
  m.desktopWidth = static_cast<int>(desktop.dwWidth);
  m.desktopHeight = static_cast<int>(desktop.dwHeight);
  m.desktopBits = static_cast<int>(desktop.ddpfPixelFormat.dwRGBBitCount);
  m.modes.clear();
  m.chosenMode = -1;
  if ((*current)->EnumDisplayModes(0, nullptr, &m.modes, AddMode) != DD_OK) return 0;
  if (Direct3DCreate(*current, direct3D) != DD_OK) return 0;
  if (m.sharedMaterial) m.sharedMaterial->Release();
  m.sharedMaterial = nullptr;
  if ((*direct3D)->CreateMaterial(&m.sharedMaterial, nullptr) != D3D_OK) return 0;
  m.devices.clear();
  m.chosenDevice = -1;
  if ((*direct3D)->EnumDevices(AddDevice, &m) != D3D_OK) return 0;

  for (size_t i = 0; i < m.devices.size(); ++i) {
    const DeviceRecord3D& device = m.devices[i];
    if (!device.hardware) continue;
    m.chosenDevice = static_cast<int>(i);
    *notFound = 0;
    for (DisplayModeRecord3D& mode : m.modes)
      mode.supported = (DepthToRenderFlag(mode.bits) & device.desc.dwDeviceRenderBitDepth) != 0;
    *mustFullScreen = device.rendersAtDesktop ? 0 : 1;
    return 1;
  }
  return 0;
}

int InitDisplay3D(HWND window, int /*fullScreen*/, IDirectDraw* directDraw, IDirectDrawSurface** front,
                  IDirectDrawSurface** back, IDirectDrawSurface** /*zBuffer*/, IDirectDrawClipper** /*clipper*/,
                  IDirectDrawPalette** palette) {
  Module3D& m = D3DModule();
  const HRESULT level = directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
  if (level != DD_OK) {
    D3DTraceError(level);
    return 0;
  }
  m.chosenMode = ChooseMode(m.modes);
  const DisplayModeRecord3D* mode = ChosenMode();
  if (!mode) return 0;
  if (directDraw->SetDisplayMode(static_cast<DWORD>(mode->width), static_cast<DWORD>(mode->height),
                                 static_cast<DWORD>(mode->bits)) != DD_OK)
    return 0;
  m.clampWidth = mode->width - 1;
  m.clampHeight = mode->height - 1;

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

int CreateDevice3D(IDirect3D* direct3D, IDirectDrawSurface* back, int /*fullScreen*/) {
  Module3D& m = D3DModule();
  const DeviceRecord3D* chosen = ChosenDevice();
  const DisplayModeRecord3D* mode = ChosenMode();
  if (!chosen || !mode || !back || !direct3D) return 0;
  if (Direct3DDeviceCreate(back, &chosen->guid, &m.device) != D3D_OK) {
    m.device = nullptr;
    return 0;
  }
  D3DEXECUTEBUFFERDESC desc;
  desc.dwFlags = D3DDEB_BUFSIZE;
  desc.dwBufferSize = kExecuteBufferBytes;
  if (m.device->CreateExecuteBuffer(&desc, &m.executeBuffer, nullptr) != D3D_OK) {
    m.executeBuffer = nullptr;
    return 0;
  }
  if (!EnumerateTextureFormats3D(m.chosenDevice)) return 0;

  // The shared material goes with the device (ReleaseDevice3D); a device
  // made again after a display switch gets a new one.
  if (!m.sharedMaterial && direct3D->CreateMaterial(&m.sharedMaterial, nullptr) != D3D_OK) {
    m.sharedMaterial = nullptr;
    return 0;
  }
  if (direct3D->CreateViewport(&m.viewport, nullptr) != D3D_OK) {
    m.viewport = nullptr;
    return 0;
  }
  if (m.device->AddViewport(m.viewport) != D3D_OK) return 0;
  D3DVIEWPORT viewport;
  viewport.dwX = 0;
  viewport.dwY = 0;
  viewport.dwWidth = static_cast<DWORD>(mode->width);
  viewport.dwHeight = static_cast<DWORD>(mode->height);
  viewport.dvScaleX = static_cast<float>(mode->width) / 2.0f;
  viewport.dvScaleY = static_cast<float>(mode->height) / 2.0f;
  viewport.dvMaxX = 1.0f;
  viewport.dvMaxY = 1.0f;
  viewport.dvMinZ = 0.0f;
  viewport.dvMaxZ = 0.0f;
  return m.viewport->SetViewport(&viewport) == D3D_OK ? 1 : 0;
}

int CreateBackground3D(IDirect3D* direct3D) {
  Module3D& m = D3DModule();
  if (!direct3D || !m.device || !m.viewport) return 0;
  if (direct3D->CreateMaterial(&m.background, nullptr) != D3D_OK) {
    m.background = nullptr;
    return 0;
  }
  D3DMATERIAL material;
  material.dwRampSize = 1;
  m.background->SetMaterial(&material);
  D3DMATERIALHANDLE handle = 0;
  m.background->GetHandle(m.device, &handle);
  m.viewport->SetBackground(handle);
  return 1;
}

void ResetRenderStateDefaults3D() { D3DModule().renderStates = RenderStates3D{}; }

int SetRenderStates3D() {
  Module3D& m = D3DModule();
  const DeviceRecord3D* chosen = ChosenDevice();
  if (!chosen) return 0;
  const D3DSTATE off[] = {
      {D3DRENDERSTATE_ZWRITEENABLE, 0},  {D3DRENDERSTATE_ALPHATESTENABLE, 0}, {D3DRENDERSTATE_LASTPIXEL, 0},
      {D3DRENDERSTATE_DITHERENABLE, 0},  {D3DRENDERSTATE_BLENDENABLE, 0},     {D3DRENDERSTATE_FOGENABLE, 0},
      {D3DRENDERSTATE_SPECULARENABLE, 0}, {D3DRENDERSTATE_ZVISIBLE, 0},       {D3DRENDERSTATE_SUBPIXEL, 0},
      {D3DRENDERSTATE_SUBPIXELX, 0},     {D3DRENDERSTATE_STIPPLEDALPHA, 0},   {D3DRENDERSTATE_STIPPLEENABLE, 0}};
  if (!ExecuteStates(off, static_cast<int>(std::size(off)), 124)) return 0;

  const RenderStates3D& r = m.renderStates;
  auto value = [](int v) { return static_cast<DWORD>(v); };
  std::vector<D3DSTATE> states = {
      {D3DRENDERSTATE_MONOENABLE, 0},
      {D3DRENDERSTATE_SHADEMODE, value(r.shadeMode)},
      {D3DRENDERSTATE_TEXTUREPERSPECTIVE, value(r.texturePerspective)},
      {D3DRENDERSTATE_ZENABLE, value(r.zEnable)},
      {D3DRENDERSTATE_ZWRITEENABLE, value(r.zEnable)},
      {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
      {D3DRENDERSTATE_TEXTUREMAG, value(r.textureFilter)},
      {D3DRENDERSTATE_TEXTUREMIN, value(r.textureFilter)},
      {D3DRENDERSTATE_TEXTUREMAPBLEND, value(r.textureMapBlend)},
      {D3DRENDERSTATE_FILLMODE, value(r.fillMode)},
      {D3DRENDERSTATE_DITHERENABLE, value(r.dither)},
      {D3DRENDERSTATE_SPECULARENABLE, value(r.specular)},
      {D3DRENDERSTATE_ANTIALIAS, value(r.antialias)},
      {D3DRENDERSTATE_FOGENABLE, value(r.fogEnable)},
      {D3DRENDERSTATE_FOGCOLOR, value(r.fogColour)}};
  const DWORD shadeCaps = chosen->desc.dpcTriCaps.dwShadeCaps;
  if (shadeCaps & D3DPSHADECAPS_ALPHAFLATBLEND) {
    states.insert(states.end(), {{D3DRENDERSTATE_BLENDENABLE, 1},
                                 {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
                                 {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                 {D3DRENDERSTATE_TEXTUREMAPBLEND, D3DTBLEND_MODULATEALPHA}});
  } else if (shadeCaps & D3DPSHADECAPS_ALPHAFLATSTIPPLED) {
    states.insert(states.end(), {{D3DRENDERSTATE_STIPPLEDALPHA, 1},
                                 {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
                                 {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
                                 {D3DRENDERSTATE_STIPPLEENABLE, 1}});
  }
  return ExecuteStates(states.data(), static_cast<int>(states.size()), 188);
}

void ReleaseExecuteBuffer3D() {
  Module3D& m = D3DModule();
  if (m.executeBuffer) m.executeBuffer->Release();
  m.executeBuffer = nullptr;
}

void ReleaseDevice3D() {
  Module3D& m = D3DModule();
  // The viewport belongs to the device's list; the module's reference goes
  // with it.
  if (m.viewport) m.viewport->Release();
  m.viewport = nullptr;
  if (m.device) m.device->Release();
  m.device = nullptr;
  if (m.sharedMaterial) m.sharedMaterial->Release();
  m.sharedMaterial = nullptr;
}

void ReleaseBackgroundMaterial3D() {
  Module3D& m = D3DModule();
  if (m.background) m.background->Release();
  m.background = nullptr;
}

void FreeTextureFormats3D() {
  Module3D& m = D3DModule();
  m.textureFormats.clear();
  m.textureFormat = TextureFormat3D{};
}

void GetDisplaySize3D(int* width, int* height) {
  const DisplayModeRecord3D* mode = ChosenMode();
  *width = mode ? mode->width : 0;
  *height = mode ? mode->height : 0;
}

void GetDisplayOrigin3D(int* x, int* y) {
  const DisplayModeRecord3D* mode = ChosenMode();
  *x = mode ? std::max(0, (mode->width - 640) / 2) : 0;
  *y = mode ? std::max(0, (mode->height - 480) / 2) : 0;
}

int DeviceHasCapsBits3D() {
  const DeviceRecord3D* chosen = ChosenDevice();
  if (!chosen) return 0;
  return (chosen->desc.dpcTriCaps.dwShadeCaps & (D3DPSHADECAPS_ALPHAFLATBLEND | D3DPSHADECAPS_ALPHAFLATSTIPPLED)) ? 1
                                                                                                                  : 0;
}

const char* Direct3DMissingReason() {
  static std::string reason;
  Platform3DDevice* device = PlatformBackendGet().device3d.get();
  reason = "no 3-D device";
  if (device && !device->Open(&reason) && reason.empty()) reason = "the 3-D device cannot draw";
  return reason.c_str();
}
