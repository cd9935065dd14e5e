// korvanesw's palette fades and screen-close transitions, timed by the
// fixed-step multimedia clock.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "platform/framework/window_manager.h"
#include "platform/keys.h"
#include "softbuild/screen_transitions.h"
#include "tests/softbuild/softbuild_fixture.h"

namespace {

std::vector<int>* g_Tiles = nullptr;
void RecordTile(int tile) {
  if (g_Tiles) g_Tiles->push_back(tile);
}

class FadeTest : public SoftbuildTest {
 protected:
  void TearDown() override {
    g_DissolveTileObserver = nullptr;
    g_Tiles = nullptr;
    SoftbuildTest::TearDown();
  }
  // Plays a pending transition and returns the dissolve's tiles.
  std::vector<int> ClearWithTransition() {
    std::vector<int> tiles;
    g_Tiles = &tiles;
    g_DissolveTileObserver = RecordTile;
    ui_->SetTransitionPending(true);
    ui_->ClearSurfacesSw(false);
    g_Tiles = nullptr;
    return tiles;
  }
  bool GameEntriesEqualTheTable() const {
    const PALETTEENTRY* shown = ui_->GetPaletteObject()->Entries();
    const PALETTEENTRY* table = ui_->GetPaletteTable();
    for (int i = 10; i < 246; ++i)
      if (shown[i].peRed != table[i].peRed || shown[i].peGreen != table[i].peGreen || shown[i].peBlue != table[i].peBlue)
        return false;
    return true;
  }
};

TEST_F(FadeTest, FadingOutReachesBlackOver500MsAndKeepsThePaletteTable) {
  Make(0);
  PALETTEENTRY table[256];
  std::memcpy(table, ui_->GetPaletteTable(), sizeof table);
  const uint32_t start = timeGetTime();
  ui_->FadePaletteOut();
  const uint32_t took = timeGetTime() - start;
  EXPECT_GE(took, 500u);
  EXPECT_LT(took, 520u);
  const PALETTEENTRY* shown = ui_->GetPaletteObject()->Entries();
  for (int i = 10; i < 246; ++i) {
    ASSERT_EQ(shown[i].peRed + shown[i].peGreen + shown[i].peBlue, 0) << i;
  }
  EXPECT_EQ(std::memcmp(table, ui_->GetPaletteTable(), sizeof table), 0);

  ui_->FadePaletteIn();
  EXPECT_GE(timeGetTime() - start - took, 300u);
  EXPECT_TRUE(GameEntriesEqualTheTable()) << "up to the table's colours, never beyond";
}

TEST_F(FadeTest, TheDissolveClearsEveryTileExactlyOnceFiveATick) {
  for (const int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    ui_.reset();
    DirectDrawResetTestState();
    Make(mode);
    FillScreen(77);
    const uint32_t start = timeGetTime();
    const std::vector<int> tiles = ClearWithTransition();
    ASSERT_EQ(tiles.size(), 3600u);
    std::vector<int> seen(3600, 0);
    for (int tile : tiles) ++seen[static_cast<size_t>(tile)];
    for (int tile = 0; tile < 3600; ++tile) ASSERT_EQ(seen[static_cast<size_t>(tile)], 1) << tile;
    EXPECT_GE(timeGetTime() - start, 719u) << "720 ticks of five tiles";
    const std::vector<uint8_t> screen = Screen();
    EXPECT_EQ(Count(screen, 0), static_cast<int>(screen.size()));
    EXPECT_FALSE(ui_->IsTransitionPending());
  }
}

TEST_F(FadeTest, At640TheFoldClosesThePictureAndThePaletteComesBack) {
  Make(0);
  FillScreen(120);
  const uint32_t start = timeGetTime();
  EXPECT_TRUE(ClearWithTransition().empty()) << "the fold, not the dissolve";
  // 120 collapse steps of a tick or more, the line shrinking for 319
  // columns of 1 to 4 ms, then 100 ms.
  EXPECT_GE(timeGetTime() - start, 120u + 319u + 100u);
  const std::vector<uint8_t> screen = Screen();
  EXPECT_EQ(Count(screen, 0), static_cast<int>(screen.size()));
  EXPECT_TRUE(GameEntriesEqualTheTable());

  // No new request: a plain clear, at once.
  FillScreen(120);
  const uint32_t again = timeGetTime();
  ui_->ClearSurfacesSw(false);
  EXPECT_LT(timeGetTime() - again, 20u);
  EXPECT_EQ(Count(Screen(), 0), 640 * 480);
}

TEST_F(FadeTest, ACancelledTransitionIsAPlainClear) {
  Make(1);
  FillScreen(50);
  FillScreen(60, ui_->GetBackSurface());
  std::vector<int> tiles;
  g_Tiles = &tiles;
  g_DissolveTileObserver = RecordTile;
  ui_->SetTransitionPending(true);
  ui_->ClearSurfacesSw(true);
  EXPECT_TRUE(tiles.empty());
  EXPECT_FALSE(ui_->IsTransitionPending());
  EXPECT_EQ(Count(Screen(), 0), 320 * 240);
  EXPECT_EQ(Count(Screen(ui_->GetBackSurface()), 0), 320 * 240);
}

TEST_F(FadeTest, KeysPressedDuringATransitionAreForgotten) {
  InstallScript("300 press A\n400 press SPACE\n1500 key B down\n");
  Make(1);
  ClearWithTransition();
  EXPECT_FALSE(ui_->IsKeyPressed(DIK_A));
  EXPECT_FALSE(ui_->IsKeyPressed(DIK_SPACE));
  // A key pressed after it counts as ever.
  Sleep(1600);
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_TRUE(ui_->IsKeyPressed(DIK_B));
}

}  // namespace

// After a fade out the next picture shown (a menu or game frame) comes up
// from black, once: the build variant's frame hook plays the fade in.
TEST_F(FadeTest, ThePictureAfterAFadeOutFadesInOnce) {
  Make(0);
  ui_->FadePaletteOut();
  ASSERT_TRUE(ui_->IsFadeInPending());
  ASSERT_FALSE(GameEntriesEqualTheTable());
  const uint32_t start = timeGetTime();
  variant_.FrameShown(*ui_);
  EXPECT_GE(timeGetTime() - start, 300u);
  EXPECT_TRUE(GameEntriesEqualTheTable());
  EXPECT_FALSE(ui_->IsFadeInPending());
  const uint32_t again = timeGetTime();
  variant_.FrameShown(*ui_);
  EXPECT_LT(timeGetTime() - again, 20u) << "no second fade in";
}

// A video opened or closed: the screen is cleared and the display is made
// again at 640x480 (menus' primary surface alone), the video surface kept.
TEST_F(FadeTest, AVideoRemakesTheDisplayAt640x480AndKeepsTheVideoSurface) {
  Make(1);
  ASSERT_EQ(ui_->GetScreenWidth(), 320);
  IDirectDrawSurface* video = ui_->GetVideoSurface();
  ASSERT_NE(video, nullptr);
  FillScreen(77);
  variant_.VideoOpened(*ui_);
  EXPECT_EQ(ui_->GetScreenWidth(), 640);
  EXPECT_EQ(ui_->GetScreenHeight(), 480);
  ASSERT_NE(ui_->GetPrimarySurface(), nullptr);
  EXPECT_EQ(ui_->GetVideoSurface(), video);
  const std::vector<uint8_t> screen = Screen();
  ASSERT_EQ(screen.size(), 640u * 480u);
  EXPECT_EQ(Count(screen, 0), 640 * 480) << "cleared";
}
