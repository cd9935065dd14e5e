// The interface manager's menus: opening through the menu mode, the quick
// save and load, the mission-failed page, closing; and what the constructor
// does when DirectInput can't be set up.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/interface_window.h"
#include "platform/direct_input.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"
#include "tests/game/game_fixture.h"

namespace {

class InterfaceMenusTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    ui_ = g_pInterface;
  }
  CInterface* ui_ = nullptr;
};

TEST_F(InterfaceMenusTest, EachOpenerShowsItsScreenAndNothingOpensOverAMenu) {
  const struct {
    void (*open)(CInterface*);
    int screen;
    int returnScreen;
  } openers[] = {
      {[](CInterface* ui) { ui->OpenBriefing(); }, 8, 0},
      {[](CInterface* ui) { ui->OpenHelp(); }, 18, 0},
      {[](CInterface* ui) { ui->OpenSaveMenu(); }, 5, -1},
      {[](CInterface* ui) { ui->OpenLoadMenu(); }, 6, -1},
  };
  for (const auto& opener : openers) {
    opener.open(ui_);
    EXPECT_TRUE(ui_->IsMenuActive());
    EXPECT_EQ(ui_->GetScreen(), opener.screen);
    EXPECT_EQ(ui_->GetReturnScreen(), opener.returnScreen);
    // A second opening changes nothing: the current screen stays.
    ui_->OpenMenu(false);
    ui_->OpenHelp();
    ui_->ShowMissionFailed(3);
    EXPECT_EQ(ui_->GetScreen(), opener.screen);
    EXPECT_FALSE(ui_->IsMissionFailedShown());
    EXPECT_TRUE(ui_->CloseMenu());
    EXPECT_FALSE(ui_->IsMenuActive());
  }
  EXPECT_FALSE(ui_->CloseMenu());
  ui_->OpenMenu(true);
  EXPECT_EQ(ui_->GetScreen(), 0);
}

