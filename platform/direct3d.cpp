#include "platform/direct3d.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/backend.h"
#include "platform/debug_output.h"
#include "platform/device_3d.h"
#include "platform/direct_draw_internal.h"

struct Direct3DDeviceState {
  IDirectDrawSurface* target = nullptr;  // with a reference
  Platform3DDevice* device = nullptr;    // null: an emulation device, which draws nothing
  D3DDEVICEDESC hardware, emulation;
  std::vector<DDPIXELFORMAT> textureFormats;
  bool inScene = false;
  std::map<D3DTEXTUREHANDLE, IDirect3DTexture*> textures;
  std::vector<IDirect3DViewport*> viewports;  // added, with a reference each
  std::vector<uint8_t> rgba;                   // the target during a scene
  D3DTEXTUREHANDLE nextHandle = 1;             // the emulation device's handles
};

namespace {

// A texture's pixels as last given to the device.
struct UploadedState {
  bool current = false;
  bool keyed = false;
  DWORD key = 0;
};

struct State {
  std::vector<Direct3DDeviceSpec> testDevices;
  std::map<D3DMATERIALHANDLE, IDirect3DMaterial*> materials;
  D3DMATERIALHANDLE nextMaterial = 1;
  std::map<const IDirect3DTexture*, UploadedState> uploaded;
};

State& S() {
  static State state;
  return state;
}

constexpr GUID kHardwareGuid{0x4B33D0A1, 0x0001, 0x0001, {'K', 'O', 'R', 'V', 'A', 'N', 'E', 'H'}};
constexpr GUID kEmulationGuid{0x4B33D0A1, 0x0001, 0x0002, {'K', 'O', 'R', 'V', 'A', 'N', 'E', 'E'}};

DDPIXELFORMAT RgbFormat(const PixelLayout& layout) {
  DDPIXELFORMAT f;
  f.dwFlags = DDPF_RGB;
  f.dwRGBBitCount = static_cast<DWORD>(layout.bitsPerPixel);
  f.dwRBitMask = layout.redMask;
  f.dwGBitMask = layout.greenMask;
  f.dwBBitMask = layout.blueMask;
  return f;
}

DDPIXELFORMAT IndexedFormat() {
  DDPIXELFORMAT f;
  f.dwFlags = DDPF_PALETTEINDEXED8;
  f.dwRGBBitCount = 8;
  return f;
}

std::vector<DDPIXELFORMAT> DefaultTextureFormats() {
  return {RgbFormat(kPixelRgb565), IndexedFormat(), RgbFormat(kPixelXrgb8888)};
}

struct DeviceEntry {
  Direct3DDeviceSpec spec;
  std::vector<DDPIXELFORMAT> textureFormats;
};

// The stand-in's own list: the emulation device, then the hardware device
// when the back end's 3-D device can draw.
std::vector<DeviceEntry> Devices() {
  std::vector<DeviceEntry> list;
  if (!S().testDevices.empty()) {
    for (const Direct3DDeviceSpec& spec : S().testDevices)
      list.push_back({spec, spec.textureFormats.empty() ? DefaultTextureFormats() : spec.textureFormats});
    return list;
  }
  DeviceEntry emulation;
  emulation.spec.guid = kEmulationGuid;
  emulation.spec.name = "RGB Emulation";
  emulation.spec.description = "Software emulation (draws nothing)";
  emulation.spec.emulation.dcmColorModel = D3DCOLOR_RGB;
  emulation.spec.emulation.dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
  list.push_back(emulation);
  Platform3DDevice* device = PlatformBackendGet().device3d.get();
  if (device && device->Open(nullptr)) {
    DeviceEntry hardware;
    hardware.spec.guid = kHardwareGuid;
    hardware.spec.name = "Direct3D HAL";
    hardware.spec.description = std::string("OpenGL through ") + device->Name();
    D3DDEVICEDESC& d = hardware.spec.hardware;
    d.dcmColorModel = D3DCOLOR_RGB;
    d.dpcTriCaps.dwShadeCaps = D3DPSHADECAPS_ALPHAFLATBLEND;
    d.dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_PERSPECTIVE;
    d.dpcLineCaps = d.dpcTriCaps;
    d.dwDeviceRenderBitDepth = DDBD_16 | DDBD_32;
    hardware.textureFormats = DefaultTextureFormats();
    list.push_back(hardware);
  }
  return list;
}

// Pixels of a surface as RGBA rows top down; texels in the colour key (when
// keyed) get alpha 0.
void SurfaceToRgba(IDirectDrawSurface* surface, bool keyed, DWORD key, std::vector<uint8_t>* rgba) {
  PixelView view;
  DirectDrawSurfaceView(surface, &view);
  rgba->resize(static_cast<size_t>(view.width) * static_cast<size_t>(view.height) * 4);
  const int bytes = view.layout.BytesPerPixel();
  const PixelChannels channels(view.layout);
  uint8_t* out = rgba->data();
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* row = view.top + view.pitch * y;
    for (int x = 0; x < view.width; ++x, out += 4) {
      const uint32_t value = PixelLoad(row + x * bytes, bytes);
      const Rgb8 c = view.layout.Indexed() ? view.colours[value] : channels.ToRgb(value);
      out[0] = c.r;
      out[1] = c.g;
      out[2] = c.b;
      out[3] = keyed && value == key ? 0 : 255;
    }
  }
}

