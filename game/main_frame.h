#pragma once
// The document's frame window. It is never shown, but its creation starts the
// two-second start-up timer after which the main menu opens, its menu loop
// pauses the game clock, and its sizing keeps the client area at 320 x 240,
// 640 x 480 or 800 x 600.
#include "platform/framework/frame_wnd.h"

class CMainFrame : public CFrameWnd {
  DECLARE_DYNCREATE_CLASS(CMainFrame)
 public:
  static constexpr UINT_PTR kStartupTimerId = 310;
  static constexpr UINT kStartupDelayMs = 2000;

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnTimer(UINT_PTR id) override;
  void OnWindowPosChanging(WINDOWPOS* pos) override;
  void OnSize(UINT type, int cx, int cy) override;
  BOOL OnQueryNewPalette() override { return 0; }
  void OnPaletteChanged(CWnd* /*focusWnd*/) override {}
  void OnEnterMenuLoop(BOOL trackPopup) override;
  void OnExitMenuLoop(BOOL trackPopup) override;
};

// The client size a requested one snaps to.
SIZE MainFrameSnapSize(int cx, int cy, bool cockpitShown);
// Back to the state at program start (tests): the next position change
// takes its border from the system, and the next size message re-snaps.
void MainFrameResetSizing();
