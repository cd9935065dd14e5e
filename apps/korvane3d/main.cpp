// korvane3d: the game drawn through the Direct3D-style triangle path.
#include "game/program_main.h"
#include "render/d3d/d3d_variant.h"

int main(int argc, char** argv) {
  static Direct3DVariant variant;
  BuildVariantInstall(&variant);
  return ProgramMain(argc, argv);
}
