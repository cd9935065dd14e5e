// korvanesw: the game drawn by its own 8-bit software rasteriser.
#include "game/program_main.h"
#include "softbuild/software_variant.h"

int main(int argc, char** argv) {
  static SoftwareVariant variant;
  BuildVariantInstall(&variant);
  return ProgramMain(argc, argv);
}
