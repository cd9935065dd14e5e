#include "game/crash_handler.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {
// Stands in for the display's restore; the exit code shows it ran.
void RestoreAndExit() { std::_Exit(42); }
}  // namespace

TEST(CrashHandlerDeathTest, ACrashInFullScreenRunsNoDisplayCodeAndTakesItsCourse) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // The course a crash takes is the handler before ours: in a checking build
  // that is the sanitizer's, which reports and exits. The child (started
  // again by the threadsafe style) keeps the default one, so the signal shows.
  setenv("ASAN_OPTIONS", "handle_segv=0", 1);
  setenv("TSAN_OPTIONS", "handle_segv=0", 1);
#endif
  EXPECT_EXIT(
      {
        CrashHandlerInstall();
        CrashHandlerInstall();  // a second install must not loop the signal back
        CrashHandlerSetDisplayRestore(RestoreAndExit);
        CrashHandlerNoteFullScreen(true);
        std::raise(SIGSEGV);
      },
      ::testing::KilledBySignal(SIGSEGV), "");
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  unsetenv("ASAN_OPTIONS");
  unsetenv("TSAN_OPTIONS");
#endif
}

TEST(CrashHandlerDeathTest, AnExitInFullScreenGivesTheDesktopBack) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CrashHandlerSetDisplayRestore(RestoreAndExit);
        CrashHandlerNoteFullScreen(true);
        std::exit(0);
      },
      ::testing::ExitedWithCode(42), "");
}

TEST(CrashHandlerDeathTest, AnExitAfterLeavingFullScreenLeavesTheDisplayAlone) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CrashHandlerSetDisplayRestore(RestoreAndExit);
        CrashHandlerNoteFullScreen(true);
        CrashHandlerNoteFullScreen(false);
        std::exit(3);
      },
      ::testing::ExitedWithCode(3), "");
}
