// Pictures: loading with the header checks and the fatal lines, opaque and
// colour-keyed drawing clipped on every side, the blend table and the
// cross-fade.
#include "media/picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "engine/data_archive.h"
#include "engine/records.h"
#include "media/blend_table.h"
#include "media/media_services.h"
#include "platform/clock.h"
#include "render/raster_state.h"
#include "tests/media/picture_fixture.h"

namespace {

void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// 5 x 3, not a multiple of 4 wide: pixel (x, y) = 20 + 10y + x, one key pixel.
BuilderPicture FiveByThree() {
  return MakePicture(5, 3, [](int x, int y) { return x == 2 && y == 1 ? kPictureColourKey : 20 + 10 * y + x; });
}

class PictureLoadTest : public PictureTest {};

}  // namespace

TEST_F(PictureLoadTest, APictureWhoseWidthIsNotAMultipleOfFourDrawsItsRows) {
  AddPicture("ODD.BMP", FiveByThree());
  CPicture picture;
  ASSERT_TRUE(picture.Load("ODD.BMP", ArchivePath().c_str(), true));
  EXPECT_EQ(picture.GetWidth(), 5);
  EXPECT_EQ(picture.GetHeight(), 3);
  picture.Draw(10, 20, false);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const int expected = x == 2 && y == 1 ? kPictureColourKey : 20 + 10 * y + x;
      EXPECT_EQ(At(10 + x, 20 + y), expected) << x << "," << y;
    }
    EXPECT_EQ(At(15, 20 + y), kBackground) << "row " << y << " ends after 5 pixels";
  }
  EXPECT_EQ(At(10, 19), kBackground);
  EXPECT_EQ(At(10, 23), kBackground);
  EXPECT_TRUE(GuardIntact());
}

TEST_F(PictureLoadTest, ColourKeyedDrawingLeavesIndex109Alone) {
  AddPicture("ODD.BMP", FiveByThree());
  CPicture picture("ODD.BMP", ArchivePath().c_str());
  picture.Draw(0, 0, true);
  EXPECT_EQ(At(2, 1), kBackground);
  EXPECT_EQ(At(1, 1), 31);
  picture.Draw(0, 0, false);
  EXPECT_EQ(At(2, 1), kPictureColourKey);
}

TEST_F(PictureLoadTest, DrawingIsClippedOnAllFourSides) {
  AddPicture("ODD.BMP", FiveByThree());
  CPicture picture("ODD.BMP", ArchivePath().c_str());
  struct Place {
    int x, y;
  };
  for (const Place place : {Place{-2, -1}, Place{61, 46}, Place{-2, 46}, Place{61, -1}, Place{-5, 0}, Place{0, -3},
                            Place{64, 0}, Place{0, 48}, Place{INT_MAX, INT_MAX}, Place{INT_MIN, INT_MIN},
                            Place{INT_MAX - 2, 0}, Place{0, INT_MIN + 1}}) {
    ClearTarget();
    picture.Draw(place.x, place.y, false);
    picture.DrawAt(place.x, place.y);
    ASSERT_TRUE(GuardIntact()) << place.x << "," << place.y;
  }
  ClearTarget();
  picture.Draw(-2, -1, false);  // shows columns 2..4 of rows 1..2
  EXPECT_EQ(At(0, 0), kPictureColourKey);
  EXPECT_EQ(At(2, 1), 44);
  EXPECT_EQ(At(3, 0), kBackground);
  ClearTarget();
  picture.Draw(61, 46, false);  // shows columns 0..2 of rows 0..1
  EXPECT_EQ(At(61, 46), 20);
  EXPECT_EQ(At(63, 47), kPictureColourKey);
}

