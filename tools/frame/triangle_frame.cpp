#include "tools/frame/triangle_frame.h"

#include <cstring>

#include "engine/render_hardware.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "platform/pixel_format.h"
#include "platform/framework/wnd.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/execute_batch_3d.h"
#include "render/d3d/texture_slots_3d.h"

namespace {

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

void ReadBack(IDirectDrawSurface* surface, RgbFrame* frame) {
  DDSURFACEDESC desc;
  frame->width = frame->height = 0;
  frame->rgb.clear();
  if (surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr) != DD_OK) return;
  const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
  const PixelLayout layout{static_cast<int>(f.dwRGBBitCount), f.dwRBitMask, f.dwGBitMask, f.dwBBitMask};
  frame->width = static_cast<int>(desc.dwWidth);
  frame->height = static_cast<int>(desc.dwHeight);
  frame->rgb.resize(static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height) * 3);
  const int bytes = layout.BytesPerPixel();
  uint8_t* out = frame->rgb.data();
  for (int y = 0; y < frame->height; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + static_cast<ptrdiff_t>(desc.lPitch) * y;
    for (int x = 0; x < frame->width; ++x, out += 3) {
      const Rgb8 c = PixelToRgb(PixelLoad(row + x * bytes, bytes), layout);
      out[0] = c.r;
      out[1] = c.g;
      out[2] = c.b;
    }
  }
  surface->Unlock(nullptr);
}

// What the back end made, released in the order the interface manager
// releases it.
struct BackEnd {
  CWnd window;
  IDirectDraw* current = nullptr;
  IDirectDraw* display = nullptr;
  IDirectDraw* accelerator = nullptr;
  IDirect3D* direct3D = nullptr;
  IDirectDrawSurface* front = nullptr;
  IDirectDrawSurface* back = nullptr;
  IDirectDrawSurface* zBuffer = nullptr;
  IDirectDrawClipper* clipper = nullptr;
  IDirectDrawPalette* palette = nullptr;

  ~BackEnd() {
    FreeTextureSlots3D();
    ReleaseExecuteBuffer3D();
    ReleaseDevice3D();
    ReleaseBackgroundMaterial3D();
    FreeTextureFormats3D();
    if (back) back->Release();
    if (front) front->Release();
    if (palette) palette->Release();
    if (direct3D) direct3D->Release();
    if (current) {
      current->RestoreDisplayMode();
      current->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    }
    if (display && display != accelerator) display->Release();
    if (accelerator) accelerator->Release();
    if (window.m_hWnd) window.DestroyWindow();
  }
};

}  // namespace

bool RenderMissionFrameTriangles(MissionScene* scene, const float cameraMatrix[16], const TriangleFrameOptions& options,
                                 RgbFrame* frame, std::string* error, int frames) {
  if (!scene->world) return Fail(error, "no world");
  // The stand-in lists 640x480 at 16 bits among its modes; another size is
  // offered alone.
  if (options.displayWidth != 640 || options.displayHeight != 480)
    DirectDrawSetModes({DisplayModeSpec{options.displayWidth, options.displayHeight, 16}});
  BackEnd b;
  if (!b.window.CreateEx(0, nullptr, "korvane3d frame", WS_POPUP, 0, 0, options.displayWidth, options.displayHeight,
                         nullptr, 0))
    return Fail(error, "no window");
  int notFound = 1, mustFullScreen = 0;
  if (!InitDirect3D(&b.current, &b.direct3D, &b.display, &b.accelerator, &notFound, &mustFullScreen))
    return Fail(error, std::string("no Direct3D hardware device: ") + Direct3DMissingReason());
  if (!InitDisplay3D(b.window.m_hWnd, 1, b.current, &b.front, &b.back, &b.zBuffer, &b.clipper, &b.palette))
    return Fail(error, "the display could not be set up");
  if (!CreateDevice3D(b.direct3D, b.back, 1) || !CreateBackground3D(b.direct3D))
    return Fail(error, "the device could not be made");
  ResetRenderStateDefaults3D();
  if (!SetRenderStates3D()) return Fail(error, "the render states could not be set");
  LoadAllTextures3D();
  WorldComputeHardwareTexCoords(scene->world);
  SetLightBias3D(0.1f);

  View view = {};
  view.zoom = 1.0f;
  std::memcpy(view.cameraMatrix, cameraMatrix, sizeof(Matrix));
  view.width = options.displayWidth / 2;
  view.height = options.displayHeight / 2;
  view.focal = static_cast<float>(view.width) * options.projection;
  view.drawPolygon = AddPolygon3D;
  view.flags = options.flags | kRenderHardware | kRenderHandOver;
  int width = 0, height = 0;
  for (int i = 0; i < frames; ++i) {
    GetDisplaySize3D(&width, &height);
    BeginScene3D();
    SetViewportTop3D(0);
    ClearViewport3D(1, 0, height);
    RenderWorld(scene->world, &view);
    FlushPolygons3D();
    EndScene3D();
  }
  g_CurrentView = nullptr;  // the view lives on this stack frame only
  ReadBack(b.back, frame);
  return true;
}
