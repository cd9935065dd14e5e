// korvanesw's bitmap texture loader: the stretch to power-of-two sides, the
// palette the first bitmap brings, the colour remap, the previews, the
// shared texture of a name, and every header field checked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/name_hash.h"
#include "engine/palette.h"
#include "engine/texture.h"
#include "softbuild/bitmap_texture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/bmp_writer.h"
#include "tools/builder/demo_cockpit.h"

namespace {

constexpr uint8_t kLeft = 20;
constexpr uint8_t kRight = 130;
constexpr uint8_t kBottom = 200;

class BitmapTextureTest : public ::testing::Test {
 protected:
  BitmapTextureTest() : here_(folder_.Path()) {}
  void SetUp() override {
    FreeAllTextures();
    PaletteReset();
    palette_ = MakeDemoPalette();
  }
  void TearDown() override {
    FreeAllTextures();
    PaletteReset();
  }

  // A w x h picture: the left half kLeft, the right half kRight, and its
  // bottom row kBottom.
  static BuilderPicture Halves(int w, int h) {
    BuilderPicture p;
    p.width = w;
    p.height = h;
    p.pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.pixels[static_cast<size_t>(y) * w + x] = y == h - 1 ? kBottom : (x < w / 2 ? kLeft : kRight);
    return p;
  }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) { folder_.WriteFile(name, bytes); }
  std::vector<uint8_t> File(int w, int h, const BmpLayout& layout = {}) { return BmpFileBytes(Halves(w, h), palette_, layout); }

  TempFolder folder_;
  ScopedCurrentFolder here_;
  BuilderPalette palette_;
};

int Texel(const Texture* t, int x, int y) { return t->pixels[static_cast<size_t>(y) * t->width + x]; }

TEST_F(BitmapTextureTest, PicturesAreStretchedOrShrunkToPowerOfTwoSides) {
  const struct {
    int w, h, width, height, log2w, log2h;
  } cases[] = {
      {200, 100, 256, 128, 8, 7}, {20, 20, 32, 32, 5, 5},   {300, 300, 256, 256, 8, 8},
      {64, 32, 64, 32, 6, 5},     {33, 7, 64, 32, 6, 5},    {1, 1, 32, 32, 5, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    FreeAllTextures();
    Write("!cockpit.bmp", File(c.w, c.h));
    Texture* t = LoadTextureBitmap("!cockpit.bmp");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, c.width);
    EXPECT_EQ(t->height, c.height);
    EXPECT_EQ(t->log2Width, c.log2w);
    EXPECT_EQ(t->log2Height, c.log2h);
    EXPECT_EQ(t->refs, 1);
    EXPECT_STREQ(t->name, "!cockpit.bmp");
    EXPECT_EQ(t->id, NameHash("!cockpit.bmp"));
    EXPECT_EQ(t->byteSize, TexturePixelBytes(c.width, c.height));
    EXPECT_EQ(t->flags, 0) << "the first bitmap's colours are the engine's";
    EXPECT_EQ(TextureListHead(), t);
    // Nearest neighbour, top row first: the bottom row's band at the
    // bottom, the halves split where the source columns fall.
    const int bottomFirst = (c.h - 1) * c.height / c.h;
    EXPECT_EQ(Texel(t, 0, c.height - 1), kBottom);
    if (bottomFirst > 0) {
      EXPECT_EQ(Texel(t, c.width - 1, bottomFirst - 1), kRight);
      if (c.w > 1) EXPECT_EQ(Texel(t, 0, 0), kLeft);
      const int split = (c.w / 2) * c.width / c.w;
      if (c.w > 1) EXPECT_EQ(Texel(t, split - 1, 0), kLeft);
      EXPECT_EQ(Texel(t, split, 0), kRight);
    }
  }
}

TEST_F(BitmapTextureTest, SmallerLevelsAndPreviewsAreBuilt) {
  BuilderPicture plain;
  plain.width = 100;
  plain.height = 70;
  plain.pixels.assign(100 * 70, 55);
  Write("plain.bmp", BmpFileBytes(plain, palette_));
  Texture* t = LoadTextureBitmap("plain.bmp");
  ASSERT_NE(t, nullptr);
  ASSERT_EQ(t->byteSize, 128 * 128 + 64 * 64 + 32 * 32 + 341);
  for (int i = 0; i < t->byteSize; ++i) ASSERT_EQ(t->pixels[i], 55) << "byte " << i;
}

