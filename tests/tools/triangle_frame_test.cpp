// The demo mission drawn as korvane3d draws it (the renderframe tool through
// the Direct3D back end, on OpenGL through EGL) against the software frame
// from the same place. The triangle frame is the display's size, the
// software frame the view's (half of it), so each 8x8 block of the one
// stands for a 16x16 block of the other; their mean colours must agree
// nearly everywhere, so that a blank, shifted or garbled frame fails. Both
// frames stay under the build tree ("frames/") to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/png_file.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"

namespace {

struct BlockMeans {
  int columns = 0, rows = 0;
  std::vector<float> rgb;  // per block, red, green, blue
};

// The mean colour of each size x size block of a frame.
BlockMeans MeansOf(const RgbFrame& frame, int size) {
  BlockMeans means;
  means.columns = frame.width / size;
  means.rows = frame.height / size;
  means.rgb.assign(static_cast<size_t>(means.columns * means.rows * 3), 0.0f);
  for (int y = 0; y < means.rows * size; ++y) {
    for (int x = 0; x < means.columns * size; ++x) {
      const size_t block = static_cast<size_t>((y / size) * means.columns + x / size) * 3;
      const size_t pixel = (static_cast<size_t>(y) * frame.width + x) * 3;
      for (int c = 0; c < 3; ++c) means.rgb[block + c] += frame.rgb[pixel + c];
    }
  }
  for (float& value : means.rgb) value /= static_cast<float>(size * size);
  return means;
}

struct Place {
  const char* name;
  const char* options;  // renderframe's placement options
};

class TriangleFrameTest : public ::testing::TestWithParam<Place> {
 protected:
  static void SetUpTestSuite() {
    temp_ = new TempFolder();
    std::string error;
    ASSERT_TRUE(WriteDemoData(temp_->Path(), &error)) << error;
  }
  static void TearDownTestSuite() {
    delete temp_;
    temp_ = nullptr;
  }

  // Runs renderframe with the options and reads the PNG it writes.
  static RgbFrame Run(const std::string& name, const std::string& options) {
    const std::string folder = std::string(KORVANE_BINARY_DIR) + "/frames";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/" + name + ".png";
    std::filesystem::remove(path);
    // The unit tests' recording device draws nothing: the tool gets the
    // real one (OpenGL), and fails when it can't have it.
    const std::string command = "env -u KORVANE_3D_DEVICE " + std::string(KORVANE_BINARY_DIR) +
                                "/tools/renderframe " + temp_->Join("TEXTURES.CAN") + " " + temp_->Join("M1.CAN") +
                                " " + path + " " + options + " > /dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    RgbFrame frame;
    EXPECT_TRUE(ReadPngRgb(path, &frame)) << path;
    return frame;
  }

  static TempFolder* temp_;
};
TempFolder* TriangleFrameTest::temp_ = nullptr;

TEST_P(TriangleFrameTest, ShowsTheSceneOfTheSoftwareFrame) {
  const std::string name = GetParam().name;
  const std::string place = std::string(" ") + GetParam().options;
  const RgbFrame software = Run("software_" + name, "--size 320x240" + place);
  const RgbFrame triangles = Run("triangles_" + name, "--size 640x480 --triangles" + place);
  ASSERT_EQ(software.width, 320);
  ASSERT_EQ(triangles.width, 640);
  ASSERT_EQ(triangles.height, 480);
  const BlockMeans a = MeansOf(software, 8), b = MeansOf(triangles, 16);
  ASSERT_EQ(a.rgb.size(), b.rgb.size());
  // Filtering, lighting steps and the edges of polygons differ; the scene
  // may not.
  int close = 0, blocks = a.columns * a.rows;
  float total = 0.0f;
  for (int i = 0; i < blocks; ++i) {
    float worst = 0.0f;
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a.rgb[i * 3 + c] - b.rgb[i * 3 + c]));
    close += worst <= 40.0f;
    total += worst;
  }
  EXPECT_GE(close, blocks * 9 / 10) << "blocks whose mean colours agree";
  EXPECT_LE(total / static_cast<float>(blocks), 16.0f) << "mean difference of a block";
}

INSTANTIATE_TEST_SUITE_P(DemoMission, TriangleFrameTest,
                         ::testing::Values(Place{"player_start", ""}, Place{"pump_room", "--at 0,-50,950"},
                                           Place{"lava_corridor", "--at 400,20,1180 --angles 0,90,0"}),
                         [](const ::testing::TestParamInfo<Place>& info) { return std::string(info.param.name); });

}  // namespace
