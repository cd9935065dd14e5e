#include "game/crash_handler.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace {
// Stands in for the display back end's restore: _Exit is async-signal-safe.
void RestoreAndExit() { std::_Exit(42); }
}  // namespace

TEST(CrashHandlerDeathTest, InFullScreenTheDisplayIsRestoredFirst) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CrashHandlerInstall();
        CrashHandlerSetDisplayRestore(RestoreAndExit);
        CrashHandlerNoteFullScreen(true);
        std::raise(SIGSEGV);
      },
      ::testing::ExitedWithCode(42), "");
}

TEST(CrashHandlerDeathTest, OtherwiseTheSignalTakesItsCourse) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        CrashHandlerInstall();
        CrashHandlerInstall();  // a second install must not loop the signal back
        CrashHandlerSetDisplayRestore(RestoreAndExit);
        CrashHandlerNoteFullScreen(false);
        std::raise(SIGABRT);
      },
      ::testing::KilledBySignal(SIGABRT), "");
}
