#include "platform/framework/process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/paths.h"

void ExitProcess(UINT exitCode) {
  std::fflush(nullptr);
  std::_Exit(static_cast<int>(exitCode));
}

DWORD GetModuleFileNameA(void* module, char* buffer, DWORD size) {
  if (module || !buffer || size == 0) return 0;
  const std::string path = PlatformProgramPath();
  if (path.empty()) return 0;
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}
