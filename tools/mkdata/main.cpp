// mkdata: writes the demo data set into a folder.
//   mkdata <folder>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "tools/builder/demo_data.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkdata <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  ::mkdir(folder.c_str(), 0755);
  std::string error;
  if (!WriteDemoData(folder, &error)) {
    std::fprintf(stderr, "mkdata: %s\n", error.c_str());
    return 1;
  }
  std::printf("mkdata: demo data written to %s\n", folder.c_str());
  return 0;
}
