#pragma once
// Fixtures for the game's tests on the headless back end: the virtual clock,
// korvane3d's build variant, settings and written files in a temporary
// folder, and helpers that feed input events.
//   HeadlessGameTest  the common set-up;
//   InterfaceTest     an interface manager of its own (its input thread
//                     runs as in the game);
//   AppTest           the whole application, started with Start(), on
//                     the demo's archives (its title a plain colour).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "apps/korvane3d/direct3d_variant.h"
#include "game/game_app.h"
#include "game/interface_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"

class CMainFrame;

class HeadlessGameTest : public ::testing::Test {
 protected:
  HeadlessGameTest();
  void SetUp() override;
  void TearDown() override;

  // Replaces the input with one that plays script.
  void InstallScript(const std::string& script);
  // Takes every input event that is due into the devices (no messages).
  void TakeInputEvents();
  // An event due now, taken at once.
  void Send(const InputEvent& event);
  void SendKey(InputEventType type, int scanCode);
  void SendJoystick(InputEventType type, int index = 0, int value = 0);
  // Moves the virtual clock on.
  static void Advance(uint32_t ms);

  TempFolder folder_;  // the settings folder; files are written under data/
  ScopedEnv config_;
  ScopedEnv data_;
  Direct3DVariant variant_;
  HeadlessInput* input_ = nullptr;
};

class InterfaceTest : public HeadlessGameTest {
 protected:
  void TearDown() override;
  // Makes the interface manager (after any script the test installs).
  void MakeInterface();

  CInterface* ui_ = nullptr;
};

class AppTest : public HeadlessGameTest {
 public:
  // The colour of the title picture the start-up shows.
  static constexpr uint8_t kTitleColour = 77;

 protected:
  // The media folder holds the demo's archives, written once.
  AppTest();
  void SetUp() override;
  void TearDown() override;

  void Start() { ASSERT_TRUE(app_->InitInstance()); }
  // Takes and dispatches every message that is due now.
  static void Pump();
  static HWND ViewWindow();
  static CMainFrame* Frame();

  // The demo's first mission also as the mission archive name (in a folder
  // that becomes the current folder), for tests of other missions' starts
  // and briefings.
  void AddMissionCopy(const char* name);

  ScopedEnv media_;
  std::unique_ptr<CGameApp> app_;
  std::unique_ptr<TempFolder> missions_;
  std::unique_ptr<ScopedCurrentFolder> inMissions_;
};
