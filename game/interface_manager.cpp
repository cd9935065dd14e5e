#include "game/interface_manager.h"

#include "game/build_variant.h"
#include "game/crash_handler.h"
#include "game/display_switch_guard.h"
#include "game/game_app.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/framework/window_manager.h"

CInterface* g_pInterface = nullptr;

namespace {
// The program's own cursor of the menus.
constexpr UINT kInterfaceCursorResource = 105;
}  // namespace

CInterface::CInterface() {
  g_pInterface = this;
  ResetCursorRect();
  lastCharTime_ = timeGetTime();
  interfaceCursor_ = LoadCursor(this, kInterfaceCursorResource);
  InitDirect3D();
  window_ = new CInterfaceWnd();
  if (!window_->CreateEx(WS_EX_TOPMOST | WS_EX_APPWINDOW, nullptr, "korvane", WS_POPUP, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, 0))
    CGameApp::FatalError("dd", 155);
  SetDisplayWindow(window_->m_hWnd);
  CreateInputDevices();
  // The sound and music switches first: the sound manager asks for the
  // sound switch when it is made; then the channel count.
  LoadSoundSettings();
  InstallSoundServices();
  soundManager_ = std::make_unique<CSoundManager>(window_->m_hWnd);
  LoadSoundSettings();
}

CInterface::~CInterface() {
  ReleaseDirect3D();
  StopInputThread();
  LeaveFullScreen(false);
  ReleaseSurfaces(true);
  ReleaseDirectDraw();
  soundManager_.reset();
  if (g_pInterface == this) g_pInterface = nullptr;
  ReleaseInputDevices();
  SetDisplayWindow(nullptr);
  if (window_) {
    window_->DestroyWindow();
    delete window_;
    window_ = nullptr;
  }
  // The widgets the interface owns (the edit lines among them) go with its
  // members.
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
  // The 3-D device draws into the back surface and holds it: it goes with
  // the surfaces, and the next entry makes a new one.
  ReleaseDirect3D();
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
