#include "game/interface_manager.h"

#include "game/build_variant.h"
#include "game/crash_handler.h"
#include "game/display_switch_guard.h"
#include "game/game_app.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/backend.h"
#include "platform/debug_output.h"

CInterface* g_pInterface = nullptr;

namespace {
// Whole-program runs read where a run got to from these lines.
void DebugScreenOpens(int screen) {
  CString line;
  line.Format("korvane: menu screen %d opens\n", screen);
  OutputDebugString(line);
}
}  // namespace

CInterface::CInterface() {
  g_pInterface = this;
  InitDirect3D();
  window_ = new CInterfaceWnd();
  if (!window_->CreateEx(WS_EX_TOPMOST | WS_EX_APPWINDOW, nullptr, "korvane", WS_POPUP, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, 0)) {
    delete window_;
    window_ = nullptr;
  } else {
    SetDisplayWindow(window_->m_hWnd);
  }
  CreateInputDevices();
}

CInterface::~CInterface() {
  ReleaseDirect3D();
  StopInputThread();
  LeaveFullScreen(false);
  ReleaseSurfaces(true);
  ReleaseDirectDraw();
  if (g_pInterface == this) g_pInterface = nullptr;
  ReleaseInputDevices();
  SetDisplayWindow(nullptr);
  if (window_) {
    window_->DestroyWindow();
    delete window_;
    window_ = nullptr;
  }
}

int CInterface::InitDirect3D() {
  direct3DReady_ = BuildVariantGet().InitDisplay(*this);
  if (!direct3DReady_) CGameApp::FatalError("dd", 798);
  directDraw_ = acceleratorDD_;
  return direct3DReady_;
}

bool CInterface::EnterFullScreen(int mode) {
  DisplaySwitchGuard guard;
  if (fullScreen_) return true;
  if (window_ && IsWindow(window_->m_hWnd)) window_->ShowWindow(SW_SHOW);
  if (!window_ || !window_->m_hWnd) return false;
  if (!BuildVariantGet().EnterFullScreen(*this, mode)) return false;
  fullScreen_ = 1;
  CrashHandlerNoteFullScreen(true);
  OutputDebugString("korvane: full screen\n");
  return true;
}

void CInterface::LeaveFullScreen(bool keepMode) {
  ClearSurfaces();
  if (!keepMode) {
    DisplaySwitchGuard guard;
    if (window_ && IsWindow(window_->m_hWnd)) window_->ShowWindow(SW_HIDE);
    if (directDraw_) {
      directDraw_->SetCooperativeLevel(window_ ? window_->m_hWnd : nullptr, DDSCL_NORMAL);
      directDraw_->RestoreDisplayMode();
      directDraw_->FlipToGDISurface();
    }
  }
  ReleaseSurfaces(false);
  if (fullScreen_) OutputDebugString("korvane: full screen left\n");
  fullScreen_ = 0;
  CrashHandlerNoteFullScreen(false);
}

void CInterface::AbandonFullScreen() {
  ReleaseDirect3D();
  ReleaseSurfaces(false);
  if (directDraw_) {
    directDraw_->SetCooperativeLevel(window_ ? window_->m_hWnd : nullptr, DDSCL_NORMAL);
    directDraw_->RestoreDisplayMode();
  }
  readyToRender_ = 0;
}

void CInterface::ReleaseDirect3D() {
  BuildVariantGet().ReleaseDevice3D();
  ReleaseAndNull(&displayPalette_);
  ReleaseAndNull(&zBuffer_);
  ReleaseAndNull(&clipper_);
}

void CInterface::ReloadTextures() {
  BuildVariantGet().ReleaseDeviceTextures();
  BuildVariantGet().LoadDeviceTextures();
}

void CInterface::SetBrightness(float level) {
  brightness_ = static_cast<int>(level * 64.0f + 32.0f);
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt("Settings", "BrightnessCorrection", brightness_);
  ApplyPalette();
  CNetView* view = g_pNetDoc ? g_pNetDoc->GetView() : nullptr;
  if (!view) return;
  view->ReleaseGdiPalette();
  view->BuildPalettes();
  view->ReleaseDirectDrawPalettes();
  view->CreateDirectDrawPalettes();
}

void CInterface::OpenMenu(bool /*initial*/) {
  if (menuActive_) return;
  menuActive_ = 1;
  screen_ = 0;
  DebugScreenOpens(screen_);
}

void CInterface::OpenBriefing() {
  if (menuActive_) return;
  menuActive_ = 1;
  screen_ = 8;
  DebugScreenOpens(screen_);
}

bool CInterface::CloseMenu() {
  if (!menuActive_) return false;
  menuActive_ = 0;
  return true;
}
