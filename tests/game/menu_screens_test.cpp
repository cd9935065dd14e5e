// The menu screens: what the mouse is on, what each screen draws when it is
// made current (its picture and its buttons in the states their settings
// give them), the software cursor, and a picture of every screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/interface_window.h"
#include "game/menu_widgets.h"
#include "game/net_doc.h"
#include "game/network_layer.h"
#include "media/sound_manager.h"
#include "platform/display.h"
#include "platform/enet/enet_network.h"
#include "tests/game/game_fixture.h"
#include "tests/game/net_peer.h"
#include "tests/support/process_info.h"

namespace {

class MenuScreensTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    Start();
    ui_ = g_pInterface;
    ui_->OpenMenu(false);
  }
  // The menu cursor moved to (x, y), then the hover pass.
  void MoveTo(int x, int y) {
    InputEvent move{InputEventType::MouseMove};
    move.dx = x - ui_->GetCursorX();
    move.dy = y - ui_->GetCursorY();
    Send(move);
    ui_->OnMouseMove(0, 0, 0);
    ASSERT_EQ(ui_->GetCursorX(), x);
    ASSERT_EQ(ui_->GetCursorY(), y);
  }
  uint8_t Pixel(int x, int y) const { return ui_->GetBackBufferBits()[640 * y + x]; }
  // The pixel of a state picture of a button at (x, y) of the screen.
  static uint8_t ButtonPixel(const char* prefix, int state, int left, int top, int x, int y) {
    CString name;
    name.Format("%s%d.bmp", prefix, state);
    CPicture picture(name, "INTERFC.CAN");
    return picture.PixelAt(x - left, y - top);
  }

  CInterface* ui_ = nullptr;
};

TEST_F(MenuScreensTest, TheMouseIsOnTheButtonsItsPointIsStrictlyInside) {
  const struct {
    int screen;
    int x, y;
    int button;  // 0: none
  } cases[] = {
      {0, 220, 170, 1},   {0, 218, 170, 0},  {0, 219, 167, 1},   {0, 300, 420, 4},  {0, 10, 10, 0},
      {0, 230, 220, 10},  {0, 230, 260, 0},  // "b-sa" is disabled without a running game
      {1, 250, 215, 5},   {1, 220, 170, 7},  {1, 260, 410, 23},  {1, 230, 360, 15}, {1, 500, 300, 0},
  };
  for (const auto& c : cases) {
    ui_->SetScreen(c.screen);
    MoveTo(c.x, c.y);
    for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 23}) {
      EXPECT_EQ(ui_->GetButton(number).HitTest(), number == c.button)
          << "screen " << c.screen << " at " << c.x << "," << c.y << " button " << number;
    }
    // A frame shows it under the mouse (2), pressed while the button is
    // down (3); the others normal (1) or disabled (0).
    ui_->MenuFrame();
    if (c.button) EXPECT_EQ(ui_->GetButton(c.button).GetState(), 2);
    ui_->SetMouseButtonDown(true);
    ui_->MenuFrame();
    if (c.button) EXPECT_EQ(ui_->GetButton(c.button).GetState(), 3);
    ui_->SetMouseButtonDown(false);
  }
  EXPECT_EQ(ui_->GetButton(9).GetState(), 0);
}

