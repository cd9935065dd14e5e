#include "media/media_services.h"

#include <cstdio>
#include <cstdlib>

namespace {
MediaServices g_Services;
}  // namespace

void MediaSetServices(const MediaServices& services) { g_Services = services; }

const MediaServices& MediaGetServices() { return g_Services; }

const char* MediaMissionArchive() {
  const char* name = g_Services.currentMissionArchive ? g_Services.currentMissionArchive() : nullptr;
  return name ? name : "";
}

void MediaPollMessageQueue() {
  if (g_Services.pollMessageQueue) g_Services.pollMessageQueue();
}

void MediaFatalError(const char* sourceFile, int line) {
  if (g_Services.fatalError) g_Services.fatalError(sourceFile, line);
  std::fprintf(stderr, "korvane: fatal error in %s, line %d\n", sourceFile ? sourceFile : "?", line);
  std::abort();
}
