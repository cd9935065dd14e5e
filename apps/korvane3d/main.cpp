// korvane3d: the game drawn through the Direct3D-style triangle path.
#include "apps/korvane3d/direct3d_variant.h"
#include "game/program_main.h"
#include "apps/korvane3d/direct3d_overlays.h"

int main(int argc, char** argv) {
  static Direct3DVariant variant;
  BuildVariantInstall(&variant);
  // The cockpit, the pilot's hands, the crosshair and the cockpit panels are
  // the Direct3D back end's overlay surfaces.
  static Direct3DOverlayBitmaps overlays;
  OverlayBitmapsInstall(&overlays);
  return ProgramMain(argc, argv);
}
