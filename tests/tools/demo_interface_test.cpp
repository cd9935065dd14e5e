// The demo interface archive: every member is an 8-bit BMP that the game's
// check accepts, in the demo palette, at the sizes the game lays them out at.
#include "tools/builder/demo_interface.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/bmp_image.h"
#include "engine/records.h"

namespace {

class DemoInterfaceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ArchiveWriter archive;
    std::string error;
    ASSERT_TRUE(AddDemoInterface(&archive, &error)) << error;
    for (const ArchiveMember& member : archive.Members()) members_[member.name] = member.bytes;
  }

  // The checked layout of a member; fails the test when it is missing or
  // refused.
  static BmpImage Picture(const std::string& name) {
    BmpImage image;
    auto found = members_.find(name);
    EXPECT_NE(found, members_.end()) << name;
    if (found == members_.end()) return image;
    EXPECT_EQ(BmpImageRead(found->second.data(), found->second.size(), &image), BmpFault::None) << name;
    return image;
  }

  // The palette index at (x, y) from the top left.
  static int PixelAt(const std::string& name, const BmpImage& image, int x, int y) {
    const std::vector<uint8_t>& bytes = members_.at(name);
    return bytes[image.pixelOffset + static_cast<size_t>(image.height - 1 - y) * image.rowBytes + x];
  }
  static int CountIndex(const std::string& name, int index) {
    const BmpImage image = Picture(name);
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) count += PixelAt(name, image, x, y) == index;
    }
    return count;
  }

  static std::map<std::string, std::vector<uint8_t>> members_;
};

std::map<std::string, std::vector<uint8_t>> DemoInterfaceTest::members_;

// (Building the archive takes a moment, and each test runs in a process of
// its own: the tests are few and broad.)
TEST_F(DemoInterfaceTest, EveryMemberIsAnEightBitPictureInTheDemoPaletteAndScreensFillTheScreen) {
  const BuilderPalette palette = DemoInterfacePalette();
  ASSERT_FALSE(members_.empty());
  for (const auto& [name, bytes] : members_) {
    if (name == "LOGS.TXT") continue;  // the message texts
    const BmpImage image = Picture(name);
    ASSERT_EQ(image.colourCount, 256) << name;
    for (int i = 0; i < 256; ++i) {
      const uint8_t* entry = bytes.data() + image.colourOffset + 4 * i;
      ASSERT_EQ(entry[0], palette.blue[i]) << name << " colour " << i;
      ASSERT_EQ(entry[1], palette.green[i]) << name << " colour " << i;
      ASSERT_EQ(entry[2], palette.red[i]) << name << " colour " << i;
    }
  }
  // The colour key is black, so what shows through a picture and the front
  // end's background agree.
  EXPECT_EQ(palette.red[kPictureColourKey] + palette.green[kPictureColourKey] + palette.blue[kPictureColourKey], 0);

  for (const char* name : {"TITLE.BMP", "STDBY.BMP", "back.bmp", "mns1.bmp", "mns2.bmp", "soundop.bmp", "savehi.bmp",
                           "loadhi.bmp", "keycfg.bmp", "ops.bmp", "vidop.bmp", "brf-main.bmp", "diff.bmp",
                           "multi.bmp", "trlbk.bmp", "search.bmp", "ship.bmp", "end.bmp", "avanc.bmp", "help.bmp"}) {
    const BmpImage image = Picture(name);
    EXPECT_EQ(image.width, 640) << name;
    EXPECT_EQ(image.height, 480) << name;
  }
  // The credits rise over "back.bmp": 640 wide, at least 960 rows, see-through
  // (255) around the letters.
  const BmpImage credits = Picture("credit.bmp");
  EXPECT_EQ(credits.width, 640);
  EXPECT_GE(credits.height, 960);
  EXPECT_GT(CountIndex("credit.bmp", kTransparentIndex), 0);
  // The paper pages spin in from the first on; the game takes up to 1024 x 768.
  const BmpImage paper = Picture("paper01.bmp");
  EXPECT_LE(paper.width, 1024);
  EXPECT_LE(paper.height, 768);
}