TEST_F(PictureLoadTest, BadPicturesAreFatalWhenMandatoryAndMissingWhenOptional) {
  const std::vector<uint8_t> good = BmpBytes(FiveByThree());
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>*)> damage;
    int line;
  };
  const Case cases[] = {
      {"10 bytes", [](auto* b) { b->resize(10); }, 172},
      {"not BM", [](auto* b) { (*b)[0] = 'X'; }, 179},
      {"pixel offset 20", [](auto* b) { Put32(b, 10, 20); }, 193},
      {"pixel offset past the member", [](auto* b) { Put32(b, 10, 100000); }, 193},
      {"24 bits per pixel", [](auto* b) { (*b)[28] = 24; }, 218},
      {"4 bits per pixel", [](auto* b) { (*b)[28] = 4; }, 218},
      {"300 colours", [](auto* b) { Put32(b, 46, 300); }, 218},
      {"image size below the rows", [](auto* b) { Put32(b, 34, 5); }, 211},
      {"rows cut short", [](auto* b) { b->resize(b->size() - 3); }, 211},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    c.damage(&bytes);
    AddMember(std::string("B") + std::to_string(&c - cases) + ".BMP", bytes);
  }
  const std::string path = ArchivePath();
  for (const Case& c : cases) {
    const std::string name = std::string("B") + std::to_string(&c - cases) + ".BMP";
    CPicture picture;
    EXPECT_FALSE(picture.Load(name.c_str(), path.c_str(), false)) << c.what;
    EXPECT_FALSE(picture.IsLoaded()) << c.what;
    EXPECT_EQ(ArchiveClose(), 0) << c.what << ": the archive is closed again";
    EXPECT_EQ(FatalLineOf([&] { picture.Load(name.c_str(), path.c_str(), true); }), c.line) << c.what;
    EXPECT_EQ(ArchiveClose(), 0) << c.what;
  }
}

TEST_F(PictureLoadTest, AMissingMemberIsFatalOnlyWhenMandatory) {
  AddPicture("THERE.BMP", FiveByThree());
  const std::string path = ArchivePath();
  CPicture picture;
  EXPECT_FALSE(picture.Load("GONE.BMP", path.c_str(), false));
  EXPECT_EQ(FatalLineOf([&] { picture.Load("GONE.BMP", path.c_str(), true); }), 164);
}

TEST_F(PictureLoadTest, WithNoArchiveNamedThePictureComesFromTheCurrentMission) {
  AddPicture("BRIEF1.BMP", FiveByThree());
  static std::string mission;
  mission = ArchivePath();
  MediaServices services = MediaGetServices();
  services.currentMissionArchive = [] { return mission.c_str(); };
  MediaSetServices(services);
  CPicture picture;
  EXPECT_TRUE(picture.Load("BRIEF1.BMP", nullptr, true));
  EXPECT_EQ(picture.GetWidth(), 5);
}

TEST_F(PictureLoadTest, AnUnloadedPictureLoadsAgainWhenDrawn) {
  AddPicture("ODD.BMP", FiveByThree());
  CPicture picture("ODD.BMP", ArchivePath().c_str());
  picture.Unload();
  EXPECT_FALSE(picture.IsLoaded());
  picture.Draw(0, 0, false);
  EXPECT_TRUE(picture.IsLoaded());
  EXPECT_EQ(At(4, 2), 44);
  picture.Free();  // freed, not unloaded: no reload
  ClearTarget();
  picture.Draw(0, 0, false);
  EXPECT_FALSE(picture.IsLoaded());
  EXPECT_EQ(At(4, 2), kBackground);
}

TEST_F(PictureLoadTest, OnlyThePicturesOwnColoursReachThePaletteTable) {
  std::vector<uint8_t> bytes = BmpBytes(FiveByThree());
  Put32(&bytes, 46, 16);  // 16 colours used
  AddMember("SIXTEEN.BMP", bytes);
  ASSERT_TRUE(display_->IsPaletteMissing());
  CPicture picture("SIXTEEN.BMP", ArchivePath().c_str());
  const PALETTEENTRY* table = display_->GetPaletteTable();
  const BuilderPalette demo = MakeDemoPalette();
  EXPECT_EQ(table[12].peRed, demo.red[12]);
  EXPECT_EQ(table[12].peGreen, demo.green[12]);
  for (int i = 16; i < 256; ++i) {
    EXPECT_EQ(table[i].peRed + table[i].peGreen + table[i].peBlue, 0) << i;
  }
  // The blend table saw black there too: the mean of 12 and a black 200 is
  // the colour nearest half of colour 12.
  EXPECT_EQ(g_BlendTable[12 * 256 + 200], g_BlendTable[12 * 256 + kDemoGreyFirst]);
}

TEST_F(PictureLoadTest, InTheSoftwareProgramThePicturesColoursBecomeTheScreensPalette) {
  MediaServices services = MediaGetServices();
  services.picturesSetScreenPalette = true;
  MediaSetServices(services);
  AddPicture("ODD.BMP", FiveByThree());
  CPicture picture("ODD.BMP", ArchivePath().c_str());
  EXPECT_FALSE(display_->IsPaletteMissing());
  const PALETTEENTRY* table = display_->GetPaletteTable();
  EXPECT_EQ(table[1].peRed, 128);  // the fixed colours 0..9
  EXPECT_EQ(table[8].peBlue, 64);
  EXPECT_EQ(table[42].peRed, MakeDemoPalette().red[42]);
}
