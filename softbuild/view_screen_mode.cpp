// The game view's switch between korvanesw's resolutions: the menus run at
// 640x480, the game at the "ScreenRes" setting's size.
#include "game/display_switch_guard.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "softbuild/display_modes.h"

void CNetView::SetScreenMode(int resolution) {
  if (!g_pInterface) return;
  const ScreenModeSize size = ScreenModeSizeOf(resolution);
  if (!g_pInterface->IsFullScreen()) return;
  if (size.width == g_pInterface->GetScreenWidth() && size.height == g_pInterface->GetScreenHeight()) return;
  DisplaySwitchGuard guard;
  g_pInterface->LeaveFullScreen(true);
  ReleaseDirectDrawPalettes();
  ResizeBuffers(size.width, size.height);
  EnterFullScreenMode(resolution);
  // The frame starts afresh: no step over the time the switch took, the
  // frame rate counted anew, every HUD panel and the cockpit drawn again.
  lastStepTime_ = GetGameTime();
  fpsTimer_ = lastStepTime_;
  fpsFrames_ = 0;
  dirtyCount_ = 0;
  dirtyFull_ = 0;
  g_pInterface->ApplyPalette();
  InvalidateHud();
  if (g_pNetDoc) g_pNetDoc->InvalidateHudPanels();
  if (g_pNetDoc) g_pNetDoc->InvalidateMessageArea();
  if (g_pInterface->GetWindow()) g_pInterface->GetWindow()->Invalidate();
}
