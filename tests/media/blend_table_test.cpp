// The blend table and the cross-fade that reads it.
#include "media/blend_table.h"

#include <gtest/gtest.h>

#include "engine/records.h"
#include "media/picture.h"
#include "platform/clock.h"
#include "render/raster_state.h"
#include "tests/media/picture_fixture.h"

namespace {

// Colours far from every mean the cases look for, so that only the colours a
// case sets can be found.
void FarColours(RGBQUAD colours[256]) {
  for (int i = 0; i < 256; ++i) colours[i] = RGBQUAD{static_cast<BYTE>(i & 1 ? 255 : 0), 0, 255, 0};
}

uint8_t Entry(int i, int j) { return g_BlendTable[i * 256 + j]; }

class BlendTableTest : public ::testing::Test {
 protected:
  void SetUp() override { BlendTableReset(); }
};

}  // namespace

TEST_F(BlendTableTest, DiagonalSymmetryAndTheSystemColoursRowsAreZero) {
  const BuilderPalette demo = MakeDemoPalette();
  RGBQUAD colours[256];
  for (int i = 0; i < 256; ++i) {
    colours[i] = RGBQUAD{static_cast<BYTE>(demo.blue[i]), static_cast<BYTE>(demo.green[i]),
                         static_cast<BYTE>(demo.red[i]), 0};
  }
  EXPECT_FALSE(BlendTableBuilt());
  BuildBlendTable(colours);
  EXPECT_TRUE(BlendTableBuilt());
  for (int i = 10; i <= 245; ++i) {
    EXPECT_EQ(Entry(i, i), i);
    for (int j = 10; j <= 245; j += 7) ASSERT_EQ(Entry(i, j), Entry(j, i)) << i << "," << j;
  }
  EXPECT_EQ(Entry(3, 100), 0);
  EXPECT_EQ(Entry(100, 250), 0);
  EXPECT_EQ(Entry(0, 0), 0);
}

TEST_F(BlendTableTest, TheMeanOfTwoColoursFindsTheColourAtIt) {
  RGBQUAD colours[256];
  FarColours(colours);
  colours[50] = RGBQUAD{100, 100, 100, 0};
  colours[60] = RGBQUAD{201, 201, 201, 0};  // the mean drops its half: 150
  colours[70] = RGBQUAD{150, 150, 150, 0};
  BuildBlendTable(colours);
  EXPECT_EQ(Entry(50, 60), 70);
  EXPECT_EQ(Entry(60, 50), 70);
}

TEST_F(BlendTableTest, TheSearchStopsAtTheFirstColourCloserThanFive) {
  RGBQUAD colours[256];
  FarColours(colours);
  colours[50] = RGBQUAD{100, 100, 100, 0};
  colours[60] = RGBQUAD{200, 200, 200, 0};
  colours[20] = RGBQUAD{152, 150, 150, 0};  // squared distance 4: taken at once
  colours[70] = RGBQUAD{150, 150, 150, 0};  // exact, but never reached
  BuildBlendTable(colours);
  EXPECT_EQ(Entry(50, 60), 20);
  // A distance of exactly 5 does not stop the search.
  colours[20] = RGBQUAD{151, 152, 150, 0};
  BuildBlendTable(colours);
  EXPECT_EQ(Entry(50, 60), 70);
}

TEST_F(BlendTableTest, OfEquallyNearColoursTheFirstWins) {
  RGBQUAD colours[256];
  FarColours(colours);
  colours[50] = RGBQUAD{100, 100, 100, 0};
  colours[60] = RGBQUAD{200, 200, 200, 0};
  colours[30] = RGBQUAD{160, 150, 150, 0};
  colours[40] = RGBQUAD{140, 150, 150, 0};
  BuildBlendTable(colours);
  EXPECT_EQ(Entry(50, 60), 30);
}

TEST_F(BlendTableTest, BlendStepsWalkTheAlphaBitsFromTheTop) {
  // A table that records its arguments: entry (i, j) = (i + j) / 2.
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; ++j) g_BlendTable[i * 256 + j] = static_cast<uint8_t>((i + j) / 2);
  EXPECT_EQ(BlendStep(0, 200, 0), 0);
  EXPECT_EQ(BlendStep(0, 200, 128), 100);  // half way
  EXPECT_EQ(BlendStep(0, 200, 192), 150);  // three quarters
  EXPECT_EQ(BlendStep(0, 200, 64), 50);    // one quarter
  EXPECT_EQ(BlendStep(0, 200, 255), 199);  // eight steps
}

