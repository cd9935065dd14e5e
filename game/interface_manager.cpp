#include "game/interface_manager.h"

#include "game/crash_handler.h"
#include "game/interface_window.h"
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
  window_ = new CInterfaceWnd();
  if (!window_->CreateEx(WS_EX_TOPMOST | WS_EX_APPWINDOW, nullptr, "korvane", WS_POPUP, 0, 0,
                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, 0)) {
    delete window_;
    window_ = nullptr;
  }
}

CInterface::~CInterface() {
  LeaveFullScreen(false);
  if (g_pInterface == this) g_pInterface = nullptr;
  if (window_) {
    window_->DestroyWindow();
    delete window_;
    window_ = nullptr;
  }
}

bool CInterface::EnterFullScreen(int /*mode*/) {
  if (fullScreen_) return true;
  if (!window_ || !window_->m_hWnd) return false;
  window_->ShowWindow(SW_SHOW);
  fullScreen_ = 1;
  CrashHandlerNoteFullScreen(true);
  return true;
}

void CInterface::LeaveFullScreen(bool keepMode) {
  if (!keepMode && window_ && window_->m_hWnd) window_->ShowWindow(SW_HIDE);
  fullScreen_ = 0;
  CrashHandlerNoteFullScreen(false);
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

bool CInterface::IsKeyDown(int scanCode) const { return (PlatformBackendGet().input->KeyState(scanCode) & 0x80) != 0; }
