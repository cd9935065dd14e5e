#include "platform/process_services.h"

#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace {

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

constexpr int kCrashSignals[] = {SIGABRT, SIGILL, SIGSEGV};
constexpr int kCrashSignalCount = 3;
struct sigaction g_CrashPrevious[kCrashSignalCount];
std::atomic<bool> g_CrashWatched{false};

int CrashSlotOf(int signalNumber) {
  for (int i = 0; i < kCrashSignalCount; ++i)
    if (kCrashSignals[i] == signalNumber) return i;
  return -1;
}

// Lock-free, so that the signal handler may set it.
std::atomic<bool> g_StopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void StopSignalHandler(int /*signalNumber*/) { g_StopRequested.store(true); }

}  // namespace

bool FolderCreate(const std::string& path, bool userOnly) {
  if (path.empty()) return false;
  const mode_t mode = userOnly ? 0700 : 0755;
  // Each folder from the top down; one that exists already is passed over.
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string partial = path.substr(0, slash);
    if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return IsFolder(path);
}

std::string UserDataFolder() {
  std::string folder;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/') folder = xdg;  // relative values are to be ignored
  else if (home && *home) folder = std::string(home) + "/.local/share";
  else return std::string();
  folder += "/korvane";
  return FolderCreate(folder) ? folder + '/' : std::string();
}

void CrashSignalsWatch(void (*handler)(int signalNumber)) {
  // Once: a second install would keep the handler as its own "previous"
  // action and pass each signal back to itself.
  if (g_CrashWatched.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kCrashSignalCount; ++i) sigaction(kCrashSignals[i], &action, &g_CrashPrevious[i]);
}

void CrashSignalPassOn(int signalNumber) {
  // The previous action, delivered as soon as the handler returns (the
  // signal is blocked while it runs).
  const int slot = CrashSlotOf(signalNumber);
  if (slot >= 0 && g_CrashWatched.load()) {
    sigaction(signalNumber, &g_CrashPrevious[slot], nullptr);
  } else {
    std::signal(signalNumber, SIG_DFL);
  }
  std::raise(signalNumber);
}

void StopSignalsWatch() {
  struct sigaction action {};
  action.sa_handler = StopSignalHandler;
  sigemptyset(&action.sa_mask);
  // The handler is taken away as it runs: a second signal ends the process
  // even when the program no longer reads its input.
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequestTake() { return g_StopRequested.exchange(false); }
