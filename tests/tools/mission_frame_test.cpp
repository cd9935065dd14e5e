// Whole frames of the demo mission through RenderWorld, as the renderframe
// tool makes them. Every frame is also written as a BMP under the build
// tree ("frames/"), where it can be looked at.
#include "tools/frame/mission_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "engine/instance.h"
#include "engine/palette.h"
#include "engine/polygon_group.h"
#include "engine/render_world.h"
#include "engine/texture.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/crafted_files.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_textures.h"

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;
constexpr RenderFlags kUnlit = kRenderWorld | kRenderCameraMatrix | kRenderPerspective;

std::string FramesFolder() {
  std::string folder = std::string(KORVANE_BINARY_DIR) + "/frames";
  std::filesystem::create_directories(folder);
  return folder;
}

class MissionFrameTest : public ::testing::Test {
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
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(MissionSceneLoad(temp_->Join("TEXTURES.CAN"), temp_->Join("M1.CAN"), &scene_, &error)) << error;
  }
  void TearDown() override { MissionSceneFree(&scene_); }

  // Renders from a placement (or the player start) and writes the BMP.
  FrameImage Render(const char* name, const FramePlacement* placement, FrameOptions options = {}) {
    float camera[16];
    if (placement) {
      float frame[16];
      FramePlacementMatrix(*placement, frame);
      CameraMatrixFromFrame(frame, camera);
    } else {
      MissionStartCamera(scene_, camera);
    }
    FrameImage image;
    EXPECT_TRUE(RenderMissionFrame(&scene_, camera, options, &image));
    std::string error;
    EXPECT_TRUE(WriteFrameBmp(FramesFolder() + "/" + name + ".bmp", image, &error)) << error;
    return image;
  }
  Instance* InstanceNamed(const char* name) {
    for (Instance* instance = scene_.world->firstInstance; instance; instance = instance->next) {
      if (std::strcmp(instance->name, name) == 0) return instance;
    }
    return nullptr;
  }

  static TempFolder* temp_;
  MissionScene scene_;
};
TempFolder* MissionFrameTest::temp_ = nullptr;

struct Viewpoint {
  const char* name;
  Vec3 position;
  Vec3 anglesDegrees;
};
const Viewpoint kViewpoints[] = {
    {"hangar_corner", {300, 0, -300}, {0, -40, 0}},
    {"corridor_to_door", {0, 20, 450}, {0, 0, 0}},
    {"pump_room", {0, -50, 950}, {10, 0, 0}},
    {"pump_room_back", {150, 0, 1400}, {0, 200, 0}},
    {"lava_corridor", {400, 20, 1180}, {0, 90, 0}},
    {"control_room", {950, 0, 1180}, {0, 90, 0}},
    {"looking_up_at_the_fan", {0, 0, 1100}, {80, 0, 0}},
};

TEST_F(MissionFrameTest, EveryPixelIsWrittenAndTheClosedLevelLeavesNothingUncovered) {
  ASSERT_TRUE(scene_.hasStart);
  std::vector<const Viewpoint*> points = {nullptr};
  for (const Viewpoint& v : kViewpoints) points.push_back(&v);
  for (const Viewpoint* v : points) {
    SCOPED_TRACE(v ? v->name : "player_start");
    FramePlacement placement;
    if (v)
      placement = {v->position,
                   {v->anglesDegrees.x * kDegrees, v->anglesDegrees.y * kDegrees, v->anglesDegrees.z * kDegrees}};
    FrameOptions a, b;
    a.clearIndex = 0;
    b.clearIndex = 255;
    const std::string name = std::string("demo_") + (v ? v->name : "player_start");
    const FrameImage first = Render(name.c_str(), v ? &placement : nullptr, a);
    // From inside the closed level every scanline is covered by polygons.
    EXPECT_EQ(g_Coverage.openLineCount, 0);
    EXPECT_GT(g_StatNodes, 10u);
    const FrameImage second = Render(name.c_str(), v ? &placement : nullptr, b);
    ASSERT_EQ(first.pixels.size(), second.pixels.size());
    EXPECT_TRUE(first.pixels == second.pixels);  // the clear colour shows nowhere
    std::set<std::uint8_t> colours(first.pixels.begin(), first.pixels.end());
    EXPECT_GT(colours.size(), 20u);  // textured and lit, not one flat colour
  }
}

