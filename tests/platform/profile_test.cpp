#include "platform/framework/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/framework/win_app.h"
#include "tests/support/temp_folder.h"

namespace {

std::string ReadText(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> FolderEntries(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(path, ignored))
    names.push_back(entry.path().filename().string());
  return names;
}

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : config_("XDG_CONFIG_HOME", folder_.Path().c_str()), app_("Korvane") {
    app_.SetRegistryKey("Tallow Ferngate");
  }
  std::string ProfilePath() const { return folder_.Join("Tallow Ferngate/Korvane.ini"); }

  TempFolder folder_;
  ScopedEnv config_;
  CWinApp app_;
};

}  // namespace

TEST_F(ProfileTest, LivesUnderTheConfigurationFolderByKeyAndApplication) {
  EXPECT_EQ(std::string(app_.GetProfilePath()), ProfilePath());
  {
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/place");
    ScopedEnv home("HOME", "/home/pilot");
    EXPECT_EQ(ProfileFilePath("Tallow Ferngate", "Korvane"), "/home/pilot/.config/Tallow Ferngate/Korvane.ini");
  }
  EXPECT_EQ(ProfileFilePath("a/b", "x"), folder_.Join("a_b/x.ini"));
}

TEST_F(ProfileTest, ValuesRoundTripAndTheFileIsPlainText) {
  EXPECT_EQ(app_.GetProfileInt("Settings", "SoundEnabled", 1), 1u);  // nothing written yet
  ASSERT_TRUE(app_.WriteProfileInt("Settings", "SoundEnabled", 0));
  ASSERT_TRUE(app_.WriteProfileInt("Settings", "MusicVolume", -2500000));
  ASSERT_TRUE(app_.WriteProfileInt("Keys", "Fire0", 29));
  ASSERT_TRUE(app_.WriteProfileString("Settings", "Name", "two\nlines \\ here"));
  ASSERT_TRUE(app_.WriteProfileInt("settings", "soundenabled", 1));  // same entry, other case

  EXPECT_EQ(app_.GetProfileInt("Settings", "SoundEnabled", 7), 1u);
  EXPECT_EQ(static_cast<int>(app_.GetProfileInt("SETTINGS", "MusicVolume", 0)), -2500000);
  EXPECT_EQ(app_.GetProfileInt("Keys", "Fire0", 0), 29u);
  EXPECT_EQ(app_.GetProfileInt("Keys", "Fire1", 42), 42u);
  EXPECT_EQ(app_.GetProfileString("Settings", "Name"), "two\nlines \\ here");
  EXPECT_EQ(ReadText(ProfilePath()),
            "[Settings]\nSoundEnabled=1\nMusicVolume=-2500000\nName=two\\nlines \\\\ here\n\n[Keys]\nFire0=29\n");
  // Only the file itself is left in the folder: no temporary files.
  EXPECT_EQ(FolderEntries(folder_.Join("Tallow Ferngate")), std::vector<std::string>{"Korvane.ini"});
}

