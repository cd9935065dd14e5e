#include "game/game_app.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "apps/korvane3d/direct3d_variant.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/main_frame.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/game/game_fixture.h"
#include "tests/support/temp_folder.h"

namespace {
// The whole application on the headless back end.
class GameAppTest : public AppTest {};
}  // namespace

TEST_F(GameAppTest, StartUpMakesTheInterfaceAndAHiddenDocumentFrameAndView) {
  Start();
  ASSERT_NE(g_pInterface, nullptr);
  ASSERT_NE(g_pInterface->GetWindow(), nullptr);
  EXPECT_EQ(app_->m_pMainWnd, g_pInterface->GetWindow());
  EXPECT_TRUE(g_pInterface->GetWindow()->IsWindowVisible());
  EXPECT_TRUE(g_pInterface->IsFullScreen());
  EXPECT_EQ(GetActiveWindow(), g_pInterface->GetWindow()->m_hWnd);
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_TRUE(g_pNetDoc->IsReady());
  ASSERT_NE(Frame(), nullptr);
  EXPECT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(CMainFrame)));
  EXPECT_FALSE(Frame()->IsWindowVisible());
  EXPECT_EQ(Frame()->GetWindowText(), "KORVANE");
  EXPECT_EQ(Frame()->GetActiveView(), g_pNetDoc->GetView());
  EXPECT_FALSE(app_->AppName().IsEmpty());
  EXPECT_EQ(app_->GetProfilePath(), CString(folder_.Join("Tallow Ferngate/").c_str()) + app_->AppName() + ".ini");
  EXPECT_FALSE(app_->IsNetworkLaunch());
  EXPECT_FALSE(g_pInterface->IsMenuActive());
}

TEST_F(GameAppTest, TheStartupTimerOpensTheMainMenuOnceAfterTwoSeconds) {
  Start();
  Sleep(1999);
  Pump();
  EXPECT_FALSE(app_->IsStartupDelayOver());
  EXPECT_FALSE(g_pInterface->IsMenuActive());
  Sleep(1);
  Pump();
  EXPECT_TRUE(app_->IsStartupDelayOver());
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_EQ(g_pInterface->GetScreen(), 0);
  // One shot: the timer is gone.
  g_pInterface->CloseMenu();
  Sleep(5000);
  Pump();
  EXPECT_FALSE(g_pInterface->IsMenuActive());
}

TEST_F(GameAppTest, OnlyTheWholeCommandLineNetgameMarksALobbyLaunch) {
  struct Case {
    const char* arg;
    bool network;
  } cases[] = {{"NETGAME", true}, {"netgame", true}, {"NetGame", true}, {"NETGAME2", false}, {"", false}};
  for (const Case& c : cases) {
    CGameApp app;
    char program[] = "korvane3d";
    std::string word = c.arg;
    char* argv[] = {program, word.data()};
    app.SetCommandLine(word.empty() ? 1 : 2, argv);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(app.IsNetworkLaunch(), c.network) << c.arg;
    app.ExitInstance();
  }
  char program[] = "korvane3d", first[] = "NETGAME", second[] = "x";
  char* argv[] = {program, first, second};
  CGameApp app;
  app.SetCommandLine(3, argv);
  ASSERT_TRUE(app.InitInstance());
  EXPECT_FALSE(app.IsNetworkLaunch());
  app.ExitInstance();
}

TEST_F(GameAppTest, EachIdleCallIsOneFrame) {
  Start();
  const DWORD before = timeGetTime();
  EXPECT_TRUE(app_->OnIdle(0));
  EXPECT_TRUE(app_->OnIdle(7));  // more idle time even when the library wants none
  EXPECT_EQ(timeGetTime() - before, 40u);
  EXPECT_EQ(g_IdleReady, 1);
}

TEST_F(GameAppTest, ARequestedGameStartsAloneInTheNextIdleCall) {
  Start();
  const HWND oldView = ViewWindow();
  ASSERT_NE(oldView, nullptr);
  app_->RequestNewGame(false);
  EXPECT_EQ(ViewWindow(), oldView);  // not at once
  const DWORD before = timeGetTime();
  EXPECT_TRUE(app_->OnIdle(3));
  EXPECT_EQ(timeGetTime(), before) << "no frame in the same call";
  EXPECT_FALSE(app_->IsNewGameRequested());
  EXPECT_TRUE(app_->IsStartInProgress());
  EXPECT_FALSE(IsWindow(oldView));
  ASSERT_NE(ViewWindow(), nullptr);
  EXPECT_NE(ViewWindow(), oldView);
  EXPECT_FALSE(g_pInterface->IsMenuActive());  // the level started, no briefing
  EXPECT_EQ(WindowCount(), 3);                 // interface, frame, view: the old frame went too
  EXPECT_TRUE(app_->OnIdle(4));
  EXPECT_EQ(timeGetTime() - before, 20u);  // the next call is a frame again
}