TEST_F(InterfaceMenusTest, MouseMotionMadeInAMenuIsGoneWhenItCloses) {
  // korvanesw's menus follow the window's cursor and never read the device,
  // so the motion would wait there for the ship's first read.
  ui_->OpenHelp();
  InputEvent move{InputEventType::MouseMove};
  move.dx = 400;
  move.dy = -300;
  Send(move);
  ASSERT_TRUE(ui_->CloseMenu());
  DIMOUSESTATE state;
  ASSERT_EQ(ui_->GetMouseDevice()->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
  EXPECT_EQ(state.lY, 0);
  // What comes after the menu is the ship's.
  Send(move);
  ASSERT_EQ(ui_->GetMouseDevice()->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 400);
  EXPECT_EQ(state.lY, -300);
}

TEST_F(InterfaceMenusTest, TheMenuModeHidesThePictureAndTheCursorAndClearsTheKeys) {
  ASSERT_TRUE(ui_->GetWindow()->IsShowingPicture());
  SendKey(InputEventType::KeyDown, DIK_SPACE);
  SendKey(InputEventType::KeyUp, DIK_SPACE);
  Advance(20);
  ui_->OpenMenu(false);
  EXPECT_FALSE(ui_->GetWindow()->IsShowingPicture());
  EXPECT_EQ(GetCursor(), ui_->GetInterfaceCursor());
  EXPECT_EQ(ShowCursor(FALSE), -1);  // already hidden: korvane3d's menus draw their own
  EXPECT_FALSE(ui_->IsKeyPressed(DIK_SPACE));  // the press before the menu is forgotten
  // The menu's first frame drew the cursor at the top left corner; taking
  // it away empties the rectangle.
  const RECT drawn = ui_->GetCursorRect();
  EXPECT_EQ(drawn.left, 0);
  EXPECT_EQ(drawn.top, 0);
  EXPECT_EQ(drawn.right, ui_->GetBackground(15).GetWidth());
  EXPECT_EQ(drawn.bottom, ui_->GetBackground(15).GetHeight());
  ui_->ResetCursorRect();
  const RECT empty = ui_->GetCursorRect();
  EXPECT_EQ(empty.left, 640);
  EXPECT_EQ(empty.top, 480);
  EXPECT_EQ(empty.right, 0);
  EXPECT_EQ(empty.bottom, 0);
}

TEST_F(InterfaceMenusTest, QuickSaveAndLoadWithoutAnEarlierOneOpenTheirScreens) {
  ui_->QuickSave();
  EXPECT_EQ(ui_->GetScreen(), 5);
  EXPECT_EQ(ui_->GetReturnScreen(), -1);
  ui_->CloseMenu();
  ui_->QuickLoad();
  EXPECT_EQ(ui_->GetScreen(), 6);
  ui_->CloseMenu();
  // With one, the save goes into the data folder's SAVE folder, made when
  // missing.
  ui_->SetLastSavePath(folder_.Join("data/korvane/SAVE/game3.sav").c_str());
  ui_->QuickSave();
  EXPECT_FALSE(ui_->IsMenuActive());
  EXPECT_TRUE(std::filesystem::is_directory(folder_.Join("data/korvane/SAVE")));
}

TEST_F(InterfaceMenusTest, AFailedMissionShowsItsPageOnce) {
  CPicture& page = ui_->GetBackground(9);
  page.Load("TITLE.BMP", "INTERFC.CAN", true);
  ui_->ShowMissionFailed(7);
  EXPECT_TRUE(ui_->IsMenuActive());
  EXPECT_EQ(ui_->GetScreen(), 16);
  EXPECT_EQ(ui_->GetFailedMission(), 7);
  EXPECT_EQ(ui_->GetBriefingPage(), 0);
  EXPECT_EQ(ui_->GetLastBriefingPage(), 0);
  EXPECT_TRUE(ui_->GetBriefingText().IsEmpty());
  EXPECT_FALSE(page.IsLoaded());  // the page is loaded afresh by the briefings
  EXPECT_TRUE(ui_->IsMissionFailedShown());
}

TEST_F(InterfaceMenusTest, ClosingUnloadsTheBackgroundsThatReloadOnTheirNextDraw) {
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ui_->GetBackground(i).Load("TITLE.BMP", "INTERFC.CAN", true));
  ui_->OpenMenu(false);
  ASSERT_TRUE(ui_->CloseMenu());
  for (int i = 0; i < 20; ++i) {
    const bool kept = i == 9 || i == 15 || i == 16 || i == 18;
    EXPECT_EQ(ui_->GetBackground(i).IsLoaded(), kept) << i;
  }
  // The cursor is hidden again and the bitmap cleared to the background.
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ui_->GetBackBufferBits()[640 * 100 + 100], g_BlackColour);
}

// Each DirectInput step that fails makes the constructor end the program
// with the step's line in the log.
class InterfaceStartTest : public InterfaceTest {};

TEST_F(InterfaceStartTest, ADirectInputFailureIsFatalWithItsLine) {
  // Forked, not re-run: the log must land in this test's folder. No other
  // thread runs before the interface exists.
  GTEST_FLAG_SET(death_test_style, "fast");
  const struct {
    DirectInputStep step;
    const char* line;
  } cases[] = {
      {DirectInputStep::Create, "dd(163)"},
      {DirectInputStep::CreateKeyboard, "dd(171)"},
      {DirectInputStep::SetDataFormat, "dd(175)"},
      {DirectInputStep::CreateMouse, "dd(190)"},
      {DirectInputStep::SetProperty, "dd(200)"},
  };
  const std::string log = folder_.Join("data/korvane/ERROR.LOG");
  for (const auto& c : cases) {
    EXPECT_EXIT(
        {
          DirectInputFailNext(c.step);
          MakeInterface();
        },
        ::testing::ExitedWithCode(1), "");
    const std::vector<uint8_t> bytes = ReadFileBytes(log);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(c.line), std::string::npos) << c.line;
  }
}

}  // namespace
