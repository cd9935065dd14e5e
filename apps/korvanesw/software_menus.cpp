// korvanesw's menus: they run at 640x480 on the primary surface alone with
// the system cursor, the game on a flip chain at the "ScreenRes" size; the
// program's own fades, burn-out and screen-close transitions play around
// them (softbuild/).
#include "apps/korvanesw/software_variant.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/debug_output.h"

namespace {
CNetView* DocumentView() { return g_pNetDoc ? g_pNetDoc->GetView() : nullptr; }
}  // namespace

void SoftwareVariant::MenuOpening(CInterface& ui, bool initial, bool withTransition) {
  // The first main menu burns the title picture away (building the fade
  // table on the way).
  if (initial) ui.PlayBurnOut();
  if (withTransition) {
    ui.SetTransitionPending(true);
    ui.ClearSurfacesSw(false);
  }
}

bool SoftwareVariant::PrepareMenuDisplay(CInterface& ui) {
  if (ui.IsFullScreen()) ui.RecreateSurfaces(0);
  if (CNetView* view = DocumentView()) view->SetScreenMode(0);
  return true;
}

void SoftwareVariant::RestoreGameDisplay(CInterface& ui) {
  if (ui.IsFullScreen()) ui.RecreateSurfaces(1);
  // The interface's resolution index holds the "ScreenRes" setting.
  if (CNetView* view = DocumentView()) view->SetScreenMode(ui.GetResolution());
}

void SoftwareVariant::FadeOutBeforeLoad(CInterface& ui) { ui.FadePaletteOut(); }

void SoftwareVariant::DrawCrosshair(CNetView& view) { view.DrawCrosshair(); }

void SoftwareVariant::LoadCockpitPicture(CNetView& view) { view.LoadCockpitTexture(); }

void SoftwareVariant::DrawCockpit(CNetView& view) { view.DrawCockpitTexture(); }

void SoftwareVariant::DrawHands(CNetView& view, int steering) { view.DrawHandsPicture(steering); }

void SoftwareVariant::ShowPanel(CNetView& view, int left, int top, int right, int bottom) {
  view.ShowInterfaceRect(left, top, right, bottom);
}

void SoftwareVariant::FrameShown(CInterface& ui) {
  // The picture after a fade out comes up from black.
  if (ui.TakeFadeInPending()) ui.FadePaletteIn();
}

void SoftwareVariant::CreditsOpening(CInterface& ui) {
  if (ui.IsFullScreen()) ui.PlayExitFire();
}

void SoftwareVariant::CreditsClosed(CInterface& ui) {
  if (ui.IsFullScreen()) ui.PlayFoldTransition();
}

void SoftwareVariant::Quitting(CInterface& ui) {
  if (!ui.IsFullScreen()) return;
  OutputDebugString("korvanesw: the exit fire burns the screen away\n");
  ui.PlayExitFire();
}

void SoftwareVariant::VideoOpened(CInterface& ui) { ui.ResetDisplayForVideo(); }

void SoftwareVariant::VideoClosed(CInterface& ui, bool endingCredits) {
  if (endingCredits) {
    if (ui.IsFullScreen()) ui.PlayFoldTransition();
  } else {
    ui.ResetDisplayForVideo();
  }
}
