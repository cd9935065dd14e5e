// korvanesw's burn-out and exit fire: how they end (the queue empty, the
// flames off the top, Space), the fade table built once, and the fire kept
// within the screen at every size.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/clock.h"
#include "platform/direct_draw.h"
#include "softbuild/burn_effects.h"
#include "tests/softbuild/softbuild_fixture.h"

namespace {

class BurnTest : public SoftbuildTest {
 protected:
  void SetUp() override {
    SoftbuildTest::SetUp();
    FadeTableForget();
  }
  // The menus draw on the primary surface alone, as when the main menu
  // first opens over the title.
  void MakeMenuScreen(int mode = 0) {
    Make(mode);
    ASSERT_TRUE(ui_->RecreateSurfaces(0));
  }
};

TEST_F(BurnTest, TheBurnOutEatsTheTitleAwayAndBuildsTheFadeTableOnce) {
  MakeMenuScreen();
  FillScreen(100);
  const uint32_t start = timeGetTime();
  ui_->PlayBurnOut();
  EXPECT_GT(g_LastEffectPasses, 50);
  EXPECT_GE(timeGetTime() - start, static_cast<uint32_t>(g_LastEffectPasses / kBurnOutPassesPerMs - 1))
      << "two passes a millisecond at most";
  EXPECT_EQ(Count(Screen(), 0), 640 * 480);
  ASSERT_TRUE(FadeTableIsBuilt());
  for (int level = 0; level < kFadeLevels; ++level) {
    EXPECT_EQ(g_FadeTable[5][level], 0) << "system colours have no entries";
    const int shade = g_FadeTable[100][level];
    ASSERT_GE(shade, 10);
    ASSERT_LE(shade, 245);
    EXPECT_NE(shade, 100);
  }

  // A second burn-out keeps the table, even over another palette.
  uint8_t before[256][kFadeLevels];
  std::memcpy(before, g_FadeTable, sizeof before);
  ui_->GetPaletteTable()[100] = PALETTEENTRY{1, 2, 3, 0};
  FillScreen(100);
  ui_->PlayBurnOut();
  EXPECT_EQ(std::memcmp(before, g_FadeTable, sizeof before), 0);
}

TEST_F(BurnTest, ASystemColourAtTheCentreEndsTheBurnOutAtOnce) {
  MakeMenuScreen();
  FillScreen(250);
  ui_->PlayBurnOut();
  EXPECT_EQ(g_LastEffectPasses, 1);
  EXPECT_EQ(Count(Screen(), 0), 640 * 480);
}

TEST_F(BurnTest, SpaceEndsTheBurnOutAndTheFire) {
  InstallScript("200 press SPACE\n");
  MakeMenuScreen();
  FillScreen(100);
  ui_->PlayBurnOut();
  EXPECT_EQ(g_LastEffectPasses % 50, 0) << "stopped at a Space test";
  EXPECT_LT(g_LastEffectPasses, 2 * 250 + 50) << "two passes a millisecond";
  EXPECT_EQ(Count(Screen(), 0), 640 * 480) << "the burn-out still ends black";

  // Space held down: the fire stops at its 30th pass, half burnt.
  ui_.reset();
  DirectDrawResetTestState();
  InstallScript("0 key SPACE down\n");
  MakeMenuScreen();
  FillScreen(100);
  ui_->PlayExitFire();
  EXPECT_EQ(g_LastEffectPasses, 30);
  const std::vector<uint8_t> screen = Screen();
  EXPECT_GT(Count(screen, 100), 0) << "the picture is left as it was";
}

TEST_F(BurnTest, TheFireRisesOffTheTopAtItsOwnPaceWithinEveryScreenSize) {
  for (const int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    ui_.reset();
    DirectDrawResetTestState();
    MakeMenuScreen(mode);
    FillScreen(100);
    const uint32_t start = timeGetTime();
    ui_->PlayExitFire();
    const int passes = g_LastEffectPasses;
    EXPECT_GT(passes, 37) << "the flames rise only after 37 passes";
    EXPECT_GE(timeGetTime() - start, static_cast<uint32_t>(passes - 1) * kExitFirePassMs);
    const std::vector<uint8_t> screen = Screen();
    // Black where the flames have passed, flame colours 167..187 left at the
    // top, nothing else drawn.
    int flames = 0;
    for (uint8_t p : screen) {
      ASSERT_TRUE(p == 0 || p == 100 || (p >= 167 && p <= 187)) << int(p);
      flames += p >= 167 && p <= 187;
    }
    EXPECT_GT(Count(screen, 0), static_cast<int>(screen.size()) / 2);
    EXPECT_GT(flames, 0);
  }
}

TEST_F(BurnTest, TheFirstMainMenuBurnsTheTitleAway) {
  MakeMenuScreen();
  FillScreen(100);
  variant_.MenuOpening(*ui_, false, false);
  EXPECT_FALSE(FadeTableIsBuilt());
  EXPECT_EQ(Count(Screen(), 100), 640 * 480);
  variant_.MenuOpening(*ui_, true, false);
  EXPECT_TRUE(FadeTableIsBuilt());
  EXPECT_EQ(Count(Screen(), 0), 640 * 480);
}

}  // namespace