TEST_F(MenuScreensTest, SetScreenDrawsItsPictureAndItsButtonsInTheirStates) {
  const struct {
    int screen;
    const char* background;
    const char* prefix;  // a button of the screen, at (left, top)
    int left, top;
    int state;
  } cases[] = {
      {0, "mns1.bmp", "rsi", 218, 166, 1},   {0, "mns1.bmp", "b-sa", 218, 254, 0},  // no running game
      {1, "ops.bmp", "avn", 224, 354, 1},    {4, "trlbk.bmp", "adv", 417, 329, 0},  // always disabled
      {9, "vidop.bmp", "cock", 238, 342, 3},  // latched: the cockpit is shown
      {9, "vidop.bmp", "six", 238, 292, 1},  {10, "end.bmp", "okm", 118, 416, 1},
      {12, "multi.bmp", "ser", 256, 204, 0}, {13, "search.bmp", "arrd", 350, 162, 1},
      {18, "help.bmp", nullptr, 0, 0, 0},    {42, "mns1.bmp", nullptr, 0, 0, 0},
  };
  ui_->SetCockpitShown(true);
  for (const auto& c : cases) {
    ui_->SetScreen(c.screen);
    CPicture background(c.background, "INTERFC.CAN");
    EXPECT_EQ(Pixel(600, 20), background.PixelAt(600, 20)) << c.screen;
    EXPECT_EQ(Pixel(5, 470), background.PixelAt(5, 470)) << c.screen;
    if (!c.prefix) continue;
    const int x = c.left + 20, y = c.top + 15;
    EXPECT_EQ(Pixel(x, y), ButtonPixel(c.prefix, c.state, c.left, c.top, x, y)) << c.screen << " " << c.prefix;
  }
}

TEST_F(MenuScreensTest, TheCursorStaysWholeAtTheEdgesAndPutsBackWhatItCovered) {
  ui_->SetScreen(1);
  const CPicture& cursor = ui_->GetBackground(15);
  const int w = cursor.GetWidth(), h = cursor.GetHeight();
  ASSERT_GT(w, 0);
  ui_->RestoreUnderCursor();
  ui_->ResetCursorRect();
  std::vector<uint8_t> before(ui_->GetBackBufferBits(), ui_->GetBackBufferBits() + 640 * 480);
  ASSERT_TRUE(ui_->DrawCursor(639, 479));
  EXPECT_EQ(ui_->GetCursorRect().left, 639 - w);
  EXPECT_EQ(ui_->GetCursorRect().top, 479 - h);
  EXPECT_EQ(ui_->GetCursorRect().right, 639);
  ui_->RestoreUnderCursor();
  ASSERT_TRUE(ui_->DrawCursor(0, 0));
  EXPECT_EQ(ui_->GetCursorRect().left, 0);
  ui_->RestoreUnderCursor();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), ui_->GetBackBufferBits()));

  // A cursor picture larger than the save area is cut to 32 x 64.
  ui_->GetBackground(15).Load("TITLE.BMP", "INTERFC.CAN", true);
  ui_->ResetCursorRect();
  ASSERT_TRUE(ui_->DrawCursor(320, 240));
  const RECT cut = ui_->GetCursorRect();
  EXPECT_EQ(cut.right - cut.left, 32);
  EXPECT_EQ(cut.bottom - cut.top, 64);
  ui_->RestoreUnderCursor();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), ui_->GetBackBufferBits()));
}

// Every screen drawn into the bitmap and written as a picture to look at.
TEST_F(MenuScreensTest, EveryScreenIsDrawnWhole) {
  const std::string folder = std::string(KORVANE_BINARY_DIR) + "/menu-screens";
  std::filesystem::create_directories(folder);
  const PALETTEENTRY* palette = ui_->GetPaletteTable();
  ASSERT_NE(g_pSoundManager, nullptr);  // the interface's
  for (int screen = 0; screen <= 18; ++screen) {
    // The sessions screen lists the missions of a game to start.
    if (screen == 13) ui_->SetJoining(false);
    ui_->SetScreen(screen);
    ui_->MenuFrame();
    RgbFrame frame;
    frame.width = 640;
    frame.height = 480;
    frame.rgb.resize(640 * 480 * 3);
    size_t dark = 0;
    for (int i = 0; i < 640 * 480; ++i) {
      const PALETTEENTRY& colour = palette[ui_->GetBackBufferBits()[i]];
      frame.rgb[i * 3] = colour.peRed;
      frame.rgb[i * 3 + 1] = colour.peGreen;
      frame.rgb[i * 3 + 2] = colour.peBlue;
      if (ui_->GetBackBufferBits()[i] == g_BlackColour) ++dark;
    }
    // The picture covers the screen: no more than space's black is left.
    EXPECT_LT(dark, 640u * 480u * 9 / 10) << screen;
    CString path;
    path.Format("%s/screen%02d.png", folder.c_str(), screen);
    EXPECT_TRUE(RgbFrameWritePng(frame, path)) << screen;
  }
}

