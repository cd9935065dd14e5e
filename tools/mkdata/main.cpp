// mkdata: writes the demo data set into a folder.
//   mkdata <folder>
//   mkdata --rooms N <folder>   the demo textures and models with a level of
//                               N connected rooms as "M1.CAN" (for measuring
//                               how the engine scales with the world's size)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/process_services.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/rooms_level.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: mkdata [--rooms N] <folder>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rooms = 0;
  int first = 1;
  if (argc == 4 && std::string(argv[1]) == "--rooms") {
    char* end = nullptr;
    const long count = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || count < 1 || count > 100000) return Usage();
    rooms = static_cast<int>(count);
    first = 3;
  } else if (argc != 2) {
    return Usage();
  }
  const std::string folder = argv[first];
  if (!FolderCreate(folder)) {
    std::fprintf(stderr, "mkdata: cannot make the folder %s\n", folder.c_str());
    return 1;
  }
  std::string error;
  const bool written = rooms > 0 ? WriteDemoTextures(folder, &error) && WriteRoomsMission(folder, rooms, &error)
                                 : WriteDemoData(folder, &error);
  if (!written) {
    std::fprintf(stderr, "mkdata: %s\n", error.c_str());
    return 1;
  }
  if (rooms > 0) {
    std::printf("mkdata: %d rooms written to %s\n", rooms, folder.c_str());
  } else {
    std::printf("mkdata: demo data written to %s\n", folder.c_str());
  }
  return 0;
}
