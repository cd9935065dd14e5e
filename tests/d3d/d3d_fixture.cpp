#include "tests/d3d/d3d_fixture.h"

#include <memory>

#include "engine/palette.h"
#include "engine/texture.h"
#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/execute_batch_3d.h"
#include "render/d3d/overlays_3d.h"
#include "render/d3d/texture_slots_3d.h"

void D3DFixture::SetUp() {
  DirectDrawResetTestState();
  Direct3DSetDevices({});
  PlatformBackend backend = HeadlessBackendCreate(std::make_unique<HeadlessInput>(std::vector<TimedInputEvent>{}));
  auto device = std::make_unique<Recording3DDevice>();
  device_ = device.get();
  backend.device3d = std::move(device);
  PlatformBackendInstall(std::move(backend));
  ASSERT_TRUE(window_.CreateEx(0, nullptr, "korvane3d", WS_POPUP, 0, 0, 640, 480, nullptr, 0));
  GreyPalette();
}

void D3DFixture::TearDown() {
  FlushPolygons3D();
  FlushLines3D();
  ReleaseAllOverlays3D();
  FreeTextureSlots3D();
  FreeAllTextures();
  ReleaseExecuteBuffer3D();
  ReleaseDevice3D();
  ReleaseBackgroundMaterial3D();
  FreeTextureFormats3D();
  SetViewportTop3D(0);
  SetLightBias3D(0.0f);
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
  // A test that tears down and sets up again by hand must not release these
  // a second time when a later set-up fails before making new ones.
  back_ = front_ = nullptr;
  palette_ = nullptr;
  direct3D_ = nullptr;
  current_ = display_ = accelerator_ = nullptr;
  EXPECT_EQ(DirectDrawLiveObjects(), 0);
  DirectDrawResetTestState();
  Direct3DSetDevices({});
}

bool D3DFixture::SetUpBackEnd() {
  return InitDirect3D(&current_, &direct3D_, &display_, &accelerator_, &notFound_, &mustFullScreen_) &&
         InitDisplay3D(window_.m_hWnd, 1, current_, &front_, &back_, &zBuffer_, &clipper_, &palette_) &&
         CreateDevice3D(direct3D_, back_, 1) && CreateBackground3D(direct3D_) &&
         (ResetRenderStateDefaults3D(), SetRenderStates3D());
}

std::vector<D3DSTATE> D3DFixture::RenderStates(const Direct3DProgram& program) {
  std::vector<D3DSTATE> states;
  for (const Direct3DInstruction& i : program.instructions)
    if (i.opcode == D3DOP_STATERENDER) states.insert(states.end(), i.states.begin(), i.states.end());
  return states;
}

void D3DFixture::GreyPalette() {
  for (int i = 0; i < kPaletteSize; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = i;
  g_PaletteCount = kPaletteSize;
  PaletteClearCaches();
}

Direct3DDeviceSpec HardwareDeviceSpec(DWORD shadeCaps, DWORD renderDepths) {
  Direct3DDeviceSpec spec;
  spec.guid = Direct3DHardwareDeviceGuid();
  spec.name = "test HAL";
  spec.description = "a hardware device of a test";
  spec.hardware.dcmColorModel = D3DCOLOR_RGB;
  spec.hardware.dpcTriCaps.dwShadeCaps = shadeCaps;
  spec.hardware.dwDeviceRenderBitDepth = renderDepths;
  return spec;
}
