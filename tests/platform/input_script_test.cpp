#include "platform/headless/input_script.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

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

TEST(InputScript, ParsesTheWheelAndTheJoystick) {
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(InputScriptParse("10 mouse wheel -120\n"
                               "20 joystick plug\n"
                               "30 joystick plug 2 12 nohat\n"
                               "40 joystick axis z -32768\n"
                               "50 joystick button 8 down\n"
                               "60 joystick hat left\n"
                               "70 joystick hat 4500\n"
                               "80 joystick hat centre\n"
                               "90 joystick unplug\n",
                               &events, &error))
      << error;
  ASSERT_EQ(events.size(), 9u);
  EXPECT_EQ(events[0].event.type, InputEventType::MouseWheel);
  EXPECT_EQ(events[0].event.dy, -120);
  EXPECT_EQ(events[1].event.type, InputEventType::JoystickPlug);
  EXPECT_EQ(events[1].event.joystick.axes, 3);
  EXPECT_EQ(events[1].event.joystick.buttons, 8);
  EXPECT_TRUE(events[1].event.joystick.hat);
  EXPECT_EQ(events[2].event.joystick.axes, 2);
  EXPECT_EQ(events[2].event.joystick.buttons, 12);
  EXPECT_FALSE(events[2].event.joystick.hat);
  EXPECT_EQ(events[3].event.type, InputEventType::JoystickAxis);
  EXPECT_EQ(events[3].event.button, 2);
  EXPECT_EQ(events[3].event.value, -32768);
  EXPECT_EQ(events[4].event.type, InputEventType::JoystickButtonDown);
  EXPECT_EQ(events[4].event.button, 7);
  EXPECT_EQ(events[5].event.value, 27000);
  EXPECT_EQ(events[6].event.value, 4500);
  EXPECT_EQ(events[7].event.value, kJoystickHatCentred);
  EXPECT_EQ(events[8].event.type, InputEventType::JoystickUnplug);
}

TEST(InputScript, BadLinesAreReportedWithTheirNumber) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"100 quit\nfoo quit\n", "line 2: expected a time in milliseconds (0..4294967265)"},
      // Numbers beyond their range are refused, not wrapped: 4294967396 would
      // be 100, and a press at the last milliseconds would end before it began.
      {"100 quit\n4294967396 quit\n", "line 2: expected a time in milliseconds (0..4294967265)"},
      {"4294967266 press A\n", "line 1: expected a time in milliseconds (0..4294967265)"},
      {"-1 quit\n", "line 1: expected a time in milliseconds (0..4294967265)"},
      {"100 mouse move 4294967297 0\n", "line 1: expected mouse move <dx> <dy>"},
      {"100 mouse wheel -99999999999999999999\n", "line 1: expected mouse wheel <dz>"},
      {"100 key NOSUCHKEY down\n", "line 1: unknown key \"NOSUCHKEY\""},
      {"100 key A sideways\n", "line 1: expected down or up"},
      {"100 mouse move 1\n", "line 1: expected mouse move <dx> <dy>"},
      {"100 jump\n", "line 1: unknown action \"jump\""},
      {"100 mouse wheel up\n", "line 1: expected mouse wheel <dz>"},
      {"100 joystick plug 4 8\n", "line 1: expected joystick plug [<axes 2..3> <buttons 0..32> [nohat]]"},
      {"100 joystick axis w 5\n", "line 1: expected joystick axis x|y|z <-32768..32767>"},
      {"100 joystick axis x 40000\n", "line 1: expected joystick axis x|y|z <-32768..32767>"},
      {"100 joystick button 0 down\n", "line 1: expected joystick button <1..32> down|up"},
      {"100 joystick hat 36000\n", "line 1: expected joystick hat up|down|left|right|centre|<0..35999>"},
      {"100 joystick wiggle\n", "line 1: expected joystick plug|unplug|axis|button|hat"},
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

// The game's input thread reads the keyboard every 10 ms of real time while
// the main thread takes the events at its own pace; a run must see the keys
// at the clock's times however late either of them comes.
TEST(HeadlessInput, KeysFollowTheClockWhoeverReadsThemAndHoweverLate) {
  ClockUseFixedStep(20);
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(InputScriptParse("100 key Z down\n200 key Z up\n300 press A\n", &events, &error));
  HeadlessInput input(events);
  const uint32_t start = timeGetTime();
  // Reads from another thread only, with real time passing between them;
  // the main thread takes no event at all.
  auto readOnAnotherThread = [&](uint32_t atMs) {
    ClockSetTime(start + atMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    uint8_t z = 0, z2 = 0;
    int pressed = 0;
    std::thread reader([&] {
      KeyboardState keys;
      input.ReadKeyboard(&keys);
      z = keys[DIK_Z];
      z2 = input.KeyState(DIK_Z);
      int scan = 0;
      while (input.TakeKeyPress(scan, &scan)) pressed = scan;
    });
    reader.join();
    EXPECT_EQ(z, z2) << atMs;
    return std::make_pair(z, pressed);
  };
  const struct {
    uint32_t atMs;
    uint8_t z;
    int pressed;
  } cases[] = {{99, 0, 0}, {100, 0x80, DIK_Z}, {150, 0x80, 0}, {199, 0x80, 0}, {200, 0, 0}, {299, 0, 0},
               {340, 0, DIK_A}};
  for (const auto& c : cases) {
    const auto [z, pressed] = readOnAnotherThread(c.atMs);
    EXPECT_EQ(z, c.z) << c.atMs;
    EXPECT_EQ(pressed, c.pressed) << c.atMs << ": a press between two reads is still a press";
  }
  // The main thread still takes every event in order, and taking them late
  // does not move the keys back.
  InputEvent event;
  std::vector<InputEventType> taken;
  while (input.PollEvent(&event)) taken.push_back(event.type);
  EXPECT_EQ(taken, (std::vector<InputEventType>{InputEventType::KeyDown, InputEventType::KeyUp,
                                                 InputEventType::KeyDown, InputEventType::KeyUp}));
  EXPECT_EQ(input.KeyState(DIK_Z), 0);
  // An injected key is down at once.
  input.Inject(InputEvent{InputEventType::KeyDown, DIK_Q});
  EXPECT_EQ(input.KeyState(DIK_Q), 0x80);
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
  EXPECT_EQ(ScanCodeFromName("LWIN"), DIK_LWIN);
  EXPECT_EQ(VirtualKeyFromScanCode(DIK_APPS), VK_APPS);
}
