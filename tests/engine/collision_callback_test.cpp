// Callbacks that change the world while a sphere query reports to them.
// The query finishes its walk first and calls afterwards, so none of this
// can make it read freed memory. (Engine records are pool blocks, which the
// address sanitizer does not watch: the tests check what the query did.)
#include <gtest/gtest.h>

#include <vector>

#include "engine/collision.h"
#include "engine/polygon_group.h"
#include "engine/world_polygon.h"
#include "tests/engine/collision_fixture.h"

namespace {

constexpr Vec3 kUp = {0, 1, 0};
constexpr Vec3 kMinusX = {-1, 0, 0};

class CallbackTest : public CollisionTest {
 protected:
  void SetUp() override {
    CollisionTest::SetUp();
    current_ = this;
    g_CollideVerticalScale = 1.0f;
  }
  void TearDown() override {
    current_ = nullptr;
    CollisionTest::TearDown();
  }

  // Deletes every polygon of the world and the victim group.
  static void Demolish(PolygonGroup* group, int code) {
    RecordGroup(group, code);
    while (current_->world_->firstPolygon) PolygonDelete(current_->world_->firstPolygon);
    if (current_->victimGroup_) GroupDelete(current_->victimGroup_);
    current_->victimGroup_ = nullptr;
  }
  // Deletes the victim instance.
  static void DeleteOther(Instance* instance, int code) {
    RecordInstance(instance, code);
    if (current_->victimInstance_) current_->DropInstance(current_->victimInstance_);
    current_->victimInstance_ = nullptr;
  }
  // Builds a new wall at x = -20 (inserted into the BSP while the query
  // that called still has calls to make).
  static void Build(PolygonGroup* group, int code) {
    RecordGroup(group, code);
    current_->built_ = current_->Square({-20, 50, 0}, {1, 0, 0}, 100);
  }

  static CallbackTest* current_;
  PolygonGroup* victimGroup_ = nullptr;
  Instance* victimInstance_ = nullptr;
  WorldPolygon* built_ = nullptr;
};

CallbackTest* CallbackTest::current_ = nullptr;

TEST_F(CallbackTest, CallbackThatDeletesPolygonsAndGroupsComesAfterTheWalk) {
  PolygonGroup* floorGroup = Group();
  PolygonGroup* wallGroup = Group();
  floorGroup->callback = &Demolish;
  victimGroup_ = wallGroup;
  Square({0, 0, 0}, kUp, 100, 0, floorGroup);
  Square({20, 50, 0}, kMinusX, 100, 0, wallGroup);
  float x = 15, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  // Pushed out of both before any callback ran.
  EXPECT_NEAR(x, 9.9999f, 1e-4f);
  EXPECT_NEAR(y, 10.0001f, 1e-4f);
  // The wall's group was deleted by the floor's callback: its call is dropped.
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{floorGroup, kGroupPushed}}));
  EXPECT_EQ(world_->firstPolygon, nullptr);
  EXPECT_EQ(CollideLastHit(), nullptr);  // the polygon hit last is gone
  // The world is empty now.
  calls_.clear();
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 30.0f), kCollideNothing);
  EXPECT_TRUE(calls_.empty());
}

TEST_F(CallbackTest, CallbackThatDeletesAnotherPushedInstanceDropsItsCall) {
  Instance* first = AddInstance({0, 50, 0}, 3);
  Instance* second = AddInstance({6, 50, 0}, 3);
  first->callback = &DeleteOther;
  victimInstance_ = second;
  float x = 3, y = 50.5f, z = 0;  // inside both
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 2.0f), kCollideInstance);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{first, kInstanceCallbackPushed}}));
  EXPECT_EQ(world_->firstInstance, first);
  EXPECT_EQ(world_->lastInstance, first);
}

TEST_F(CallbackTest, CallbackThatBuildsGeometryLeavesTheOtherCallsAlone) {
  PolygonGroup* builder = Group();
  PolygonGroup* other = Group();
  builder->callback = &Build;
  Square({0, 0, 0}, kUp, 100, 0, builder);
  Square({20, 50, 0}, kMinusX, 100, 0, other);
  float x = 15, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{builder, kGroupPushed}, {other, kGroupPushed}}));
  ASSERT_NE(built_, nullptr);
  // The new wall takes part in the next query.
  x = -15, y = 50, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_NEAR(x, -9.9999f, 1e-4f);
  EXPECT_EQ(CollideLastHit(), built_);
}

}  // namespace
