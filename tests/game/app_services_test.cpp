#include "game/app_services.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "game/game_app.h"
#include "platform/paths.h"

TEST(AppServices, MatchFileMaskComparesThePrefixBeforeTheStar) {
  struct Case {
    const char* mask;
    const char* name;
    bool match;
  } cases[] = {
      {"door*", "DOOR_1", true}, {"door", "door_2", true}, {"door_long*", "door", false},
      {"*", "", true},           {"", "anything", true},   {"abc*def", "ABCxyz", true},
      {"ab", "a", false},        {"lift*", "lamp", false}, {"Lift_A", "lift_a_top", true},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchFileMask(c.mask, c.name), c.match) << c.mask << " / " << c.name;
}

TEST(AppServices, CdTrackOfTheCurrentMission) {
  struct Case {
    const char* archive;
    int track;
  } cases[] = {{"M1.CAN", 2},
               {"M2.CAN", 3},
               {"M3.CAN", 4},
               {"M7.CAN", 2},
               {"M24.CAN", 2},
               {"M30.CAN", 2},  // clamped to 24
               {"MX.CAN", 2},   // no digits: clamped to 1
               {"M99999999999999999999.CAN", 2},
               {"m3", 4}};
  const CString saved = g_CurrentMissionArchive;
  for (const Case& c : cases) {
    g_CurrentMissionArchive = c.archive;
    EXPECT_EQ(CdTrackForMission(), c.track) << c.archive;
  }
  g_CurrentMissionArchive = saved;
}

TEST(AppServices, LeadingDecimalReadsLikeAtoiWithoutOverflow) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"07", 7},
               {"7A", 7},
               {"A7", 0},
               {" 12", 12},
               {"-3x", -3},
               {"", 0},
               {"99999999999999", INT_MAX},
               {"-99999999999999", -INT_MAX}};
  for (const Case& c : cases) EXPECT_EQ(LeadingDecimal(c.text), c.value) << c.text;
}

TEST(AppServices, ProgramFolderIsTheFolderOfTheProgram) {
  const std::string folder = PlatformProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(folder + "test_game")) << folder;
}
