// The menus' actions: clicks on each screen's buttons, keys and characters,
// the confirm screen, quitting, and the start of a new single or network
// game.
#include <gtest/gtest.h>

#include "game/game_app.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"
#include "tests/game/game_fixture.h"

namespace {

class MenuActionsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    ui_ = g_pInterface;
    ui_->OpenMenu(false);
  }
  void TearDown() override {
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    AppTest::TearDown();
  }
  // The cursor to (x, y) and the hover pass.
  void MoveTo(int x, int y) {
    InputEvent move{InputEventType::MouseMove};
    move.dx = x - ui_->GetCursorX();
    move.dy = y - ui_->GetCursorY();
    Send(move);
    ui_->OnMouseMove(0, 0, 0);
    ASSERT_EQ(ui_->GetCursorX(), x);
    ASSERT_EQ(ui_->GetCursorY(), y);
  }
  // The cursor to (x, y), then a click there.
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    ui_->OnClick(0, x, y);
  }
  // Inside a button placed at (left, top).
  void ClickButton(int left, int top) { ClickAt(left + 12, top + 10); }
  static bool QuitPosted(int* code) {
    MSG msg;
    if (!PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    *code = static_cast<int>(msg.wParam);
    return true;
  }
  void RunGame() {
    ui_->CloseMenu();
    app_->RequestNewGame(false);
    app_->OnIdle(0);
    ASSERT_NE(g_pNetDoc, nullptr);
    ASSERT_TRUE(g_pNetDoc->IsGameRunning());
    ui_->OpenMenu(false);
  }

  CInterface* ui_ = nullptr;
};

}  // namespace

TEST_F(MenuActionsTest, AClickOnAButtonMovesToItsScreen) {
  const struct {
    int screen;
    int left, top;  // the button's place; (-1, -1) a click on nothing
    int after;
  } cases[] = {
      {0, 208, 299, 2},    // "rmu": the network screen without a running game
      {0, 244, 355, 1},    // "rop"
      {0, 218, 207, 6},    // "b-lo" with a document and no network game
      {0, 218, 254, 0},    // "b-sa": no running game, disabled
      {1, 254, 405, 0},    {1, 248, 208, 4},  {1, 235, 255, 7}, {1, 218, 166, 3}, {1, 208, 299, 9},
      {1, 224, 354, 17},   {2, 260, 418, 0},  {3, 254, 405, 1}, {4, 254, 405, 1}, {7, 466, 316, 1},
      {7, 495, 170, 1},    {9, 254, 405, 1},  {11, 254, 405, 0}, {12, 160, 328, 14}, {12, 218, 268, 13},
      {12, 256, 204, 12},  // "ser" is disabled
      {12, 236, 144, 12},  // "mod" too
      {12, 260, 418, 2},   {13, 470, 385, 12}, {14, 260, 418, 14},  // clicks do nothing here
      {15, 470, 385, 2},   {15, 495, 257, 15},  // no player name: refused
      {17, 254, 405, 1},   {18, 254, 405, 18}, {1, 500, 20, 1},
  };
  for (const auto& c : cases) {
    ui_->SetScreen(c.screen);
    ClickButton(c.left, c.top);
    EXPECT_EQ(ui_->GetScreen(), c.after) << "screen " << c.screen << " button at " << c.left << "," << c.top;
    EXPECT_TRUE(ui_->IsMenuActive());
  }
  ui_->SetScreen(12);
  ClickButton(218, 268);
  EXPECT_EQ(ui_->GetConnectionType(), 1);
  ui_->SetScreen(2);
  ClickButton(212, 266);  // "nwg": a new game, not joining
  EXPECT_FALSE(ui_->IsJoining());
  ui_->SetScreen(2);
  ClickButton(213, 177);  // "joi"
  EXPECT_TRUE(ui_->IsJoining());
}

