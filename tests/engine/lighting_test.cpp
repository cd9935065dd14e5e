// Light levels at worked points: light sources inside and outside their
// radius, the near-light rule of each function, sphere lights, the switch,
// the clamp and encoding, and the depth-cue ramp.
#include "engine/lighting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/depth_cue.h"
#include "engine/light.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "tests/engine/world_fixture.h"

namespace {

// Float rounding of the product may differ by one from the exact value.
constexpr int kLevelTolerance = 1;

int Level(float f) { return static_cast<int>(std::lround(f * 1966079.0)) + 0x8000; }

class LightingTest : public WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    g_CurrentWorld = world_;
    g_CameraPosition = {0.0f, 0.0f, 0.0f};
    g_InstanceEyePosition = {0.0f, 0.0f, 0.0f};
    g_SurfaceTakesLights = 1;
    DepthCueSet(0.0f, -1.0f);
  }
  void TearDown() override {
    g_CurrentWorld = nullptr;
    DepthCueSet(0.0f, -1.0f);
    WorldTest::TearDown();
  }
  // A point light with halfPower = intensity x size / 2 = power.
  Light* Point(float x, float y, float z, float power, float radius) {
    Light* light = LightCreate(world_, x, y, z, 1, 1, 1, power, 2.0f, radius, kLightTypePoint, 0);
    light->localX = x;
    light->localY = y;
    light->localZ = z;
    return light;
  }
};

}  // namespace

TEST_F(LightingTest, WithoutLightsAndCueTheBaseIsEncodedAndClamped) {
  struct Case {
    float base;
    int level;
  };
  const Case cases[] = {
      {0.0f, 32768},  {1.0f, 1966079 + 32768}, {0.5f, Level(0.5f)},
      {-3.0f, 32768}, {7.0f, 1966079 + 32768}, {std::numeric_limits<float>::quiet_NaN(), 32768},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LightingAtPoint(1, 2, 3, 0, 0, 1, c.base), c.level) << c.base;
    EXPECT_EQ(InstanceLightingAtPoint(1, 2, 3, 0, 0, 1, c.base), c.level) << c.base;
  }
  // Rows 0 and 30 of the shade table.
  EXPECT_EQ(LightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f) >> 16, 0);
  EXPECT_EQ(LightingAtPoint(0, 0, 0, 0, 0, 1, 1.0f) >> 16, 30);
}

TEST_F(LightingTest, PointLightInsideItsRadiusAddsHalfPowerTimesDotOverDistanceSquared) {
  Point(0.0f, 0.0f, 10.0f, 1.0f, 50.0f);
  // d = (0, 0, 10): dot 10 with the normal (0, 0, 1), d^2 = 100: adds 0.1.
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0, 0, 1, 0.2f), Level(0.3f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, 1, 0.2f), Level(0.3f), kLevelTolerance);
  // A slanted normal: dot = 10 x 0.6.
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0.8f, 0, 0.6f, 0.2f), Level(0.26f), kLevelTolerance);
  // Behind the surface: nothing.
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0, 0, -1, 0.2f), Level(0.2f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, -1, 0.2f), Level(0.2f), kLevelTolerance);
}

TEST_F(LightingTest, LightsOutsideTheirRadiusAddNothing) {
  struct Case {
    Vec3 light;
    float radius;
  };
  const Case cases[] = {
      {{0, 0, 10}, 10.0f},  // exactly at the radius along one axis: the box test is strict
      {{0, 0, 20}, 10.0f},  // beyond it
      {{8, 8, 8}, 10.0f},   // inside the box, outside the sphere (d^2 = 192)
      {{0, 0, 10}, 0.0f},   // no radius at all
  };
  for (const Case& c : cases) {
    Light* light = Point(c.light.x, c.light.y, c.light.z, 5.0f, c.radius);
    EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0.577f, 0.577f, 0.577f, 0.25f), Level(0.25f), kLevelTolerance)
        << c.light.z << " " << c.radius;
    EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0.577f, 0.577f, 0.577f, 0.25f), Level(0.25f), kLevelTolerance);
    LightDelete(light);
  }
}

TEST_F(LightingTest, ALightCloserThanOneUnitDividesByOneForSurfacesAndByTheTrueDistanceForInstances) {
  Point(0.0f, 0.0f, 0.5f, 0.2f, 10.0f);
  // dot = 0.5, d^2 = 0.25: the surface gets 0.2 x 0.5 / 1, the instance
  // 0.2 x 0.5 / 0.25.
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(0.1f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(0.4f), kLevelTolerance);
  // Both clamp the sum at 1.
  Point(0.0f, 0.0f, 0.5f, 10.0f, 10.0f);
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(1.0f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(1.0f), kLevelTolerance);
}

TEST_F(LightingTest, SphereLightsLightInstancesWithoutANormalTestAndNeverSurfaces) {
  Light* sphere = LightCreate(world_, 0, 0, 5, 1, 1, 1, 0.8f, 1.0f, 10.0f, kLightTypeSphere, 0);
  Point(0.0f, 0.0f, 10.0f, 1.0f, 50.0f);
  const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  LightsSeparateSpheres(world_);
  ASSERT_EQ(world_->firstSphereLight, sphere);
  LightingPlaceInFrame(world_, m);
  // (1 - 25 / 100) x 0.8 = 0.6, facing away or not; the point light adds 0.1
  // only when it is in front.
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, -1, 0.0f), Level(0.6f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(0.7f), kLevelTolerance);
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(0.1f), kLevelTolerance);
}

