// korvanesw's display: the modes of "ScreenRes" with their fallbacks, the
// surfaces for the game and the menus (every creation checked), the
// brightness of the applied palette and the view's resolution switch.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/net_doc.h"
#include "game/net_view.h"
#include "platform/direct_draw.h"
#include "softbuild/display_modes.h"
#include "tests/softbuild/softbuild_fixture.h"

namespace {

DDSURFACEDESC Describe(IDirectDrawSurface* surface) {
  DDSURFACEDESC desc;
  EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  return desc;
}

using DisplayModeTest = SoftbuildTest;

TEST_F(DisplayModeTest, ARefusedModeFallsBackToSmallerOnesAndTheModeInUseFollows) {
  const struct {
    int setting;
    int refused;  // how many SetDisplayMode calls fail first
    int width, height, mode;
  } cases[] = {
      {0, 0, 640, 480, 0}, {1, 0, 320, 240, 1}, {2, 0, 800, 600, 2}, {7, 0, 640, 480, 7},
      {2, 1, 320, 240, 1}, {2, 2, 640, 480, 0}, {1, 1, 640, 480, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "ScreenRes " << c.setting << ", " << c.refused << " refused");
    ui_.reset();
    DirectDrawResetTestState();
    ui_ = std::make_unique<CInterface>();
    ui_->SetResolution(c.setting);
    if (c.refused) DirectDrawFailNext(DDCall::SetDisplayMode, DDERR_INVALIDMODE, c.refused);
    ASSERT_TRUE(ui_->EnterFullScreen(-1));
    EXPECT_EQ(ui_->GetScreenWidth(), c.width);
    EXPECT_EQ(ui_->GetScreenHeight(), c.height);
    EXPECT_EQ(ui_->GetResolution(), c.mode);
    const DDSURFACEDESC primary = Describe(ui_->GetPrimarySurface());
    EXPECT_EQ(static_cast<int>(primary.dwWidth), c.width);
    EXPECT_EQ(primary.ddpfPixelFormat.dwRGBBitCount, 8u);
  }
}

TEST_F(DisplayModeTest, WhenEven640x480IsRefusedTheProgramEndsWithDd615) {
  GTEST_FLAG_SET(death_test_style, "fast");
  ui_ = std::make_unique<CInterface>();
  ui_->SetResolution(2);
  DirectDrawFailNext(DDCall::SetDisplayMode, DDERR_INVALIDMODE, 3);
  EXPECT_EXIT(ui_->EnterFullScreen(-1), ::testing::ExitedWithCode(1), "");
  const std::vector<uint8_t> log = ReadFileBytes(folder_.Join("data/korvane/ERROR.LOG"));
  EXPECT_NE(std::string(log.begin(), log.end()).find(" dd(615): Abnormal exit\n"), std::string::npos);
}

TEST_F(DisplayModeTest, EverySurfaceThatCantBeMadeFailsTheEntryAndNothingOfItIsKept) {
  const struct {
    DDCall call;
    int skip;
    const char* what;
  } cases[] = {
      {DDCall::CreateSurface, 0, "the flip chain"},
      {DDCall::GetAttachedSurface, 0, "its back buffer"},
      {DDCall::SetPalette, 1, "the back buffer's palette"},
      {DDCall::CreateSurface, 1, "the video surface"},
  };
  ui_ = std::make_unique<CInterface>();
  ui_->CreatePalette();
  const int before = DirectDrawLiveObjects();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DirectDrawFailNext(c.call, DDERR_OUTOFMEMORY, 1, c.skip);
    EXPECT_FALSE(ui_->EnterFullScreen(-1));
    EXPECT_FALSE(ui_->IsFullScreen());
    EXPECT_EQ(ui_->GetPrimarySurface(), nullptr);
    EXPECT_EQ(ui_->GetBackSurface(), nullptr);
    EXPECT_EQ(ui_->GetVideoSurface(), nullptr);
    EXPECT_EQ(DirectDrawLiveObjects(), before);
  }
  ASSERT_TRUE(ui_->EnterFullScreen(-1)) << "a retry starts clean";
}

