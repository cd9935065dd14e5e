#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/ascii.h"

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// The entry of folder whose name equals name without regard to case; the
// exact spelling wins, then the first match in sorted order.
bool FindEntryNoCase(const std::string& folder, const std::string& name, std::string* found) {
  if (Exists(PathJoin(folder, name))) {
    *found = name;
    return true;
  }
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool matched = false;
  while (dirent* entry = ::readdir(dir)) {
    const std::string_view candidate(entry->d_name);
    if (!AsciiEqualNoCase(candidate, name)) continue;
    if (!matched || candidate < std::string_view(*found)) found->assign(candidate);
    matched = true;
  }
  ::closedir(dir);
  return matched;
}

std::string DriveRoot() {
  if (const char* root = std::getenv("KORVANE_DRIVE_ROOT"); root && *root) return root;
  return ".";
}

}  // namespace

bool PathResolve(const std::string& windowsPath, std::string* out, PathMode mode) {
  std::string path = windowsPath;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) path.erase(0, 2);

  std::string current;
  if (!path.empty() && path[0] == '/') {
    current = "/";
  } else if (!path.empty() && path[0] == '\\') {
    current = DriveRoot();
  } else {
    current = "";  // current folder
  }

  const std::vector<std::string> parts = SplitComponents(path);
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const bool last = i + 1 == parts.size();
    if (part == ".") continue;
    if (part == "..") {
      current = PathJoin(current.empty() ? "." : current, "..");
      continue;
    }
    std::string entry;
    if (FindEntryNoCase(current, part, &entry)) {
      current = PathJoin(current, entry);
      continue;
    }
    if (last && mode != PathMode::MustExist) {
      current = PathJoin(current, part);
      break;
    }
    if (!last && mode == PathMode::CreateFolders) {
      current = PathJoin(current, part);
      if (::mkdir(current.c_str(), 0755) != 0 && errno != EEXIST) {
        if (out) *out = current;
        return false;
      }
      continue;
    }
    if (out) *out = PathJoin(current, part);
    return false;
  }
  if (current.empty()) current = ".";
  if (out) *out = current;
  return true;
}

FILE* PathOpenFile(const std::string& windowsPath, const char* mode) {
  const bool writing = std::strpbrk(mode, "wa") != nullptr;
  std::string resolved;
  if (!PathResolve(windowsPath, &resolved, writing ? PathMode::ForWriting : PathMode::MustExist)) return nullptr;
  if (!writing && IsDirectory(resolved)) return nullptr;
  return std::fopen(resolved.c_str(), mode);
}

bool PathFileExists(const std::string& windowsPath) {
  std::string resolved;
  return PathResolve(windowsPath, &resolved, PathMode::MustExist) && !IsDirectory(resolved);
}

bool CreateDirectory(const std::string& windowsPath) {
  std::string resolved;
  if (!PathResolve(windowsPath, &resolved, PathMode::ForWriting)) return false;
  if (IsDirectory(resolved)) return true;
  return ::mkdir(resolved.c_str(), 0755) == 0 || IsDirectory(resolved);
}

std::string PlatformProgramPath() {
  std::string path(4096, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return std::string();
    if (static_cast<size_t>(n) < path.size()) {
      path.resize(static_cast<size_t>(n));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string PlatformProgramFolder() {
  const std::string path = PlatformProgramPath();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::vector<std::string> MediaFolders() {
  std::vector<std::string> folders;
  const char* list = std::getenv("KORVANE_MEDIA_DIRS");
  if (!list) return folders;
  std::string current;
  for (const char* p = list;; ++p) {
    if (*p == ':' || *p == 0) {
      if (!current.empty()) folders.push_back(current);
      current.clear();
      if (*p == 0) break;
    } else {
      current += *p;
    }
  }
  return folders;
}

std::string PathJoin(const std::string& folder, const std::string& windowsName) {
  std::string name = windowsName;
  while (!name.empty() && (name[0] == '\\' || name[0] == '/')) name.erase(0, 1);
  if (folder.empty()) return name;
  if (folder.back() == '/' || folder.back() == '\\') return folder + name;
  return folder + "/" + name;
}