void RgbaToSurface(const std::vector<uint8_t>& rgba, IDirectDrawSurface* surface) {
  PixelView view;
  DirectDrawSurfaceView(surface, &view);
  const int bytes = view.layout.BytesPerPixel();
  const PixelChannels channels(view.layout);
  const uint8_t* in = rgba.data();
  for (int y = 0; y < view.height; ++y) {
    uint8_t* row = view.top + view.pitch * y;
    for (int x = 0; x < view.width; ++x, in += 4) {
      const Rgb8 c{in[0], in[1], in[2]};
      const uint32_t value =
          view.layout.Indexed() ? NearestColourIndex(c, view.colours, 256) : channels.FromRgb(c);
      PixelStore(row + x * bytes, bytes, value);
    }
  }
  DirectDrawSurfaceWritten(surface);
}

// Gives the device the current pixels of every texture the program names.
void UploadNamedTextures(Direct3DDeviceState& state, const Direct3DProgram& program) {
  for (const Direct3DInstruction& instruction : program.instructions) {
    if (instruction.opcode != D3DOP_STATERENDER) continue;
    for (const D3DSTATE& s : instruction.states) {
      if (s.dwStateType != D3DRENDERSTATE_TEXTUREHANDLE || s.dwArg == 0) continue;
      const auto it = state.textures.find(s.dwArg);
      if (it == state.textures.end()) continue;
      IDirectDrawSurface* surface = it->second->Surface();
      const DirectDrawSurfaceData& d = surface->Data();
      UploadedState& up = S().uploaded[it->second];
      if (up.current && up.keyed == d.hasColorKey && (!up.keyed || up.key == d.colorKey.dwColorSpaceLowValue)) continue;
      up = UploadedState{true, d.hasColorKey, d.colorKey.dwColorSpaceLowValue};
      std::vector<uint8_t> rgba;
      SurfaceToRgba(surface, up.keyed, up.key, &rgba);
      state.device->TextureUpload(s.dwArg, d.width, d.height, rgba.data());
    }
  }
}

}  // namespace

// ---- IDirect3D -------------------------------------------------------------

HRESULT Direct3DCreate(IDirectDraw* directDraw, IDirect3D** direct3D) {
  if (const HRESULT fault = DirectDrawFault(DDCall::Direct3DCreate)) return fault;
  if (!directDraw || !direct3D) return DDERR_INVALIDPARAMS;
  *direct3D = new IDirect3D();
  return DD_OK;
}

HRESULT IDirect3D::EnumDevices(HRESULT (*callback)(GUID*, char*, char*, D3DDEVICEDESC*, D3DDEVICEDESC*, void*),
                               void* context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  for (DeviceEntry& entry : Devices()) {
    if (callback(&entry.spec.guid, entry.spec.description.data(), entry.spec.name.data(), &entry.spec.hardware,
                 &entry.spec.emulation, context) == DDENUMRET_CANCEL)
      break;
  }
  return D3D_OK;
}

HRESULT IDirect3D::CreateMaterial(IDirect3DMaterial** material, void* /*outer*/) {
  if (!material) return DDERR_INVALIDPARAMS;
  *material = new IDirect3DMaterial();
  return D3D_OK;
}

HRESULT IDirect3D::CreateViewport(IDirect3DViewport** viewport, void* /*outer*/) {
  if (!viewport) return DDERR_INVALIDPARAMS;
  *viewport = new IDirect3DViewport();
  return D3D_OK;
}