TEST_F(DisplayModeTest, TheGameHasAFlipChainAndTheMenusThePrimarySurfaceAlone) {
  Make(0);
  EXPECT_TRUE(Describe(ui_->GetPrimarySurface()).ddsCaps.dwCaps & DDSCAPS_FLIP);
  ASSERT_NE(ui_->GetBackSurface(), nullptr);
  EXPECT_TRUE(ui_->IsPresentByFlip());

  ASSERT_TRUE(ui_->RecreateSurfaces(0));
  EXPECT_FALSE(Describe(ui_->GetPrimarySurface()).ddsCaps.dwCaps & DDSCAPS_FLIP);
  EXPECT_EQ(ui_->GetBackSurface(), nullptr);
  EXPECT_FALSE(ui_->IsPresentByFlip());
  ASSERT_NE(ui_->GetVideoSurface(), nullptr) << "made again";
  IDirectDrawPalette* attached = nullptr;
  ASSERT_EQ(ui_->GetPrimarySurface()->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, ui_->GetPaletteObject());
  attached->Release();

  ASSERT_TRUE(ui_->RecreateSurfaces(1));
  EXPECT_TRUE(Describe(ui_->GetBackSurface()).ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
}

TEST_F(DisplayModeTest, TheAppliedPaletteFollowsTheBrightness) {
  Make(0);
  const PALETTEENTRY* table = ui_->GetPaletteTable();
  for (const int brightness : {32, 16, 48, 64, 96}) {
    SCOPED_TRACE(brightness);
    ui_->SetBrightnessValue(brightness);
    ASSERT_TRUE(ui_->ApplyPalette());
    const PALETTEENTRY* shown = ui_->GetPaletteObject()->Entries();
    for (int i = 10; i < 246; ++i) {
      const auto expect = [&](int c) {
        if (brightness == 32) return c;
        return std::clamp(((c + 2) * brightness - 64) >> 5, 0, 255);
      };
      ASSERT_EQ(shown[i].peRed, expect(table[i].peRed)) << i;
      ASSERT_EQ(shown[i].peGreen, expect(table[i].peGreen)) << i;
      ASSERT_EQ(shown[i].peBlue, expect(table[i].peBlue)) << i;
    }
  }
  // One by hand: (100, 200, 0) at twice the neutral brightness.
  ui_->GetPaletteTable()[100] = PALETTEENTRY{100, 200, 0, 0};
  ui_->SetBrightnessValue(64);
  ASSERT_TRUE(ui_->ApplyPalette());
  const PALETTEENTRY shown = ui_->GetPaletteObject()->Entries()[100];
  EXPECT_EQ(shown.peRed, 202);
  EXPECT_EQ(shown.peGreen, 255);
  EXPECT_EQ(shown.peBlue, 2);
}

TEST_F(DisplayModeTest, TheViewSwitchesTheDisplayToTheResolutionOnlyWhenItsSizeDiffers) {
  Make(0);
  new CNetDoc();
  CNetView* view = new CNetView();
  g_pNetDoc->SetPaused(false);

  // Already 640x480: nothing, not even a palette refresh.
  IDirectDrawSurface* primary = ui_->GetPrimarySurface();
  const PALETTEENTRY before = ui_->GetPaletteObject()->Entries()[50];
  ui_->GetPaletteTable()[50].peRed ^= 0xFF;
  view->SetScreenMode(0);
  view->SetScreenMode(7);
  EXPECT_EQ(ui_->GetPrimarySurface(), primary);
  EXPECT_EQ(ui_->GetPaletteObject()->Entries()[50].peRed, before.peRed);

  const struct {
    int mode, width, height;
  } switches[] = {{1, 320, 240}, {2, 800, 600}, {0, 640, 480}};
  for (const auto& s : switches) {
    SCOPED_TRACE(s.mode);
    view->SetScreenMode(s.mode);
    EXPECT_TRUE(ui_->IsFullScreen());
    EXPECT_EQ(ui_->GetScreenWidth(), s.width);
    EXPECT_EQ(static_cast<int>(Describe(ui_->GetPrimarySurface()).dwHeight), s.height);
    EXPECT_EQ(view->GetViewRecord().width, s.width);
    EXPECT_EQ(ui_->GetPaletteObject()->Entries()[50].peRed, ui_->GetPaletteTable()[50].peRed) << "applied again";
    for (int panel = 0; panel < 4; ++panel) EXPECT_EQ(g_pNetDoc->GetHudPanelRedraw(panel), 2) << panel;
    EXPECT_FALSE(g_pNetDoc->IsPaused()) << "the guard is released";
  }
  delete view;
  delete g_pNetDoc;
}

}  // namespace
