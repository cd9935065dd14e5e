// korvanesw: the game drawn by its own 8-bit software rasteriser.
#include "apps/korvanesw/software_variant.h"
#include "game/program_main.h"

int main(int argc, char** argv) {
  static SoftwareVariant variant;
  BuildVariantInstall(&variant);
  return ProgramMain(argc, argv);
}
