// CInterfaceDisplay::SaveScreenshot: the file's size, header, pixels and
// numbering.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/media/display_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

class ScreenshotTest : public DisplayTest {
 protected:
  ScreenshotTest() : data_("XDG_DATA_HOME", folder_.Path().c_str()) {}
  std::string Shot(int n) const { return folder_.Join("korvane/KRVNE" + std::to_string(n) + ".BMP"); }
  // A red pixel at (x, y) of the back surface (16-bit).
  void Mark(int x, int y) {
    const RECT r{x, y, x + 1, y + 1};
    DDBLTFX fx;
    fx.dwFillColor = 0xF800;
    ASSERT_EQ(display_->GetBackSurface()->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
  }

  TempFolder folder_;
  ScopedEnv data_;
};

}  // namespace

TEST_F(ScreenshotTest, A640x480FrameMakesTheExactHeaderAndBottomUpPixels) {
  display_->Enter(window_.m_hWnd, 640, 480, 16);
  Mark(3, 0);
  ASSERT_TRUE(display_->SaveScreenshot(display_->GetBackSurface()));
  const std::vector<uint8_t> file = ReadFileBytes(Shot(0));
  ASSERT_EQ(file.size(), 921658u);
  EXPECT_EQ(Le16(file, 0), 0x4D42);
  EXPECT_EQ(Le32(file, 2), 921658u);
  EXPECT_EQ(Le32(file, 6), 0u);
  EXPECT_EQ(Le32(file, 10), 58u);
  EXPECT_EQ(Le32(file, 14), 40u);
  EXPECT_EQ(Le32(file, 18), 640u);
  EXPECT_EQ(Le32(file, 22), 480u);
  EXPECT_EQ(Le16(file, 26), 1);
  EXPECT_EQ(Le16(file, 28), 24);
  for (size_t at = 30; at < 58; at += 4) EXPECT_EQ(Le32(file, at), 0u) << "field or gap at " << at;
  // The top row is stored last: (3, 0) is at row 479 of the file.
  const size_t red = 58 + static_cast<size_t>(479 * 640 + 3) * 3;
  EXPECT_EQ(file[red], 0);
  EXPECT_EQ(file[red + 1], 0);
  EXPECT_EQ(file[red + 2], 255);
  EXPECT_EQ(file[58 + 3 * 3 + 2], 0);
}

TEST_F(ScreenshotTest, An800x600FrameIs1440058Bytes) {
  display_->Enter(window_.m_hWnd, 800, 600, 16);
  ASSERT_TRUE(display_->SaveScreenshot(display_->GetBackSurface()));
  const std::vector<uint8_t> file = ReadFileBytes(Shot(0));
  ASSERT_EQ(file.size(), 1440058u);
  EXPECT_EQ(Le32(file, 2), 1440058u);
  EXPECT_EQ(Le32(file, 18), 800u);
}

TEST_F(ScreenshotTest, GapsAreFilledFirstAndNumber99IsOverwrittenOnceAllExist) {
  display_->Enter(window_.m_hWnd, 640, 480, 16);
  for (int n : {0, 1, 2, 3, 4, 6}) folder_.WriteText("korvane/KRVNE" + std::to_string(n) + ".BMP", "old");
  ASSERT_TRUE(display_->SaveScreenshot(display_->GetBackSurface()));
  EXPECT_EQ(ReadFileBytes(Shot(5)).size(), 921658u);
  ASSERT_TRUE(display_->SaveScreenshot(display_->GetBackSurface()));
  EXPECT_EQ(ReadFileBytes(Shot(7)).size(), 921658u);
  EXPECT_EQ(ReadFileBytes(Shot(6)).size(), 3u) << "an existing shot is never replaced below 99";

  for (int n = 0; n < 100; ++n) folder_.WriteText("korvane/KRVNE" + std::to_string(n) + ".BMP", "old");
  ASSERT_TRUE(display_->SaveScreenshot(display_->GetBackSurface()));
  EXPECT_EQ(ReadFileBytes(Shot(99)).size(), 921658u);
  EXPECT_EQ(ReadFileBytes(Shot(98)).size(), 3u);
}

TEST_F(ScreenshotTest, AFileThatCantBeWrittenIsReportedAsAFailure) {
  display_->Enter(window_.m_hWnd, 640, 480, 16);
  for (int n = 0; n < 99; ++n) folder_.WriteText("korvane/KRVNE" + std::to_string(n) + ".BMP", "old");
  folder_.MakeFolder("korvane/KRVNE99.BMP");  // can't be replaced by a file
  EXPECT_FALSE(display_->SaveScreenshot(display_->GetBackSurface()));

  folder_.WriteText("file", "not a folder");
  ScopedEnv nowhere("XDG_DATA_HOME", folder_.Join("file").c_str());
  EXPECT_FALSE(display_->SaveScreenshot(display_->GetBackSurface()));
  EXPECT_FALSE(display_->SaveScreenshot(nullptr));
}