// ---- Materials -------------------------------------------------------------

HRESULT IDirect3DMaterial::SetMaterial(const D3DMATERIAL* material) {
  if (!material) return DDERR_INVALIDPARAMS;
  material_ = *material;
  return D3D_OK;
}

HRESULT IDirect3DMaterial::GetMaterial(D3DMATERIAL* material) const {
  if (!material) return DDERR_INVALIDPARAMS;
  *material = material_;
  return D3D_OK;
}

HRESULT IDirect3DMaterial::GetHandle(IDirect3DDevice* device, D3DMATERIALHANDLE* handle) {
  if (!device || !handle) return DDERR_INVALIDPARAMS;
  if (!handle_) {
    handle_ = S().nextMaterial++;
    S().materials[handle_] = this;
  }
  *handle = handle_;
  return D3D_OK;
}

// ---- Textures --------------------------------------------------------------

IDirect3DTexture::IDirect3DTexture(IDirectDrawSurface* surface) : surface_(surface) { surface_->AddRef(); }

IDirect3DTexture::~IDirect3DTexture() {
  if (device_ && handle_) {
    Direct3DDeviceState& state = device_->State();
    state.textures.erase(handle_);
    if (state.device) state.device->TextureDelete(handle_);
  }
  S().uploaded.erase(this);
  surface_->Release();
}

HRESULT Direct3DTextureCreate(IDirectDrawSurface* surface, IDirect3DTexture** texture) {
  if (!surface || !texture) return DDERR_INVALIDPARAMS;
  if (!(surface->Data().caps & DDSCAPS_TEXTURE)) return D3DERR_TEXTURE_NO_SUPPORT;
  *texture = new IDirect3DTexture(surface);
  return D3D_OK;
}

HRESULT IDirect3DTexture::GetHandle(IDirect3DDevice* device, D3DTEXTUREHANDLE* handle) {
  if (!device || !handle) return DDERR_INVALIDPARAMS;
  if (device_ && device_ != device) return D3DERR_TEXTURE_CREATE_FAILED;
  if (!handle_) {
    Direct3DDeviceState& state = device->State();
    handle_ = state.device ? state.device->TextureCreate() : state.nextHandle++;
    device_ = device;
    state.textures[handle_] = this;
    S().uploaded[this] = UploadedState{};
  }
  *handle = handle_;
  return D3D_OK;
}

HRESULT IDirect3DTexture::Load(IDirect3DTexture* source) {
  if (!source) return DDERR_INVALIDPARAMS;
  DirectDrawSurfaceData& to = surface_->Data();
  const DirectDrawSurfaceData& from = source->surface_->Data();
  if (to.width != from.width || to.height != from.height || to.layout.bitsPerPixel != from.layout.bitsPerPixel ||
      to.layout.redMask != from.layout.redMask || to.layout.greenMask != from.layout.greenMask)
    return D3DERR_TEXTURE_LOAD_FAILED;
  if (!DirectDrawSurfaceUsable(surface_) || !DirectDrawSurfaceUsable(source->surface_)) return DDERR_SURFACELOST;
  if (to.locked || from.locked) return DDERR_SURFACEBUSY;
  const size_t rowBytes = static_cast<size_t>(to.width) * static_cast<size_t>(to.layout.BytesPerPixel());
  for (int y = 0; y < to.height; ++y)
    std::memcpy(to.pixels.data() + static_cast<size_t>(to.pitch) * y,
                from.pixels.data() + static_cast<size_t>(from.pitch) * y, rowBytes);
  if (to.layout.Indexed() && to.palette && from.palette)
    to.palette->SetEntries(0, 0, 256, from.palette->Entries());
  S().uploaded[this].current = false;
  return D3D_OK;
}

// ---- Execute buffers -------------------------------------------------------

HRESULT IDirect3DExecuteBuffer::Lock(D3DEXECUTEBUFFERDESC* desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  if (locked_) return D3DERR_EXECUTE_LOCKED;
  locked_ = true;
  desc->dwBufferSize = static_cast<DWORD>(bytes_.size());
  desc->lpData = bytes_.data();
  return D3D_OK;
}

HRESULT IDirect3DExecuteBuffer::Unlock() {
  if (!locked_) return D3DERR_EXECUTE_NOT_LOCKED;
  locked_ = false;
  return D3D_OK;
}

