// The interface manager's display: the 2-D bitmap and its access object,
// copies to the screen, the palette with its brightness, lost surfaces.
#include "media/interface_display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "media/back_buffer_access.h"
#include "platform/framework/window_manager.h"
#include "tests/media/display_fixture.h"

namespace {

// The 16-bit (5-6-5) value of a colour.
uint32_t Rgb565(int r, int g, int b) { return static_cast<uint32_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); }

uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y) {
  DDSURFACEDESC desc;
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
  const auto* p = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * 2;
  const uint32_t value = p[0] | (p[1] << 8);
  surface->Unlock(nullptr);
  return value;
}

}  // namespace

TEST(BackBufferAccess, WithoutAnInterfaceThereIsNothingToDrawOn) {
  unsigned char* bits = reinterpret_cast<unsigned char*>(1);
  int pitch = -1;
  CBackBufferAccess access(&bits, &pitch);
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(pitch, 0);
  access.FillRect(0, 0, 10, 10, 1);  // harmless
}

TEST_F(DisplayTest, TheFirstDrawingMakesTheBitmapFilledWithTheBackgroundColour) {
  EXPECT_EQ(display_->GetBackBufferBits(), nullptr);
  {
    CBackBufferAccess access;
    ASSERT_NE(access.Bits(), nullptr);
    EXPECT_EQ(access.Pitch(), 640);
    EXPECT_EQ(access.Width(), 640);
    EXPECT_EQ(access.Height(), 480);
    EXPECT_EQ(access.Bits()[0], 109);
    EXPECT_EQ(access.Bits()[640 * 480 - 1], 109);
  }
  EXPECT_NE(display_->GetBackBufferBits(), nullptr);
}

TEST_F(DisplayTest, AfterALevelLoadTheBitmapIsFilledWithTheIndexNearestBlack) {
  g_BlackColour = 17;  // as the level load sets it
  CBackBufferAccess access;
  ASSERT_NE(access.Bits(), nullptr);
  EXPECT_EQ(access.Bits()[12345], 17);
  access.Bits()[12345] = 3;
  display_->ClearBackBuffer();
  EXPECT_EQ(access.Bits()[12345], 17);
}

TEST_F(DisplayTest, FillRectSwapsReversedCornersAndClipsToTheTarget) {
  CBackBufferAccess access;
  access.FillRect(50, 40, 10, 20, 7);
  EXPECT_EQ(access.Bits()[20 * 640 + 10], 7);
  EXPECT_EQ(access.Bits()[39 * 640 + 49], 7);
  EXPECT_EQ(access.Bits()[40 * 640 + 49], 109) << "the bottom edge is excluded";
  EXPECT_EQ(access.Bits()[39 * 640 + 50], 109) << "the right edge is excluded";
  access.FillRect(-5, -5, 700, 500, 8);
  EXPECT_EQ(access.Bits()[0], 8);
  EXPECT_EQ(access.Bits()[640 * 480 - 1], 8);
}

TEST_F(DisplayTest, AnInstalledSourceGivesItsOwnPitchAndSize) {
  static std::vector<unsigned char> screen;
  static int released;
  screen.assign(40 * 10, 0);
  released = 0;
  static const BackBufferSource source{[](BackBufferTarget* target) {
                                         target->bits = screen.data();
                                         target->pitch = 40;
                                         target->width = 32;
                                         target->height = 10;
                                         return true;
                                       },
                                       [] { ++released; }};
  BackBufferSourceInstall(&source);
  {
    CBackBufferAccess access;
    EXPECT_EQ(access.Width(), 32);
    access.FillRect(0, 0, 100, 100, 5);
  }
  BackBufferSourceInstall(nullptr);
  EXPECT_EQ(released, 1);
  EXPECT_EQ(screen[31], 5);
  EXPECT_EQ(screen[32], 0) << "the columns past the width are left alone";
  EXPECT_EQ(screen[9 * 40 + 31], 5);
  EXPECT_EQ(display_->GetBackBufferBits(), nullptr) << "the interface bitmap was not touched";
}

