#include "game/data_archive_locator.h"

#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "game/build_variant.h"
#include "platform/debug_output.h"
#include "platform/framework/process.h"
#include "platform/paths.h"

namespace {

DataArchiveFailureSteps g_FailureSteps = {};

void RunStep(void (*step)()) {
  if (step) step();
}

[[noreturn]] void ArchiveNotFound() {
  RunStep(g_FailureSteps.closeDocument);
  RunStep(g_FailureSteps.leaveFullScreen);
  const char* caption = BuildVariantIsInstalled() ? BuildVariantGet().ProgramName() : "Korvane";
  MessageBox(nullptr, kInsertCdMessage, caption, MB_ICONEXCLAMATION);
  RunStep(g_FailureSteps.deleteInterface);
  // No static destructors run over a half-torn-down game; no "ERROR.LOG" line
  // is written on this path.
  ExitProcess(1);
}

}  // namespace

void DataArchiveSetFailureSteps(const DataArchiveFailureSteps& steps) { g_FailureSteps = steps; }

namespace {

// The tries of OpenDataArchive; true with the archive open.
bool TryOpenDataArchive(const char* name) {
  // ArchiveOpen leaves no archive open after a failed try, so each try
  // starts clean.
  if (ArchiveOpen(name)) return true;
  if (ArchiveOpen((PlatformProgramFolder() + name).c_str())) return true;
  for (const std::string& media : MediaFolders()) {
    if (ArchiveOpen(PathJoin(media, name).c_str())) return true;
  }
  return false;
}

}  // namespace

void OpenDataArchive(const char* name) {
  if (!name) name = "";
  if (!TryOpenDataArchive(name)) ArchiveNotFound();
}

bool DataArchiveExists(const char* name) {
  if (!name || !TryOpenDataArchive(name)) return false;
  ArchiveClose();
  return true;
}

std::string FindDataArchive(const char* name) {
  if (!name) name = "";
  const std::string bare = name;
  if (!ArchivePushState()) return bare;
  std::vector<std::string> candidates = {bare, PlatformProgramFolder() + name};
  for (const std::string& media : MediaFolders()) candidates.push_back(PathJoin(media, name));
  std::string found = bare;
  for (const std::string& path : candidates) {
    if (ArchiveOpen(path.c_str())) {
      ArchiveClose();
      found = path;
      break;
    }
  }
  ArchivePopState();
  return found;
}

std::string FindDataFile(const char* name) {
  if (!name) name = "";
  const std::string bare = name;
  std::vector<std::string> candidates = {bare, PlatformProgramFolder() + name};
  for (const std::string& media : MediaFolders()) candidates.push_back(PathJoin(media, name));
  for (const std::string& path : candidates) {
    std::string resolved;
    if (PathResolve(path, &resolved) && PathFileExists(resolved)) return resolved;
  }
  return bare;
}