HRESULT IDirect3DExecuteBuffer::SetExecuteData(const D3DEXECUTEDATA* data) {
  if (!data) return DDERR_INVALIDPARAMS;
  data_ = *data;
  return D3D_OK;
}

HRESULT IDirect3DExecuteBuffer::GetExecuteData(D3DEXECUTEDATA* data) const {
  if (!data) return DDERR_INVALIDPARAMS;
  *data = data_;
  return D3D_OK;
}

// ---- Viewports -------------------------------------------------------------

HRESULT IDirect3DViewport::SetViewport(const D3DVIEWPORT* viewport) {
  if (!viewport || viewport->dwWidth == 0 || viewport->dwHeight == 0) return D3DERR_SETVIEWPORTDATA_FAILED;
  viewport_ = *viewport;
  set_ = true;
  return D3D_OK;
}

HRESULT IDirect3DViewport::GetViewport(D3DVIEWPORT* viewport) const {
  if (!viewport) return DDERR_INVALIDPARAMS;
  *viewport = viewport_;
  return D3D_OK;
}

HRESULT IDirect3DViewport::SetBackground(D3DMATERIALHANDLE material) {
  if (!S().materials.count(material)) return DDERR_INVALIDPARAMS;
  background_ = material;
  return D3D_OK;
}

