#include "game/crash_handler.h"

#include <atomic>

#include "platform/process_services.h"

namespace {
// Both are read inside the signal handler, so both are lock-free atomics.
std::atomic<bool> g_FullScreen{false};
std::atomic<void (*)()> g_DisplayRestore{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<void (*)()>::is_always_lock_free);
}  // namespace

void CrashSignalHandler(int signalNumber) {
  if (g_FullScreen.load(std::memory_order_relaxed)) {
    void (*restore)() = g_DisplayRestore.load(std::memory_order_relaxed);
    if (restore) restore();
  }
  CrashSignalPassOn(signalNumber);
}

void CrashHandlerInstall() { CrashSignalsWatch(CrashSignalHandler); }

void CrashHandlerNoteFullScreen(bool fullScreen) { g_FullScreen.store(fullScreen); }

void CrashHandlerSetDisplayRestore(void (*restore)()) { g_DisplayRestore.store(restore); }
