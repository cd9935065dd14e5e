#include "game/crash_handler.h"

#include <atomic>
#include <cstdlib>

#include "platform/debug_output.h"
#include "platform/process_services.h"

namespace {
std::atomic<bool> g_FullScreen{false};
std::atomic<void (*)()> g_DisplayRestore{nullptr};

void RestoreDisplayAtExit() {
  void (*restore)() = g_DisplayRestore.load();
  if (restore && g_FullScreen.load()) {
    OutputDebugString("korvane: exiting in full screen: the desktop is given back\n");
    restore();
  }
}
}  // namespace

void CrashSignalHandler(int signalNumber) { CrashSignalPassOn(signalNumber); }

void CrashHandlerInstall() { CrashSignalsWatch(CrashSignalHandler); }

void CrashHandlerNoteFullScreen(bool fullScreen) { g_FullScreen.store(fullScreen); }

void CrashHandlerSetDisplayRestore(void (*restore)()) {
  static const bool registered = std::atexit(RestoreDisplayAtExit) == 0;
  g_DisplayRestore.store(restore);
  if (registered && restore) OutputDebugString("korvane: the desktop is given back at exit\n");
}