TEST_F(DemoInterfaceTest, MenuWidgetsAndFontsFitTheMenus) {
  for (const char* prefix :
       {"rsi", "rmu", "rop", "rqt", "rky", "rco", "rvo", "vid", "b-sa", "b-lo", "okk", "cnl", "ok", "cac", "avn",
        "brf-lft", "brf-rgt", "brf-ext", "cock", "eig", "six", "thr", "gbk", "joi", "nwg", "ret", "rook", "vet", "eli",
        "cel", "inver", "invr", "ena", "adv", "tcp", "ipx", "ser", "mod", "oks", "sea", "cns", "arrd", "arru", "okm",
        "canc"}) {
    const BmpImage first = Picture(std::string(prefix) + "0.bmp");
    EXPECT_GT(first.width, 0) << prefix;
    for (int state = 1; state < 4; ++state) {
      const BmpImage image = Picture(std::string(prefix) + std::to_string(state) + ".bmp");
      EXPECT_EQ(image.width, first.width) << prefix << state;
      EXPECT_EQ(image.height, first.height) << prefix << state;
    }
  }

  const BmpImage slider = Picture("sli0.bmp");
  EXPECT_GT(slider.width, 6);  // the knob position divides by width - 6
  for (int position = 1; position < 10; ++position) {
    const BmpImage image = Picture("sli" + std::to_string(position) + ".bmp");
    EXPECT_EQ(image.width, slider.width);
    EXPECT_EQ(image.height, slider.height);
  }
  for (const char* prefix : {"son", "mon"}) {
    for (int picture = 0; picture < 4; ++picture) Picture(prefix + std::to_string(picture) + ".BMP");
  }
  // The menus save the pixels under the cursor in 32 x 64 bytes.
  const BmpImage cursor = Picture("cursor.bmp");
  EXPECT_LE(cursor.width, 32);
  EXPECT_LE(cursor.height, 64);
  EXPECT_GT(CountIndex("cursor.bmp", kPictureColourKey), 0);

  // Font sheets: 65 glyph cells on the colour key.
  const struct {
    const char* name;
    int cellWidth;
  } fonts[] = {{"FONT_SM.BMP", 6},  {"FONT_MD.BMP", 8},  {"FONT_MD1.BMP", 8}, {"FONT_MD2.BMP", 8},
               {"FONT_MD3.BMP", 8}, {"FONT_LG.BMP", 10}, {"FONT_LG1.BMP", 10}};
  for (const auto& font : fonts) {
    const BmpImage sheet = Picture(font.name);
    EXPECT_GE(sheet.width, 65 * font.cellWidth) << font.name;
    EXPECT_EQ(sheet.width % 4, 0) << font.name;  // rows without padding
    // The space (cell 0) is all key; "A" (cell 33) and "_" (cell 63) have ink.
    auto inked = [&](int cell) {
      int count = 0;
      for (int y = 0; y < sheet.height; ++y) {
        for (int x = cell * font.cellWidth; x < (cell + 1) * font.cellWidth; ++x) {
          count += PixelAt(font.name, sheet, x, y) != kPictureColourKey;
        }
      }
      return count;
    };
    EXPECT_EQ(inked(0), 0) << font.name;
    EXPECT_GT(inked(33), 0) << font.name;
    EXPECT_GT(inked(63), 0) << font.name;
  }
}

TEST_F(DemoInterfaceTest, HudAndCockpitPicturesAreThere) {
  for (int digit = 0; digit < 10; ++digit) {
    for (char state : {'A', 'B', 'C'}) Picture("W" + std::to_string(digit) + state + ".BMP");
  }
  Picture("MSL_AVLB.BMP");
  Picture("MSL_RELD.BMP");
  const BmpImage ship = Picture("HERO2.BMP");
  for (const char* health : {"2", "3", "4"}) {
    for (const char* shell : {"", "b", "c", "d"}) {
      const std::string name = std::string("HERO") + health + shell + ".BMP";
      const BmpImage image = Picture(name);
      EXPECT_EQ(image.width, ship.width) << name;
      EXPECT_EQ(image.height, ship.height) << name;
    }
  }
  // Overlay bitmaps are see-through where their pixels are 255.
  for (int code = 1; code <= 9; ++code) {
    const std::string name = "hands" + std::to_string(code) + ".bmp";
    const BmpImage hands = Picture(name);
    EXPECT_EQ(hands.width, 209);
    EXPECT_EQ(hands.height, 103);
    EXPECT_GT(CountIndex(name, kTransparentIndex), 0) << name;
  }
  for (const char* name : {"cur1.bmp", "cur2.bmp"}) {
    const BmpImage cursor = Picture(name);
    EXPECT_EQ(cursor.width, 21);
    EXPECT_EQ(cursor.height, 21);
  }
  for (const char* panel : {"uright", "dash", "lleft", "lright"}) Picture(std::string(panel) + "0.bmp");
}

}  // namespace
