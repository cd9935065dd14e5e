#include "media/media_archive.h"

#include "engine/data_archive.h"

namespace {
void (*g_Opener)(const char*) = nullptr;
}  // namespace

bool MediaArchiveOpen(const char* name) {
  if (!g_Opener) return ArchiveOpen(name) != 0;
  g_Opener(name);
  return true;
}

void MediaSetArchiveOpener(void (*opener)(const char* name)) { g_Opener = opener; }
