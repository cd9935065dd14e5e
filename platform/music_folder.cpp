#include <sys/stat.h>

#include "platform/music.h"
#include "platform/paths.h"

namespace {
bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
}  // namespace

std::string MusicFolderFind() {
  std::vector<std::string> tries = {"music", PathJoin(PlatformProgramFolder(), "music")};
  for (const std::string& media : MediaFolders()) tries.push_back(PathJoin(media, "music"));
  for (const std::string& folder : tries)
    if (IsFolder(folder)) return folder;
  return std::string();
}