// A line that does not parse costs nothing but itself: every good entry is
// read, and a write keeps every line it does not change.
TEST_F(ProfileTest, LinesThatDoNotParseArePassedOverAndKept) {
  const std::string badLines[] = {
      "garbage without structure",
      "SoundVolume",                      // no '='
      "=5",                               // no name
      "Fire=0\\q",                       // unknown escape
      std::string("Na\0me=1", 7),          // a NUL
      ";" + std::string(1100000, 'x'),    // a file over 1 MiB
  };
  for (const std::string& bad : badLines) {
    const std::string text = "[Settings]\nSoundEnabled=0\n" + bad + "\nMusicVolume=5\n\n[Keys]\nFire0=29\n";
    folder_.WriteText("Tallow Ferngate/Korvane.ini", text);
    EXPECT_EQ(app_.GetProfileInt("Settings", "SoundEnabled", 1), 0u) << bad.substr(0, 20);
    EXPECT_EQ(app_.GetProfileInt("Settings", "MusicVolume", 1), 5u) << bad.substr(0, 20);
    EXPECT_EQ(app_.GetProfileInt("Keys", "Fire0", 1), 29u) << bad.substr(0, 20);
    EXPECT_EQ(ReadText(ProfilePath()), text) << "a read must not touch the file";
    ASSERT_TRUE(app_.WriteProfileInt("Settings", "MusicEnabled", 0));
    ASSERT_TRUE(app_.WriteProfileInt("Keys", "Fire0", 30));
    EXPECT_EQ(ReadText(ProfilePath()),
              "[Settings]\nSoundEnabled=0\n" + bad + "\nMusicVolume=5\nMusicEnabled=0\n\n[Keys]\nFire0=30\n")
        << bad.substr(0, 20);
  }
  // Entries before any section and under a header that does not parse
  // belong to no section: they are kept, and read as nothing.
  const std::string text = "; comment\nSoundEnabled=2\n[Settings\nSoundEnabled=3\n[Settings]\nMusicVolume=5\n";
  folder_.WriteText("Tallow Ferngate/Korvane.ini", text);
  EXPECT_EQ(app_.GetProfileInt("Settings", "SoundEnabled", 1), 1u);
  EXPECT_EQ(app_.GetProfileInt("Settings", "MusicVolume", 1), 5u);
  ASSERT_TRUE(app_.WriteProfileInt("Settings", "SoundEnabled", 0));
  EXPECT_EQ(ReadText(ProfilePath()), text + "SoundEnabled=0\n");
}

TEST_F(ProfileTest, ValuesThatAreNotNumbersReadAsTheDefault) {
  folder_.WriteText("Tallow Ferngate/Korvane.ini", "[Settings]\nA=12x\nB=\nC= 7 \n");
  EXPECT_EQ(app_.GetProfileInt("Settings", "A", 3), 3u);
  EXPECT_EQ(app_.GetProfileInt("Settings", "B", 4), 4u);
  EXPECT_EQ(app_.GetProfileInt("Settings", "C", 5), 7u);
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {{"12", true, 12},
               {"-5", true, -5},
               {"4294967295", true, -1},
               {"4294967296", false, 0},
               {"-2147483648", true, INT32_MIN},
               {"-2147483649", false, 0},
               {"+8", true, 8},
               {"-", false, 0},
               {"0x10", false, 0}};
  for (const Case& c : cases) {
    int value = 0;
    EXPECT_EQ(ProfileParseInt(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST_F(ProfileTest, UnwritablePlacesAndBadNamesFailWithoutHarm) {
  folder_.WriteText("blocker", "a file where a folder should be");
  ScopedEnv blocked("XDG_CONFIG_HOME", folder_.Join("blocker").c_str());
  EXPECT_FALSE(app_.WriteProfileInt("Settings", "SoundEnabled", 0));
  EXPECT_EQ(app_.GetProfileInt("Settings", "SoundEnabled", 9), 9u);
  ScopedEnv ok("XDG_CONFIG_HOME", folder_.Path().c_str());
  EXPECT_FALSE(app_.WriteProfileInt("Set]tings", "A", 1));
  EXPECT_FALSE(app_.WriteProfileInt("Settings", "A=B", 1));
  EXPECT_FALSE(app_.WriteProfileInt("Settings", "", 1));
}

// Reads keep the parsed file only while it is the same file on disk: a file
// replaced or edited by someone else between two reads is read again.
TEST(ProfileFile, ChangesOnDiskBetweenReadsAreSeen) {
  TempFolder folder;
  const std::string path = folder.Join("settings.ini");
  std::string value;
  folder.WriteText("settings.ini", "[Settings]\nSound=1\n");
  ASSERT_TRUE(ProfileRead(path, "Settings", "Sound", &value));
  EXPECT_EQ(value, "1");
  folder.WriteText("settings.ini", "[Settings]\nSound=0\nMusic=1\n");  // same inode, other size
  ASSERT_TRUE(ProfileRead(path, "Settings", "Sound", &value));
  EXPECT_EQ(value, "0");
  ASSERT_TRUE(ProfileWrite(path, "Settings", "Sound", "7"));
  ASSERT_TRUE(ProfileRead(path, "Settings", "Sound", &value));
  EXPECT_EQ(value, "7");
  folder.WriteText("settings.ini", "[Settings\nSound=2\n");  // now under a broken header
  EXPECT_FALSE(ProfileRead(path, "Settings", "Sound", &value));
}