TEST_F(DisplayTest, BlitRectCopiesOnlyInAMenuOrWhileDrawingDirectly) {
  display_->Enter(window_.m_hWnd);
  // The bitmap's colours come from the palette table when it is made.
  PALETTEENTRY table[256];
  table[109] = PALETTEENTRY{0, 0, 0, 0};
  table[200] = PALETTEENTRY{248, 0, 0, 0};
  display_->SetPaletteEntries(table);
  {
    CBackBufferAccess access;
    access.FillRect(100, 50, 120, 60, 200);
  }
  EXPECT_FALSE(display_->BlitRect(100, 50, 20, 10));
  EXPECT_EQ(PixelAt(display_->GetPrimarySurface(), 105, 55), 0u);

  display_->SetMenuActive(true);
  EXPECT_TRUE(display_->BlitRect(100, 50, 10, 10));
  EXPECT_EQ(PixelAt(display_->GetPrimarySurface(), 105, 55), Rgb565(248, 0, 0));
  EXPECT_EQ(PixelAt(display_->GetPrimarySurface(), 115, 55), 0u) << "only the rectangle is copied";
  display_->SetMenuActive(false);
  display_->SetDirectDrawing(true);
  EXPECT_TRUE(display_->BlitRect(110, 50, 10, 10));
  EXPECT_EQ(PixelAt(display_->GetPrimarySurface(), 115, 55), Rgb565(248, 0, 0));
}

TEST_F(DisplayTest, BlitRectWithoutAPrimarySurfaceCopiesNothing) {
  display_->SetMenuActive(true);
  CBackBufferAccess access;
  EXPECT_FALSE(display_->BlitRect(0, 0, 640, 480));
}

namespace {

// Entry i's colour after ApplyPalette at a brightness, all three channels
// set to c in the table.
class BrightnessTest : public DisplayTest {
 protected:
  std::vector<int> Applied(int brightness, const std::vector<int>& components) {
    display_->Enter(window_.m_hWnd, 640, 480, 8);
    PALETTEENTRY table[256];
    for (size_t i = 0; i < components.size(); ++i) {
      const BYTE c = static_cast<BYTE>(components[i]);
      table[10 + i] = PALETTEENTRY{c, c, c, 0};
    }
    table[5] = PALETTEENTRY{77, 77, 77, 0};
    table[250] = PALETTEENTRY{77, 77, 77, 0};
    display_->SetPaletteEntries(table);
    display_->CreatePalette();
    // The palette object starts from the table; make 5 and 250 differ to see
    // that ApplyPalette never sets them.
    const PALETTEENTRY marker{1, 1, 1, 0};
    display_->GetPaletteObject()->SetEntries(0, 5, 1, &marker);
    display_->GetPaletteObject()->SetEntries(0, 250, 1, &marker);
    display_->SetBrightnessRaw(brightness);
    EXPECT_TRUE(display_->ApplyPalette());
    PALETTEENTRY applied[256];
    display_->GetPaletteObject()->GetEntries(0, 0, 256, applied);
    EXPECT_EQ(applied[5].peRed, 1);
    EXPECT_EQ(applied[250].peRed, 1);
    std::vector<int> out;
    for (size_t i = 0; i < components.size(); ++i) {
      EXPECT_EQ(applied[10 + i].peRed, applied[10 + i].peBlue);
      out.push_back(applied[10 + i].peGreen);
    }
    return out;
  }
};

}  // namespace

TEST_F(BrightnessTest, NeutralLeavesTheGameColoursAsTheyAre) {
  EXPECT_EQ(Applied(32, {0, 62, 84, 255}), (std::vector<int>{0, 62, 84, 255}));
}

