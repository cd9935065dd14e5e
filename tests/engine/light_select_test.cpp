// Choosing the lights that can reach a fragment: lighting any point of the
// fragment's box through the choice gives exactly what walking the whole
// light list gives.
#include "engine/light_select.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/depth_cue.h"
#include "engine/light.h"
#include "engine/lighting.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "tests/engine/world_fixture.h"

namespace {

class LightSelectTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    g_CurrentWorld = world_;
    g_CameraPosition = {0.0f, 0.0f, 0.0f};
    g_SurfaceTakesLights = 1;
    DepthCueSet(0.0f, -1.0f);
  }
  void TearDown() override {
    LightSelectFrameEnd();
    g_CurrentWorld = nullptr;
    WorldTest::TearDown();
  }
  unsigned seed_ = 99;
  float Random(float low, float high) {
    seed_ = seed_ * 1103515245u + 12345u;
    return low + (high - low) * static_cast<float>((seed_ >> 8) & 0xFFFF) / 65535.0f;
  }
};

TEST_F(LightSelectTest, LightingThroughTheChoiceEqualsWalkingTheList) {
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  const float kInf = std::numeric_limits<float>::infinity();
  for (int i = 0; i < 400; ++i) {
    const int type = i % 7 == 0 ? kLightTypeSphere : (i % 5 == 0 ? 2 : kLightTypePoint);
    float radius = Random(20, 600);
    if (i == 3) radius = kNaN;
    if (i == 10) radius = kInf;
    if (i == 11) radius = -5;
    LightCreate(world_, Random(-3000, 3000), Random(-300, 300), Random(-3000, 3000), 1, 1, 1, Random(0.2f, 2),
                Random(10, 300), radius, type, 0);
  }
  LightSelectFrameBegin();
  int compared = 0, chosenTotal = 0;
  for (int k = 0; k < 300; ++k) {
    const Vec3 min = {Random(-3000, 3000), Random(-300, 300), Random(-3000, 3000)};
    const Vec3 max = {min.x + Random(0, 200), min.y + Random(0, 200), min.z + Random(0, 200)};
    ASSERT_TRUE(LightSelectBox(min, max, 1.0f));
    ASSERT_TRUE(g_LightSelection.active);
    chosenTotal += g_LightSelection.count;
    // Points of the box: its corners, its centre and points on its faces.
    for (int p = 0; p < 12; ++p) {
      Vec3 point = {Random(min.x, max.x), Random(min.y, max.y), Random(min.z, max.z)};
      if (p < 8) point = {(p & 1) ? max.x : min.x, (p & 2) ? max.y : min.y, (p & 4) ? max.z : min.z};
      const Vec3 n = {Random(-1, 1), Random(-1, 1), Random(-1, 1)};
      const float base = Random(0, 0.3f);
      const int chosen = LightingAtPoint(point.x, point.y, point.z, n.x, n.y, n.z, base);
      const LightSelection saved = g_LightSelection;
      LightSelectRelease();
      const int walked = LightingAtPoint(point.x, point.y, point.z, n.x, n.y, n.z, base);
      g_LightSelection = saved;
      ASSERT_EQ(chosen, walked) << k << " " << p;
      ++compared;
    }
    LightSelectRelease();
  }
  EXPECT_EQ(compared, 300 * 12);
  EXPECT_LT(chosenTotal, 300 * 40);  // a few lights a box, not the whole list
}

TEST_F(LightSelectTest, NothingIsChosenOutsideAFrameOrForFewLights) {
  for (int i = 0; i < 3; ++i) LightCreate(world_, 10.0f * i, 0, 0, 1, 1, 1, 1, 10, 100, kLightTypePoint, 0);
  EXPECT_FALSE(LightSelectBox({0, 0, 0}, {1, 1, 1}, 1.0f));  // not within a frame
  LightSelectFrameBegin();
  EXPECT_FALSE(LightSelectBox({0, 0, 0}, {1, 1, 1}, 1.0f));  // three lights are walked
  for (int i = 0; i < 10; ++i) LightCreate(world_, 10.0f * i, 0, 0, 1, 1, 1, 1, 10, 100, kLightTypePoint, 0);
  LightSelectFrameEnd();
  LightSelectFrameBegin();
  EXPECT_TRUE(LightSelectBox({0, 0, 0}, {1, 1, 1}, 1.0f));
  LightSelectRelease();
  // A normal longer than 1 could reach a spot from further: walk the list.
  EXPECT_FALSE(LightSelectBox({0, 0, 0}, {1, 1, 1}, 1.5f));
  EXPECT_FALSE(g_LightSelection.active);
}

}  // namespace

namespace {

// The choice follows lights that move between frames.
TEST_F(LightSelectTest, ALightMovedThroughLightSetIsChosenWhereItIsNow) {
  std::vector<Light*> lights;
  for (int i = 0; i < 12; ++i) {
    lights.push_back(LightCreate(world_, 1000.0f * i, 0, 0, 1, 1, 1, 1, 10, 100, kLightTypePoint, 0));
  }
  auto chosen = [](const Light* light) {
    for (int i = 0; i < g_LightSelection.count; ++i) {
      if (g_LightSelection.lights[i] == light) return true;
    }
    return false;
  };
  LightSelectFrameBegin();
  ASSERT_TRUE(LightSelectBox({-10, -10, -10}, {10, 10, 10}, 1.0f));
  EXPECT_TRUE(chosen(lights[0]));
  EXPECT_FALSE(chosen(lights[5]));
  LightSelectFrameEnd();
  LightSet(lights[0], 5000, 0, 0, 1, 10, 100, kLightTypePoint);
  LightSet(lights[5], 0, 0, 50, 1, 10, 100, kLightTypePoint);
  LightSelectFrameBegin();
  ASSERT_TRUE(LightSelectBox({-10, -10, -10}, {10, 10, 10}, 1.0f));
  EXPECT_FALSE(chosen(lights[0]));
  EXPECT_TRUE(chosen(lights[5]));
}

}  // namespace
