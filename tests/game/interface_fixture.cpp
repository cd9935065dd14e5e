#include "tests/game/interface_fixture.h"

#include "game/build_variant.h"
#include "game/joystick.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/window_manager.h"

InterfaceTest::InterfaceTest()
    : config_("XDG_CONFIG_HOME", folder_.Join("config").c_str()),
      data_("XDG_DATA_HOME", folder_.Join("data").c_str()) {}

void InterfaceTest::SetUp() {
  MessageQueueReset();
  ClockUseFixedStep(20);
  ClockSetTime(3000000);
  input_ = HeadlessBackendInstall();
  BuildVariantInstall(&variant_);
}

void InterfaceTest::TearDown() {
  delete ui_;
  ui_ = nullptr;
  EXPECT_EQ(g_pInterface, nullptr);
  ClockUseRealTime();
  MessageQueueReset();
  EXPECT_EQ(DirectDrawLiveObjects(), 0);
  BuildVariantInstall(nullptr);
  // Forget any joystick the test plugged in.
  HeadlessBackendInstall();
  InitJoystick();
}

void InterfaceTest::MakeInterface() {
  ui_ = new CInterface();
  ASSERT_EQ(g_pInterface, ui_);
}

void InterfaceTest::InstallScript(const std::string& script) {
  std::vector<TimedInputEvent> events;
  std::string error;
  ASSERT_TRUE(InputScriptParse(script, &events, &error)) << error;
  input_ = HeadlessBackendInstall(events);
}

void InterfaceTest::Pump() {
  InputEvent event;
  while (input_->PollEvent(&event)) {
  }
}

void InterfaceTest::Send(const InputEvent& event) {
  input_->Inject(event);
  Pump();
}

void InterfaceTest::SendKey(InputEventType type, int scanCode) {
  InputEvent event{type};
  event.scanCode = scanCode;
  Send(event);
}

void InterfaceTest::SendJoystick(InputEventType type, int index, int value) {
  InputEvent event{type};
  event.button = index;
  event.value = value;
  Send(event);
}

void InterfaceTest::Advance(uint32_t ms) { ClockSetTime(timeGetTime() + ms); }
