#include "platform/process_services.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <utility>

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

bool FileReplaceOpen(const std::string& path, FileReplacement* out, bool userOnly) {
  // pid and a count: two replacements of one file never share a temporary.
  static std::atomic<unsigned> s_count{0};
  FileReplacement replacement;
  replacement.target = path;
  replacement.temporary = path + ".tmp" + std::to_string(::getpid()) + '.' + std::to_string(s_count++);
  const int fd = ::open(replacement.temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                        userOnly ? 0600 : 0666);
  if (fd < 0) return false;
  replacement.file = ::fdopen(fd, "wb");
  if (!replacement.file) {
    ::close(fd);
    ::unlink(replacement.temporary.c_str());
    return false;
  }
  *out = std::move(replacement);
  return true;
}

bool FileReplaceCommit(FileReplacement* replacement) {
  if (!replacement->file) return false;
  bool ok = std::fflush(replacement->file) == 0 && ::fsync(::fileno(replacement->file)) == 0;
  ok = std::fclose(replacement->file) == 0 && ok;
  replacement->file = nullptr;
  ok = ok && ::rename(replacement->temporary.c_str(), replacement->target.c_str()) == 0;
  if (!ok) ::unlink(replacement->temporary.c_str());
  return ok;
}

void FileReplaceAbandon(FileReplacement* replacement) {
  if (!replacement->file) return;
  std::fclose(replacement->file);
  replacement->file = nullptr;
  ::unlink(replacement->temporary.c_str());
}

bool FileWriteAtomically(const std::string& path, const void* data, size_t size, bool userOnly) {
  FileReplacement replacement;
  if (!FileReplaceOpen(path, &replacement, userOnly)) return false;
  if (size > 0 && std::fwrite(data, 1, size, replacement.file) != size) {
    FileReplaceAbandon(&replacement);
    return false;
  }
  return FileReplaceCommit(&replacement);
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
