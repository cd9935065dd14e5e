// korvanesw's full-screen set-up: the display mode with its fallbacks, the
// creation and re-creation of the 8-bit surfaces, and their clearing.
#include "softbuild/display_modes.h"

#include <cstring>

#include "game/display_switch_guard.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "platform/debug_output.h"
#include "platform/direct_draw.h"
#include "platform/framework/window_manager.h"
#include "softbuild/screen_lock.h"

ScreenModeSize ScreenModeSizeOf(int mode) {
  if (mode == 1) return {320, 240};
  if (mode == 2) return {800, 600};
  return {640, 480};
}

int ScreenModeFallback(int mode) {
  if (mode == 2) return 1;
  if (mode == 1) return 0;
  return -1;
}

int CInterface::InitDirectDrawSw() {
  IDirectDraw* directDraw = nullptr;
  if (DirectDrawCreate(nullptr, &directDraw, nullptr) != DD_OK) return 0;
  displayDD_ = acceleratorDD_ = directDraw;
  return 1;
}

bool CInterface::EnterFullScreenSw(int mode) {
  DisplaySwitchGuard guard;
  if (mode < 0) mode = resolution_;
  if (fullScreen_) return true;
  if (window_ && IsWindow(window_->m_hWnd)) window_->ShowWindow(SW_SHOW);
  if (!window_ || !window_->m_hWnd || !directDraw_) return false;
  // Its result does not matter: a mode that can't be set without it is
  // refused below.
  directDraw_->SetCooperativeLevel(window_->m_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWMODEX);
  for (;;) {
    const ScreenModeSize size = ScreenModeSizeOf(mode);
    screenWidth_ = size.width;
    screenHeight_ = size.height;
    if (directDraw_->SetDisplayMode(static_cast<DWORD>(size.width), static_cast<DWORD>(size.height), 8) == DD_OK)
      break;
    mode = ScreenModeFallback(mode);
    if (mode < 0) CGameApp::FatalError("dd", 615);
    resolution_ = mode;
  }
  if (!CreateSurfaces()) return false;
  fullScreen_ = 1;
  readyToRender_ = 1;
  return true;
}

bool CInterface::CreateSurfaces() {
  IDirectDrawSurface* primary = nullptr;
  IDirectDrawSurface* back = nullptr;
  bool ok = directDraw_ != nullptr;
  if (ok && surfacesForFullScreen_ && presentByFlip_) {
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
    desc.dwBackBufferCount = 1;
    ok = directDraw_->CreateSurface(&desc, &primary, nullptr) == DD_OK;
    if (ok) ok = primary->SetPalette(palette_) == DD_OK || !palette_;
    DDSCAPS caps;
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (ok) ok = primary->GetAttachedSurface(&caps, &back) == DD_OK;
    if (ok) ok = back->SetPalette(palette_) == DD_OK || !palette_;
  } else if (ok) {
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
    ok = directDraw_->CreateSurface(&desc, &primary, nullptr) == DD_OK;
    if (ok) ok = primary->SetPalette(palette_) == DD_OK || !palette_;
    if (ok && surfacesForFullScreen_) {
      DDSURFACEDESC backDesc;
      backDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
      backDesc.dwWidth = static_cast<DWORD>(screenWidth_);
      backDesc.dwHeight = static_cast<DWORD>(screenHeight_);
      backDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
      ok = directDraw_->CreateSurface(&backDesc, &back, nullptr) == DD_OK;
      if (ok) ok = back->SetPalette(palette_) == DD_OK || !palette_;
    }
  }
  if (!ok) {
    // Nothing half made is kept: the caller sees a display without surfaces
    // and a retry starts clean.
    ReleaseAndNull(&back);
    ReleaseAndNull(&primary);
    OutputDebugString("korvanesw: the display surfaces could not be made\n");
    return false;
  }
  ReleaseAndNull(&back_);
  ReleaseAndNull(&primary_);
  primary_ = primary;
  back_ = back;
  if (!videoSurface_) {
    CreateVideoSurface();
    if (!videoSurface_) {
      ReleaseAndNull(&back_);
      ReleaseAndNull(&primary_);
      OutputDebugString("korvanesw: the video surface could not be made\n");
      return false;
    }
  }
  return true;
}

bool CInterface::RecreateSurfaces(int flag) {
  ClearSurfacesSw(false);
  ReleaseAndNull(&back_);
  ReleaseAndNull(&primary_);
  ReleaseAndNull(&videoSurface_);
  surfacesForFullScreen_ = flag ? 1 : 0;
  presentByFlip_ = flag ? 1 : 0;
  presentationSet_ = flag ? 1 : 0;
  return CreateSurfaces();
}

bool CInterface::ResetDisplayForVideo() {
  if (!fullScreen_ || !directDraw_) return false;
  ClearSurfacesSw(false);
  ClearSurfacesSw(false);
  ReleaseAndNull(&back_);
  ReleaseAndNull(&primary_);
  const ScreenModeSize size = ScreenModeSizeOf(0);
  screenWidth_ = size.width;
  screenHeight_ = size.height;
  if (directDraw_->SetDisplayMode(static_cast<DWORD>(size.width), static_cast<DWORD>(size.height), 8) != DD_OK) {
    OutputDebugString("korvanesw: the video's display mode could not be set\n");
    return false;
  }
  return CreateSurfaces();
}

void CInterface::ClearSurfacesSw(bool clearPending) {
  if (clearPending) transitionPending_ = 0;
  if (back_) {
    ScreenLock back(back_);
    if (back.Bits()) std::memset(back.Bits(), 0, static_cast<size_t>(back.Pitch()) * back.Height());
  }
  if (!primary_) return;
  if (!transitionPending_) {
    ScreenLock screen;
    screen.FillRect(0, 0, screenWidth_, screenHeight_, 0);
    return;
  }
  // The transition plays once; keys pressed while it runs are forgotten.
  transitionPending_ = 0;
  ClearKeys();
  if (screenWidth_ == 640) {
    PlayFoldTransition();
  } else {
    PlayDissolveTransition();
  }
  ClearKeys();
}
