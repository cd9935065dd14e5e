// Collision with real instances: a model read from "OBJECTS", placed with
// InstanceCreate and sorted into the BSP by posing it, as a frame does.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/animation.h"
#include "engine/bsp.h"
#include "engine/collision.h"
#include "engine/instance.h"
#include "engine/vertex_pool.h"
#include "engine/world_polygon.h"
#include "tests/engine/model_fixture.h"
#include "tests/engine/world_fixture.h"

namespace {

class CollisionInstanceTest : public ModelTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadModels({BoxModel("crate.3ds", {3, 3, 3})}), 1);
    world_ = NewWorld();
    VertexPoolInit(world_, 1);
    world_->bspRoot = BspNodeCreate(1, 0, 0, 0);
    // A wall at x = 20 facing +x, in the root's front child.
    wall_ = TestPolygon(world_, {{20, -50, 50}, {20, -50, -50}, {20, 50, -50}, {20, 50, 50}});
    ASSERT_NE(wall_, nullptr);
    ASSERT_GT(wall_->normal.x, 0.99f);
    g_CollideVerticalScale = 1.0f;
  }
  void TearDown() override {
    BspNodeFree(world_->bspRoot);  // releases the instance fragments
    world_->bspRoot = nullptr;
    while (world_->firstPolygon) PolygonDelete(world_->firstPolygon);
    VertexPoolFree(world_);
    CollideSetIgnore(nullptr);
    CollideSetMode(0);
    g_CollideVerticalScale = 0.25f;
    ModelTest::TearDown();
  }
  Instance* Place(float x) {
    Instance* instance = InstanceCreate(world_, g_ModelListHead, x, 0, 0, 0, 0, 0, 0);
    InstanceUpdateMatrix(instance);
    InstanceNodeUpdate(InstanceFirstNode(instance), 0);
    return instance;
  }
  WorldPolygon* wall_ = nullptr;
};

TEST_F(CollisionInstanceTest, RayAndSphereMeetAPlacedInstance) {
  Instance* crate = Place(35);
  ASSERT_NE(crate, nullptr);
  ASSERT_NE(world_->bspRoot->firstInstanceFragment, nullptr);
  const float radius = crate->radius;
  EXPECT_NEAR(radius, std::sqrt(27.0f), 1e-4f);  // the box's corner
  Vec3 hit;
  Instance* instance = nullptr;
  WorldPolygon* polygon = nullptr;
  EXPECT_EQ(CollideRay(world_, &hit.x, &hit.y, &hit.z, &polygon, &instance, 50, 0, 0, -50, 0, 0), kRayInstance);
  EXPECT_EQ(instance, crate);
  EXPECT_NEAR(hit.x, 35 + radius, 1e-4f);
  // Behind the wall it is not hit through the wall.
  InstanceSetPlacement(crate, -10, 0, 0, 0, 0, 0, 0);
  InstanceUpdateMatrix(crate);
  InstanceNodeUpdate(InstanceFirstNode(crate), 0);
  EXPECT_EQ(CollideRay(world_, &hit.x, &hit.y, &hit.z, &polygon, &instance, 50, 0, 0, -50, 0, 0), kRayPolygon);
  EXPECT_EQ(polygon, wall_);
  EXPECT_FLOAT_EQ(hit.x, 20.0f);
  // A sphere beside it is pushed to the sum of the radii.
  float x = -10, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 2.0f), kCollideInstance);
  EXPECT_NEAR(y, radius + 2, 1e-4f);
}

TEST_F(CollisionInstanceTest, DeletingTheIgnoredInstanceForgetsIt) {
  Instance* crate = Place(35);
  CollideSetIgnore(crate);
  ASSERT_EQ(CollideIgnored(), crate);
  Vec3 hit;
  EXPECT_EQ(CollideRay(world_, &hit.x, &hit.y, &hit.z, nullptr, nullptr, 50, 0, 0, -50, 0, 0), kRayPolygon);
  Instance* other = Place(-30);
  EXPECT_EQ(InstanceDelete(crate), 1);
  EXPECT_EQ(CollideIgnored(), nullptr);
  EXPECT_EQ(InstanceDelete(other), 1);
}

}  // namespace
