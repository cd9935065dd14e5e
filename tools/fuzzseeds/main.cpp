// fuzzseeds: writes the fuzz harnesses' seeds, a folder per harness.
//   fuzzseeds <folder>
#include <cstdio>
#include <string>

#include "platform/process_services.h"
#include "tools/builder/fuzz_seeds.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzzseeds <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::string error;
  if (!FolderCreate(folder) || !WriteFuzzSeeds(folder, &error)) {
    std::fprintf(stderr, "fuzzseeds: %s\n", error.empty() ? ("cannot make the folder " + folder).c_str() : error.c_str());
    return 1;
  }
  return 0;
}
