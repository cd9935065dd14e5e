#include "game/main_frame.h"

#include "game/app_services.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"

IMPLEMENT_DYNCREATE_CLASS(CMainFrame, CFrameWnd)

namespace {
bool g_firstSizing = true;
bool g_restorePending = true;

bool CockpitShown() { return g_pInterface && g_pInterface->IsCockpitShown(); }

CNetView* ActiveNetView(CFrameWnd* frame) {
  CView* view = frame->GetActiveView();
  return (view && view->IsKindOf(RUNTIME_CLASS(CNetView))) ? static_cast<CNetView*>(view) : nullptr;
}
}  // namespace

SIZE MainFrameSnapSize(int cx, int cy, bool cockpitShown) {
  if (cockpitShown) return SIZE{640, 480};
  if (cx < 480 || cy < 320) return SIZE{320, 240};
  if (cx <= 700 || cy <= 520) return SIZE{640, 480};
  return SIZE{800, 600};
}

void MainFrameResetSizing() {
  g_firstSizing = true;
  g_restorePending = true;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  cs.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(CREATESTRUCT* cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  SetWindowText("KORVANE");
  CGameApp* app = GameApp();
  if (!app || !app->IsStartupDelayOver()) SetTimer(kStartupTimerId, kStartupDelayMs, nullptr);
  return 0;
}

void CMainFrame::OnTimer(UINT_PTR id) {
  if (id == kStartupTimerId) {
    if (CGameApp* app = GameApp()) app->SetStartupDelayOver();
    if (g_pNetDoc && g_pNetDoc->IsReady() && g_pInterface) g_pInterface->OpenMenu(true);
    KillTimer(kStartupTimerId);
  }
  CFrameWnd::OnTimer(id);
}

void CMainFrame::OnWindowPosChanging(WINDOWPOS* pos) {
  CFrameWnd::OnWindowPosChanging(pos);
  if (!pos || (pos->flags & SWP_NOSIZE)) return;
  SIZE border{0, 0};
  if (!g_firstSizing) {
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    if (client.right > client.left && client.bottom > client.top) {
      border.cx = (window.right - window.left) - (client.right - client.left);
      border.cy = (window.bottom - window.top) - (client.bottom - client.top);
    }
    pos->cx -= border.cx;
    pos->cy -= border.cy;
  }
  const SIZE snapped = MainFrameSnapSize(pos->cx, pos->cy, CockpitShown());
  pos->cx = snapped.cx;
  pos->cy = snapped.cy;
  if (!g_firstSizing) {
    pos->cx += border.cx;
    pos->cy += border.cy;
  } else {
    g_firstSizing = false;
    pos->cx += 2 * GetSystemMetrics(SM_CXFRAME);
    pos->cy += 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION);
  }
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
  if (type == SIZE_MINIMIZED) {
    g_restorePending = true;
    CFrameWnd::OnSize(type, cx, cy);
  } else if (g_restorePending) {
    g_restorePending = false;
    const SIZE snapped = MainFrameSnapSize(cx, cy, CockpitShown());
    CFrameWnd::OnSize(type, snapped.cx, snapped.cy);
  } else {
    CFrameWnd::OnSize(type, cx, cy);
  }
}

void CMainFrame::OnEnterMenuLoop(BOOL trackPopup) {
  if (CNetView* view = ActiveNetView(this)) view->SetMenuLoop(true);
  SetGameTimePaused(TRUE);
  CFrameWnd::OnEnterMenuLoop(trackPopup);
}

void CMainFrame::OnExitMenuLoop(BOOL trackPopup) {
  CFrameWnd::OnExitMenuLoop(trackPopup);
  if (CNetView* view = ActiveNetView(this)) view->SetMenuLoop(false);
  ClearInputKeys();
  if (!(g_pNetDoc && g_pNetDoc->IsClockPaused())) SetGameTimePaused(FALSE);
}