TEST_F(BrightnessTest, TheBrightestSettingLiftsDarkColoursAndSaturates) {
  EXPECT_EQ(Applied(96, {0, 62, 83, 84, 255}), (std::vector<int>{4, 190, 253, 255, 255}));
}

TEST_F(BrightnessTest, BrightnessZeroMakesEveryGameColourBlack) {
  EXPECT_EQ(Applied(0, {0, 62, 255}), (std::vector<int>{0, 0, 0}));
}

TEST_F(DisplayTest, ApplyPaletteNeedsAPaletteObjectAndAPrimarySurface) {
  EXPECT_TRUE(display_->ApplyPalette()) << "nothing to do without a palette object";
  display_->Enter(window_.m_hWnd, 640, 480, 8);
  display_->CreatePalette();
  ASSERT_FALSE(display_->IsPaletteMissing());
  IDirectDrawPalette* attached = nullptr;
  EXPECT_TRUE(display_->ApplyPalette());
  ASSERT_EQ(display_->GetPrimarySurface()->GetPalette(&attached), DD_OK);
  EXPECT_EQ(attached, display_->GetPaletteObject());
  attached->Release();
  display_->ReleaseSurfaces(false);
  EXPECT_FALSE(display_->ApplyPalette());
  display_->ReleasePalette();
  EXPECT_TRUE(display_->IsPaletteMissing());
}

namespace {
class PaintCounter : public CWnd {
 public:
  int paints = 0;

 protected:
  void OnPaint() override {
    ++paints;
    CPaintDC dc(this);
  }
};
}  // namespace

TEST_F(DisplayTest, ALostSurfaceIsRestoredAndARestoredPrimaryRedrawsTheWindow) {
  PaintCounter painted;
  ASSERT_TRUE(painted.CreateEx(0, nullptr, "painted", WS_POPUP, 0, 0, 640, 480, nullptr, 0));
  painted.ShowWindow(SW_SHOW);
  painted.ValidateRect(nullptr);
  display_->Enter(painted.m_hWnd);
  display_->SetDisplayWindow(painted.m_hWnd);
  DirectDrawLoseSurfaces();
  EXPECT_TRUE(display_->RestoreSurfaces(false)) << "a frame does not look for lost surfaces by itself";
  EXPECT_EQ(display_->GetPrimarySurface()->IsLost(), DDERR_SURFACELOST);

  // Activation checks: the restore fails once and is retried by the next
  // frame.
  DirectDrawFailNext(DDCall::Restore, DDERR_GENERIC);
  EXPECT_FALSE(display_->RestoreSurfaces(true));
  EXPECT_EQ(display_->GetPrimarySurface()->IsLost(), DDERR_SURFACELOST);
  EXPECT_EQ(painted.paints, 0);
  EXPECT_TRUE(display_->RestoreSurfaces(false));
  EXPECT_EQ(display_->GetPrimarySurface()->IsLost(), DD_OK);
  EXPECT_EQ(display_->GetBackSurface()->IsLost(), DD_OK);
  EXPECT_EQ(painted.paints, 1);
  EXPECT_TRUE(display_->RestoreSurfaces(true)) << "nothing lost: nothing to do";
  EXPECT_EQ(painted.paints, 1);
  display_->SetDisplayWindow(nullptr);
  painted.DestroyWindow();
}

TEST_F(DisplayTest, ClearSurfacesFillsBothWithColourZero) {
  display_->Enter(window_.m_hWnd);
  DDBLTFX fx;
  fx.dwFillColor = 0xFFFF;
  display_->GetPrimarySurface()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  display_->GetBackSurface()->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
  EXPECT_TRUE(display_->ClearSurfaces());
  EXPECT_EQ(PixelAt(display_->GetPrimarySurface(), 639, 479), 0u);
  EXPECT_EQ(PixelAt(display_->GetBackSurface(), 0, 0), 0u);
  EXPECT_TRUE(display_->ClearSurface(nullptr));
}
