#include "platform/headless/input_script.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless/headless_input.h"
#include "platform/keys.h"

TEST(InputScript, ParsesEachKindOfEventInTimeOrder) {
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(
      InputScriptParse("# menu\n"
                       "500 quit\n"
                       "100 press escape\n"
                       "200 mouse move 4 -3\n"
                       "300 mouse down left\n"
                       "400 type ab\n",
                       &events, &error))
      << error;
  ASSERT_EQ(events.size(), 11u);
  EXPECT_EQ(events[0].timeMs, 100u);
  EXPECT_EQ(events[0].event.type, InputEventType::KeyDown);
  EXPECT_EQ(events[0].event.scanCode, DIK_ESCAPE);
  EXPECT_EQ(events[1].timeMs, 130u);
  EXPECT_EQ(events[1].event.type, InputEventType::KeyUp);
  EXPECT_EQ(events[2].event.dx, 4);
  EXPECT_EQ(events[2].event.dy, -3);
  EXPECT_EQ(events[3].event.type, InputEventType::MouseButtonDown);
  EXPECT_EQ(events[3].event.button, kMouseLeft);
  EXPECT_EQ(events[4].event.scanCode, DIK_A);
  EXPECT_EQ(events[5].event.type, InputEventType::Char);
  EXPECT_EQ(events[5].event.character, static_cast<uint32_t>('a'));
  EXPECT_EQ(events[10].event.type, InputEventType::Quit);
}

TEST(InputScript, BadLinesAreReportedWithTheirNumber) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"100 quit\nfoo quit\n", "line 2: expected a time in milliseconds"},
      {"100 key NOSUCHKEY down\n", "line 1: unknown key \"NOSUCHKEY\""},
      {"100 key A sideways\n", "line 1: expected down or up"},
      {"100 mouse move 1\n", "line 1: expected mouse move <dx> <dy>"},
      {"100 jump\n", "line 1: unknown action \"jump\""},
  };
  for (const Case& c : cases) {
    std::vector<TimedInputEvent> events;
    std::string error;
    EXPECT_FALSE(InputScriptParse(c.text, &events, &error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(events.empty());
  }
}

TEST(HeadlessInput, DeliversEventsWhenTheirTimeComesAndTracksKeys) {
  ClockUseFixedStep(50);
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(InputScriptParse("100 key LSHIFT down\n200 quit\n", &events, &error));
  HeadlessInput input(events);
  InputEvent event;
  EXPECT_FALSE(input.PollEvent(&event));
  ClockEndFrame();
  ClockEndFrame();
  ASSERT_TRUE(input.PollEvent(&event));
  EXPECT_EQ(event.type, InputEventType::KeyDown);
  EXPECT_EQ(input.KeyState(DIK_LSHIFT), 0x80);
  EXPECT_FALSE(input.PollEvent(&event));
  ClockEndFrame();
  ClockEndFrame();
  ASSERT_TRUE(input.PollEvent(&event));
  EXPECT_EQ(event.type, InputEventType::Quit);
  ClockUseRealTime();
}

TEST(Keys, NamesScanCodesAndVirtualKeysAgree) {
  EXPECT_EQ(ScanCodeFromName("escape"), DIK_ESCAPE);
  EXPECT_EQ(ScanCodeFromName("DIK_F1"), DIK_F1);
  EXPECT_EQ(ScanCodeFromName("nonsense"), 0);
  EXPECT_EQ(ScanCodeName(DIK_SPACE), "SPACE");
  EXPECT_EQ(VirtualKeyFromScanCode(DIK_Q), 'Q');
  EXPECT_EQ(VirtualKeyFromScanCode(DIK_RETURN), VK_RETURN);
  EXPECT_EQ(ScanCodeFromChar('z'), DIK_Z);
  EXPECT_EQ(ScanCodeFromChar('7'), DIK_7);
}