// Lines made without a font and the version text write with the document's
// small font, not a copy of their own.
TEST_F(MenuScreensTest, TheMenusSmallFontIsTheDocuments) {
  EXPECT_EQ(&MenuSmallFont(), g_pNetDoc->GetTextRenderer());
}

// While the game's window lacks the keyboard focus a menu frame leaves the
// menu as it is: the mouse is not polled and no button takes its press.
TEST_F(MenuScreensTest, WithoutTheKeyboardFocusAMenuFrameChangesNothing) {
  ui_->SetScreen(0);
  MoveTo(220, 170);  // on "new game" (button 1)
  ui_->SetWindowFocus(true);
  ui_->MenuFrame();
  ASSERT_EQ(ui_->GetButton(1).GetState(), 2);
  ui_->SetWindowFocus(false);
  ASSERT_FALSE(g_pNetDoc->HasInputFocus());
  ui_->SetMouseButtonDown(true);
  InputEvent move{InputEventType::MouseMove};
  move.dx = 10;
  Send(move);
  ui_->MenuFrame();
  EXPECT_EQ(ui_->GetButton(1).GetState(), 2);
  EXPECT_EQ(ui_->GetCursorX(), 220);
  // With the focus back the same frame takes the press and the move.
  ui_->SetWindowFocus(true);
  ui_->MenuFrame();
  EXPECT_EQ(ui_->GetButton(1).GetState(), 3);
  EXPECT_EQ(ui_->GetCursorX(), 230);
  ui_->SetMouseButtonDown(false);
}

// While joining, the sessions screen lists the sessions the network layer's
// enumeration found (here one program hosting on this machine's loopback),
// a press on the row takes its name and mission, and opening the screen
// empties the list.
TEST_F(MenuScreensTest, WhileJoiningTheSessionsScreenListsTheNetworkLayersSessions) {
  const std::string port = std::to_string(20000 + (ProcessId() * 7 + 5) % 30000);
  ScopedEnv netPort("KORVANE_NET_PORT", port.c_str());
  ScopedEnv netHosts("KORVANE_NET_HOSTS", ("127.0.0.1:" + port).c_str());
  NetPeer host("H", "");
  ASSERT_TRUE(host.Start("KESTREL", true));
  ui_->SetWindowFocus(true);
  ui_->SetJoining(true);
  ui_->SetScreen(13);
  DPADDRESS address{};
  address.serviceProvider = DPSPGUID_TCPIP;
  ASSERT_TRUE(g_Net.InitConnection(address, EnetDirectPlayCreate({})));
  ASSERT_TRUE(g_Net.EnumSessions());
  ASSERT_EQ(g_Net.GetSessionList().size(), 1u);
  const CNetSessionInfo& found = g_Net.GetSessionList().front();
  EXPECT_EQ(found.currentPlayers, 1u);
  CString counts;
  counts.Format("- m%02d, %02d/%02d", static_cast<int>(found.mission), 1, static_cast<int>(found.maxPlayers));
  CMissionList* list = ui_->GetMissionList();
  EXPECT_EQ(list->LineText(0), CString("KESTREL       ") + counts);
  EXPECT_EQ(list->LineText(1), "");
  MoveTo(130, 167 + list->RowHeight() / 2 + 1);
  ui_->SetMouseButtonDown(true);
  ui_->MenuFrame();
  ui_->SetMouseButtonDown(false);
  EXPECT_EQ(ui_->GetSessionName(), "KESTREL");
  EXPECT_EQ(ui_->GetChosenMission(), static_cast<int>(found.mission));
  ui_->SetScreen(13);
  EXPECT_TRUE(g_Net.GetSessionList().empty());
  EXPECT_EQ(list->LineText(0), "");
  g_Net.Close();
}

}  // namespace
