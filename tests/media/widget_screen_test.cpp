// A small menu screen drawn by the real widgets into the interface bitmap,
// compared pixel for pixel with a reference drawn here independently from the
// same pictures, rectangles and glyph cells. The screen is also written to
// the build tree ("frames/widget_screen.bmp") for looking at.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/records.h"
#include "media/back_buffer_access.h"
#include "media/bitmap_font.h"
#include "media/interface_display.h"
#include "media/media_services.h"
#include "media/picture.h"
#include "media/picture_button.h"
#include "media/rect8.h"
#include "media/text_box.h"
#include "tests/media/picture_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/bmp_writer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 6;

// The pictures, each a function of its own coordinates.
int Background(int x, int y) { return 10 + (x / 16 + y / 16) % 30; }
int ButtonState(int state, int x, int y) { return x == 0 || y == 0 ? 240 : 100 + state * 10 + (x + y) % 3; }
int Knob(int position, int x, int) { return x / 12 == position ? 200 : 50; }
int Cursor(int x, int y) { return (x == 5 || y == 5) ? 245 : kPictureColourKey; }
// Glyph g of the font sheet; some pixels of every glyph are the key.
int Glyph(int g, int cx, int row) { return (cx + row + g) % 3 == 0 ? kPictureColourKey : 20 + g; }

// The reference screen and the ways it is drawn on.
struct Reference {
  std::vector<uint8_t> pixels = std::vector<uint8_t>(kWidth * kHeight, 109);

  void Set(int x, int y, int colour) {
    if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) pixels[y * kWidth + x] = static_cast<uint8_t>(colour);
  }
  template <class F>
  void Picture(int left, int top, int w, int h, bool keyed, F f) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (!keyed || f(x, y) != kPictureColourKey) Set(left + x, top + y, f(x, y));
  }
  void Rect(int x1, int y1, int x2, int y2, int colour, bool frameOnly) {
    for (int y = y1; y < y2; ++y)
      for (int x = x1; x < x2; ++x)
        if (!frameOnly || x == x1 || x == x2 - 1 || y == y1 || y == y2 - 1) Set(x, y, colour);
  }
  // Text: cell by cell while the next cell ends left of the right edge;
  // colour < 0 copies the glyph (keyed or not), else paints its ink.
  void Text(const char* text, int left, int top, bool keyed, int colour) {
    for (int i = 0; text[i] && left + (i + 1) * kGlyphWidth < kWidth; ++i) {
      const int g = CBitmapFont::GlyphIndex(text[i]);
      for (int row = 0; row < kGlyphHeight; ++row) {
        for (int cx = 0; cx < kGlyphWidth; ++cx) {
          const int pixel = Glyph(g, cx, row);
          if (pixel == kPictureColourKey && (keyed || colour >= 0)) continue;
          Set(left + i * kGlyphWidth + cx, top + row, colour >= 0 ? colour : pixel);
        }
      }
    }
  }
};

class WidgetScreenTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    display_->Enter(window_.m_hWnd);
    display_->SetMenuActive(true);
    const BuilderPalette palette = MakeDemoPalette();
    ArchiveWriter archive;
    auto add = [&](const std::string& name, const BuilderPicture& picture) {
      ASSERT_TRUE(archive.AddMember(name, BmpFileBytes(picture, palette)));
    };
    add("back.bmp", MakePicture(kWidth, kHeight, Background));
    for (int s = 0; s < 4; ++s) add("btn" + std::to_string(s) + ".bmp", MakePicture(40, 16, [s](int x, int y) {
                                      return ButtonState(s, x, y);
                                    }));
    for (int p = 0; p < 10; ++p) add("sli" + std::to_string(p) + ".bmp", MakePicture(126, 10, [p](int x, int y) {
                                       return Knob(p, x, y);
                                     }));
    add("cursor.bmp", MakePicture(11, 11, Cursor));
    add("FONT_MD.BMP", MakePicture(65 * kGlyphWidth, kGlyphHeight, [](int x, int y) {
          return Glyph(x / kGlyphWidth, x % kGlyphWidth, y);
        }));
    ASSERT_TRUE(archive.WriteFile(temp_.Join("INTERFC.CAN")));
  }

  TempFolder temp_;
};

}  // namespace