TEST_F(BitmapTextureTest, TopDownRowsAndFewerColoursReadAsWell) {
  Write("up.bmp", File(40, 30));
  Write("down.bmp", File(40, 30, BmpLayout{256, true}));
  Texture* up = LoadTextureBitmap("up.bmp");
  Texture* down = LoadTextureBitmap("down.bmp");
  ASSERT_NE(up, nullptr);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(std::memcmp(up->pixels, down->pixels, static_cast<size_t>(up->byteSize)), 0);

  // A table of 16 colours: indices beyond it stand for black.
  FreeAllTextures();
  PaletteReset();
  Write("few.bmp", File(40, 30, BmpLayout{16, false}));
  Texture* few = LoadTextureBitmap("few.bmp");
  ASSERT_NE(few, nullptr);
  EXPECT_EQ(g_PaletteCount, 16);
  EXPECT_EQ(Texel(few, 0, 0), FindPaletteColour(0, 0, 0));
}

TEST_F(BitmapTextureTest, OneTexturePerNameWhateverTheFolderSeparator) {
  folder_.MakeFolder("art");
  Write("art/!cockpit.bmp", File(64, 64));
  Texture* first = LoadTextureBitmap("art/!cockpit.bmp");
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->name, "!cockpit.bmp");
  EXPECT_EQ(LoadTextureBitmap("art\\!COCKPIT.BMP"), first);
  EXPECT_EQ(first->refs, 2);

  FreeAllTextures();
  Texture* back = LoadTextureBitmap(".\\art\\!cockpit.bmp");
  ASSERT_NE(back, nullptr) << "'\\' separates folders as '/' does";
  EXPECT_EQ(back->refs, 1);
}

TEST_F(BitmapTextureTest, ColoursNotInTheEnginePaletteAreRemapped) {
  Write("first.bmp", File(32, 32));
  ASSERT_NE(LoadTextureBitmap("first.bmp"), nullptr);
  // A second bitmap: its colour kLeft is the engine's colour 30 exactly,
  // kRight a colour the palette lacks.
  BuilderPalette other = palette_;
  other.red[kLeft] = g_PaletteRed[30], other.green[kLeft] = g_PaletteGreen[30], other.blue[kLeft] = g_PaletteBlue[30];
  Write("same.bmp", BmpFileBytes(Halves(32, 32), other));
  Texture* same = LoadTextureBitmap("same.bmp");
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(same->flags, 1);
  EXPECT_EQ(Texel(same, 0, 0), 30);
  EXPECT_EQ(Texel(same, 31, 0), kRight);

  other.red[kRight] = 1, other.green[kRight] = 254, other.blue[kRight] = 3;
  Write("near.bmp", BmpFileBytes(Halves(32, 32), other));
  Texture* near = LoadTextureBitmap("near.bmp");
  ASSERT_NE(near, nullptr);
  EXPECT_EQ(near->flags, 2);
  EXPECT_EQ(Texel(near, 31, 0), FindPaletteColour(1, 254, 3));
  EXPECT_EQ(g_PaletteGreen[kRight], palette_.green[kRight]) << "the engine palette is the first bitmap's";
}

TEST_F(BitmapTextureTest, EveryBadHeaderIsRefused) {
  const std::vector<uint8_t> good = File(40, 30);
  const auto put32 = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  const auto put16 = [](std::vector<uint8_t> b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
    return b;
  };
  const uint32_t size = static_cast<uint32_t>(good.size());
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"signature", put16(good, 0, 0x5842)},
      {"information header of 12 bytes", put32(good, 14, 12)},
      {"two planes", put16(good, 26, 2)},
      {"24 bits per pixel", put16(good, 28, 24)},
      {"run-length compressed", put32(good, 30, 1)},
      {"width 0", put32(good, 18, 0)},
      {"negative width", put32(good, 18, static_cast<uint32_t>(-40))},
      {"width 1009", put32(good, 18, 1009)},
      {"height 0", put32(good, 22, 0)},
      {"height 1009", put32(good, 22, 1009)},
      {"height -1009", put32(good, 22, static_cast<uint32_t>(-1009))},
      {"height beyond the rows", put32(good, 22, 31)},
      {"257 colours", put32(good, 46, 257)},
      {"pixels past the end", put32(good, 10, size)},
      {"pixels inside the colour table", put32(good, 10, 54)},
      {"pixel offset far away", put32(good, 10, 0xFFFFFFF0u)},
      {"last row cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"colour table cut short", std::vector<uint8_t>(good.begin(), good.begin() + 300)},
      {"header cut short", std::vector<uint8_t>(good.begin(), good.begin() + 53)},
      {"empty", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Write("bad.bmp", c.bytes);
    EXPECT_EQ(LoadTextureBitmap("bad.bmp"), nullptr);
    EXPECT_EQ(TextureListHead(), nullptr) << "nothing kept";
  }
  EXPECT_EQ(LoadTextureBitmap("missing.bmp"), nullptr);
  EXPECT_EQ(LoadTextureBitmap(nullptr), nullptr);
  EXPECT_EQ(LoadTextureBitmap("art/"), nullptr) << "no file name";
  // A path of 80 characters is refused, one of 79 read.
  const std::string longName(80 - 4, 'x');
  Write(longName + ".bmp", good);
  EXPECT_EQ(LoadTextureBitmap((longName + ".bmp").c_str()), nullptr);
  const std::string name79(79 - 4, 'y');
  Write(name79 + ".bmp", good);
  EXPECT_NE(LoadTextureBitmap((name79 + ".bmp").c_str()), nullptr);
}

