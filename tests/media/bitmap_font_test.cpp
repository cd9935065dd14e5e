// The bitmap font: the character to glyph mapping, the right-edge rule,
// clipping and the sheet checks.
#include "media/bitmap_font.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "engine/records.h"
#include "tests/media/picture_fixture.h"

namespace {

constexpr int kCell = 4;       // glyph width of the test font
constexpr int kRows = 3;       // its glyph height
constexpr int kSheetWidth = 260;  // 65 cells of 4

// Glyph g's pixels are 20 + g, but its top left one is the colour key and the
// blank (cell 0) is all key.
int SheetPixel(int x, int y) {
  const int g = x / kCell;
  if (g == 0 || (x % kCell == 0 && y == 0)) return kPictureColourKey;
  return 20 + g;
}

class BitmapFontTest : public PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    AddPicture("FONT.BMP", MakePicture(kSheetWidth, kRows, SheetPixel));
    path_ = ArchivePath();
    font_.SetGlyphWidth(kCell);
    font_.Load("FONT.BMP", path_.c_str());
  }
  // The glyph cell drawn at column x of the target (-1 for a blank cell).
  int GlyphAt(int x, int y = 1) {
    const int value = At(x, y);
    return value == kBackground ? -1 : value == kPictureColourKey ? 0 : value - 20;
  }
  std::string path_;
  CBitmapFont font_;
};

void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

TEST(BitmapFontGlyphs, LowerCaseFoldsToUpperCaseAndStrangersAreBlank) {
  EXPECT_EQ(CBitmapFont::GlyphIndex('A'), 33);
  EXPECT_EQ(CBitmapFont::GlyphIndex('a'), 33);
  EXPECT_EQ(CBitmapFont::GlyphIndex('z'), 58);
  EXPECT_EQ(CBitmapFont::GlyphIndex(' '), 0);
  EXPECT_EQ(CBitmapFont::GlyphIndex('`'), 64);
  for (char c : {'{', '~', '\x1F', '\0', '\x7F', static_cast<char>(0xE9)}) {
    EXPECT_EQ(CBitmapFont::GlyphIndex(c), 0) << static_cast<int>(static_cast<unsigned char>(c));
  }
}

TEST_F(BitmapFontTest, TheSheetSetsTheGlyphHeightAndKeepsTheWidth) {
  EXPECT_EQ(font_.GetGlyphHeight(), kRows);
  EXPECT_EQ(font_.GetGlyphWidth(), kCell);
}

TEST_F(BitmapFontTest, LowerCaseTextDrawsTheUpperCaseGlyphs) {
  font_.DrawText("ab{", 0, 0, false);
  EXPECT_EQ(GlyphAt(1), 33);
  EXPECT_EQ(GlyphAt(5), 34);
  EXPECT_EQ(At(9, 1), kPictureColourKey) << "'{' draws the blank";
  font_.DrawText("AB", 0, 10, false);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < kRows; ++y) EXPECT_EQ(At(x, y), At(x, 10 + y));
}

TEST_F(BitmapFontTest, TransparentTextLeavesTheKeyPixelsAlone) {
  font_.DrawText("A", 0, 0, true);
  EXPECT_EQ(At(0, 0), kBackground);
  EXPECT_EQ(At(1, 0), 53);
  font_.DrawText("A", 0, 0, false);
  EXPECT_EQ(At(0, 0), kPictureColourKey);
}

TEST_F(BitmapFontTest, BothFormsStopBeforeTheGlyphThatWouldReachTheRightEdge) {
  // 16 glyphs of 4 on a 64-wide target: the last would end on column 63.
  const std::string text(16, 'A');
  font_.DrawText(text.c_str(), 0, 0, false);
  EXPECT_EQ(GlyphAt(57), 33);
  EXPECT_EQ(GlyphAt(61), -1);
  font_.DrawTextColour(text.c_str(), 0, 5, 7);
  EXPECT_EQ(At(57, 6), 7);
  EXPECT_EQ(At(61, 6), kBackground);
  EXPECT_EQ(At(56, 5), kBackground) << "the key pixel is not coloured";
  EXPECT_TRUE(GuardIntact());
}

TEST_F(BitmapFontTest, TextIsClippedOnAllFourSides) {
  struct Place {
    int x, y;
  };
  for (const Place place : {Place{-2, 0}, Place{-6, -1}, Place{0, -2}, Place{10, 46}, Place{0, 48}, Place{-70, 0},
                            Place{INT_MIN, 0}, Place{INT_MAX, 0}, Place{0, INT_MIN}, Place{0, INT_MAX},
                            Place{INT_MIN + 3, INT_MAX - 1}}) {
    ClearTarget();
    font_.DrawText("HELLO WORLD", place.x, place.y, false);
    font_.DrawTextColour("HELLO WORLD", place.x, place.y, 9);
    ASSERT_TRUE(GuardIntact()) << place.x << "," << place.y;
  }
  ClearTarget();
  font_.DrawText("AB", -2, -1, false);  // the right half of A's last two rows, then B's
  EXPECT_EQ(At(0, 0), 53);
  EXPECT_EQ(At(1, 1), 53);
  EXPECT_EQ(GlyphAt(2, 0), 34);
  EXPECT_EQ(GlyphAt(5, 1), 34);
  EXPECT_EQ(At(6, 0), kBackground);
  EXPECT_EQ(At(0, 2), kBackground);
}

TEST_F(BitmapFontTest, AGlyphWidthBeyondTheSheetReadsNothingPastIt) {
  font_.SetGlyphWidth(100);  // wider than any cell of the loaded sheet
  font_.DrawText("`A", 0, 0, false);
  EXPECT_TRUE(GuardIntact());
}

TEST_F(BitmapFontTest, BadSheetsAreFatalWithTheFontsLines) {
  const std::vector<uint8_t> good = BmpBytes(MakePicture(kSheetWidth, kRows, SheetPixel));
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>*)> damage;
    int line;
  };
  const Case cases[] = {
      {"10 bytes", [](auto* b) { b->resize(10); }, 598},
      {"not BM", [](auto* b) { (*b)[1] = 'N'; }, 603},
      {"pixel offset 30", [](auto* b) { Put32(b, 10, 30); }, 611},
      {"24 bits per pixel", [](auto* b) { (*b)[28] = 24; }, 616},
      {"rows cut short", [](auto* b) { b->resize(b->size() - 1); }, 626},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    c.damage(&bytes);
    AddMember(std::string("F") + std::to_string(&c - cases) + ".BMP", bytes);
  }
  AddPicture("NARROW.BMP", MakePicture(64 * kCell, kRows, SheetPixel));  // one cell short
  const std::string path = ArchivePath();
  auto lineOf = [&](const std::string& name) {
    CBitmapFont font;
    font.SetGlyphWidth(kCell);
    return FatalLineOf([&] { font.Load(name.c_str(), path.c_str()); });
  };
  for (const Case& c : cases) EXPECT_EQ(lineOf(std::string("F") + std::to_string(&c - cases) + ".BMP"), c.line) << c.what;
  EXPECT_EQ(lineOf("NARROW.BMP"), 616);
  EXPECT_EQ(lineOf("NONE.BMP"), 592);
}
