// The interface manager's input: the key-code space, latched presses, the
// joystick and its axes, the menu cursor, and the input thread.
#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "game/game_app.h"
#include "game/joystick.h"
#include "game/key_codes.h"
#include "platform/clock.h"
#include "platform/direct_input.h"
#include "platform/keys.h"
#include "tests/game/game_fixture.h"

namespace {

class InputTest : public InterfaceTest {
 protected:
  // A joystick plugged in and found, as at a level start.
  void PlugJoystick() {
    SendJoystick(InputEventType::JoystickPlug);
    InitJoystick();
    ASSERT_EQ(g_JoystickPresent, 1);
  }
};

TEST_F(InputTest, KeyCodesReachTheKeyboardTheJoystickButtonsAndTheHat) {
  MakeInterface();
  PlugJoystick();
  SendKey(InputEventType::KeyDown, DIK_A);
  SendJoystick(InputEventType::JoystickButtonDown, 0);  // button 1
  SendJoystick(InputEventType::JoystickButtonDown, 7);  // button 8
  SendJoystick(InputEventType::JoystickButtonDown, 8);  // button 9: no code
  Advance(40);
  EXPECT_TRUE(ui_->IsKeyDown(DIK_A));
  EXPECT_TRUE(ui_->IsKeyDown(4096));
  EXPECT_TRUE(ui_->IsKeyDown(4103));
  for (int code = 4097; code <= 4102; ++code) EXPECT_FALSE(ui_->IsKeyDown(code)) << code;
  for (int code = 4104; code <= 4111; ++code) EXPECT_FALSE(ui_->IsKeyDown(code)) << code;

  // The hat: one key per direction, none for a diagonal or the centre.
  const struct {
    int direction;
    int code;
  } hats[] = {{0, 4112}, {18000, 4113}, {27000, 4114}, {9000, 4115}, {4500, 0}, {kJoystickHatCentred, 0}};
  for (const auto& hat : hats) {
    SendJoystick(InputEventType::JoystickHat, 0, hat.direction);
    Advance(40);
    for (int code = kJoystickHatUp; code <= kJoystickHatRight; ++code)
      EXPECT_EQ(ui_->IsKeyDown(code), code == hat.code) << hat.direction << " " << code;
  }
  // Codes outside the space are never down, whatever a settings file holds.
  for (int code : {0, -1, 256, 4095, 4116, 0x1FFF, 0x11000, INT_MIN, INT_MAX}) {
    EXPECT_FALSE(ui_->IsKeyDown(code)) << code;
    EXPECT_FALSE(ui_->IsKeyPressed(code)) << code;
  }
}

TEST(KeyCodes, NamesAsTheBindingFieldsShowThem) {
  const struct {
    int code;
    const char* text;
  } cases[] = {
      {1, " Esc     "},      {2, " 1       "},      {14, " -----   "},     {28, " enter   "},
      {29, " l.ctrl  "},     {43, " \\       "},    {55, " num*    "},     {78, " +       "},
      {84, " -----   "},     {87, " F11     "},     {100, " F13     "},    {141, " num=    "},
      {156, " num.entr"},    {184, " r.alt   "},    {211, " del     "},    {221, " apps    "},
      {222, " -----   "},    {4096, " joy1    "},   {4103, " joy8    "},   {4104, " -----   "},
      {4112, " hat up  "},   {4115, " hat rght"},   {0, " -----   "},     {-5, " -----   "},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyFieldText(c.code), c.text) << c.code;
  EXPECT_EQ(KeyCodeName(42), "lshift");
  // Codes without a name unbind the action; Backspace can't be bound.
  EXPECT_EQ(KeyCodeForBinding(14), 0);
  EXPECT_EQ(KeyCodeForBinding(84), 0);
  EXPECT_EQ(KeyCodeForBinding(30), 30);
  EXPECT_EQ(KeyCodeForBinding(4114), 4114);
}

TEST_F(InputTest, APressBetweenTwoFramesIsReportedOnceAndNeverAsDown) {
  MakeInterface();
  SendKey(InputEventType::KeyDown, DIK_SPACE);
  SendKey(InputEventType::KeyUp, DIK_SPACE);
  Advance(20);
  EXPECT_FALSE(ui_->IsKeyDown(DIK_SPACE));
  EXPECT_TRUE(ui_->IsKeyPressed(DIK_SPACE));
  EXPECT_FALSE(ui_->IsKeyPressed(DIK_SPACE));
  Advance(20);
  EXPECT_FALSE(ui_->IsKeyPressed(DIK_SPACE));
  EXPECT_FALSE(ui_->IsKeyDown(DIK_SPACE));
}

TEST_F(InputTest, AHeldKeyIsPressedAtEveryQueryAndLatchedAgainAfterClearKeys) {
  MakeInterface();
  SendKey(InputEventType::KeyDown, DIK_RETURN);
  Advance(20);
  EXPECT_TRUE(ui_->IsKeyPressed(DIK_RETURN));
  EXPECT_TRUE(ui_->IsKeyPressed(DIK_RETURN));
  // ClearKeys reads at once, within the poll interval: the held key is down
  // and latched again, a key released meanwhile is forgotten.
  SendKey(InputEventType::KeyDown, DIK_TAB);
  SendKey(InputEventType::KeyUp, DIK_TAB);
  ui_->ClearKeys();
  SendKey(InputEventType::KeyUp, DIK_RETURN);  // not read yet: within 10 ms
  EXPECT_TRUE(ui_->IsKeyDown(DIK_RETURN));
  EXPECT_TRUE(ui_->IsKeyPressed(DIK_RETURN));
  Advance(20);
  EXPECT_FALSE(ui_->IsKeyPressed(DIK_RETURN));
}

TEST_F(InputTest, ClearKeysReadsAtOnceAlsoWithTheClockPastHalfItsRange) {
  ClockSetTime(0x90000000u);
  MakeInterface();
  SendKey(InputEventType::KeyDown, DIK_ESCAPE);
  ui_->ClearKeys();
  EXPECT_TRUE(ui_->IsKeyDown(DIK_ESCAPE));
}

TEST_F(InputTest, ALostKeyboardKeepsItsTablesUntilItIsAcquiredAgain) {
  MakeInterface();
  SendKey(InputEventType::KeyDown, DIK_W);
  Advance(20);
  EXPECT_TRUE(ui_->IsKeyDown(DIK_W));
  InputEvent away{InputEventType::Activate};
  away.active = false;
  Send(away);
  SendKey(InputEventType::KeyUp, DIK_W);
  Advance(20);
  EXPECT_TRUE(ui_->IsKeyDown(DIK_W));  // can't be read: the last contents stay
  InputEvent back{InputEventType::Activate};
  back.active = true;
  Send(back);
  Advance(20);
  EXPECT_FALSE(ui_->IsKeyDown(DIK_W));
}

TEST_F(InputTest, TheJoystickIsReadWhenMoreThan30MsHavePassed) {
  MakeInterface();
  PlugJoystick();
  EXPECT_FALSE(ui_->IsKeyDown(4096));  // this read starts the interval
  SendJoystick(InputEventType::JoystickButtonDown, 0);
  Advance(30);
  EXPECT_FALSE(ui_->IsKeyDown(4096));  // 30 ms: skipped
  Advance(1);
  EXPECT_TRUE(ui_->IsKeyDown(4096));  // 31 ms: read
  // Joystick codes have no latch: pressed means down.
  EXPECT_TRUE(ui_->IsKeyPressed(4096));
  SendJoystick(InputEventType::JoystickButtonUp, 0);
  Advance(31);
  EXPECT_FALSE(ui_->IsKeyPressed(4096));
}

TEST_F(InputTest, AnUnpluggedJoystickReadsUpAndCentredUntilTheNextLevelStart) {
  MakeInterface();
  PlugJoystick();
  SendJoystick(InputEventType::JoystickButtonDown, 2);
  SendJoystick(InputEventType::JoystickAxis, 0, kJoystickAxisMax);
  Advance(40);
  float x, y, z;
  ReadJoystickAxes(&x, &y, &z);
  EXPECT_EQ(x, 1.0f);
  EXPECT_TRUE(ui_->IsKeyDown(4098));
  SendJoystick(InputEventType::JoystickUnplug);
  Advance(40);
  EXPECT_FALSE(ui_->IsKeyDown(4098));
  EXPECT_EQ(g_JoystickPresent, 0);
  SendJoystick(InputEventType::JoystickPlug);  // plugged in again: ignored ...
  SendJoystick(InputEventType::JoystickButtonDown, 2);
  Advance(40);
  ReadJoystickAxes(&x, &y, &z);
  EXPECT_EQ(x, 0.0f);
  EXPECT_FALSE(ui_->IsKeyDown(4098));
  InitJoystick();  // ... until a level start looks for it
  Advance(40);
  EXPECT_TRUE(ui_->IsKeyDown(4098));
}

TEST(JoystickAxes, ADeadZoneOfAQuarterRoundTheCentre) {
  const struct {
    unsigned min, max, reading;
    float value;
  } cases[] = {
      // 0..100: centre 50, half 50, dead zone 12 each way.
      {0, 100, 50, 0.0f}, {0, 100, 62, 0.0f}, {0, 100, 38, 0.0f}, {0, 100, 63, 0.26f}, {0, 100, 37, -0.26f},
      {0, 100, 100, 1.0f}, {0, 100, 0, -1.0f}, {0, 100, 200, 1.0f},
      // The stand-in's 0..65535: centre 32767, half 32767, dead zone 8191.
      {0, 65535, 32768, 0.0f}, {0, 65535, 40958, 0.0f}, {0, 65535, 40959, 8192.0f / 32767.0f},
      {0, 65535, 65535, 1.0f}, {0, 65535, 0, -1.0f}, {0, 65535, 24576, 0.0f}, {0, 65535, 24575, -8192.0f / 32767.0f},
      // An empty range reads 0, whatever the reading (no division by zero).
      {500, 500, 500, 0.0f}, {500, 500, 0, 0.0f}, {500, 500, 65535, 0.0f}, {100, 0, 0, 0.0f},
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(JoystickAxisValue(c.min, c.max, c.reading), c.value) << c.min << ".." << c.max << " " << c.reading;
}

TEST_F(InputTest, TheAxesReadZOnlyFromAJoystickThatHasIt) {
  MakeInterface();
  InputEvent plug{InputEventType::JoystickPlug};
  plug.joystick.axes = 2;
  plug.joystick.hat = false;
  Send(plug);
  InitJoystick();
  EXPECT_EQ(JoystickReadFlags(), 0xC83u);
  SendJoystick(InputEventType::JoystickAxis, 1, kJoystickAxisMin);
  SendJoystick(InputEventType::JoystickAxis, 2, kJoystickAxisMin);
  Advance(40);
  float x, y, z;
  ReadJoystickAxes(&x, &y, &z);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, -1.0f);
  EXPECT_EQ(z, 0.0f);

  PlugJoystick();  // three axes and a hat
  EXPECT_EQ(JoystickReadFlags(), 0xC87u | 0x40u);
  SendJoystick(InputEventType::JoystickAxis, 2, kJoystickAxisMin);
  Advance(40);
  ReadJoystickAxes(&x, &y, &z);
  EXPECT_EQ(z, -1.0f);
}

TEST_F(InputTest, TheMenuCursorStaysOnTheScreen) {
  MakeInterface();
  InputEvent move{InputEventType::MouseMove};
  move.dx = 100000;
  move.dy = 100000;
  Send(move);
  ui_->PollMouse();
  EXPECT_EQ(ui_->GetCursorX(), 639);
  EXPECT_EQ(ui_->GetCursorY(), 479);
  move.dx = -39;
  move.dy = -79;
  Send(move);
  ui_->PollMouse();
  EXPECT_EQ(ui_->GetCursorX(), 600);
  EXPECT_EQ(ui_->GetCursorY(), 400);
  move.dx = -700;
  move.dy = -500;
  Send(move);
  ui_->PollMouse();
  EXPECT_EQ(ui_->GetCursorX(), 0);
  EXPECT_EQ(ui_->GetCursorY(), 0);
}

TEST_F(InputTest, ScriptedKeysReachTheQueries) {
  InstallScript("100 press F5\n200 key LSHIFT down\n");
  MakeInterface();
  Advance(150);
  TakeInputEvents();
  Advance(20);
  EXPECT_TRUE(ui_->IsKeyPressed(DIK_F5));
  EXPECT_FALSE(ui_->IsKeyDown(DIK_F5));
  Advance(60);
  TakeInputEvents();
  Advance(20);
  EXPECT_TRUE(ui_->IsKeyDown(DIK_LSHIFT));
}

// The input thread polls while the main thread takes events, asks for keys
// and finds the joystick again, as at level starts; a third thread asks as
// well. Every press is reported, none twice; under the thread sanitizer this
// test also shows that nothing is shared without a lock or an atomic.
TEST_F(InputTest, NoPressIsLostWhileTheInputThreadPolls) {
  MakeInterface();
  PlugJoystick();
  std::atomic<bool> stop{false};
  std::thread asker([&] {
    float x, y, z;
    while (!stop) {
      ui_->IsKeyDown(DIK_Q);
      ui_->IsKeyPressed(DIK_Q);
      ui_->IsKeyDown(4096 + 3);
      ReadJoystickAxes(&x, &y, &z);
      std::this_thread::yield();
    }
  });
  const int keys[] = {DIK_A, DIK_S, DIK_D, DIK_F};
  for (int i = 0; i < 300; ++i) {
    const int key = keys[i % 4];
    SendKey(InputEventType::KeyDown, key);
    SendKey(InputEventType::KeyUp, key);
    SendJoystick(i % 2 ? InputEventType::JoystickButtonDown : InputEventType::JoystickButtonUp, 3);
    SendJoystick(InputEventType::JoystickAxis, i % 3, (i * 997) % 65536 - 32768);
    if (i % 25 == 0) {
      SendJoystick(InputEventType::JoystickPlug);
      InitJoystick();
    }
    Advance(10);
    ASSERT_TRUE(ui_->IsKeyPressed(key)) << i;
    EXPECT_FALSE(ui_->IsKeyPressed(key)) << i;
    EXPECT_FALSE(ui_->IsKeyDown(key)) << i;
  }
  stop = true;
  asker.join();
}

}  // namespace