TEST_F(BitmapTextureTest, ThePaletteBringsItsContrastRemapAndShadeTable) {
  int red[256] = {}, green[256] = {}, blue[256] = {};
  for (int i = 10; i < 246; ++i) red[i] = green[i] = blue[i] = 60 + (i % 100);
  red[10] = green[10] = blue[10] = 0;      // black
  red[11] = green[11] = blue[11] = 255;    // white
  red[12] = 0, green[12] = 0, blue[12] = 255;  // pure blue
  red[13] = 200, green[13] = 40, blue[13] = 10;
  SetTexturePalette(256, red, green, blue);
  EXPECT_EQ(g_PaletteCount, 255);
  EXPECT_EQ(g_PaletteRed[255] + g_PaletteGreen[255] + g_PaletteBlue[255], 3 * 255);
  EXPECT_EQ(g_ColourRemap[11], 10) << "white shows black";
  EXPECT_EQ(g_ColourRemap[12], 11) << "blue shows white";

  EXPECT_EQ(reinterpret_cast<uintptr_t>(g_pShadeTable) % 8192, 0u);
  // Level 20 is each colour itself (a factor of 1.003); level 0 is dark.
  EXPECT_EQ(g_pShadeTable[20 * 256 + 13], 13);
  EXPECT_EQ(g_pShadeTable[20 * 256 + 11], 11);
  EXPECT_EQ(g_pShadeTable[0 * 256 + 11], 10) << "white at a tenth is nearest black here";

  BuildShadeTable(1.0f, 1.0f);
  for (int c = 10; c < 246; ++c) ASSERT_EQ(g_PaletteRed[g_pShadeTable[31 * 256 + c]], g_PaletteRed[c]) << c;
  BuildShadeTable(kShadeLowDefault, kShadeHighDefault);
}

}  // namespace

// The demo's cockpit picture, as the game view loads it: the 640x480 file
// shrunk to a 256x256 texture that keeps the see-through 3-D band (255)
// between the opaque canopy edge and dashboard, in the game's own colours.
TEST_F(BitmapTextureTest, TheDemoCockpitBecomesA256TextureWithItsSeeThroughBand) {
  std::string error;
  ASSERT_TRUE(WriteDemoCockpit(folder_.Path(), &error)) << error;
  Texture* cockpit = LoadTextureBitmap(kDemoCockpitFile);
  ASSERT_NE(cockpit, nullptr);
  EXPECT_EQ(cockpit->width, 256);
  EXPECT_EQ(cockpit->height, 256);
  EXPECT_EQ(cockpit->flags, 0) << "drawn in its own palette, which the first texture brings";
  const int bandTop = kDemoCockpitViewTop * 256 / 480 + 1;
  const int bandBottom = kDemoCockpitViewBottom * 256 / 480 - 1;
  int seeThrough = 0, band = 0;
  for (int y = bandTop; y < bandBottom; ++y) {
    for (int x = 0; x < 256; ++x) {
      ++band;
      if (Texel(cockpit, x, y) == 255) ++seeThrough;
    }
  }
  EXPECT_GT(seeThrough, band * 8 / 10) << "the view shows through all but the struts";
  for (int x = 0; x < 256; ++x) {
    EXPECT_NE(Texel(cockpit, x, 4), 255) << "canopy at " << x;
    EXPECT_NE(Texel(cockpit, x, 250), 255) << "dashboard at " << x;
  }
}