TEST_F(MissionFrameTest, HangarWallFacingTheStartCoversItsRegionWithItsTexture) {
  FrameOptions options;
  options.flags = kUnlit;  // pixels are texels as they are
  const FrameImage image = Render("demo_start_unlit", nullptr, options);
  // The back wall (z = 400) between the left pillar and the door, round
  // (-120, -150, 400): seen from (0, 40, -280) at depth 680 it lies round
  // column 269, row 160.
  Texture* wall = nullptr;
  for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
    if (std::strcmp(t->name, kDemoWallConcrete) == 0) wall = t;
  }
  ASSERT_NE(wall, nullptr);
  ASSERT_NE(wall->pixels, nullptr);  // drawn this frame, so loaded
  const std::set<std::uint8_t> texels(wall->pixels, wall->pixels + wall->byteSize);
  int x, y;
  View view = {};
  view.zoom = 1.0f;
  view.width = 640;
  view.height = 480;
  view.focal = 288;
  MissionStartCamera(scene_, view.cameraMatrix);
  ASSERT_EQ(ProjectToScreen(&view, -120, -150, 400, &x, &y), 1);
  EXPECT_NEAR(x, 269, 1);
  EXPECT_NEAR(y, 160, 1);
  int inTexture = 0;
  for (int dy = -10; dy < 10; ++dy)
    for (int dx = -10; dx < 10; ++dx) inTexture += texels.count(image.At(x + dx, y + dy));
  EXPECT_EQ(inTexture, 400);
  // The other side of the door is a different part of the same wall.
  ASSERT_EQ(ProjectToScreen(&view, 120, -150, 400, &x, &y), 1);
  EXPECT_EQ(texels.count(image.At(x, y)), 1u);
  g_CurrentView = nullptr;
}

TEST_F(MissionFrameTest, OpeningTheDoorChangesThePictureWhereTheDoorIs) {
  const FramePlacement placement = {{0, 20, 450}, {0, 0, 0}};
  const FrameImage closed = Render("demo_door_closed", &placement);
  PolygonGroup* door = GroupFindByName(scene_.world, kDemoDoorGroup);
  ASSERT_NE(door, nullptr);
  ASSERT_EQ(GroupSetMoverState(door, 1.0f, 0.0f), 1);
  const FrameImage open = Render("demo_door_open", &placement);
  // The door (z = 642, depth 192): columns 200..440, rows 150..360.
  int changed = 0, area = 0;
  for (int y = 170; y < 340; ++y) {
    for (int x = 220; x < 420; ++x) {
      changed += closed.At(x, y) != open.At(x, y);
      ++area;
    }
  }
  EXPECT_GT(changed, area * 3 / 4);
  // The corridor's nearest floor and walls do not change.
  int same = 0;
  for (int y = 440; y < 480; ++y)
    for (int x = 0; x < 640; ++x) same += closed.At(x, y) == open.At(x, y);
  EXPECT_EQ(same, 40 * 640);
  for (int y = 0; y < 480; ++y) EXPECT_EQ(closed.At(5, y), open.At(5, y)) << y;
}

TEST_F(MissionFrameTest, InstanceInViewIsDrawnAndOneBehindAWallIsNot) {
  Instance* crate = InstanceNamed("crate3");
  Instance* sentry = InstanceNamed("sentry1");
  Instance* shields = InstanceNamed("shields1");
  ASSERT_TRUE(crate && sentry && shields);
  // In the hangar looking back at the crate in its corner (330, 90, -330).
  const FramePlacement placement = {{330, 70, -260}, {0, 180 * kDegrees, 0}};
  for (Instance* i = scene_.world->firstInstance; i; i = i->next) i->drawn = 0;
  const FrameImage withCrate = Render("demo_crate", &placement);
  EXPECT_EQ(crate->drawn, 1);
  EXPECT_EQ(sentry->drawn, 0);   // in the pump room, behind the hangar's walls
  EXPECT_EQ(shields->drawn, 0);  // in the control room
  // Not drawn, the crate leaves the wall and floor behind it.
  crate->collidable = 0;
  const FrameImage without = Render("demo_crate_hidden", &placement);
  int differ = 0;
  for (std::size_t i = 0; i < withCrate.pixels.size(); ++i) differ += withCrate.pixels[i] != without.pixels[i];
  EXPECT_GT(differ, 500);
}

TEST_F(MissionFrameTest, HalfResolutionDoublesRowsAndColumns) {
  FrameOptions options;
  options.flags = kRenderFlagsDefault | kRenderHalfResolution;
  const FrameImage half = Render("demo_player_start_half", nullptr, options);
  const FrameImage full = Render("demo_player_start_full", nullptr);
  int same = 0;
  for (int y = 0; y < 480; y += 2) {
    for (int x = 0; x < 640; x += 2) {
      const std::uint8_t p = half.At(x, y);
      ASSERT_EQ(half.At(x + 1, y), p);
      ASSERT_EQ(half.At(x, y + 1), p);
      ASSERT_EQ(half.At(x + 1, y + 1), p);
      same += full.At(x, y) == p;
    }
  }
  EXPECT_GT(same, 320 * 240 / 4);  // the same picture, coarser
  std::set<std::uint8_t> colours(half.pixels.begin(), half.pixels.end());
  EXPECT_GT(colours.size(), 20u);
}

