// korvane3d: the game drawn through the Direct3D-style triangle path.
#include "apps/korvane3d/direct3d_variant.h"
#include "game/program_main.h"

int main(int argc, char** argv) {
  static Direct3DVariant variant;
  BuildVariantInstall(&variant);
  return ProgramMain(argc, argv);
}
