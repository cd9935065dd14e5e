#include "game/typed_words.h"

#include <gtest/gtest.h>

#include <string>

#include "game/game_app.h"
#include "platform/ascii.h"

namespace {

class TypedWordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_TypedWordBuffer.Empty();
    g_CurrentMissionArchive = "M1.CAN";
    g_CdTrack = 2;
  }
  void TearDown() override {
    g_TypedWordBuffer.Empty();
    g_CurrentMissionArchive = "M1.CAN";
  }
  // Keys arrive as virtual-key codes: upper-case letters and digits.
  static void Type(const std::string& text) {
    for (char c : text) HandleTypedChar(AsciiToUpper(c));
  }
};

}  // namespace

TEST_F(TypedWordsTest, TheMissionWordJumpsToMissionsOneToTwentyFourOnly) {
  struct Case {
    const char* typed;
    const char* archive;  // null: nothing happens
    int track;
  } cases[] = {
      {"ZEPHYRWAY07", "M7.CAN", 2}, {"zephyrway03", "M3.CAN", 4}, {"XXZEPHYRWAY24", "M24.CAN", 2},
      {"ZEPHYRWAY00", nullptr, 2},  {"ZEPHYRWAY25", nullptr, 2},  {"ZEPHYRWAY99", nullptr, 2},
      {"ZEPHYRWAYA7", nullptr, 2},  {"ZEPHYRWAY1", nullptr, 2},
  };
  for (const Case& c : cases) {
    CGameApp app;
    SetUp();
    Type(c.typed);
    EXPECT_EQ(app.IsNewGameRequested(), c.archive != nullptr) << c.typed;
    EXPECT_EQ(g_CurrentMissionArchive, c.archive ? c.archive : "M1.CAN") << c.typed;
    if (c.archive) {
      EXPECT_TRUE(app.IsStartViaBriefing()) << c.typed;
      EXPECT_EQ(g_CdTrack, c.track) << c.typed;
    }
  }
}

TEST_F(TypedWordsTest, TheBufferKeepsTheLastSixteenAndIgnoresShiftAndWideCodes) {
  CGameApp app;
  Type("ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(g_TypedWordBuffer, "EFGHIJKLMNOPQRST");
  HandleTypedChar(16);
  HandleTypedChar(300);
  HandleTypedChar(0);
  EXPECT_EQ(g_TypedWordBuffer, "EFGHIJKLMNOPQRST");
}

TEST_F(TypedWordsTest, KwabAndOtherWordsRequestNoGame) {
  CGameApp app;
  Type("KWAB");
  Type("PLOVE");
  EXPECT_FALSE(app.IsNewGameRequested());
}

TEST_F(TypedWordsTest, PlovexEndsTheProcessWithCodeOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  CGameApp app;
  EXPECT_EXIT(Type("plovex"), ::testing::ExitedWithCode(1), "");
}