HRESULT IDirect3DViewport::Clear(DWORD count, const D3DRECT* rects, DWORD flags) {
  if (!device_ || (count && !rects)) return DDERR_INVALIDPARAMS;
  if (!(flags & D3DCLEAR_TARGET)) return D3D_OK;
  uint8_t colour[4] = {0, 0, 0, 255};
  const auto it = S().materials.find(background_);
  if (it != S().materials.end()) {
    D3DMATERIAL m;
    it->second->GetMaterial(&m);
    auto channel = [](float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    colour[0] = channel(m.diffuse.r);
    colour[1] = channel(m.diffuse.g);
    colour[2] = channel(m.diffuse.b);
  }
  Direct3DDeviceState& state = device_->State();
  if (!DirectDrawSurfaceUsable(state.target)) return DDERR_SURFACELOST;
  for (DWORD i = 0; i < count; ++i) {
    if (state.inScene && state.device) {
      state.device->Clear(rects[i], colour);
      continue;
    }
    // Outside a scene the surface is filled at once.
    DDBLTFX fx;
    fx.dwFillColor = PixelFromRgb(Rgb8{colour[0], colour[1], colour[2]}, state.target->Data().layout);
    const DirectDrawSurfaceData& d = state.target->Data();
    RECT r{std::max<LONG>(0, rects[i].x1), std::max<LONG>(0, rects[i].y1), std::min<LONG>(d.width, rects[i].x2),
           std::min<LONG>(d.height, rects[i].y2)};
    if (r.left < r.right && r.top < r.bottom) state.target->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  }
  return D3D_OK;
}

// ---- Devices ---------------------------------------------------------------

IDirect3DDevice::IDirect3DDevice() : state_(new Direct3DDeviceState()) {}

IDirect3DDevice::~IDirect3DDevice() {
  for (auto& [handle, texture] : state_->textures) {
    if (state_->device) state_->device->TextureDelete(handle);
    texture->device_ = nullptr;
    texture->handle_ = 0;
    S().uploaded.erase(texture);
  }
  for (IDirect3DViewport* viewport : state_->viewports) {
    viewport->device_ = nullptr;
    viewport->Release();
  }
  if (state_->target) state_->target->Release();
  delete state_;
}

HRESULT Direct3DDeviceCreate(IDirectDrawSurface* target, const GUID* guid, IDirect3DDevice** device) {
  if (!target || !guid || !device) return DDERR_INVALIDPARAMS;
  if (!(target->Data().caps & DDSCAPS_3DDEVICE)) return DDERR_INVALIDCAPS;
  for (const DeviceEntry& entry : Devices()) {
    if (!(entry.spec.guid == *guid)) continue;
    Platform3DDevice* platform = nullptr;
    if (entry.spec.hardware.dcmColorModel != 0) {
      platform = PlatformBackendGet().device3d.get();
      if (!platform || !platform->Open(nullptr)) return DDERR_NODIRECTDRAWHW;
    }
    IDirect3DDevice* made = new IDirect3DDevice();
    Direct3DDeviceState& state = made->State();
    state.target = target;
    target->AddRef();
    state.device = platform;
    state.hardware = entry.spec.hardware;
    state.emulation = entry.spec.emulation;
    state.textureFormats = entry.textureFormats;
    *device = made;
    return D3D_OK;
  }
  return DDERR_INVALIDDIRECTDRAWGUID;
}

HRESULT IDirect3DDevice::GetCaps(D3DDEVICEDESC* hardware, D3DDEVICEDESC* emulation) const {
  if (hardware) *hardware = state_->hardware;
  if (emulation) *emulation = state_->emulation;
  return D3D_OK;
}

HRESULT IDirect3DDevice::EnumTextureFormats(HRESULT (*callback)(DDSURFACEDESC*, void*), void* context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  for (const DDPIXELFORMAT& format : state_->textureFormats) {
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat = format;
    if (callback(&desc, context) == DDENUMRET_CANCEL) break;
  }
  return D3D_OK;
}

HRESULT IDirect3DDevice::CreateExecuteBuffer(const D3DEXECUTEBUFFERDESC* desc, IDirect3DExecuteBuffer** buffer,
                                             void* /*outer*/) {
  if (!desc || !buffer || !(desc->dwFlags & D3DDEB_BUFSIZE)) return DDERR_INVALIDPARAMS;
  // Direct3D's own limit on one buffer.
  if (desc->dwBufferSize == 0 || desc->dwBufferSize > 0x100000) return D3DERR_EXECUTE_CREATE_FAILED;
  *buffer = new IDirect3DExecuteBuffer(desc->dwBufferSize);
  return D3D_OK;
}

HRESULT IDirect3DDevice::AddViewport(IDirect3DViewport* viewport) {
  if (!viewport) return DDERR_INVALIDPARAMS;
  if (viewport->device_) return DDERR_INVALIDOBJECT;
  viewport->device_ = this;
  viewport->AddRef();
  state_->viewports.push_back(viewport);
  return D3D_OK;
}

HRESULT IDirect3DDevice::BeginScene() {
  Direct3DDeviceState& s = *state_;
  if (s.inScene) return D3DERR_SCENE_IN_SCENE;
  if (!DirectDrawSurfaceUsable(s.target)) return DDERR_SURFACELOST;
  if (s.target->Data().locked) return DDERR_SURFACEBUSY;
  s.inScene = true;
  if (s.device) {
    const DirectDrawSurfaceData& d = s.target->Data();
    SurfaceToRgba(s.target, false, 0, &s.rgba);
    s.device->SceneBegin(d.width, d.height, s.rgba.data());
  }
  return D3D_OK;
}

HRESULT IDirect3DDevice::EndScene() {
  Direct3DDeviceState& s = *state_;
  if (!s.inScene) return D3DERR_SCENE_NOT_IN_SCENE;
  s.inScene = false;
  if (!s.device) return D3D_OK;
  const DirectDrawSurfaceData& d = s.target->Data();
  s.rgba.resize(static_cast<size_t>(d.width) * static_cast<size_t>(d.height) * 4);
  s.device->SceneEnd(s.rgba.data());
  // A surface lost during the scene keeps its cleared pixels.
  if (DirectDrawSurfaceUsable(s.target) && !d.locked) RgbaToSurface(s.rgba, s.target);
  return D3D_OK;
}

HRESULT IDirect3DDevice::Execute(IDirect3DExecuteBuffer* buffer, IDirect3DViewport* viewport, DWORD /*flags*/) {
  Direct3DDeviceState& s = *state_;
  if (!buffer || !viewport || viewport->device_ != this || !viewport->set_) return DDERR_INVALIDPARAMS;
  if (!s.inScene) return D3DERR_SCENE_NOT_IN_SCENE;
  if (buffer->locked_) return D3DERR_EXECUTE_LOCKED;
  Direct3DProgram program;
  std::string error;
  if (!Direct3DDecodeExecute(buffer->bytes_, buffer->data_, &program, &error)) {
    OutputDebugString(("korvane: execute buffer refused: " + error + "\n").c_str());
    return D3DERR_EXECUTE_FAILED;
  }
  if (s.device) {
    UploadNamedTextures(s, program);
    s.device->Execute(program, viewport->viewport_);
  }
  return D3D_OK;
}

// ---- Tests -----------------------------------------------------------------

void Direct3DSetDevices(const std::vector<Direct3DDeviceSpec>& devices) { S().testDevices = devices; }

GUID Direct3DHardwareDeviceGuid() { return kHardwareGuid; }
