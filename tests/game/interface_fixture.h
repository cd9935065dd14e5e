#pragma once
// An interface manager over the headless back end, with korvane3d's build
// variant and the virtual clock, for the tests of its input, menus and
// window. Its input thread runs as in the game.
#include <gtest/gtest.h>

#include <string>

#include "apps/korvane3d/direct3d_variant.h"
#include "game/interface_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"

class InterfaceTest : public ::testing::Test {
 protected:
  InterfaceTest();
  void SetUp() override;
  void TearDown() override;

  // Makes the interface manager (after any script the test installs).
  void MakeInterface();
  // Replaces the input with one that plays script.
  void InstallScript(const std::string& script);
  // Takes every input event that is due, as the window layer does.
  void Pump();
  // An event due now, taken at once.
  void Send(const InputEvent& event);
  void SendKey(InputEventType type, int scanCode);
  void SendJoystick(InputEventType type, int index = 0, int value = 0);
  // Moves the virtual clock on.
  static void Advance(uint32_t ms);

  TempFolder folder_;
  ScopedEnv config_;
  ScopedEnv data_;
  Direct3DVariant variant_;
  HeadlessInput* input_ = nullptr;
  CInterface* ui_ = nullptr;
};
