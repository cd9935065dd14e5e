// The DirectInput and joystick stand-ins over the headless input: what a
// poll reads after the script's (or an injected) events have been taken.
#include "platform/direct_input.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "platform/joystick_api.h"
#include "platform/keys.h"

namespace {

InputEvent Key(InputEventType type, int scanCode) {
  InputEvent event{type};
  event.scanCode = scanCode;
  return event;
}

InputEvent Joystick(InputEventType type, int index = 0, int value = 0) {
  InputEvent event{type};
  event.button = index;
  event.value = value;
  return event;
}

class DirectInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClockUseFixedStep(20);
    input_ = HeadlessBackendInstall();
    ASSERT_EQ(DirectInputCreateA(nullptr, DIRECTINPUT_VERSION, &directInput_, nullptr), DI_OK);
  }
  void TearDown() override {
    if (keyboard_) keyboard_->Release();
    if (mouse_) mouse_->Release();
    directInput_->Release();
    ClockUseRealTime();
  }

  // Takes every due event, as the window layer does on the main thread.
  void Pump() {
    InputEvent event;
    while (input_->PollEvent(&event)) {
    }
  }
  void Send(const InputEvent& event) {
    input_->Inject(event);
    Pump();
  }
  void MakeKeyboard() {
    ASSERT_EQ(directInput_->CreateDevice(GUID_SysKeyboard, &keyboard_, nullptr), DI_OK);
    ASSERT_EQ(keyboard_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    ASSERT_EQ(keyboard_->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
    ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  }
  KeyboardState ReadKeys() {
    KeyboardState keys{};
    EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DI_OK);
    return keys;
  }

  HeadlessInput* input_ = nullptr;
  IDirectInput* directInput_ = nullptr;
  IDirectInputDevice* keyboard_ = nullptr;
  IDirectInputDevice* mouse_ = nullptr;
};

TEST_F(DirectInputTest, TheKeyboardReadsKeysDownAndBuffersEachPressOnce) {
  MakeKeyboard();
  DIPROPDWORD buffer;
  buffer.diph = {sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE};
  buffer.dwData = 2;
  ASSERT_EQ(keyboard_->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph), DI_OK);
  EXPECT_EQ(ReadKeys()[DIK_A], 0);
  Send(Key(InputEventType::KeyDown, DIK_LSHIFT));
  // Pressed and released before the next read: up in the state, one press in
  // the buffered data.
  Send(Key(InputEventType::KeyDown, DIK_A));
  Send(Key(InputEventType::KeyUp, DIK_A));
  Send(Key(InputEventType::KeyDown, DIK_Z));
  Send(Key(InputEventType::KeyUp, DIK_Z));
  const KeyboardState keys = ReadKeys();
  EXPECT_EQ(keys[DIK_A], 0);
  EXPECT_EQ(keys[DIK_LSHIFT], 0x80);
  DIDEVICEOBJECTDATA data[4];
  DWORD count = 4;
  ASSERT_EQ(keyboard_->GetDeviceData(sizeof data[0], data, &count, 0), DI_OK);
  ASSERT_EQ(count, 2u);  // the buffer's size: Z waits
  EXPECT_EQ(data[0].dwOfs, static_cast<DWORD>(DIK_A));
  EXPECT_EQ(data[0].dwData, 0x80u);
  EXPECT_EQ(data[1].dwOfs, static_cast<DWORD>(DIK_LSHIFT));
  count = 4;
  ASSERT_EQ(keyboard_->GetDeviceData(sizeof data[0], data, &count, 0), DI_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(data[0].dwOfs, static_cast<DWORD>(DIK_Z));
  count = 4;
  ASSERT_EQ(keyboard_->GetDeviceData(sizeof data[0], data, &count, 0), DI_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(ReadKeys()[DIK_LSHIFT], 0x80);  // still held
}

TEST_F(DirectInputTest, AForegroundKeyboardIsLostWithTheFocusAndAcquiredAgainWithIt) {
  MakeKeyboard();
  KeyboardState keys{};
  input_->NoteFocus(false);
  EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DIERR_INPUTLOST);
  EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard_->Acquire(), DIERR_OTHERAPPHASPRIO);
  input_->NoteFocus(true);
  EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard_->Acquire(), DI_OK);
  EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DI_OK);
  // A background device keeps reading without the focus.
  ASSERT_EQ(keyboard_->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
  input_->NoteFocus(false);
  EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DI_OK);
}

