#include "tools/frame/triangle_frame.h"

#include <cstring>

#include "engine/render_hardware.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "platform/pixel_format.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/execute_batch_3d.h"
#include "render/d3d/texture_slots_3d.h"

namespace {

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

}  // namespace

void ReadBackFrame(IDirectDrawSurface* surface, RgbFrame* frame) {
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

TriangleBackEnd::~TriangleBackEnd() {
  FreeTextureSlots3D();
  ReleaseExecuteBuffer3D();
  ReleaseDevice3D();
  ReleaseBackgroundMaterial3D();
  FreeTextureFormats3D();
  if (back_) back_->Release();
  if (front_) front_->Release();
  if (palette_) palette_->Release();
  if (direct3D_) direct3D_->Release();
  if (current_) {
    current_->RestoreDisplayMode();
    current_->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  }
  if (display_ && display_ != accelerator_) display_->Release();
  if (accelerator_) accelerator_->Release();
  if (window_.m_hWnd) window_.DestroyWindow();
}

bool TriangleBackEnd::SetUp(int displayWidth, int displayHeight, std::string* error) {
  // The stand-in lists 640x480 at 16 bits among its modes; another size is
  // offered alone.
  if (displayWidth != 640 || displayHeight != 480)
    DirectDrawSetModes({DisplayModeSpec{displayWidth, displayHeight, 16}});
  if (!window_.CreateEx(0, nullptr, "korvane3d frame", WS_POPUP, 0, 0, displayWidth, displayHeight, nullptr, 0))
    return Fail(error, "no window");
  int notFound = 1, mustFullScreen = 0;
  if (!InitDirect3D(&current_, &direct3D_, &display_, &accelerator_, &notFound, &mustFullScreen))
    return Fail(error, std::string("no Direct3D hardware device: ") + Direct3DMissingReason());
  if (!InitDisplay3D(window_.m_hWnd, 1, current_, &front_, &back_, &zBuffer_, &clipper_, &palette_))
    return Fail(error, "the display could not be set up");
  if (!CreateDevice3D(direct3D_, back_, 1) || !CreateBackground3D(direct3D_))
    return Fail(error, "the device could not be made");
  ResetRenderStateDefaults3D();
  if (!SetRenderStates3D()) return Fail(error, "the render states could not be set");
  LoadAllTextures3D();
  SetLightBias3D(0.1f);
  return true;
}

void DrawMissionFrameTriangles(MissionScene* scene, const float cameraMatrix[16], const TriangleFrameOptions& options) {
  View view = {};
  view.zoom = 1.0f;
  std::memcpy(view.cameraMatrix, cameraMatrix, sizeof(Matrix));
  view.width = options.displayWidth / 2;
  view.height = options.displayHeight / 2;
  view.focal = static_cast<float>(view.width) * options.projection;
  view.drawPolygon = AddPolygon3D;
  view.flags = options.flags | kRenderHardware | kRenderHandOver;
  int width = 0, height = 0;
  GetDisplaySize3D(&width, &height);
  BeginScene3D();
  SetViewportTop3D(0);
  ClearViewport3D(1, 0, height);
  RenderWorld(scene->world, &view);
  FlushPolygons3D();
  EndScene3D();
  g_CurrentView = nullptr;  // the view lives on this stack frame only
}

bool RenderMissionFrameTriangles(MissionScene* scene, const float cameraMatrix[16], const TriangleFrameOptions& options,
                                 RgbFrame* frame, std::string* error) {
  if (!scene->world) return Fail(error, "no world");
  TriangleBackEnd backEnd;
  if (!backEnd.SetUp(options.displayWidth, options.displayHeight, error)) return false;
  WorldComputeHardwareTexCoords(scene->world);
  DrawMissionFrameTriangles(scene, cameraMatrix, options);
  ReadBackFrame(backEnd.Back(), frame);
  return true;
}
