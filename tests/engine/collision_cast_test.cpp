// Segment and ray casts against small fabricated worlds.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/bsp.h"
#include "engine/collision.h"
#include "tests/engine/collision_fixture.h"

namespace {

constexpr Vec3 kPlusX = {1, 0, 0};
constexpr Vec3 kMinusX = {-1, 0, 0};

using CastTest = CollisionTest;

TEST_F(CastTest, SegmentIsBlockedOnlyByTheFrontFaceItPassesThrough) {
  Square({20, 50, 0}, kMinusX, 100);  // wall at x = 20 facing x < 20
  struct Case {
    const char* name;
    Vec3 from, to;
    int blocked;
  } cases[] = {
      {"through the front face", {0, 50, 0}, {40, 50, 0}, 1},
      {"through the back face", {40, 50, 0}, {0, 50, 0}, 0},
      {"stopping short", {0, 50, 0}, {19, 50, 0}, 0},
      {"beside the wall", {0, 50, 150}, {40, 50, 150}, 0},
      {"through its lower part", {0, -20, 30}, {40, -40, 30}, 1},
      {"a point", {20, 50, 0}, {20, 50, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WorldSegmentBlocked(world_, c.from.x, c.from.y, c.from.z, c.to.x, c.to.y, c.to.z), c.blocked);
  }
}

TEST_F(CastTest, TriggersAndInstancesNeverBlockALineOfSight) {
  Square({20, 50, 0}, kMinusX, 100, kPolygonTrigger);
  Instance* crate = AddInstance({10, 50, 0}, 5);
  SortInstance(crate, root_, {10, 50, 0});
  CollideSetInstanceChecks(1);
  EXPECT_EQ(WorldSegmentBlocked(world_, 0, 50, 0, 40, 50, 0), 0);
}

TEST_F(CastTest, SegmentEndsAtTheNearestWallWhateverTheTreeOrder) {
  struct Case {
    const char* name;
    Vec3 facing;
    float firstWall, secondWall;  // made in this order
    float from, to, hit;
  } cases[] = {
      {"going +x, near wall made first", kMinusX, 20, 40, 0, 60, 20},
      {"going +x, far wall made first", kMinusX, 40, 20, 0, 60, 20},
      {"going -x, near wall made first", kPlusX, 40, 20, 60, 0, 40},
      {"going -x, far wall made first", kPlusX, 20, 40, 60, 0, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    WorldPolygon* first = Square({c.firstWall, 50, 0}, c.facing, 100);
    WorldPolygon* second = Square({c.secondWall, 50, 0}, c.facing, 100);
    WorldPolygon* nearest = c.firstWall == c.hit ? first : second;
    float x = c.to, y = 50, z = 0;
    EXPECT_EQ(CollideSegment(world_, c.from, 50, 0, &x, &y, &z), 1);
    EXPECT_FLOAT_EQ(x, c.hit);
    EXPECT_FLOAT_EQ(y, 50.0f);
    EXPECT_EQ(CollideLastHit(), nearest);
  }
}

TEST_F(CastTest, MissLeavesTheEndAndClearsTheLastHit) {
  Square({20, 50, 0}, kMinusX, 100);
  float x = 40, y = 50, z = 0;
  ASSERT_EQ(CollideSegment(world_, 0, 50, 0, &x, &y, &z), 1);
  ASSERT_NE(CollideLastHit(), nullptr);
  x = 40, y = 50, z = 150;
  EXPECT_EQ(CollideSegment(world_, 0, 50, 150, &x, &y, &z), 0);
  EXPECT_EQ(x, 40.0f);
  EXPECT_EQ(z, 150.0f);
  EXPECT_EQ(CollideLastHit(), nullptr);
}

// The tree for the ray cases: root x = 0, a wall at x = 20 facing +x in its
// front child, a far wall at x = -100 in its back child. The ray runs from
// x = 50 to x = -50, so the walk visits the back child first.
class RayTest : public CollisionTest {
 protected:
  void SetUp() override {
    CollisionTest::SetUp();
    UseRoot(1, 0, 0, 0);
    wall_ = Square({20, 0, 0}, kPlusX, 100);
    Square({-100, 0, 0}, kPlusX, 100);
    front_ = root_->front;
    back_ = root_->back;
  }
  int Ray(Vec3* hit, WorldPolygon** polygon, Instance** instance) {
    return CollideRay(world_, &hit->x, &hit->y, &hit->z, polygon, instance, 50, 0, 0, -50, 0, 0);
  }
  WorldPolygon* wall_ = nullptr;
  BspNode* front_ = nullptr;
  BspNode* back_ = nullptr;
};

TEST_F(RayTest, RayReturnsTheNearestOfWallsAndInstanceSpheres) {
  ASSERT_NE(front_, nullptr);
  ASSERT_NE(back_, nullptr);
  ASSERT_EQ(wall_->firstFragment->node, front_);
  enum Where { kRoot, kFrontLeaf, kBackLeaf };
  struct Case {
    const char* name;
    float instanceX;
    Where sorted;
    int result;
    float hitX;
  } cases[] = {
      {"instance behind the wall, sorted at the root", -20, kRoot, kRayPolygon, 20},
      {"instance behind the wall, sorted in the part visited first", -20, kBackLeaf, kRayPolygon, 20},
      {"instance before the wall, sorted at the root", 35, kRoot, kRayInstance, 40},
      {"instance before the wall, sorted in the part visited first", 35, kBackLeaf, kRayInstance, 40},
      {"instance before the wall, sorted with the wall", 35, kFrontLeaf, kRayInstance, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Instance* target = AddInstance({c.instanceX, 0, 0}, 5);
    BspNode* node = c.sorted == kRoot ? root_ : c.sorted == kFrontLeaf ? front_ : back_;
    SortInstance(target, node, {c.instanceX, 0, 0});
    Vec3 hit;
    WorldPolygon* polygon = reinterpret_cast<WorldPolygon*>(1);
    Instance* instance = reinterpret_cast<Instance*>(1);
    EXPECT_EQ(Ray(&hit, &polygon, &instance), c.result);
    EXPECT_FLOAT_EQ(hit.x, c.hitX);
    EXPECT_EQ(polygon, c.result == kRayPolygon ? wall_ : nullptr);
    EXPECT_EQ(instance, c.result == kRayInstance ? target : nullptr);
    EXPECT_EQ(CollideLastHit(), polygon);
    DropInstance(target);
  }
}

TEST_F(RayTest, RayMissReturnsTheEnd) {
  Vec3 hit;
  WorldPolygon* polygon = nullptr;
  Instance* instance = nullptr;
  EXPECT_EQ(CollideRay(world_, &hit.x, &hit.y, &hit.z, &polygon, &instance, 50, 0, 150, -50, 0, 150), kRayNothing);
  EXPECT_EQ(hit.x, -50.0f);
  EXPECT_EQ(hit.z, 150.0f);
  EXPECT_EQ(polygon, nullptr);
  EXPECT_EQ(instance, nullptr);
  // Every output may be left out.
  EXPECT_EQ(CollideRay(world_, nullptr, nullptr, nullptr, nullptr, nullptr, 50, 0, 0, -50, 0, 0), kRayPolygon);
}

TEST_F(RayTest, SkippedInstancesLetTheRayThroughToTheWall) {
  Instance* crate = AddInstance({35, 0, 0}, 5);
  SortInstance(crate, root_, {35, 0, 0});
  struct Case {
    const char* name;
    float radius;
    int collidable;
    bool ignored;
    int result;
  } cases[] = {
      {"plain", 5, 1, false, kRayInstance},
      {"ignored", 5, 1, true, kRayPolygon},
      {"radius 0", 0, 1, false, kRayPolygon},
      {"hidden", 5, 0, false, kRayPolygon},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    crate->radius = c.radius;
    crate->collidable = c.collidable;
    CollideSetIgnore(c.ignored ? crate : nullptr);
    Vec3 hit;
    EXPECT_EQ(Ray(&hit, nullptr, nullptr), c.result);
    EXPECT_FLOAT_EQ(hit.x, c.result == kRayInstance ? 40.0f : 20.0f);
  }
}

TEST_F(RayTest, StartInsideAnInstanceSphereHitsAtTheStart) {
  Instance* crate = AddInstance({48, 1, 0}, 5);
  SortInstance(crate, root_, {48, 1, 0});
  Vec3 hit;
  Instance* instance = nullptr;
  EXPECT_EQ(Ray(&hit, nullptr, &instance), kRayInstance);
  EXPECT_EQ(instance, crate);
  EXPECT_EQ(hit.x, 50.0f);
  EXPECT_EQ(hit.y, 0.0f);
}

TEST_F(RayTest, InstanceChecksDecideWhetherSegmentsMeetInstancesAndRaysLeaveThemOff) {
  Instance* crate = AddInstance({35, 0, 0}, 5);
  SortInstance(crate, root_, {35, 0, 0});
  struct Case {
    int checks;
    float hitX;
  } cases[] = {{1, 40}, {0, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.checks);
    EXPECT_EQ(CollideSetInstanceChecks(c.checks), c.checks);
    float x = -50, y = 0, z = 0;
    EXPECT_EQ(CollideSegment(world_, 50, 0, 0, &x, &y, &z), 1);
    EXPECT_FLOAT_EQ(x, c.hitX);
    EXPECT_EQ(CollideLastHit(), c.checks ? nullptr : wall_);  // an instance at the nearest hit: no polygon
  }
  CollideSetInstanceChecks(1);
  Vec3 hit;
  EXPECT_EQ(Ray(&hit, nullptr, nullptr), kRayInstance);
  float x = -50, y = 0, z = 0;
  EXPECT_EQ(CollideSegment(world_, 50, 0, 0, &x, &y, &z), 1);
  EXPECT_FLOAT_EQ(x, 20.0f);  // checks are off after the ray
}

TEST_F(RayTest, SegmentStoppingShortOfASphereMissesItAndOneOfLengthZeroIsBlocked) {
  Instance* crate = AddInstance({35, 0, 0}, 5);
  SortInstance(crate, root_, {35, 0, 0});
  CollideSetInstanceChecks(1);
  struct Case {
    const char* name;
    float fromX, toX;
    int hit;
    float endX;
  } cases[] = {
      {"ends before the sphere", 50, 40.5f, 0, 40.5f},
      {"ends on its surface", 50, 40, 1, 40},
      {"starts past it", 29, 25, 0, 25},
      {"a point outside", 45, 45, 1, 45},
      {"a point inside", 36, 36, 1, 36},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float x = c.toX, y = 0, z = 0;
    EXPECT_EQ(CollideSegment(world_, c.fromX, 0, 0, &x, &y, &z), c.hit);
    EXPECT_FLOAT_EQ(x, c.endX);
  }
}

TEST_F(RayTest, AnObjectThatDidNotMoveIsBlockedWithoutNamingWhatBlocksIt) {
  for (int checks : {0, 1}) {
    SCOPED_TRACE(checks);
    CollideSetInstanceChecks(checks);
    float x = 60, y = 0, z = 0;  // far from every wall and sphere
    EXPECT_EQ(CollideSegment(world_, 60, 0, 0, &x, &y, &z), 1);
    EXPECT_EQ(x, 60.0f);
    EXPECT_EQ(CollideLastHit(), nullptr);
  }
  // The smallest step is a move.
  float x = std::nextafter(60.0f, 100.0f), y = 0, z = 0;
  EXPECT_EQ(CollideSegment(world_, 60, 0, 0, &x, &y, &z), 0);
  // A ray of length zero names nothing.
  Vec3 hit;
  WorldPolygon* polygon = nullptr;
  Instance* instance = nullptr;
  EXPECT_EQ(CollideRay(world_, &hit.x, &hit.y, &hit.z, &polygon, &instance, 60, 0, 0, 60, 0, 0), kRayNothing);
  EXPECT_EQ(hit.x, 60.0f);
  EXPECT_EQ(polygon, nullptr);
  EXPECT_EQ(instance, nullptr);
}

TEST_F(CastTest, NullWorldOrEmptyWorldHitsNothing) {
  float x = 1, y = 2, z = 3;
  EXPECT_EQ(WorldSegmentBlocked(nullptr, 0, 0, 0, 1, 1, 1), 0);
  EXPECT_EQ(CollideSegment(nullptr, 0, 0, 0, &x, &y, &z), 0);
  EXPECT_EQ(CollideRay(nullptr, &x, &y, &z, nullptr, nullptr, 0, 0, 0, 4, 5, 6), kRayNothing);
  EXPECT_EQ(x, 4.0f);
  EXPECT_EQ(WorldSegmentBlocked(world_, 0, 10, 0, 0, -10, 0), 0);
}

}  // namespace
