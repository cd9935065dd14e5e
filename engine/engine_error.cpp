#include "engine/engine_error.h"

#include <cstdarg>
#include <cstdio>

#include "engine/data_archive.h"

EngineError g_EngineError;
int g_BackgroundFill = 1;

int EngineLibraryVersion() { return kEngineLibraryVersion; }

int EngineSetError(int code, int value) {
  g_EngineError.code = code;
  char* message = g_EngineError.message;
  const size_t size = sizeof(g_EngineError.message);
  switch (code) {
    case kEngineErrorNone: message[0] = 0; break;
    case kEngineErrorVertexCount: std::snprintf(message, size, "Invalid vertex number\n"); break;
    case kEngineErrorNormalTooSmall: std::snprintf(message, size, "Normal too small\n"); break;
    case kEngineErrorConcave: std::snprintf(message, size, "Concave polygon\n"); break;
    case kEngineErrorVersion:
      std::snprintf(message, size, "Data file version %d.%02d, library version %d.%02d", value / 100, value % 100,
                    kEngineLibraryVersion / 100, kEngineLibraryVersion % 100);
      break;
    case kEngineErrorEmptyMesh: std::snprintf(message, size, "Mesh with 0 vertices\n"); break;
    default: break;
  }
  return code;
}

int EngineRefuse(const char* format, ...) {
  if (g_EngineError.code == kEngineErrorBadData) return 0;
  g_EngineError.code = kEngineErrorBadData;
  char* message = g_EngineError.message;
  const int size = static_cast<int>(sizeof(g_EngineError.message));
  const char* member = ArchiveCurrentMember();
  int used = *member ? std::snprintf(message, static_cast<size_t>(size), "%s: ", member) : 0;
  if (used < 0 || used >= size) used = 0;
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(message + used, static_cast<size_t>(size - used), format, args);
  va_end(args);
  return 0;
}

int SetBackgroundFill(int flag) {
  g_BackgroundFill = flag;
  return flag;
}
