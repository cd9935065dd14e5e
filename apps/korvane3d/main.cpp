// korvane3d: the game drawn through the Direct3D-style triangle path.
#include "apps/korvane3d/direct3d_variant.h"
#include "game/program_main.h"
#include "media/overlay_bitmaps.h"

int main(int argc, char** argv) {
  static Direct3DVariant variant;
  BuildVariantInstall(&variant);
  // The cockpit's overlay pictures are loaded and kept; the Direct3D back
  // end does not draw them yet.
  static PictureOverlayBitmaps overlays;
  OverlayBitmapsInstall(&overlays);
  return ProgramMain(argc, argv);
}