TEST_F(GameAppTest, ARequestedGameRunsTheLevel) {
  Start();
  app_->RequestNewGame(false);
  app_->OnIdle(0);
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_TRUE(g_pNetDoc->IsGameRunning());
  EXPECT_TRUE(g_pNetDoc->IsReady());
  EXPECT_NE(g_pNetDoc->GetLocalPlayer(), nullptr);
  EXPECT_NE(g_pNetDoc->GetWorld(), nullptr);
}

TEST_F(GameAppTest, ANetworkGameThatCantConnectBringsTheMenusBackAndATryAfterItStartsAgain) {
  Start();
  app_->SetNetworkLaunch(true);
  for (int attempt = 0; attempt < 2; ++attempt) {
    app_->RequestNewGame(false);
    testing::internal::CaptureStderr();
    app_->OnIdle(0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not start or join the network game"),
              std::string::npos);
    // No session exists here: the document stays, empty, under the menus.
    ASSERT_NE(g_pNetDoc, nullptr) << attempt;
    EXPECT_TRUE(g_pNetDoc->IsReady());
    EXPECT_FALSE(g_pNetDoc->IsGameRunning());
    EXPECT_FALSE(g_pNetDoc->IsLoading());
    EXPECT_TRUE(g_pInterface->IsMenuActive());
    EXPECT_NE(ViewWindow(), nullptr);
    // A second start on the same document replaces the level it loaded.
    EXPECT_FALSE(g_pNetDoc->StartLevel());
    g_pInterface->CloseMenu();
  }
  app_->SetNetworkLaunch(false);
  app_->RequestNewGame(false);
  app_->OnIdle(0);
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_TRUE(g_pNetDoc->IsGameRunning());
}

TEST_F(GameAppTest, ANestedIdleCallReturnsAtOnceAndStartsNothing) {
  Start();
  const HWND view = ViewWindow();
  app_->RequestNewGame(false);
  const DWORD before = timeGetTime();
  g_IdleReady = 0;                // as inside a running frame
  EXPECT_TRUE(app_->OnIdle(0));   // the library's own result for count 0
  EXPECT_FALSE(app_->OnIdle(1));  // and for later counts
  app_->StartRequestedGame();     // nor does a direct call inside a frame
  EXPECT_EQ(ViewWindow(), view);
  EXPECT_TRUE(app_->IsNewGameRequested());
  EXPECT_EQ(timeGetTime(), before);
  g_IdleReady = 1;
  EXPECT_TRUE(app_->OnIdle(0));
  EXPECT_NE(ViewWindow(), view);
}

TEST_F(GameAppTest, AGameThroughItsBriefingClosesTheOpenMenuAndOpensTheBriefing) {
  AddMissionCopy("M3.CAN");
  Start();
  g_pInterface->OpenMenu(true);
  g_CurrentMissionArchive = "M3.CAN";
  app_->RequestNewGame(true);
  EXPECT_EQ(g_CdTrack, 4);
  EXPECT_TRUE(g_pInterface->IsMenuActive());  // the request itself closes nothing
  app_->OnIdle(0);
  EXPECT_TRUE(app_->IsStartViaBriefing());
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_EQ(g_pInterface->GetScreen(), 8);
}

TEST_F(GameAppTest, AbandoningAGameGivesAnEmptyDocumentAndTheMainMenu) {
  Start();
  app_->SetStartupDelayOver();
  app_->RequestNewGame(false);
  app_->OnIdle(0);
  ASSERT_TRUE(app_->IsStartInProgress());
  g_NextMissionArchive = "M2.CAN";
  app_->ReturnToGame();
  EXPECT_FALSE(app_->IsStartInProgress());
  EXPECT_TRUE(g_NextMissionArchive.IsEmpty());
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_EQ(g_pInterface->GetScreen(), 0);
  EXPECT_EQ(WindowCount(), 3);
}

TEST_F(GameAppTest, ASavedGameThatCantBeOpenedLeavesAnEmptyDocument) {
  Start();
  app_->OpenSavedGame(folder_.Join("SAVE/game3.sav").c_str());
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_TRUE(g_pNetDoc->IsReady());
  EXPECT_EQ(WindowCount(), 3);
}

TEST_F(GameAppTest, TheMenuLoopPausesTheClockUnlessTheDocumentKeepsItPaused) {
  Start();
  CMainFrame* frame = Frame();
  ASSERT_NE(frame, nullptr);
  frame->SendMessage(WM_ENTERMENULOOP);
  EXPECT_EQ(g_GameTimePaused, 1);
  EXPECT_TRUE(g_pNetDoc->GetView()->IsInMenuLoop());
  frame->SendMessage(WM_EXITMENULOOP);
  EXPECT_EQ(g_GameTimePaused, 0);
  EXPECT_FALSE(g_pNetDoc->GetView()->IsInMenuLoop());
  g_pNetDoc->SetClockPaused(TRUE);
  frame->SendMessage(WM_ENTERMENULOOP);
  frame->SendMessage(WM_EXITMENULOOP);
  EXPECT_EQ(g_GameTimePaused, 1);
}

