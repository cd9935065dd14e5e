// korvanesw's line crosshair: four green arms round the view's centre with
// the hole in the middle, and the red brackets round the target marker only
// while the autocannon is selected; within the screen at every size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/palette.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "tests/softbuild/softbuild_fixture.h"

namespace {

constexpr uint8_t kGreen = 60;  // (0, 190, 0): the nearest to (0, 200, 0)
constexpr uint8_t kRed = 70;    // (250, 0, 0)

class CrosshairTest : public SoftbuildTest {
 protected:
  void SetUp() override {
    SoftbuildTest::SetUp();
    // An engine palette of greys with one green and one red, and a decoy
    // green farther from (0, 200, 0) at a lower index.
    PaletteReset();
    g_PaletteCount = 256;
    for (int i = 0; i < 256; ++i) g_PaletteRed[i] = g_PaletteGreen[i] = g_PaletteBlue[i] = 128;
    g_PaletteRed[kGreen] = 0, g_PaletteGreen[kGreen] = 190, g_PaletteBlue[kGreen] = 0;
    g_PaletteRed[40] = 0, g_PaletteGreen[40] = 140, g_PaletteBlue[40] = 0;
    g_PaletteRed[kRed] = 250, g_PaletteGreen[kRed] = 0, g_PaletteBlue[kRed] = 0;
    PaletteClearCaches();
  }
  void TearDown() override {
    delete view_;
    delete g_pNetDoc;
    PaletteReset();
    SoftbuildTest::TearDown();
  }
  void MakeView(int mode) {
    Make(mode);
    new CNetDoc();
    view_ = new CNetView();
    view_->ResizeBuffers(ui_->GetScreenWidth(), ui_->GetScreenHeight());
    ui_->SetCockpitShown(false);
  }
  std::vector<uint8_t> Draw() {
    FillScreen(0, ui_->GetBackSurface());
    view_->DrawCrosshair();
    return Screen(ui_->GetBackSurface());
  }

  CNetView* view_ = nullptr;
};

// The pixels of colour in the picture, as (x, y) pairs.
std::vector<std::pair<int, int>> PixelsOf(const std::vector<uint8_t>& picture, int width, uint8_t colour) {
  std::vector<std::pair<int, int>> out;
  for (size_t i = 0; i < picture.size(); ++i)
    if (picture[i] == colour) out.emplace_back(static_cast<int>(i) % width, static_cast<int>(i) / width);
  return out;
}

TEST_F(CrosshairTest, FourArmsRoundTheCentreWithTheHoleLeftEmpty) {
  const struct {
    int mode, width, height, reach, arm;
  } cases[] = {{0, 640, 480, 10, 5}, {1, 320, 240, 6, 3}, {2, 800, 600, 10, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    delete view_;
    delete g_pNetDoc;
    ui_.reset();
    DirectDrawResetTestState();
    MakeView(c.mode);
    const std::vector<uint8_t> picture = Draw();
    const int cx = c.width / 2;
    const int cy = c.height / 2;
    std::vector<std::pair<int, int>> expected;
    for (int d = c.reach - c.arm; d <= c.reach - 1; ++d) {
      expected.emplace_back(cx - d, cy);
      expected.emplace_back(cx + d, cy);
      expected.emplace_back(cx, cy - d);
      expected.emplace_back(cx, cy + d);
    }
    std::sort(expected.begin(), expected.end());
    std::vector<std::pair<int, int>> green = PixelsOf(picture, c.width, kGreen);
    std::sort(green.begin(), green.end());
    EXPECT_EQ(green, expected);
    EXPECT_EQ(static_cast<int>(green.size()), 4 * c.arm);
    EXPECT_EQ(picture[static_cast<size_t>(cy) * c.width + cx], 0) << "the centre is empty";
    EXPECT_TRUE(PixelsOf(picture, c.width, kRed).empty()) << "no brackets without the autocannon";
  }
}

TEST_F(CrosshairTest, BracketsOnlyWithTheAutocannonAroundTheMarker) {
  MakeView(0);
  g_pNetDoc->SetSelectedGunBits(2);  // the plasma coil
  EXPECT_TRUE(PixelsOf(Draw(), 640, kRed).empty());

  g_pNetDoc->SetSelectedGunBits(1);
  // No marker placed: round the centre, and the marker is placed there.
  g_pNetDoc->PlaceTargetMarker(0, 0, false);
  std::vector<std::pair<int, int>> red = PixelsOf(Draw(), 640, kRed);
  EXPECT_EQ(red.size(), 8u * 4u);
  for (const auto& [x, y] : red) {
    EXPECT_TRUE(std::abs(x - 320) == 10 || std::abs(y - 240) == 10) << x << "," << y;
    EXPECT_GE(std::max(std::abs(x - 320), std::abs(y - 240)), 10);
  }
  EXPECT_TRUE(g_pNetDoc->IsTargetMarkerValid());

  // A marker auto-aim placed, the fire key held: the brackets follow it and
  // it stays for the next frame.
  g_pNetDoc->PlaceTargetMarker(100, 50, true);
  g_pNetDoc->SetFireHeld(1);
  std::vector<uint8_t> picture = Draw();
  EXPECT_EQ(picture[(50 - 10) * 640 + (100 - 10 + 1)], kRed) << "top-left, horizontal";
  EXPECT_EQ(picture[(50 - 10 + 4) * 640 + (100 - 10)], kRed) << "top-left, vertical";
  EXPECT_EQ(picture[(50 - 10) * 640 + (100 - 10)], 0) << "the corner itself";
  EXPECT_EQ(picture[(50 + 10) * 640 + (100 + 10 - 4)], kRed) << "bottom-right, horizontal";
  EXPECT_EQ(picture[(50 - 10) * 640 + (100 - 10 + 5)], 0) << "four pixels long";
  EXPECT_TRUE(g_pNetDoc->IsTargetMarkerValid());
  // The fire key up: drawn there once more, then the marker is let go.
  g_pNetDoc->SetFireHeld(0);
  EXPECT_EQ(Draw()[(50 - 10) * 640 + (100 - 9)], kRed);
  EXPECT_FALSE(g_pNetDoc->IsTargetMarkerValid());
}

TEST_F(CrosshairTest, NothingInTheChaseViewAndNothingOffTheScreen) {
  MakeView(1);
  g_pNetDoc->SetSelectedGunBits(1);
  g_pNetDoc->SetExternalViewFlag(true);
  std::vector<uint8_t> picture = Draw();
  EXPECT_EQ(Count(picture, 0), 320 * 240);
  g_pNetDoc->SetExternalViewFlag(false);

  // A view record larger than the screen and a marker in the corner: only
  // what lies on the 320x240 screen is drawn.
  view_->ResizeBuffers(800, 600);
  g_pNetDoc->PlaceTargetMarker(318, 238, true);
  picture = Draw();
  EXPECT_EQ(picture.size(), 320u * 240u);
  EXPECT_FALSE(PixelsOf(picture, 320, kRed).empty());
  EXPECT_FALSE(PixelsOf(picture, 320, kGreen).empty());
}

}  // namespace
