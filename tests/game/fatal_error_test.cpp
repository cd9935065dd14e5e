#include "game/fatal_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "game/game_app.h"
#include "platform/paths.h"
#include "tests/support/temp_folder.h"

namespace {

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::tm NinthOfMarch() {
  std::tm t{};
  t.tm_year = 97;
  t.tm_mon = 2;
  t.tm_mday = 9;
  t.tm_hour = 14;
  t.tm_min = 5;
  t.tm_sec = 7;
  return t;
}

// Keeps the program folder's ERROR.LOG as it was before the test.
class ErrorLogGuard {
 public:
  ErrorLogGuard() : path_(PlatformProgramFolder() + "ERROR.LOG"), before_(ReadText(path_)) {}
  ~ErrorLogGuard() {
    if (before_.empty()) {
      std::remove(path_.c_str());
    } else if (std::FILE* f = std::fopen(path_.c_str(), "wb")) {
      std::fwrite(before_.data(), 1, before_.size(), f);
      std::fclose(f);
    }
  }
  // What was appended since the guard was made.
  std::string Added() const {
    const std::string now = ReadText(path_);
    return now.substr(std::min(before_.size(), now.size()));
  }

 private:
  std::string path_;
  std::string before_;
};

}  // namespace

TEST(FatalError, TheLogLineCarriesDateTimeSourceAndLine) {
  EXPECT_EQ(ErrorLogLine(NinthOfMarch(), "NetDoc", 552), "[03/09 14:05:07] NetDoc(552): Abnormal exit\n");
  std::tm newYear{};
  newYear.tm_mday = 1;
  EXPECT_EQ(ErrorLogLine(newYear, "C:\\src\\dd.cpp", 0), "[01/01 00:00:00] C:\\src\\dd.cpp(0): Abnormal exit\n");
}

TEST(FatalError, LinesAreAppendedToTheFolder) {
  TempFolder folder;
  ASSERT_TRUE(AppendErrorLog(folder.Path() + "/", NinthOfMarch(), "NetDoc", 552));
  ASSERT_TRUE(AppendErrorLog(folder.Path() + "/", NinthOfMarch(), "picture", 77));
  EXPECT_EQ(ReadText(folder.Join("ERROR.LOG")),
            "[03/09 14:05:07] NetDoc(552): Abnormal exit\n[03/09 14:05:07] picture(77): Abnormal exit\n");
  EXPECT_FALSE(AppendErrorLog(folder.Join("missing/"), NinthOfMarch(), "NetDoc", 1));
}

TEST(FatalErrorDeathTest, ExitsWithCodeOneAndLogsOnlyWithASourceAndLine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ErrorLogGuard guard;
  EXPECT_EXIT(CGameApp::FatalError("NetDoc", 552), ::testing::ExitedWithCode(1), "");
  const std::string added = guard.Added();
  ASSERT_EQ(added.size(), std::string("[03/09 14:05:07] NetDoc(552): Abnormal exit\n").size());
  EXPECT_EQ(added.substr(16), " NetDoc(552): Abnormal exit\n");

  EXPECT_EXIT(CGameApp::FatalError(nullptr, -1), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(CGameApp::FatalError("NetDoc", -1), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(guard.Added(), added);
}
