#include "engine/engine_error.h"

#include <cstdio>

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

int SetBackgroundFill(int flag) {
  g_BackgroundFill = flag;
  return flag;
}
