// korvanesw's display under the interface manager: its own DirectDraw object
// and 8-bit full-screen modes (softbuild/display_modes.cpp).
#include "apps/korvanesw/software_variant.h"
#include "game/interface_manager.h"
#include "platform/debug_output.h"

int SoftwareVariant::InitDisplay(CInterface& ui) { return ui.InitDirectDrawSw(); }

bool SoftwareVariant::EnterFullScreen(CInterface& ui, int mode) {
  if (ui.EnterFullScreenSw(mode)) return true;
  ui.AbandonFullScreen();
  return false;
}

void SoftwareVariant::ProgramEnding(CInterface& ui) {
  // The last picture closes like a picture tube switched off.
  if (ui.IsFullScreen() && ui.GetPrimarySurface()) {
    OutputDebugString("korvanesw: the screen closes\n");
    ui.PlayFoldTransition();
  }
}
