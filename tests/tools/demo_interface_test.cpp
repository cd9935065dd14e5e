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

  static std::map<std::string, std::vector<uint8_t>> members_;
};

std::map<std::string, std::vector<uint8_t>> DemoInterfaceTest::members_;

TEST_F(DemoInterfaceTest, EveryMemberIsAnEightBitPictureInTheDemoPalette) {
  const BuilderPalette palette = DemoInterfacePalette();
  ASSERT_FALSE(members_.empty());
  for (const auto& [name, bytes] : members_) {
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
}

TEST_F(DemoInterfaceTest, FullScreenPicturesAreTheScreensSize) {
  for (const char* name : {"TITLE.BMP", "STDBY.BMP"}) {
    const BmpImage image = Picture(name);
    EXPECT_EQ(image.width, 640) << name;
    EXPECT_EQ(image.height, 480) << name;
  }
}

}  // namespace
