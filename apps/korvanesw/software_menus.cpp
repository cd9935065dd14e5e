// korvanesw's menus: they run at 640x480 with the system cursor, and the
// program's own fades and screen-close transitions play around them. The
// surfaces are made again by CreateSurfaces (software_display.cpp); the
// fades, transitions and screen modes are the software-only build's display
// work, and until it is there they do nothing.
#include "apps/korvanesw/software_variant.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"

namespace {
CNetView* DocumentView() { return g_pNetDoc ? g_pNetDoc->GetView() : nullptr; }
}  // namespace

void SoftwareVariant::MenuOpening(CInterface& ui, bool initial, bool withTransition) {
  if (initial) ui.BuildFadeTable();
  if (withTransition) {
    ui.SetTransitionPending(true);
    ui.ClearSurfacesSw(false);
  }
}

bool SoftwareVariant::PrepareMenuDisplay(CInterface& ui) {
  if (ui.IsFullScreen()) {
    ui.ReleaseSurfaces(false);
    ui.CreateSurfaces();
  }
  if (CNetView* view = DocumentView()) view->SetScreenMode(0);
  return true;
}

void SoftwareVariant::RestoreGameDisplay(CInterface& ui) {
  // The interface's resolution index holds the "ScreenRes" setting.
  if (CNetView* view = DocumentView()) view->SetScreenMode(ui.GetResolution());
}

void SoftwareVariant::FadeOutBeforeLoad(CInterface& ui) { ui.FadePaletteOut(); }

void SoftwareVariant::DrawCrosshair(CNetView& view) { view.DrawCrosshair(); }

// The software-only build's display work fills these.
void CInterface::ClearSurfacesSw(bool /*clearPending*/) {}
void CInterface::BuildFadeTable() {}
void CInterface::FadePaletteOut() {}
void CInterface::PlayExitFire() {}
void CInterface::PlayFoldTransition() {}
void CInterface::PlayDissolveTransition() {}
void CNetView::SetScreenMode(int /*resolution*/) {}
void CNetView::DrawCrosshair() {}