TEST_F(DirectInputTest, DevicesRefuseWhatTheyAreNotSetUpFor) {
  ASSERT_EQ(directInput_->CreateDevice(GUID_SysKeyboard, &keyboard_, nullptr), DI_OK);
  KeyboardState keys{};
  EXPECT_EQ(keyboard_->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
  EXPECT_EQ(keyboard_->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
  ASSERT_EQ(keyboard_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  EXPECT_EQ(keyboard_->GetDeviceState(256, keys.data()), DIERR_NOTACQUIRED);
  ASSERT_EQ(keyboard_->Acquire(), DI_OK);
  EXPECT_EQ(keyboard_->GetDeviceState(16, keys.data()), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard_->SetCooperativeLevel(nullptr, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
  DIDEVICEOBJECTDATA data[1];
  DWORD count = 1;
  EXPECT_EQ(keyboard_->GetDeviceData(sizeof data[0], data, &count, 0), DIERR_NOTBUFFERED);
  IDirectInputDevice* other = nullptr;
  EXPECT_EQ(directInput_->CreateDevice(DIPROP_AXISMODE, &other, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(other, nullptr);
  DirectInputFailNext(DirectInputStep::CreateMouse);
  EXPECT_EQ(directInput_->CreateDevice(GUID_SysMouse, &other, nullptr), DIERR_GENERIC);
  EXPECT_EQ(other, nullptr);
}

TEST_F(DirectInputTest, TheMouseReadsMotionSinceTheLastReadButtonsAndWheel) {
  ASSERT_EQ(directInput_->CreateDevice(GUID_SysMouse, &mouse_, nullptr), DI_OK);
  ASSERT_EQ(mouse_->SetDataFormat(&c_dfDIMouse), DI_OK);
  DIPROPDWORD mode;
  mode.diph = {sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE};
  mode.dwData = DIPROPAXISMODE_REL;
  ASSERT_EQ(mouse_->SetProperty(DIPROP_AXISMODE, &mode.diph), DI_OK);
  ASSERT_EQ(mouse_->Acquire(), DI_OK);
  InputEvent move{InputEventType::MouseMove};
  move.dx = 7;
  move.dy = -3;
  Send(move);
  Send(move);
  InputEvent wheel{InputEventType::MouseWheel};
  wheel.dy = 120;
  Send(wheel);
  InputEvent click{InputEventType::MouseButtonDown};
  click.button = kMouseRight;
  Send(click);
  DIMOUSESTATE state;
  ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 14);
  EXPECT_EQ(state.lY, -6);
  EXPECT_EQ(state.lZ, 120);
  EXPECT_EQ(state.rgbButtons[0], 0);
  EXPECT_EQ(state.rgbButtons[1], 0x80);
  ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
  EXPECT_EQ(state.lY, 0);
  EXPECT_EQ(state.lZ, 0);
  EXPECT_EQ(state.rgbButtons[1], 0x80);  // still held
}

TEST_F(DirectInputTest, NoJoystickIsFoundUntilOneIsPluggedIn) {
  JOYCAPSA caps;
  EXPECT_EQ(joyGetNumDevs(), 2u);
  EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof caps), JOYERR_UNPLUGGED);
  EXPECT_EQ(joyGetDevCapsA(1, &caps, sizeof caps), JOYERR_UNPLUGGED);
  EXPECT_EQ(joyGetDevCapsA(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
  JOYINFOEX info;
  info.dwSize = sizeof info;
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
}

TEST_F(DirectInputTest, AScriptedJoystickIsFoundAtOnceAndReadsItsAxesButtonsAndHat) {
  std::vector<TimedInputEvent> script;
  std::string error;
  ASSERT_TRUE(InputScriptParse("0 key A down\n0 joystick plug 2 4\n0 joystick axis y -32768\n", &script, &error));
  input_ = HeadlessBackendInstall(script);
  // Found before any event was taken (the program looks at start-up).
  JOYCAPSA caps;
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof caps), JOYERR_NOERROR);
  EXPECT_EQ(caps.wXmin, 0u);
  EXPECT_EQ(caps.wXmax, 65535u);
  EXPECT_EQ(caps.wYmax, 65535u);
  EXPECT_EQ(caps.wCaps & JOYCAPS_HASZ, 0u);  // two axes
  EXPECT_EQ(caps.wCaps & JOYCAPS_POV4DIR, JOYCAPS_POV4DIR);
  EXPECT_EQ(caps.wNumButtons, 4u);
  EXPECT_EQ(joyGetDevCapsA(0, &caps, 100), MMSYSERR_INVALPARAM);

  JOYINFOEX info;
  info.dwSize = sizeof info;
  info.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS | JOY_RETURNPOV;
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwXpos, 32768u);
  EXPECT_EQ(info.dwYpos, 32768u);  // the axis event is not taken yet
  EXPECT_EQ(info.dwPOV, JOY_POVCENTERED);
  Pump();
  EXPECT_EQ(input_->KeyState(DIK_A), 0x80);  // the other events kept their order
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwYpos, 0u);

  // A button pressed and released between two reads is down for one read.
  Send(Joystick(InputEventType::JoystickButtonDown, 2));
  Send(Joystick(InputEventType::JoystickButtonUp, 2));
  Send(Joystick(InputEventType::JoystickHat, 0, 4500));
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwButtons, 4u);
  EXPECT_EQ(info.dwButtonNumber, 1u);
  EXPECT_EQ(info.dwPOV, 4500u);
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwButtons, 0u);

  info.dwSize = 40;
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_PARMS);
}

TEST_F(DirectInputTest, AnUnpluggedJoystickStaysLostUntilItIsLookedForAgain) {
  Send(Joystick(InputEventType::JoystickPlug));
  JOYCAPSA caps;
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof caps), JOYERR_NOERROR);
  EXPECT_EQ(caps.wCaps & JOYCAPS_HASZ, JOYCAPS_HASZ);
  JOYINFOEX info;
  info.dwSize = sizeof info;
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  Send(Joystick(InputEventType::JoystickUnplug));
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
  Send(Joystick(InputEventType::JoystickPlug));  // plugged in again
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_UNPLUGGED);
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof caps), JOYERR_NOERROR);
  EXPECT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
}

}  // namespace
