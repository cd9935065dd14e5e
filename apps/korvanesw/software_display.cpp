// korvanesw's display under the interface manager: its own DirectDraw
// object and 8-bit full-screen modes. The resolution fallbacks and the
// presentation choices of the software build's display work replace the
// single 640x480 primary surface set up here.
#include "apps/korvanesw/software_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"

namespace {
struct ModeSize {
  int width, height;
};
ModeSize SizeOfMode(int mode) {
  if (mode == 1) return {320, 240};
  if (mode == 2) return {800, 600};
  return {640, 480};
}
}  // namespace

int CInterface::InitDirectDrawSw() {
  IDirectDraw* directDraw = nullptr;
  if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) return 0;
  displayDD_ = acceleratorDD_ = directDraw;
  return 1;
}

bool CInterface::EnterFullScreenSw(int mode) {
  if (mode < 0) mode = resolution_;
  directDraw_->SetCooperativeLevel(GetWindow()->m_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWMODEX);
  // Smaller sets of modes are tried in turn: 800x600, then 320x240, then
  // 640x480, which the program can't do without.
  for (;;) {
    const ModeSize size = SizeOfMode(mode);
    screenWidth_ = size.width;
    screenHeight_ = size.height;
    if (directDraw_->SetDisplayMode(static_cast<DWORD>(size.width), static_cast<DWORD>(size.height), 8) == DD_OK) break;
    if (mode == 2) {
      mode = 1;
    } else if (mode == 1) {
      mode = 0;
    } else {
      CGameApp::FatalError("dd", 615);
    }
    resolution_ = mode;
  }
  if (!CreateSurfaces()) return false;
  readyToRender_ = 1;
  return true;
}

bool CInterface::CreateSurfaces() {
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
  if (directDraw_->CreateSurface(&desc, &primary_, nullptr) != DD_OK) return false;
  primary_->SetPalette(palette_);
  CreateVideoSurface();
  return true;
}

int SoftwareVariant::InitDisplay(CInterface& ui) { return ui.InitDirectDrawSw(); }

bool SoftwareVariant::EnterFullScreen(CInterface& ui, int mode) {
  if (ui.EnterFullScreenSw(mode)) return true;
  ui.AbandonFullScreen();
  return false;
}
