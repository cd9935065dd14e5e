#include "game/crash_handler.h"

#include <atomic>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGABRT, SIGILL, SIGSEGV};
struct sigaction g_previous[3];
bool g_installed = false;
volatile std::sig_atomic_t g_fullScreen = 0;
std::atomic<void (*)()> g_displayRestore{nullptr};

int SlotOf(int signalNumber) {
  for (int i = 0; i < 3; ++i)
    if (kSignals[i] == signalNumber) return i;
  return -1;
}

}  // namespace

void CrashSignalHandler(int signalNumber) {
  if (g_fullScreen) {
    void (*restore)() = g_displayRestore.load(std::memory_order_relaxed);
    if (restore) restore();
  }
  // Let the signal take its course: the previous action, delivered as soon
  // as this handler returns (the signal is blocked while it runs).
  const int slot = SlotOf(signalNumber);
  if (slot >= 0 && g_installed) {
    sigaction(signalNumber, &g_previous[slot], nullptr);
  } else {
    signal(signalNumber, SIG_DFL);
  }
  raise(signalNumber);
}

void CrashHandlerInstall() {
  // Once: a second install would keep this handler as its own "previous"
  // action and pass each signal back to itself.
  if (g_installed) return;
  struct sigaction action {};
  action.sa_handler = CrashSignalHandler;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &g_previous[i]);
  g_installed = true;
}

void CrashHandlerNoteFullScreen(bool fullScreen) { g_fullScreen = fullScreen ? 1 : 0; }

void CrashHandlerSetDisplayRestore(void (*restore)()) { g_displayRestore.store(restore); }
