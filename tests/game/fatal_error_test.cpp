#include "game/fatal_error.h"

#include <gtest/gtest.h>

#include <string>

#include "game/game_app.h"
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
  const std::string both =
      "[03/09 14:05:07] NetDoc(552): Abnormal exit\n[03/09 14:05:07] picture(77): Abnormal exit\n";
  EXPECT_EQ(ReadText(folder.Join("ERROR.LOG")), both);
  EXPECT_FALSE(AppendErrorLog(folder.Join("missing/"), NinthOfMarch(), "NetDoc", 1));
  // No data folder: nothing goes into the current folder instead.
  ScopedCurrentFolder here(folder.Path());
  EXPECT_FALSE(AppendErrorLog("", NinthOfMarch(), "NetDoc", 1));
  EXPECT_EQ(ReadText(folder.Join("ERROR.LOG")), both);
}

TEST(FatalErrorDeathTest, ExitsWithCodeOneAndLogsOnlyWithASourceAndLine) {
  // Forked, not re-run: the child must write into this test's folders. The
  // test process has no other thread here.
  GTEST_FLAG_SET(death_test_style, "fast");
  // The log goes into the user's data folder, never beside the program or
  // into the current folder.
  TempFolder data, current;
  ScopedEnv dataHome("XDG_DATA_HOME", data.Path().c_str());
  ScopedCurrentFolder here(current.Path());
  const std::string log = data.Join("korvane/ERROR.LOG");
  EXPECT_EXIT(CGameApp::FatalError("NetDoc", 552), ::testing::ExitedWithCode(1), "");
  const std::string added = ReadText(log);
  ASSERT_EQ(added.size(), std::string("[03/09 14:05:07] NetDoc(552): Abnormal exit\n").size());
  EXPECT_EQ(added.substr(16), " NetDoc(552): Abnormal exit\n");

  EXPECT_EXIT(CGameApp::FatalError(nullptr, -1), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(CGameApp::FatalError("NetDoc", -1), ::testing::ExitedWithCode(1), "");
  EXPECT_EQ(ReadText(log), added);
  EXPECT_TRUE(ReadText(current.Join("ERROR.LOG")).empty());
}
