// The interface window: what each paint does, in its order of priority, and
// where its mouse, key and character messages go.
#include "game/interface_window.h"

#include <gtest/gtest.h>

#include "game/game_app.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_layer.h"
#include "media/cd_audio.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"
#include "platform/mci.h"
#include "platform/music.h"
#include "tests/game/fake_direct_play.h"
#include "tests/game/game_fixture.h"
#include "tools/builder/demo_sounds.h"

namespace {

using PaintStep = CInterfaceWnd::PaintStep;

class InterfaceWindowTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    g_NextMissionArchive.Empty();
    g_TypedWordBuffer.Empty();
    Start();
    window_ = g_pInterface->GetWindow();
  }
  void TearDown() override {
    g_NextMissionArchive.Empty();
    AppTest::TearDown();
  }
  PaintStep Paint() {
    window_->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return window_->LastPaintStep();
  }
  void Key(UINT virtualKey) { window_->SendMessage(WM_KEYDOWN, virtualKey, 1); }

  CInterfaceWnd* window_ = nullptr;
};

TEST_F(InterfaceWindowTest, APaintDoesTheFirstOfNewGameEndingMenuPictureAndGameFrame) {
  // The start-up left the title picture showing.
  ASSERT_TRUE(window_->IsShowingPicture());
  EXPECT_EQ(window_->PictureName(), "TITLE.BMP");

  // Each row adds nothing: it takes away the step above, so the next one
  // down shows.
  g_pInterface->RequestEnding();
  app_->RequestNewGame(false);
  EXPECT_EQ(Paint(), PaintStep::NewGame);
  EXPECT_FALSE(app_->IsNewGameRequested());

  // The new game cleared the display; the ending is still pending, and the
  // menu's screen, redrawn at once as it is made current, plays it first.
  EXPECT_TRUE(g_pInterface->IsEndingPending());
  // The ending's credits (there is no ending video here) run until Esc.
  SendKey(InputEventType::KeyDown, DIK_ESCAPE);
  g_pInterface->OpenMenu(false);
  SendKey(InputEventType::KeyUp, DIK_ESCAPE);
  EXPECT_EQ(window_->LastPaintStep(), PaintStep::Ending);
  EXPECT_FALSE(g_pInterface->IsEndingPending());
  window_->ShowPicture("TITLE.BMP", "INTERFC.CAN", nullptr);
  EXPECT_EQ(Paint(), PaintStep::Menu);
  // The menu mode hid the picture: shown again under the menu.
  window_->ShowPicture("TITLE.BMP", "INTERFC.CAN", nullptr);
  EXPECT_EQ(Paint(), PaintStep::Menu);
  ASSERT_TRUE(g_pInterface->CloseMenu());
  EXPECT_EQ(Paint(), PaintStep::Picture);
  window_->HidePicture(false);
  EXPECT_EQ(Paint(), PaintStep::Game);
  // During a display switch nothing is drawn, not even a menu.
  g_pNetDoc->SetPaused(true);
  g_pInterface->OpenMenu(false);
  EXPECT_EQ(Paint(), PaintStep::Paused);
  g_pNetDoc->SetPaused(false);
  EXPECT_EQ(Paint(), PaintStep::Menu);
}

TEST_F(InterfaceWindowTest, AfterAnAccomplishedMissionOnlyEscEnterAndSpaceGoOn) {
  AddMissionCopy("M2.CAN");
  g_NextMissionArchive = "M2.CAN";
  for (UINT key : {UINT{'A'}, UINT{'7'}, UINT{VK_F1}, UINT{VK_TAB}}) {
    Key(key);
    EXPECT_FALSE(app_->IsNewGameRequested()) << key;
  }
  Key(VK_RETURN);
  EXPECT_TRUE(app_->IsNewGameRequested());
  EXPECT_TRUE(app_->IsStartViaBriefing());
  EXPECT_EQ(g_CurrentMissionArchive, "M2.CAN");
  EXPECT_TRUE(g_NextMissionArchive.IsEmpty());
  EXPECT_EQ(Paint(), PaintStep::NewGame);
  EXPECT_EQ(g_pInterface->GetScreen(), 8);  // through its briefing
}

// The game's own delivery resends from the paint: a guaranteed message that
// lost its first transmission goes again at the first paint after the
// timeout, whatever the paint drew, and not before.
TEST_F(InterfaceWindowTest, APaintInANetworkGameResendsWhatIsDue) {
  std::vector<FakeSend> sends;
  FakeNetHost host;
  host.others = {0x20};
  g_Net.SetHostServices(&host);
  auto dp = std::make_unique<FakeDirectPlay>(&sends);
  dp->caps.dwTimeout = 500;  // no guarantee of the provider's own
  DPADDRESS address{};
  ASSERT_TRUE(g_Net.InitConnection(address, std::move(dp)));
  uint8_t message[20] = {};
  NetWriteHeader(message, kNetTypeKill, host.local, timeGetTime());
  ASSERT_TRUE(g_Net.Send(0x20, message, sizeof message, true));
  ASSERT_EQ(sends.size(), 1u);
  Paint();
  EXPECT_EQ(sends.size(), 1u);  // not due yet
  ClockSetTime(timeGetTime() + 501);
  Paint();
  EXPECT_EQ(sends.size(), 2u);
  ClockSetTime(timeGetTime() + 501);
  g_pInterface->OpenMenu(false);  // a menu frame resends too
  Paint();
  EXPECT_EQ(sends.size(), 3u);
  for (const FakeSend& s : sends) EXPECT_EQ(s.to, 0x20u);
  g_Net.Close();
  g_Net.SetHostServices(nullptr);
}