TEST_F(MissionFrameTest, BmpHasThePaletteAndBottomUpRows) {
  FrameImage image;
  image.width = 3;
  image.height = 2;
  image.pixels = {1, 2, 3, 4, 5, 6};
  const std::vector<std::uint8_t> bmp = FrameBmpBytes(image);
  ASSERT_EQ(bmp.size(), 14u + 40u + 1024u + 2u * 4u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  auto i32 = [&](int at) { return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | bmp[at + 3] << 24; };
  EXPECT_EQ(i32(2), static_cast<int>(bmp.size()));
  EXPECT_EQ(i32(10), 14 + 40 + 1024);
  EXPECT_EQ(i32(18), 3);
  EXPECT_EQ(i32(22), 2);
  EXPECT_EQ(bmp[28], 8);
  // The loaded palette's entry 20, as blue, green, red.
  EXPECT_EQ(bmp[54 + 20 * 4 + 2], g_PaletteRed[20]);
  EXPECT_EQ(bmp[54 + 20 * 4 + 1], g_PaletteGreen[20]);
  EXPECT_EQ(bmp[54 + 20 * 4 + 0], g_PaletteBlue[20]);
  // The bottom row first, each padded to four bytes.
  const std::size_t data = 14 + 40 + 1024;
  EXPECT_EQ(std::vector<std::uint8_t>(bmp.begin() + data, bmp.end()),
            (std::vector<std::uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST_F(MissionFrameTest, ToolWritesTheFrameAtTheRequestedSize) {
  const char* build = KORVANE_BINARY_DIR;
  const std::string out = temp_->Join("tool.bmp");
  const std::string command = std::string(build) + "/tools/renderframe " + temp_->Join("TEXTURES.CAN") + " " +
                              temp_->Join("M1.CAN") + " " + out + " --size 320x240 --at 0,20,450 --open " +
                              kDemoDoorGroup + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::FILE* file = std::fopen(out.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::uint8_t header[54];
  ASSERT_EQ(std::fread(header, 1, sizeof header, file), sizeof header);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  EXPECT_EQ(header[18] | header[19] << 8, 320);
  EXPECT_EQ(header[22] | header[23] << 8, 240);
  EXPECT_EQ(size, 14 + 40 + 1024 + 320 * 240);
  // A missing mission is refused.
  const std::string bad = std::string(build) + "/tools/renderframe " + temp_->Join("TEXTURES.CAN") + " " +
                          temp_->Join("M9.CAN") + " " + out + " 2> /dev/null";
  EXPECT_NE(std::system(bad.c_str()), 0);
}

// A mission of about a kilobyte whose vertex pool claims six arrays of
// 2 GiB: under a 1.5 GB address-space limit the tool refuses it, saying why,
// with exit status 1 (not a signal), and stays far from 256 MB.
TEST_F(MissionFrameTest, ToolRefusesACraftedMissionUnderAnAddressSpaceLimit) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer cannot run under an address-space limit";
#endif
  const std::vector<uint8_t> mission = CraftedMissionWithPoolClaim(536870911);
  ASSERT_FALSE(mission.empty());
  ASSERT_LT(mission.size(), 4096u);
  temp_->WriteFile("CRAFTED.CAN", mission);
  const std::string report = temp_->Join("crafted.txt");
  const std::string command = "prlimit --as=1500000000 /usr/bin/time -f 'peak %M KB' " +
                              std::string(KORVANE_BINARY_DIR) + "/tools/renderframe " + temp_->Join("TEXTURES.CAN") +
                              " " + temp_->Join("CRAFTED.CAN") + " " + temp_->Join("crafted.bmp") + " 2> " + report +
                              "; echo \"exit $?\" >> " + report;
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(report);
  std::stringstream text;
  text << in.rdbuf();
  const std::string said = text.str();
  EXPECT_NE(said.find("exit 1\n"), std::string::npos) << said;
  EXPECT_NE(said.find("M1.CCW: vertex pool of 536870911 entries exceeds the member's"), std::string::npos) << said;
  const size_t peak = said.find("peak ");
  ASSERT_NE(peak, std::string::npos) << said;
  EXPECT_LT(std::stol(said.substr(peak + 5)), 256 * 1024) << said;
}

}  // namespace