namespace {

class CrossFadeTest : public PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    AddPicture("OLD.BMP", MakePicture(8, 4, [](int, int) { return kOld; }));
    AddPicture("NEW.BMP", MakePicture(8, 4, [](int, int) { return kNew; }));
    path_ = ArchivePath();
  }
  static constexpr int kOld = kDemoGreyFirst;                       // black
  static constexpr int kNew = kDemoGreyFirst + kDemoGreySteps - 1;  // white
  std::string path_;
};

}  // namespace

TEST_F(CrossFadeTest, AFadeShowsTheOldPictureThenTheMixThenTheNewOne) {
  CPicture picture("OLD.BMP", path_.c_str());
  ClockSetTime(100000);
  picture.CrossFadeFrom(2.0f, "NEW.BMP", path_.c_str());
  ASSERT_TRUE(picture.HasBlendSource());

  picture.DrawFading(3, 2);  // starts: 1 ms counted, alpha 0
  EXPECT_EQ(At(3, 2), kOld);
  EXPECT_EQ(At(10, 5), kOld);

  ClockSetTime(100250);  // level 0.502: alpha 128
  picture.DrawFading(3, 2);
  const uint8_t half = g_BlendTable[kOld * 256 + kNew];
  EXPECT_EQ(At(3, 2), half);
  EXPECT_NE(half, kOld);
  EXPECT_NE(half, kNew);

  ClockSetTime(100376);  // level 0.754: alpha 192, three quarters of the way
  picture.DrawFading(3, 2);
  EXPECT_EQ(At(3, 2), g_BlendTable[half * 256 + kNew]);
  EXPECT_TRUE(picture.HasBlendSource());

  ClockSetTime(100506);  // level above 1 after about 500 ms: the fade ends
  picture.DrawFading(3, 2);
  EXPECT_FALSE(picture.HasBlendSource());
  EXPECT_EQ(At(3, 2), kNew);
  EXPECT_TRUE(GuardIntact());
}

TEST_F(CrossFadeTest, AStillPictureIsDrawnOnceAfterItsFade) {
  CPicture picture("NEW.BMP", path_.c_str());
  picture.DrawFading(0, 0);
  EXPECT_EQ(At(0, 0), kNew);
  ClearTarget();
  picture.DrawFading(0, 0);
  EXPECT_EQ(At(0, 0), kBackground) << "drawn only once";
  picture.FreeBlendSource();  // the fade level back to 0
  picture.DrawFading(0, 0);
  EXPECT_EQ(At(0, 0), kNew);
}

TEST_F(CrossFadeTest, FadingWithNothingLoadedJustLoads) {
  CPicture picture;
  picture.CrossFadeFrom(2.0f, "NEW.BMP", path_.c_str());
  EXPECT_TRUE(picture.IsLoaded());
  EXPECT_FALSE(picture.HasBlendSource());
}

TEST_F(CrossFadeTest, TheBlendTableComesFromTheFirstPictureOnly) {
  CPicture first("OLD.BMP", path_.c_str());
  const std::vector<uint8_t> before(g_BlendTable, g_BlendTable + kBlendTableBytes);
  BuilderPalette other = MakeDemoPalette();
  for (int i = 10; i < 246; ++i) other.red[i] = 255 - other.red[i];
  AddMember("OTHER.BMP", BmpFileBytes(MakePicture(2, 2, [](int, int) { return 50; }), other));
  CPicture second("OTHER.BMP", ArchivePath().c_str());
  EXPECT_TRUE(std::equal(before.begin(), before.end(), g_BlendTable));
  EXPECT_EQ(g_BlendTable[kOld * 256 + kOld], kOld);
}

TEST_F(CrossFadeTest, PicturesDrawNothingWithoutAPrimarySurface) {
  CPicture picture("NEW.BMP", path_.c_str());
  display_->ReleaseSurfaces(false);
  picture.DrawAt(0, 0);
  EXPECT_EQ(At(0, 0), kBackground);
  picture.Draw(0, 0, false);  // the plain copy does not ask
  EXPECT_EQ(At(0, 0), kNew);
}
