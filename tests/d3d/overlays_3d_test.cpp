#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/texture.h"
#include "render/d3d/overlays_3d.h"
#include "tests/d3d/d3d_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/bmp_writer.h"

namespace {

class Overlays3DTest : public D3DFixture {
 protected:
  void SetUp() override {
    D3DFixture::SetUp();
    ASSERT_TRUE(SetUpBackEnd());
    for (int i = 0; i < 256; ++i) palette_.red[i] = palette_.green[i] = palette_.blue[i] = i;
  }
  // An archive holding the pictures (and a damaged member "bad.bmp").
  std::string Archive(const std::vector<std::pair<std::string, BuilderPicture>>& pictures) {
    ArchiveWriter writer;
    for (const auto& [name, picture] : pictures) writer.AddMember(name, BmpFileBytes(picture, palette_));
    std::vector<uint8_t> bad = BmpFileBytes(pictures.front().second, palette_);
    bad.resize(60);
    writer.AddMember("bad.bmp", bad);
    const std::string path = folder_.Join("INTERFC.CAN");
    EXPECT_TRUE(writer.WriteFile(path));
    return path;
  }
  static BuilderPicture Picture(int width, int height, uint8_t fill) {
    return BuilderPicture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, fill)};
  }
  // Rows and columns of the back buffer (from (0,0)) that are not black.
  void PaintedExtent(int* columns, int* rows) {
    DDSURFACEDESC desc;
    ASSERT_EQ(back_->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    *columns = *rows = 0;
    for (int y = 0; y < static_cast<int>(desc.dwHeight); ++y) {
      const auto* row = reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(desc.lpSurface) + desc.lPitch * y);
      for (int x = 0; x < static_cast<int>(desc.dwWidth); ++x) {
        if (row[x] == 0) continue;
        *columns = std::max(*columns, x + 1);
        *rows = std::max(*rows, y + 1);
      }
    }
    back_->Unlock(nullptr);
  }
  BuilderPalette palette_;
  TempFolder folder_;
};

TEST_F(Overlays3DTest, TextureOverlaysAreRoundedToFourColumns) {
  CreateTexture("!cockpit.bmp", 64, 32);
  // The store makes only power-of-two sizes; an odd width is what the
  // rounding is for.
  Texture* odd = CreateTexture("odd.bmp", 128, 32);
  odd->width = 101;
  LoadOverlayFromTexture3D(0, "!COCKPIT.BMP");
  ASSERT_NE(OverlayRecord3DAt(0)->surface, nullptr);
  EXPECT_EQ(OverlayRecord3DAt(0)->width, 64);
  EXPECT_EQ(OverlayRecord3DAt(0)->height, 32);
  LoadOverlayFromTexture3D(1, "odd.bmp");
  ASSERT_NE(OverlayRecord3DAt(1)->surface, nullptr);
  EXPECT_EQ(OverlayRecord3DAt(1)->width, 104);
  LoadOverlayFromTexture3D(2, "missing.bmp");
  EXPECT_EQ(OverlayRecord3DAt(2)->surface, nullptr);
  odd->width = 128;
}

TEST_F(Overlays3DTest, BitmapsLoadWithTheirSizeAndAKeyOnlyWhenTheyHaveIndex255) {
  BuilderPicture keyed = Picture(101, 20, 180);
  keyed.pixels[5] = 255;
  const std::string archive = Archive({{"keyed.bmp", keyed}, {"plain.bmp", Picture(21, 21, 180)}});
  ASSERT_TRUE(LoadOverlayBitmap3D(3, "keyed.bmp", archive.c_str()));
  EXPECT_EQ(OverlayRecord3DAt(3)->width, 101);
  EXPECT_EQ(OverlayRecord3DAt(3)->keyed, 1);
  ASSERT_TRUE(LoadOverlayBitmap3D(4, "plain.bmp", archive.c_str()));
  EXPECT_EQ(OverlayRecord3DAt(4)->keyed, 0);
  // Loading over an occupied index lets the old picture go first.
  ASSERT_TRUE(LoadOverlayBitmap3D(4, "keyed.bmp", archive.c_str()));
  EXPECT_EQ(OverlayRecord3DAt(4)->keyed, 1);
  EXPECT_FALSE(LoadOverlayBitmap3D(5, "bad.bmp", archive.c_str()));
  EXPECT_EQ(OverlayRecord3DAt(5)->surface, nullptr);
  EXPECT_FALSE(LoadOverlayBitmap3D(6, "none.bmp", archive.c_str()));
  EXPECT_FALSE(LoadOverlayBitmap3D(-1, "keyed.bmp", archive.c_str()));
  EXPECT_FALSE(LoadOverlayBitmap3D(kOverlayCount3D, "keyed.bmp", archive.c_str()));
  EXPECT_FALSE(LoadOverlayBitmap3D(7, "keyed.bmp", folder_.Join("NONE.CAN").c_str()));
}

TEST_F(Overlays3DTest, BlitsAreClippedToTheOverlayAndTheTarget) {
  BuilderPicture keyed = Picture(100, 40, 180);
  for (int y = 0; y < 40; ++y) keyed.pixels[static_cast<size_t>(y) * 100 + 99] = 255;  // last column see-through
  const std::string archive = Archive({{"panel.bmp", Picture(640, 322, 180)}, {"keyed.bmp", keyed}});
  ASSERT_TRUE(LoadOverlayBitmap3D(0, "panel.bmp", archive.c_str()));
  ASSERT_TRUE(LoadOverlayBitmap3D(1, "keyed.bmp", archive.c_str()));
  struct Case {
    const char* what;
    int index, x, y, left, top, right, bottom;
    int columns, rows;  // painted extent from (0, 0)
  };
  const Case cases[] = {
      {"the whole screen's rectangle copies the picture's rows only", 0, 0, 0, 0, 0, 640, 480, 640, 322},
      {"at x 600 a 100-wide picture copies 40 columns", 1, 600, 0, 0, 0, 100, 40, 640, 40},
      {"a negative position is clipped", 1, -30, -10, 0, 0, 100, 40, 69, 30},
  };
  for (const Case& c : cases) {
    DDBLTFX black;
    ASSERT_EQ(back_->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &black), DD_OK);
    BlitOverlayBitmap3D(c.x, c.y, c.left, c.top, c.right, c.bottom, c.index, back_);
    int columns = 0, rows = 0;
    PaintedExtent(&columns, &rows);
    EXPECT_EQ(columns, c.columns) << c.what;
    EXPECT_EQ(rows, c.rows) << c.what;
  }
}

}  // namespace