TEST_F(WidgetScreenTest, TheWidgetsDrawExactlyTheReferenceScreen) {
  ScopedCurrentFolder folder(temp_.Path());
  g_BlackColour = 109;
  {
    CPicture background("back.bmp", "INTERFC.CAN");
    background.DrawAt(0, 0);
    CPictureButton button;
    button.Load(100, 50, "btn", "INTERFC.CAN");
    button.SetMouse(110, 55);
    button.SetState(false);  // under the mouse: state 2
    CPictureButton latched;
    latched.Load(100, 80, "btn", "INTERFC.CAN");
    latched.SetLatch(true);
    latched.Draw();  // pressed: state 3
    CPictureSlider slider;
    slider.Load(300, 200, "sli", "INTERFC.CAN");
    slider.SetFraction(0.5f);
    slider.Draw();
    CTextBox box(200, 300, "choice");
    box.SetMouse(205, 302);
    box.Draw();
    CBitmapFont font;
    font.SetGlyphWidth(kGlyphWidth);
    font.Load("FONT_MD.BMP", "INTERFC.CAN");
    font.DrawTextColour("hud 42", 20, 400, 200);
    font.DrawText("Edge!", 608, 10, true);  // only the first three cells fit
    font.DrawText("low", 30, 476, false);   // cut at the bottom
    FillRect8(460, 130, 400, 100, 150);
    FrameRect8(398, 98, 462, 132, 237);
    CPicture cursor("cursor.bmp", "INTERFC.CAN");
    cursor.Draw(500, 240, true);
    cursor.Draw(-5, 475, true);  // in the corner, mostly off the screen
  }

  Reference ref;
  ref.Picture(0, 0, kWidth, kHeight, false, Background);
  ref.Picture(100, 50, 40, 16, false, [](int x, int y) { return ButtonState(2, x, y); });
  ref.Picture(100, 80, 40, 16, false, [](int x, int y) { return ButtonState(3, x, y); });
  ref.Picture(300, 200, 126, 10, false, [](int x, int y) { return Knob(4, x, y); });
  ref.Text("CHOICE", 200, 300, false, -1);
  ref.Rect(199, 299, 200 + 6 * 8 + 1, 300 + kGlyphHeight + 1, 237, true);
  ref.Text("HUD 42", 20, 400, false, 200);
  ref.Text("EDGE!", 608, 10, true, -1);
  ref.Text("LOW", 30, 476, false, -1);
  ref.Rect(400, 100, 460, 130, 150, false);
  ref.Rect(398, 98, 462, 132, 237, true);
  ref.Picture(500, 240, 11, 11, true, Cursor);
  ref.Picture(-5, 475, 11, 11, true, Cursor);

  const uint8_t* screen = display_->GetBackBufferBits();
  ASSERT_NE(screen, nullptr);
  const std::string frames = std::string(KORVANE_BINARY_DIR) + "/frames";
  std::filesystem::create_directories(frames);
  BuilderPicture shot{kWidth, kHeight, std::vector<uint8_t>(screen, screen + kWidth * kHeight)};
  WriteBytesToFile(frames + "/widget_screen.bmp", BmpFileBytes(shot, MakeDemoPalette()));

  int differences = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (screen[y * kWidth + x] != ref.pixels[y * kWidth + x] && differences++ < 5) {
        ADD_FAILURE() << "(" << x << ", " << y << "): " << int{screen[y * kWidth + x]} << ", reference "
                      << int{ref.pixels[y * kWidth + x]};
      }
    }
  }
  EXPECT_EQ(differences, 0);
  // What was drawn went on to the screen: the filled rectangle shows there in
  // its palette colour (the bitmap's colours came from the pictures).
  DDSURFACEDESC desc;
  ASSERT_EQ(display_->GetPrimarySurface()->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
  const auto* p = static_cast<const uint8_t*>(desc.lpSurface) + 110 * desc.lPitch + 430 * 2;
  const uint32_t shown = p[0] | (p[1] << 8);
  display_->GetPrimarySurface()->Unlock(nullptr);
  const BuilderPalette palette = MakeDemoPalette();
  EXPECT_EQ(shown, static_cast<uint32_t>(((palette.red[150] >> 3) << 11) | ((palette.green[150] >> 2) << 5) |
                                         (palette.blue[150] >> 3)));
}