TEST_F(GameAppTest, FrameSizesSnapToThreeClientSizes) {
  struct Case {
    int cx, cy;
    bool cockpit;
    LONG snappedX, snappedY;
  } cases[] = {{479, 600, false, 320, 240}, {480, 320, false, 640, 480},  {701, 521, false, 800, 600},
               {701, 520, false, 640, 480}, {1000, 1000, true, 640, 480}, {100, 100, true, 640, 480}};
  for (const Case& c : cases) {
    const SIZE s = MainFrameSnapSize(c.cx, c.cy, c.cockpit);
    EXPECT_EQ(s.cx, c.snappedX) << c.cx << "x" << c.cy;
    EXPECT_EQ(s.cy, c.snappedY) << c.cx << "x" << c.cy;
  }

  Start();
  g_pInterface->SetCockpitShown(false);
  CMainFrame* frame = Frame();
  RECT r;
  // The first change takes the border from the system: 2 x 4 wide; 2 x 4,
  // a menu bar and a caption (19 each) high.
  frame->SetWindowPos(nullptr, 0, 0, 479, 600, SWP_NOZORDER | SWP_NOMOVE);
  frame->GetWindowRect(&r);
  EXPECT_EQ(r.right - r.left, 320 + 8);
  EXPECT_EQ(r.bottom - r.top, 240 + 46);
  // Later ones measure the window: 701 x 521 of client snaps to 800 x 600.
  frame->SetWindowPos(nullptr, 0, 0, 701 + 8, 521 + 46, SWP_NOZORDER | SWP_NOMOVE);
  frame->GetWindowRect(&r);
  EXPECT_EQ(r.right - r.left, 800 + 8);
  EXPECT_EQ(r.bottom - r.top, 600 + 46);
  frame->GetClientRect(&r);
  EXPECT_EQ(r.right, 800);
  // No size, no snapping.
  frame->SetWindowPos(nullptr, 5, 5, 1, 1, SWP_NOZORDER | SWP_NOSIZE);
  frame->GetWindowRect(&r);
  EXPECT_EQ(r.right - r.left, 800 + 8);
}

TEST_F(GameAppTest, TheFirstSizeAfterARestoreIsSnappedForTheView) {
  Start();
  g_pInterface->SetCockpitShown(false);
  CMainFrame* frame = Frame();
  CNetView* view = g_pNetDoc->GetView();
  RECT r;
  frame->SendMessage(WM_SIZE, SIZE_MINIMIZED, 0);
  frame->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 400));
  view->GetClientRect(&r);
  EXPECT_EQ(r.right, 640);
  EXPECT_EQ(r.bottom, 480);
  frame->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 400));
  view->GetClientRect(&r);
  EXPECT_EQ(r.right, 500);
}

TEST_F(GameAppTest, ANormalQuitEndsTheLoopWithCodeZero) {
  Start();
  input_->Inject(InputEvent{InputEventType::Quit});
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_EQ(g_pNetDoc, nullptr);  // the loop's end shut the game down
  EXPECT_EQ(g_pInterface, nullptr);
  app_.reset();
}

TEST_F(GameAppTest, AQuitPostedByTheProgramAlsoGivesZero) {
  Start();
  PostQuitMessage(0);
  EXPECT_EQ(app_->Run(), 0);
  app_.reset();
}

TEST_F(GameAppTest, TheInterfaceWindowCantBeClosedAndStartsARequestedGameOnPaint) {
  Start();
  CInterfaceWnd* window = g_pInterface->GetWindow();
  window->SendMessage(WM_CLOSE);
  EXPECT_TRUE(IsWindow(window->m_hWnd));
  const HWND view = ViewWindow();
  app_->RequestNewGame(false);
  window->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_FALSE(app_->IsNewGameRequested());
  EXPECT_NE(ViewWindow(), view);
}

TEST_F(GameAppTest, TheFileCommandsReachTheApplicationThroughTheFrame) {
  Start();
  EXPECT_TRUE(app_->OnCmdMsg(ID_FILE_NEW));
  EXPECT_TRUE(app_->OnCmdMsg(ID_FILE_OPEN));  // no file dialog here: nothing opens
  EXPECT_FALSE(app_->OnCmdMsg(1234));
  ASSERT_NE(Frame(), nullptr);
  // With the start-up delay over, a new document opens the main menu: the
  // command has reached the application when the menu is open.
  app_->SetStartupDelayOver();
  ASSERT_FALSE(g_pInterface->IsMenuActive());
  EXPECT_EQ(Frame()->SendMessage(WM_COMMAND, ID_FILE_NEW, 0), 0);
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_NE(g_pNetDoc, nullptr);
  EXPECT_EQ(WindowCount(), 3);
}
