// What the HUD's drawing tests share: a document and an interface drawing
// into a 2-D target of each resolution (rows longer than the width, as
// korvanesw's screen gives them), a small-font sheet whose every pixel the
// tests know, and the demo palette for the colour searches.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/palette.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "media/back_buffer_access.h"
#include "media/interface_display.h"
#include "platform/display.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/bmp_writer.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/palette_builder.h"

// The small font's sheet made here so that every glyph pixel is known: in
// cell g, column c and row r hold colour 20 + g where (c + r) % 3 == 0, the
// colour key elsewhere.
inline constexpr int kGlyphWidth = 6;
inline constexpr int kGlyphHeight = 8;
inline int SheetPixel(int glyph, int column, int row) { return (column + row) % 3 == 0 ? 20 + glyph : 109; }

inline std::vector<uint8_t> PatternFontSheet() {
  BuilderPicture sheet;
  sheet.width = 65 * kGlyphWidth;
  sheet.height = kGlyphHeight;
  for (int row = 0; row < kGlyphHeight; ++row) {
    for (int column = 0; column < sheet.width; ++column) {
      sheet.pixels.push_back(static_cast<uint8_t>(SheetPixel(column / kGlyphWidth, column % kGlyphWidth, row)));
    }
  }
  return BmpFileBytes(sheet, MakeDemoPalette());
}

class HudDrawTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    ArchiveWriter full;
    std::string error;
    ASSERT_TRUE(AddDemoInterface(&full, &error)) << error;
    ArchiveWriter archive = ArchiveWithout(full, "FONT_SM.BMP");
    archive.AddMember("FONT_SM.BMP", PatternFontSheet());
    ASSERT_TRUE(archive.WriteFile(folder_.Join("INTERFC.CAN")));
    savedBlack_ = g_BlackColour;
  }
  void TearDown() override {
    BackBufferSourceInstall(nullptr);
    delete view_;
    view_ = nullptr;
    g_BlackColour = savedBlack_;
    DocumentTest::TearDown();
  }
  // The 2-D target of a resolution index as korvanesw gives it: the
  // screen's size, rows longer than the width.
  static void UseTarget(int resolution) {
    static const int sizes[][2] = {{640, 480}, {320, 240}, {800, 600}};
    target_.width = sizes[resolution][0];
    target_.height = sizes[resolution][1];
    target_.pitch = target_.width + 16;
    pixels_.assign(static_cast<size_t>(target_.pitch) * target_.height, 0);
    target_.bits = pixels_.data();
    BackBufferSourceInstall(&source_);
  }
  static bool Acquire(BackBufferTarget* target) {
    *target = target_;
    return true;
  }
  static void Release() {}
  static int Pixel(int x, int y) {
    CBackBufferAccess access;
    if (x < 0 || y < 0 || x >= access.Width() || y >= access.Height()) {
      ADD_FAILURE() << "outside the target: " << x << "," << y;
      return -1;
    }
    return access.Bits()[y * access.Pitch() + x];
  }
  static void Clear(int colour) {
    CBackBufferAccess access;
    access.FillRect(0, 0, access.Width(), access.Height(), static_cast<unsigned char>(colour));
  }
  // The demo palette in the engine's tables (the colour searches read them).
  void UseDemoPalette() {
    palette_ = MakeDemoPalette();
    g_PaletteCount = palette_.count;
    for (int i = 0; i < 256; ++i) {
      g_PaletteRed[i] = palette_.red[i];
      g_PaletteGreen[i] = palette_.green[i];
      g_PaletteBlue[i] = palette_.blue[i];
    }
    PaletteClearCaches();
  }
  // With KORVANE_VIEW_FRAMES set, the target in the demo palette as a PNG
  // there, to be looked at.
  void SaveTarget(const std::string& name) {
    const char* dir = std::getenv("KORVANE_VIEW_FRAMES");
    if (!dir) return;
    CBackBufferAccess access;
    RgbFrame frame;
    frame.width = access.Width();
    frame.height = access.Height();
    frame.rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width; ++x) {
        const int index = access.Bits()[y * access.Pitch() + x];
        const size_t at = (static_cast<size_t>(y) * frame.width + x) * 3;
        frame.rgb[at] = static_cast<uint8_t>(palette_.red[index]);
        frame.rgb[at + 1] = static_cast<uint8_t>(palette_.green[index]);
        frame.rgb[at + 2] = static_cast<uint8_t>(palette_.blue[index]);
      }
    }
    EXPECT_TRUE(RgbFrameWritePng(frame, (std::string(dir) + "/" + name).c_str()));
  }
  // The view's rectangles from index first on.
  std::vector<std::vector<int>> DirtyRects(int first = 0) const {
    std::vector<std::vector<int>> rects;
    for (int i = first; view_ && i < view_->GetDirtyRectCount(); ++i) {
      const DirtyRect& r = view_->GetDirtyRect(i);
      rects.push_back({r.left, r.top, r.right, r.bottom});
    }
    return rects;
  }

  CNetView* view_ = nullptr;
  unsigned char savedBlack_ = 0;
  BuilderPalette palette_ = MakeDemoPalette();
  static inline BackBufferTarget target_;
  static inline std::vector<uint8_t> pixels_;
  static inline BackBufferSource source_{Acquire, Release};
};