TEST_F(InterfaceWindowTest, LeftShiftSendsEveryKeyToTheTypedWordsToo) {
  SendKey(InputEventType::KeyDown, DIK_LSHIFT);
  Advance(20);
  g_pInterface->OpenMenu(false);
  for (char c : std::string("KWA")) Key(static_cast<UINT>(c));
  EXPECT_EQ(g_TypedWordBuffer, "KWA");
  SendKey(InputEventType::KeyUp, DIK_LSHIFT);
  Advance(20);
  Key('B');
  EXPECT_EQ(g_TypedWordBuffer, "KWA");
}

TEST_F(InterfaceWindowTest, FocusAndActivationReachTheInterface) {
  window_->SendMessage(WM_SETFOCUS);
  EXPECT_TRUE(g_pInterface->HasWindowFocus());
  window_->SendMessage(WM_KILLFOCUS);
  EXPECT_FALSE(g_pInterface->HasWindowFocus());
  // Deactivated with no game running: no menu opens.
  window_->SendMessage(WM_ACTIVATE, WA_INACTIVE);
  EXPECT_FALSE(g_pInterface->IsMenuActive());
  // Activated again (not by a click): the arrow cursor.
  SetCursor(nullptr);
  window_->SendMessage(WM_ACTIVATE, WA_ACTIVE);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
  SetCursor(nullptr);
  window_->SendMessage(WM_ACTIVATE, WA_CLICKACTIVE);
  EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(InterfaceWindowTest, TheMouseButtonIsNotedOnlyInAMenu) {
  window_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_FALSE(g_pInterface->IsMouseButtonDown());
  g_pInterface->OpenMenu(false);
  window_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_TRUE(g_pInterface->IsMouseButtonDown());
  window_->SendMessage(WM_LBUTTONUP, 0, 0);  // the click pass takes it
  EXPECT_FALSE(g_pInterface->IsMouseButtonDown());
}

TEST_F(InterfaceWindowTest, APictureIsDrawnAndTheNameShownBeforeReturned) {
  EXPECT_EQ(window_->ShowPicture("", nullptr, nullptr), "TITLE.BMP");
  EXPECT_FALSE(window_->IsShowingPicture());
  EXPECT_EQ(window_->ShowPicture("TITLE.BMP", "INTERFC.CAN", nullptr), "");
  ASSERT_TRUE(window_->IsShowingPicture());
  // Its pixels went to the screen's bitmap.
  EXPECT_EQ(g_pInterface->GetBackBufferBits()[640 * 240 + 320], AppTest::kTitleColour);
}

class InterfaceWindowAloneTest : public InterfaceTest {};

TEST_F(InterfaceWindowAloneTest, APictureIsHiddenInsteadWhileTheScreenIsNot640x480) {
  MakeInterface();
  ASSERT_EQ(ui_->GetScreenWidth(), 0);  // not in full screen yet
  CInterfaceWnd* window = ui_->GetWindow();
  EXPECT_EQ(window->ShowPicture("TITLE.BMP", "INTERFC.CAN", nullptr), "");
  EXPECT_FALSE(window->IsShowingPicture());
  EXPECT_EQ(window->PictureName(), "");
}

// The end of the music's track plays g_CdTrack again: only on a successful
// end, and only the track g_CdTrack names (the disc here holds track 3 only).
TEST_F(InterfaceWindowTest, TheEndOfTheMusicPlaysTheTrackOfGCdTrackAgain) {
  TempFolder disc;
  disc.WriteFile("music/track03.wav", DemoMusicWave(3));
  ScopedCurrentFolder in(disc.Path());
  ASSERT_EQ(SendMciCommand("close all", nullptr), 0u);
  ASSERT_EQ(SendMciCommand("open cdaudio alias MUSIC", window_->m_hWnd), 0u);
  PlatformMusic& music = *PlatformBackendGet().music;
  const int saved = g_CdTrack;
  const struct {
    int track;
    WPARAM why;
    bool plays;
  } cases[] = {{3, MCI_NOTIFY_SUCCESSFUL, true},
               {2, MCI_NOTIFY_SUCCESSFUL, false},
               {3, MCI_NOTIFY_ABORTED, false},
               {3, MCI_NOTIFY_SUPERSEDED, false}};
  for (const auto& c : cases) {
    music.Stop();
    g_CdTrack = c.track;
    EXPECT_EQ(window_->SendMessage(MM_MCINOTIFY, c.why, 1), 0) << c.track << " " << c.why;
    EXPECT_EQ(music.IsPlaying(), c.plays) << c.track << " " << c.why;
  }
  g_CdTrack = saved;
  StopCdAudio();
}

}  // namespace
