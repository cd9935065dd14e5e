#include "platform/process_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool FileWriteAtomically(const std::string& path, const void* data, size_t size, bool userOnly) {
  const std::string temporary = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, userOnly ? 0600 : 0644);
  if (fd < 0) return false;
  const char* bytes = static_cast<const char*>(data);
  size_t written = 0;
  bool ok = true;
  while (written < size) {
    const ssize_t n = ::write(fd, bytes + written, size - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    written += static_cast<size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
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
