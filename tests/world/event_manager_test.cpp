// The event language: splitting, the difficulty digit, the keyword chain,
// timed events, macros and flags, nesting, and the saved-game section.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "engine/polygon_group.h"
#include "game/game_app.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/world/script_world.h"
#include "tests/world/test_event_manager.h"
#include "world/script/event_manager.h"
#include "world/script/event_split.h"
#include "world/script/event_words.h"
#include "world/script/script_manager.h"

namespace {

TEST(EventSplitTest, PiecesFollowBarsOutsideQuotesAndBraces) {
  const struct {
    const char* text;
    std::vector<std::string> pieces;
  } cases[] = {
      {"open a|close b", {"open a", "close b"}},
      {"{open a|close b}", {"{open a|close b}"}},
      {"\"log x|y\"|beep", {"\"log x|y\"", "beep"}},
      {"a|", {"a|"}},
      {"a||b", {"a", "", "b"}},
      {"{a|{b|c}}|d", {"{a|{b|c}}", "d"}},
      {"}a|b", {"}a", "b"}},  // a depth below 0 still cuts
      {"", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitEventText(c.text), c.pieces) << c.text;
  EXPECT_EQ(SplitEventText(std::string(5000, 'x') + "|b").size(), 1u) << "cut at 4095 characters first";
}

TEST(EventWordsTest, WordsAndNumbers) {
  CString word;
  CString text("  sound  alarm");
  PopFirstWord(word, text);
  EXPECT_EQ(std::string(word), "sound");
  EXPECT_EQ(std::string(text), " alarm") << "only one separator goes";
  PopFirstWord(word, text);
  EXPECT_EQ(std::string(word), "alarm");
  PopFirstWord(word, text);
  EXPECT_EQ(std::string(word), "");

  EXPECT_EQ(ParseLeadingDigits("123abc"), 123);
  EXPECT_EQ(ParseLeadingDigits(" 5"), 0);
  EXPECT_EQ(ParseLeadingDigits("99999999999999999999"), INT_MAX);
  EXPECT_EQ(ParseClampedInt("  -42x"), -42);
  EXPECT_EQ(ParseClampedInt("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(ParseClampedInt(nullptr), 0);
}

class EventManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g1_ = world_.Group("g1");
    world_.Face(g1_);
  }
  ScriptWorld world_;
  PolygonGroup* g1_ = nullptr;
  TestEventManager events_{world_.world()};
};

TEST_F(EventManagerTest, DifficultyDigitGatesThePiece) {
  const struct {
    int difficulty;
    const char* text;
    bool runs;
  } cases[] = {
      {2, "2activate x", true},  {3, "2activate x", true}, {1, "2activate x", false},
      {0, "0activate x", true},  {1, "0activate x", false}, {3, "9activate x", false},
      {3, "4activate x", false},  // a digit above 3 gates the piece in every single-player game
  };
  for (const auto& c : cases) {
    TestEventManager events(world_.world());
    events.difficulty = c.difficulty;
    EXPECT_TRUE(events.RaiseEvent(c.text, nullptr)) << c.text;
    EXPECT_EQ(events.FindFlag("x") != nullptr, c.runs) << c.text << " at " << c.difficulty;
  }
  // The blank after the digit stays: no keyword matches " activate x".
  EXPECT_FALSE(events_.RaiseEvent("2 activate x", nullptr));
  EXPECT_EQ(events_.FindFlag("x"), nullptr);
}

TEST_F(EventManagerTest, EveryKeywordRowIsReachedByItsText) {
  world_.WorldProperty("r1", "activate picked");
  world_.WorldProperty("m", "activate ran");
  const CString savedNext = g_NextMissionArchive;
  const struct {
    const char* text;
    int row;
    BOOL result;
  } cases[] = {
      {"hide g1", 1, TRUE},
      {"SHOW G*", 1, TRUE},
      {"remove_group g1", 2, TRUE},
      {"Mission_Alpha_DONE", 3, TRUE},
      {"mission_failed 2", 4, TRUE},
      {"quake 300", 5, TRUE},
      {"event_mission_failed", 6, TRUE},
      {"timer 500 beep", 7, TRUE},
      {"countdown 1000 beep", 8, TRUE},
      {"fireball g1 40 1500", 9, TRUE},
      {"fireball nothing 40 1500", 9, FALSE},
      {"sound alarm", 10, TRUE},
      {"soundloop alarm g1", 11, TRUE},
      {"soundstop alarm", 12, TRUE},
      {"beep", 13, TRUE},
      {"log HELLO", 14, TRUE},
      {"activate f", 15, TRUE},
      {"deactivate f", 16, TRUE},
      {"camerapath p 1000", 17, TRUE},
      {"cameratargetpath p 1000", 18, TRUE},
      {"playerpath p 1000", 19, TRUE},
      {"playertargetpath p 1000", 20, TRUE},
      {"stopcamera", 21, TRUE},
      {"randomevent r", 22, TRUE},
      {"execute m", 23, TRUE},
      {"next_mission 3", 24, TRUE},
      {"end_game", 25, TRUE},
      {"launch_missile 1 2 3", 26, TRUE},
      {"spawn_enemy robot 1 2 3", 27, TRUE},
      {"create_beacon g1", 30, TRUE},
      {"hide nothing", 31, FALSE},
      {"dance", 31, FALSE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(events_.Dispatch(c.text, "test"), c.result) << c.text;
    EXPECT_EQ(events_.GetLastRow(), c.row) << c.text;
  }
  EXPECT_STREQ(g_NextMissionArchive, "M3.CAN");
  g_NextMissionArchive = savedNext;
  EXPECT_EQ(events_.GetTimedEventCount(), 2) << "quake's soundstop and the timer";
  EXPECT_TRUE(events_.FindFlag("picked")) << "randomevent raised r1, the only one";
  EXPECT_TRUE(events_.FindFlag("ran")) << "execute raised the macro m";
  EXPECT_EQ(events_.FindFlag("f")->disabled_, 1);

  // Row 28: the script commands, when a script manager exists.
  CScriptManager scripts;
  world_.Group("door_a");
  scripts.BuildFromWorld(world_.world());
  g_pScriptManager = &scripts;
  EXPECT_TRUE(events_.Dispatch("open door_a", "test"));
  EXPECT_EQ(events_.GetLastRow(), 28);
  g_pScriptManager = nullptr;
}

TEST_F(EventManagerTest, WholeTextsSplitUnwrapAndReportEveryPiece) {
  EXPECT_TRUE(events_.RaiseEvent("{activate a|activate b}|\"activate c\"", nullptr));
  EXPECT_TRUE(events_.FindFlag("a") && events_.FindFlag("b") && events_.FindFlag("c"));
  // An empty middle piece fails the text, but both sides run.
  EXPECT_FALSE(events_.RaiseEvent("activate d||activate e", nullptr));
  EXPECT_TRUE(events_.FindFlag("d") && events_.FindFlag("e"));
  EXPECT_TRUE(events_.RaiseEvent("", nullptr));
}

TEST_F(EventManagerTest, HideAndShowNamesAndMasks) {
  PolygonGroup* lamp1 = world_.Group("lamp_1");
  PolygonGroup* lamp2 = world_.Group("LAMP_2");
  PolygonGroup* star = world_.Group("*");
  EXPECT_TRUE(events_.RaiseEvent("HIDE Lamp*", nullptr));
  EXPECT_FALSE(GroupIsVisible(lamp1));
  EXPECT_FALSE(GroupIsVisible(lamp2));
  EXPECT_TRUE(GroupIsVisible(g1_));
  EXPECT_TRUE(events_.RaiseEvent("show lamp_1", nullptr));
  EXPECT_TRUE(GroupIsVisible(lamp1));
  EXPECT_FALSE(GroupIsVisible(lamp2)) << "a plain name is exact";
  EXPECT_TRUE(events_.RaiseEvent("hide *", nullptr));
  EXPECT_FALSE(GroupIsVisible(star)) << "an asterisk first is no mask";
  EXPECT_TRUE(GroupIsVisible(lamp1));
}

TEST_F(EventManagerTest, TimedEventsFireInOrderAndAClearEndsThePass) {
  events_.AddTimedEvent(100, "activate first");
  events_.AddTimedEvent(50, "timer 10 activate late|activate second");
  events_.AddTimedEvent(300, "activate never");
  events_.UpdateTimedEvents(60);
  // The due entry is raised; the one it appends is reached in the same pass
  // and loses the same 60 ms, so it is raised too.
  ASSERT_EQ(events_.raised.size(), 2u);
  EXPECT_EQ(events_.raised[0].first, "timer 10 activate late|activate second");
  EXPECT_EQ(events_.raised[0].second, "timed event");
  EXPECT_EQ(events_.raised[1].first, "activate late");
  EXPECT_EQ(events_.GetTimedEventCount(), 2);
  EXPECT_EQ(events_.GetTimedEvents().front().remainingMs, 40);
  events_.raised.clear();
  events_.UpdateTimedEvents(50);
  ASSERT_EQ(events_.raised.size(), 1u);
  EXPECT_EQ(events_.raised[0].first, "activate first");
  EXPECT_EQ(events_.GetTimedEvents().front().remainingMs, 190);

  // A clear from inside a raised event ends the pass without touching the
  // freed entries behind it.
  events_.ClearTimedEvents();
  events_.AddTimedEvent(10, "clear");
  events_.AddTimedEvent(10, "activate gone");
  events_.AddTimedEvent(10, "activate gone too");
  events_.raised.clear();
  events_.UpdateTimedEvents(20);
  ASSERT_EQ(events_.raised.size(), 1u);
  EXPECT_EQ(events_.GetTimedEventCount(), 0);
  EXPECT_EQ(events_.FindFlag("gone"), nullptr);
}

TEST_F(EventManagerTest, TimerZeroRunsAtOnceAndLongDelaysSaturate) {
  const struct {
    const char* text;
    bool queued;
  } cases[] = {
      {"timer 0 activate now", false},
      {"timer activate now", false},
      {"timer  500 activate now", false},  // two blanks: "500 activate now" at once
      {"timer 99999999999999999999 activate later", true},
  };
  for (const auto& c : cases) {
    events_.ClearTimedEvents();
    EXPECT_TRUE(events_.RaiseEvent(c.text, nullptr)) << c.text;
    EXPECT_EQ(events_.GetTimedEventCount(), c.queued ? 1 : 0) << c.text;
  }
  EXPECT_EQ(events_.GetTimedEvents().front().remainingMs, INT_MAX);
}

TEST_F(EventManagerTest, MacrosFollowTheirFlags) {
  world_.WorldProperty("door_macro", "activate macro_ran");
  events_.Deactivate("door_macro");
  events_.Execute("door_macro");
  EXPECT_EQ(events_.FindFlag("macro_ran"), nullptr);
  events_.RaiseEvent("activate door_macro|execute door_macro", nullptr);
  EXPECT_NE(events_.FindFlag("macro_ran"), nullptr);
  events_.Execute("no_such_macro");  // an empty text: nothing
  EXPECT_EQ(events_.GetFlagCount(), 2);
}

TEST_F(EventManagerTest, SelfExecutingMacrosStopAtTheNestingBound) {
  world_.WorldProperty("loop", "execute loop");
  world_.WorldProperty("zero", "timer 0 execute zero");
  world_.WorldProperty("braces", "{execute braces}");
  world_.WorldProperty("pick1", "randomevent pick");
  for (const char* macro : {"loop", "zero", "braces", "pick1"}) {
    events_.raised.clear();
    events_.Execute(macro);
    EXPECT_GE(events_.raised.size(), static_cast<size_t>(kEventNestingLimit)) << macro;
    EXPECT_LE(events_.raised.size(), static_cast<size_t>(4 * kEventNestingLimit)) << macro;
  }
  // The manager is whole afterwards.
  EXPECT_TRUE(events_.RaiseEvent("activate after", nullptr));
}

TEST_F(EventManagerTest, NetworkTextsAreBoundedAndEndAtTheirNul) {
  const std::string text = "activate net";
  std::vector<uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  bytes.insert(bytes.end(), {'|', 'x'});
  EXPECT_TRUE(events_.RaiseNetworkText(bytes.data(), bytes.size()));
  EXPECT_EQ(events_.raised.back().first, "activate net");
  EXPECT_EQ(events_.raised.back().second, "event from network");
  // No terminator within the length: only the length is read.
  EXPECT_TRUE(events_.RaiseNetworkText(bytes.data(), 10));
  EXPECT_EQ(events_.raised.back().first, "activate n");
}

TEST_F(EventManagerTest, SavedGameRoundTripKeepsFlagsAndPendingTimers) {
  events_.Deactivate("gate");
  events_.Activate("open_gate");
  events_.AddTimedEvent(700, "activate a|activate b");
  events_.AddTimedEvent(20, "beep");
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    events_.Serialize(ar);
    ar.Close();
  }
  const std::string bytes(file.Data().begin(), file.Data().end());
  EXPECT_NE(bytes.find("CGlobalEventType"), std::string::npos);

  TestEventManager loaded(world_.world());
  CMemFile input(file.Data());
  CArchive ar(&input, CArchive::load);
  loaded.Serialize(ar);
  ASSERT_EQ(loaded.GetFlagCount(), 2);
  EXPECT_EQ(loaded.FindFlag("gate")->disabled_, 1);
  EXPECT_EQ(loaded.FindFlag("open_gate")->disabled_, 0);
  ASSERT_EQ(loaded.GetTimedEventCount(), 2);
  EXPECT_EQ(loaded.GetTimedEvents().front().remainingMs, 700);
  EXPECT_STREQ(loaded.GetTimedEvents().front().command, "activate a|activate b");
  EXPECT_EQ(loaded.GetTimedEvents().back().remainingMs, 20);
}

}  // namespace