TEST_F(MenuActionsTest, ClicksChangeTheSettingsTheyShow) {
  ASSERT_NE(g_pSoundManager, nullptr);
  // The advanced screen's channel box: 4, 6, ... 16 channels, at once.
  ui_->SetScreen(17);
  const int before = ui_->GetOptionBox(CInterface::kOptionChannels)->GetCurrent();
  ClickAt(230, 190);
  const int index = ui_->GetOptionBox(CInterface::kOptionChannels)->GetCurrent();
  EXPECT_EQ(index, (before + 1) % 7);
  EXPECT_EQ(g_pSoundManager->GetChannelCount(), 2 * index + 4);
  // The video screen's cockpit switch.
  ui_->SetScreen(9);
  const bool cockpit = ui_->IsCockpitShown();
  ClickButton(238, 342);
  EXPECT_NE(ui_->IsCockpitShown(), cockpit);
  // The resolution buttons are korvanesw's: korvane3d's stay at 640x480.
  ClickButton(433, 292);
  EXPECT_EQ(ui_->GetResolution(), 0);
  // The controls screen's mouse inversion.
  ui_->SetScreen(4);
  const bool swapped = g_pNetDoc->IsMouseSwapped();
  ClickButton(490, 169);
  EXPECT_NE(g_pNetDoc->IsMouseSwapped(), swapped);
  // The sound screen's switches.
  ui_->SetScreen(3);
  ASSERT_TRUE(ui_->IsSoundEnabled());
  ClickAt(ui_->GetSoundList()->GetRight() - 3, ui_->GetSoundList()->GetBottom() - 3);
  EXPECT_FALSE(ui_->IsSoundEnabled());
  ClickAt(ui_->GetSoundList()->GetRight() - 3, ui_->GetSoundList()->GetBottom() - 3);
  EXPECT_TRUE(ui_->IsSoundEnabled());
}

TEST_F(MenuActionsTest, EscAndKeysOnEachScreen) {
  const struct {
    int screen;
    int key;
    int after;
  } cases[] = {
      {1, VK_ESCAPE, 0}, {2, VK_ESCAPE, 0},  {3, VK_ESCAPE, 1},  {4, VK_ESCAPE, 1}, {7, VK_ESCAPE, 1},
      {9, VK_ESCAPE, 1}, {17, VK_ESCAPE, 1}, {12, VK_ESCAPE, 15}, {11, VK_ESCAPE, 11},
      {0, VK_ESCAPE, 0},  // no running game: the menu stays
      {14, VK_ESCAPE, 12}, {15, VK_ESCAPE, 2}, {14, VK_RETURN, 14},  // no address: refused
      {1, 'A', 1},
  };
  for (const auto& c : cases) {
    ui_->SetScreen(c.screen);
    ui_->OnKey(c.key);
    EXPECT_EQ(ui_->GetScreen(), c.after) << "screen " << c.screen << " key " << c.key;
    EXPECT_TRUE(ui_->IsMenuActive());
  }
  // Characters go to the screen's line; Enter takes its text.
  ui_->SetScreen(14);
  for (char c : std::string("10.0.0.7")) ui_->OnChar(c);
  ui_->OnKey(VK_RETURN);
  EXPECT_EQ(ui_->GetIpAddress(), "10.0.0.7");
  EXPECT_EQ(ui_->GetScreen(), 13);
  ui_->SetScreen(15);
  for (char c : std::string("ace")) ui_->OnChar(c);
  ui_->OnKey(VK_BACK);
  ui_->OnKey(VK_RETURN);
  EXPECT_EQ(ui_->GetPlayerName(), "AC");
  EXPECT_EQ(ui_->GetScreen(), 12);
  // No keys at all without a menu.
  ui_->CloseMenu();
  ui_->OnKey(VK_ESCAPE);
  EXPECT_FALSE(ui_->IsMenuActive());
}

TEST_F(MenuActionsTest, TheKeyBindingScreenDropsItsChangesOnCancelAndEsc) {
  ui_->SetScreen(7);
  const int first = ui_->GetKeyField(0, 0)->GetKey();
  ui_->GetKeyField(0, 0)->SetKey(first == DIK_Q ? DIK_W : DIK_Q);
  ui_->OnKey(VK_ESCAPE);
  EXPECT_EQ(ui_->GetScreen(), 1);
  ui_->SetScreen(7);
  EXPECT_EQ(ui_->GetKeyField(0, 0)->GetKey(), first);
  // A click on a field selects it alone.
  ui_->GetKeyField(3, 1)->SetSelected(true);
  ClickAt(245, static_cast<int>(103.0f + 2 * 2 * 10.9f) + 4);
  EXPECT_TRUE(ui_->GetKeyField(2, 0)->IsSelected());
  EXPECT_FALSE(ui_->GetKeyField(3, 1)->IsSelected());
}

TEST_F(MenuActionsTest, QuittingWithoutAGameEndsTheProgramNormally) {
  ClickButton(273, 408);  // "rqt"
  int code = -1;
  ASSERT_TRUE(QuitPosted(&code));
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(ui_->IsMenuActive());
}

