// Folders made on disk and the stop request. (The crash signals are tested
// through the game's crash handler.)
#include "platform/process_services.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "platform/headless/headless_input.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

TEST(FolderCreate, MakesEveryMissingFolderAndRefusesAFileInTheWay) {
  TempFolder temp;
  temp.WriteText("file", "x");
  EXPECT_TRUE(FolderCreate(temp.Join("a/b/c")));
  EXPECT_TRUE(fs::is_directory(temp.Join("a/b/c")));
  EXPECT_TRUE(FolderCreate(temp.Join("a/b")));  // there already
  EXPECT_TRUE(FolderCreate(temp.Join("a//d/")));
  EXPECT_TRUE(fs::is_directory(temp.Join("a/d")));
  EXPECT_FALSE(FolderCreate(temp.Join("file")));
  EXPECT_FALSE(FolderCreate(temp.Join("file/below")));
  EXPECT_FALSE(FolderCreate(""));
}

TEST(FolderCreate, SettingsFoldersAreTheUsersAlone) {
  TempFolder temp;
  ASSERT_TRUE(FolderCreate(temp.Join("private/inner"), true));
  const fs::perms others = fs::perms::group_all | fs::perms::others_all;
  EXPECT_EQ(fs::status(temp.Join("private")).permissions() & others, fs::perms::none);
  EXPECT_EQ(fs::status(temp.Join("private/inner")).permissions() & others, fs::perms::none);
}

TEST(UserDataFolder, IsKorvaneUnderTheDataHomeMadeOnDisk) {
  TempFolder temp;
  {
    ScopedEnv data("XDG_DATA_HOME", temp.Join("data").c_str());
    EXPECT_EQ(UserDataFolder(), temp.Join("data/korvane/"));
    EXPECT_TRUE(fs::is_directory(temp.Join("data/korvane")));
  }
  {
    // A relative data home is ignored: the folder goes under the home folder.
    ScopedEnv data("XDG_DATA_HOME", "relative");
    ScopedEnv home("HOME", temp.Join("home").c_str());
    EXPECT_EQ(UserDataFolder(), temp.Join("home/.local/share/korvane/"));
  }
  {
    temp.WriteText("blocker", "x");
    ScopedEnv data("XDG_DATA_HOME", temp.Join("blocker").c_str());
    EXPECT_EQ(UserDataFolder(), "");
  }
}

TEST(StopSignals, AnInterruptArrivesOnceAsAQuitEvent) {
  for (int signalNumber : {SIGINT, SIGTERM}) {
    StopSignalsWatch();
    HeadlessInput input({});
    InputEvent event;
    EXPECT_FALSE(input.PollEvent(&event));
    std::raise(signalNumber);  // would end the test program if it were not watched
    ASSERT_TRUE(input.PollEvent(&event)) << signalNumber;
    EXPECT_EQ(event.type, InputEventType::Quit);
    EXPECT_FALSE(input.PollEvent(&event));
    EXPECT_FALSE(StopRequestTake());
  }
}