TEST_F(LightingTest, InstanceLightingMeasuresAgainstThePlacedScratchPositions) {
  Light* light = LightCreate(world_, 100, 0, 10, 1, 1, 1, 1.0f, 2.0f, 50.0f, kLightTypePoint, 0);
  // The instance's frame: world x shifted by -100.
  const float toLocal[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -100, 0, 0, 1};
  g_CameraPosition = {100.0f, 0.0f, 0.0f};
  LightingPlaceInFrame(world_, toLocal);
  EXPECT_FLOAT_EQ(light->localX, 0.0f);
  EXPECT_FLOAT_EQ(g_InstanceEyePosition.x, 0.0f);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, 1, 0.0f), Level(0.1f), kLevelTolerance);
}

TEST_F(LightingTest, TheSwitchKeepsLightSourcesOutButNotTheDepthCue) {
  Point(0.0f, 0.0f, 10.0f, 1.0f, 50.0f);
  g_SurfaceTakesLights = 0;
  EXPECT_NEAR(LightingAtPoint(0, 0, 0, 0, 0, 1, 0.5f), Level(0.5f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 0, 0, 0, 1, 0.5f), Level(0.5f), kLevelTolerance);
  DepthCueSet(0.0f, 200.0f);
  EXPECT_NEAR(LightingAtPoint(0, 0, 100, 0, 0, 1, 1.0f), Level(0.75f), kLevelTolerance);
  g_SurfaceTakesLights = 1;
}

TEST_F(LightingTest, DepthCueRampFromStartToFar) {
  DepthCueSet(100.0f, 200.0f);
  g_CameraPosition = {0.0f, 0.0f, -50.0f};
  struct Case {
    float distance;
    float factor;
  };
  const Case cases[] = {
      {0.0f, 1.0f}, {99.0f, 1.0f}, {150.0f, 1.0f - (22500.0f - 10000.0f) / 30000.0f}, {200.0f, 0.0f}, {500.0f, 0.0f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(DepthCueFactor(c.distance * c.distance), c.factor, 1e-6f) << c.distance;
    EXPECT_NEAR(LightingAtPoint(0, 0, c.distance - 50.0f, 0, 0, 1, 1.0f), Level(c.factor), kLevelTolerance)
        << c.distance;
  }
}

TEST_F(LightingTest, DepthCueSettings) {
  DepthCueSet(300.0f, 200.0f);  // start beyond far becomes 0
  EXPECT_FLOAT_EQ(DepthCueFar(), 200.0f);
  EXPECT_EQ(DepthCueOn(), 1);
  EXPECT_NEAR(LightingAtPoint(0, 0, 200, 0, 0, 1, 1.0f), Level(0.0f), kLevelTolerance);
  EXPECT_NEAR(LightingAtPoint(0, 0, 100, 0, 0, 1, 1.0f), Level(0.75f), kLevelTolerance);
  DepthCueSet(300.0f, -1.0f);  // off
  EXPECT_FLOAT_EQ(DepthCueFar(), -1.0f);
  EXPECT_EQ(DepthCueOn(), 0);
  EXPECT_FLOAT_EQ(DepthCueFactor(1e12f), 1.0f);
  EXPECT_NEAR(LightingAtPoint(0, 0, 5000, 0, 0, 1, 1.0f), Level(1.0f), kLevelTolerance);
}

TEST_F(LightingTest, EqualStartAndFarMakeAnEdgeWithoutDividingByZero) {
  DepthCueSet(150.0f, 150.0f);
  EXPECT_FLOAT_EQ(g_DepthCueInverseRange, 0.0f);
  EXPECT_FLOAT_EQ(DepthCueFactor(149.0f * 149.0f), 1.0f);
  EXPECT_FLOAT_EQ(DepthCueFactor(150.0f * 150.0f), 0.0f);
  EXPECT_FLOAT_EQ(DepthCueFactor(1e9f), 0.0f);
  EXPECT_NEAR(LightingAtPoint(0, 0, 149, 0, 0, 1, 1.0f), Level(1.0f), kLevelTolerance);
  EXPECT_NEAR(LightingAtPoint(0, 0, 151, 0, 0, 1, 1.0f), Level(0.0f), kLevelTolerance);
  EXPECT_NEAR(InstanceLightingAtPoint(0, 0, 151, 0, 0, 1, 1.0f), Level(0.0f), kLevelTolerance);
}

TEST(InstanceAmbient, SetterStoresTheDefault) {
  SetInstanceAmbientDefault(0.25f);
  EXPECT_FLOAT_EQ(g_InstanceAmbientDefault, 0.25f);
  SetInstanceAmbientDefault(1.0f);
  EXPECT_FLOAT_EQ(g_InstanceAmbientDefault, 1.0f);
}