TEST_F(MenuActionsTest, WithAGameRunningTheMainScreenAsksFirstAndNoGoesBackAsItWas) {
  RunGame();
  for (int key : {int{VK_ESCAPE}, int{'N'}, 0}) {
    ui_->SetScreen(0);
    ClickButton(273, 408);  // "rqt"
    EXPECT_EQ(ui_->GetScreen(), 10);
    EXPECT_EQ(ui_->GetConfirmAction(), 2);
    if (key) ui_->OnKey(key);
    else ClickButton(366, 416);  // "canc"
    EXPECT_EQ(ui_->GetScreen(), 0) << key;
    EXPECT_EQ(ui_->GetButton(9).GetState(), 1) << "the save button as it was";
  }
  int code = -1;
  EXPECT_FALSE(QuitPosted(&code));
  // The save screen opens; Esc goes back.
  ClickButton(218, 254);
  EXPECT_EQ(ui_->GetScreen(), 5);
  ui_->OnKey(VK_ESCAPE);
  EXPECT_EQ(ui_->GetScreen(), 0);
  // Esc on the main screen returns to the game.
  ui_->OnKey(VK_ESCAPE);
  EXPECT_FALSE(ui_->IsMenuActive());
  // Yes on the confirm screen of the network action: the game is dropped at
  // the next idle call, not at once.
  ui_->OpenMenu(false);
  ClickButton(208, 299);  // "rmu"
  EXPECT_EQ(ui_->GetScreen(), 10);
  ui_->OnKey('Y');
  EXPECT_EQ(ui_->GetScreen(), 2);
  EXPECT_TRUE(g_pNetDoc->IsGameRunning());
  EXPECT_TRUE(app_->IsReturnToGameRequested());
  app_->OnIdle(0);
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_FALSE(g_pNetDoc->IsGameRunning());
  EXPECT_TRUE(ui_->IsMenuActive());
  EXPECT_EQ(ui_->GetScreen(), 2);
  // Yes to quit while a game runs.
  RunGame();
  ClickButton(273, 408);
  ui_->OnKey(VK_RETURN);
  ASSERT_TRUE(QuitPosted(&code));
  EXPECT_EQ(code, 0);
}

TEST_F(MenuActionsTest, ADifficultyStartsTheFirstMissionThroughItsBriefing) {
  g_CurrentMissionArchive = "M5.CAN";
  const struct {
    int left, top, difficulty;
  } levels[] = {{218, 207, 1}, {218, 254, 2}, {208, 299, 3}};
  for (const auto& level : levels) {
    ui_->SetScreen(11);
    ClickButton(level.left, level.top);
    EXPECT_EQ(ui_->GetDifficulty(), level.difficulty);
    EXPECT_EQ(g_CurrentMissionArchive, "M1.CAN");
    EXPECT_FALSE(app_->IsNetworkLaunch());
    EXPECT_EQ(ui_->GetScreen(), 8);
    EXPECT_EQ(ui_->GetLastBriefingPage(), 1);  // the demo mission has two pages
    EXPECT_EQ(ui_->GetBriefingPage(), 0);
  }
  // The page buttons move through the pages; the exit starts the level.
  ClickButton(476, 290);
  EXPECT_EQ(ui_->GetBriefingPage(), 1);
  ClickButton(476, 290);  // disabled on the last page
  EXPECT_EQ(ui_->GetBriefingPage(), 1);
  ClickButton(350, 290);
  EXPECT_EQ(ui_->GetBriefingPage(), 0);
  ClickButton(380, 390);
  EXPECT_FALSE(ui_->IsMenuActive());
  EXPECT_TRUE(g_pNetDoc->IsGameRunning());
}

TEST_F(MenuActionsTest, ANetworkStartNeedsANameAndAMissionAndAFailedOneComesBackToTheNetworkScreen) {
  ui_->SetScreen(2);
  ClickButton(212, 266);  // "nwg"
  ui_->SetScreen(12);
  ClickButton(218, 268);  // "ipx": no such network here
  ASSERT_EQ(ui_->GetScreen(), 13);
  ClickButton(495, 257);  // "oks": no name, no mission
  EXPECT_EQ(ui_->GetScreen(), 13);
  for (char c : std::string("ARENA")) ui_->OnChar(c);
  ClickButton(495, 257);  // no mission chosen yet
  EXPECT_EQ(ui_->GetScreen(), 13);
  // A mission row chosen: the list's first row.
  MoveTo(130, 175);
  ui_->SetMouseButtonDown(true);
  ui_->MenuFrame();
  ui_->SetMouseButtonDown(false);
  ASSERT_GT(ui_->GetChosenMission(), 0);
  testing::internal::CaptureStderr();
  ClickButton(495, 257);
  testing::internal::GetCapturedStderr();
  // No network here: the start fails, and the program goes on.
  EXPECT_EQ(g_CurrentMissionArchive, "M1.CAN");
  EXPECT_EQ(ui_->GetSessionName(), "ARENA");
  EXPECT_TRUE(ui_->IsMenuActive());
  EXPECT_EQ(ui_->GetScreen(), 2);
  EXPECT_FALSE(app_->IsNetworkLaunch());
}
