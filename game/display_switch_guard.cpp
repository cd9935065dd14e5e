#include "game/display_switch_guard.h"

#include "game/net_doc.h"

DisplaySwitchGuard::DisplaySwitchGuard() {
  if (!g_pNetDoc) return;
  wasPaused_ = g_pNetDoc->IsPaused() ? 1 : 0;
  g_pNetDoc->SetPaused(true);
}

DisplaySwitchGuard::~DisplaySwitchGuard() {
  // The document may have gone during the switch.
  if (g_pNetDoc && !wasPaused_) g_pNetDoc->SetPaused(false);
}
