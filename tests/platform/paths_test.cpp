#include "platform/paths.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

TEST(Paths, WindowsPathResolvesWithoutRegardToCase) {
  TempFolder temp;
  temp.WriteText("SAVE/game1.sav", "x");
  ScopedCurrentFolder cd(temp.Path());
  std::string resolved;
  ASSERT_TRUE(PathResolve("save\\GAME1.SAV", &resolved));
  EXPECT_EQ(resolved, "SAVE/game1.sav");
  EXPECT_TRUE(PathFileExists("Save\\Game1.Sav"));
}

TEST(Paths, MissingComponentIsReported) {
  TempFolder temp;
  temp.WriteText("SAVE/game1.sav", "x");
  ScopedCurrentFolder cd(temp.Path());
  std::string resolved;
  EXPECT_FALSE(PathResolve("save\\game2.sav", &resolved));
  EXPECT_EQ(resolved, "SAVE/game2.sav");
  EXPECT_FALSE(PathResolve("missing\\game1.sav", &resolved));
  EXPECT_EQ(resolved, "missing");
  EXPECT_FALSE(PathFileExists("SAVE"));  // a folder is not a file
}

TEST(Paths, WritingKeepsAnExistingFilesSpellingAndCreatesNewOnes) {
  TempFolder temp;
  temp.WriteText("Save/Game1.sav", "old");
  ScopedCurrentFolder cd(temp.Path());
  FILE* file = PathOpenFile("SAVE\\GAME1.SAV", "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("new", file);
  std::fclose(file);
  EXPECT_EQ(ReadFileBytes(temp.Join("Save/Game1.sav")), (std::vector<uint8_t>{'n', 'e', 'w'}));

  EXPECT_EQ(PathOpenFile("NOFOLDER\\x.sav", "wb"), nullptr);
  ASSERT_TRUE(CreateDirectory("NOFOLDER"));
  file = PathOpenFile("NOFOLDER\\x.sav", "wb");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  EXPECT_TRUE(PathFileExists("nofolder\\X.SAV"));
}

TEST(Paths, LeadingBackslashStartsAtTheDriveRoot) {
  TempFolder temp;
  temp.WriteText("root/VSCRIPT/Sattelit.ini", "1");
  ScopedEnv root("KORVANE_DRIVE_ROOT", temp.Join("root").c_str());
  std::string resolved;
  ASSERT_TRUE(PathResolve("\\vscript\\sattelit.ini", &resolved));
  EXPECT_EQ(resolved, temp.Join("root/VSCRIPT/Sattelit.ini"));
}

TEST(Paths, CreateFoldersModeMakesTheMissingFolders) {
  TempFolder temp;
  ScopedCurrentFolder cd(temp.Path());
  std::string resolved;
  ASSERT_TRUE(PathResolve("a\\b\\c.txt", &resolved, PathMode::CreateFolders));
  EXPECT_EQ(resolved, "a/b/c.txt");
  EXPECT_TRUE(PathResolve("A\\B", &resolved));
}

TEST(Paths, MediaFoldersComeFromTheEnvironmentInOrder) {
  {
    ScopedEnv unset("KORVANE_MEDIA_DIRS", nullptr);
    EXPECT_TRUE(MediaFolders().empty());
  }
  ScopedEnv media("KORVANE_MEDIA_DIRS", "/media/cd1::/media/cd2");
  EXPECT_EQ(MediaFolders(), (std::vector<std::string>{"/media/cd1", "/media/cd2"}));
}

TEST(Paths, ProgramFolderHoldsTheTestProgram) {
  const std::string folder = PlatformProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(PathFileExists(folder + "test_platform"));
}
