// Sphere queries against small fabricated worlds.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/bsp.h"
#include "engine/collision.h"
#include "engine/frame_stamp.h"
#include "engine/world_polygon.h"
#include "tests/engine/collision_fixture.h"

namespace {

constexpr Vec3 kUp = {0, 1, 0};
constexpr Vec3 kMinusX = {-1, 0, 0};
constexpr Vec3 kMinusZ = {0, 0, -1};

using SphereTest = CollisionTest;

struct RestCase {
  const char* name;
  float scale;
  float height;          // centre above the floor
  int result;            // expected result
  float expectedHeight;  // centre afterwards
};

TEST_F(SphereTest, SphereRestsOnAFloorMeasuredInTheScaledSpace) {
  const RestCase cases[] = {
      {"unscaled, 4 above", 1.0f, 4.0f, kCollidePolygon, 10.0001f},
      {"quarter scale, 4 above", 0.25f, 4.0f, kCollidePolygon, 40.0004f},
      {"quarter scale, 30 above is 7.5 scaled", 0.25f, 30.0f, kCollidePolygon, 40.0004f},
      {"quarter scale, 50 above is 12.5 scaled", 0.25f, 50.0f, kCollideNothing, 50.0f},
      {"unscaled, 30 above", 1.0f, 30.0f, kCollideNothing, 30.0f},
      {"double scale, 8 above is 16 scaled", 2.0f, 8.0f, kCollideNothing, 8.0f},
      {"double scale, 4 above", 2.0f, 4.0f, kCollidePolygon, 5.00005f},
  };
  WorldPolygon* floor = Square({0, 0, 0}, kUp, 100);
  ASSERT_EQ(floor->firstFragment->node, root_);
  for (const RestCase& c : cases) {
    SCOPED_TRACE(c.name);
    g_CollideVerticalScale = c.scale;
    float x = 3, y = c.height, z = -2;
    EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), c.result);
    EXPECT_NEAR(y, c.expectedHeight, 1e-4f);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(z, -2.0f);
    EXPECT_EQ(CollideLastHit(), c.result ? floor : nullptr);
  }
}

TEST_F(SphereTest, CentreBehindAPolygonIsNotPushedThroughIt) {
  Square({0, 0, 0}, kUp, 100);
  g_CollideVerticalScale = 1.0f;
  float x = 0, y = -4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollideNothing);
  EXPECT_EQ(y, -4.0f);
}

TEST_F(SphereTest, SphereIsPushedOutOfAWallAndOutOfACorner) {
  g_CollideVerticalScale = 1.0f;
  Square({0, 0, 0}, kUp, 100);
  Square({20, 50, 0}, kMinusX, 100);  // wall at x = 20 facing the room
  Square({0, 50, 20}, kMinusZ, 100);  // wall at z = 20
  struct Case {
    const char* name;
    Vec3 from, to;
  } cases[] = {
      {"wall only", {15, 50, -40}, {9.9999f, 50, -40}},
      {"corner of two walls", {15, 50, 15}, {9.9999f, 50, 9.9999f}},
      {"corner of two walls and the floor", {16, 4, 13}, {9.9999f, 10.0001f, 9.9999f}},
      {"clear of everything", {0, 50, 0}, {0, 50, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    float x = c.from.x, y = c.from.y, z = c.from.z;
    const int expected = c.from.x == c.to.x && c.from.z == c.to.z && c.from.y == c.to.y ? 0 : 1;
    EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), expected);
    EXPECT_NEAR(x, c.to.x, 1e-4f);
    EXPECT_NEAR(y, c.to.y, 1e-4f);
    EXPECT_NEAR(z, c.to.z, 1e-4f);
  }
}

TEST_F(SphereTest, VerticalScaleLeavesWallsAloneAndSquashesTheFloorReach) {
  Square({0, 0, 0}, kUp, 100);
  Square({20, 50, 0}, kMinusX, 100);
  g_CollideVerticalScale = 0.25f;
  float x = 15, y = 30, z = 0;  // 7.5 above the floor in the scaled space
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_NEAR(x, 9.9999f, 1e-4f);
  EXPECT_NEAR(y, 40.0004f, 1e-3f);
}

TEST_F(SphereTest, SphereBesideAFloorEdgeIsPushedAwayFromTheEdge) {
  g_CollideVerticalScale = 1.0f;
  Square({0, 0, 0}, kUp, 10);  // a ledge x, z in -10..10
  float x = 14, y = 2, z = 0;  // 4 beside and 2 above the edge x = 10: sqrt(20) from it
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 5.0f), kCollidePolygon);
  const float length = std::sqrt(20.0f);
  EXPECT_NEAR(x, 10 + 4 * 5 / length, 1e-4f);
  EXPECT_NEAR(y, 2 * 5 / length, 1e-4f);
  EXPECT_NEAR(std::hypot(x - 10, y), 5.0f, 1e-4f);
  // At the radius from the edge (or beyond the corner) nothing happens.
  x = 14, y = 3, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 5.0f), kCollideNothing);
  x = 13, y = 1, z = 13;  // beside the corner, not beside an edge
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 5.0f), kCollideNothing);
  x = 10, y = 0, z = 0;  // exactly on the edge: no direction, nothing
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 5.0f), kCollideNothing);
  EXPECT_EQ(x, 10.0f);
}

TEST_F(SphereTest, GroupsAreCalledOncePerQueryWithTheirCodes) {
  g_CollideVerticalScale = 1.0f;
  PolygonGroup* room = Group();
  WorldPolygon* floor = Square({0, 0, 0}, kUp, 100, 0, room);
  Square({20, 50, 0}, kMinusX, 100, 0, room);
  float x = 15, y = 4, z = 0;  // floor and wall, one group
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{room, kGroupPushed}}));
  // A second query in the same frame takes its own stamp and calls again.
  calls_.clear();
  const FrameStamp before = g_FrameStamp;
  x = 0, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_EQ(g_FrameStamp, before + 1);
  EXPECT_EQ(room->callbackStamp, g_FrameStamp);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{room, kGroupPushed}}));
  // Touch only: nothing moves, the group hears code 4.
  calls_.clear();
  g_CollidePushOut = 0;
  x = 0, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_EQ(y, 4.0f);
  EXPECT_EQ(CollideLastHit(), floor);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{room, kGroupTouched}}));
}

TEST_F(SphereTest, TouchOnlyReportsAContactOnlyThroughACallback) {
  g_CollideVerticalScale = 1.0f;
  PolygonGroup* quiet = Group(false);
  WorldPolygon* floor = Square({0, 0, 0}, kUp, 100, 0, quiet);
  g_CollidePushOut = 0;
  float x = 0, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollideNothing);
  EXPECT_EQ(y, 4.0f);
  EXPECT_EQ(CollideLastHit(), floor);  // touched all the same
  EXPECT_EQ(WorldSphereTouch(world_, 0, 4, 0, 10.0f), 0);
  EXPECT_EQ(g_CollidePushOut, 1);
}

TEST_F(SphereTest, SphereTouchCallsWithCode4WhateverTheModeAndRestoresPushOut) {
  g_CollideVerticalScale = 1.0f;
  PolygonGroup* room = Group();
  Square({0, 0, 0}, kUp, 100, 0, room);
  Instance* crate = AddInstance({0, 4, 0}, 3);
  CollideSetMode(kCollideInstancesOnly);
  g_CollidePushOut = 0;
  EXPECT_EQ(WorldSphereTouch(world_, 1, 4, 0, 10.0f), 1);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{room, kGroupTouched}}));  // no instance pass
  EXPECT_EQ(g_CollidePushOut, 1);
  EXPECT_EQ(WorldSphereTouch(world_, 1, 40, 0, 10.0f), 0);
  EXPECT_EQ(crate->x, 0.0f);
}

TEST_F(SphereTest, TriggersReportCode3AndNeverMoveTheSphere) {
  g_CollideVerticalScale = 1.0f;
  PolygonGroup* sensor = Group();
  // Two overlapping triggers of one group across a corridor.
  Square({0, 20, 0}, kMinusX, 30, kPolygonTrigger, sensor);
  Square({3, 20, 0}, kMinusX, 30, kPolygonTrigger, sensor);
  float x = -1, y = 20, z = 0;  // in front of both
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollideNothing);
  EXPECT_EQ(x, -1.0f);
  EXPECT_EQ(CollideLastHit(), nullptr);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{sensor, kGroupTrigger}}));
  // Beside the trigger's edge (pass 2) it reports too.
  calls_.clear();
  x = -3, y = 20, z = 33;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 5.0f), kCollideNothing);
  EXPECT_EQ(z, 33.0f);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{sensor, kGroupTrigger}}));
}

TEST_F(SphereTest, TriggerLyingOnAWallDoesNotLetTheSphereThrough) {
  // The trigger is inside the wall's outline in the same plane, so the node
  // lists it first; the wall must still push.
  g_CollideVerticalScale = 1.0f;
  PolygonGroup* sensor = Group();
  WorldPolygon* wall = Square({20, 50, 0}, kMinusX, 100);
  WorldPolygon* trigger = Square({20, 50, 0}, kMinusX, 10, kPolygonTrigger, sensor);
  const BspNode* node = trigger->firstFragment->node;
  ASSERT_EQ(node->firstFragment->polygon, trigger);
  ASSERT_NE(node->firstFragment->next, nullptr);
  ASSERT_EQ(node->firstFragment->next->polygon, wall);
  float x = 15, y = 50, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  EXPECT_NEAR(x, 9.9999f, 1e-4f);
  EXPECT_EQ(CollideLastHit(), wall);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{sensor, kGroupTrigger}}));
}

TEST_F(SphereTest, NoCollidePolygonsAreInvisibleToEveryQuery) {
  g_CollideVerticalScale = 1.0f;
  PolygonGroup* group = Group();
  Square({0, 0, 0}, kUp, 100, kPolygonNoCollide, group);
  Square({20, 50, 0}, kMinusX, 100, kPolygonNoCollide | kPolygonTrigger, group);
  float x = 15, y = 4, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollideNothing);
  EXPECT_EQ(y, 4.0f);
  EXPECT_EQ(WorldSphereTouch(world_, 15, 4, 0, 10.0f), 0);
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(WorldSegmentBlocked(world_, 0, 10, 0, 0, -10, 0), 0);
  float ex = 0, ey = -10, ez = 0;
  EXPECT_EQ(CollideSegment(world_, 0, 10, 0, &ex, &ey, &ez), 0);
  EXPECT_EQ(CollideRay(world_, &ex, &ey, &ez, nullptr, nullptr, 0, 50, 0, 40, 50, 0), kRayNothing);
}

TEST_F(SphereTest, InstancesPushTheSphereToTheSumOfTheRadii) {
  g_CollideVerticalScale = 0.25f;  // the instance pass is unscaled
  Instance* crate = AddInstance({0, 50, 0}, 5);
  float x = 3, y = 50, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 4.0f), kCollideInstance);
  EXPECT_FLOAT_EQ(x, 9.0f);
  EXPECT_FLOAT_EQ(y, 50.0f);
  EXPECT_EQ(calls_, (std::vector<RecordedCall>{{crate, kInstanceCallbackPushed}}));
  // Vertical too: the instance pass does not scale y.
  x = 0, y = 44, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 4.0f), kCollideInstance);
  EXPECT_FLOAT_EQ(y, 41.0f);
  // At the centre there is no direction: nothing happens.
  x = 0, y = 50, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 4.0f), kCollideNothing);
}

TEST_F(SphereTest, InstancesThatDoNotCollideAndTheIgnoredOneAreSkipped) {
  Instance* crate = AddInstance({0, 50, 0}, 5);
  struct Case {
    const char* name;
    float radius;
    int collidable;
    bool ignored;
    int result;
  } cases[] = {
      {"plain", 5, 1, false, kCollideInstance},
      {"radius 0", 0, 1, false, kCollideNothing},
      {"hidden", 5, 0, false, kCollideNothing},
      {"ignored", 5, 1, true, kCollideNothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    crate->radius = c.radius;
    crate->collidable = c.collidable;
    EXPECT_EQ(CollideSetIgnore(c.ignored ? crate : nullptr), c.ignored ? crate : nullptr);
    float x = 3, y = 50, z = 0;
    EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 4.0f), c.result);
    EXPECT_EQ(x, c.result ? 9.0f : 3.0f);
  }
}

TEST_F(SphereTest, InstanceOfAGroupSitsWhereTheGroupMovedIt) {
  PolygonGroup* lift = Group();
  lift->worldMatrix[13] = 100;  // raised by 100
  Instance* crate = AddInstance({0, 0, 0}, 5);
  crate->parentGroup = lift;
  float x = 3, y = 100, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 4.0f), kCollideInstance);
  EXPECT_FLOAT_EQ(x, 9.0f);
  x = 3, y = 0, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 4.0f), kCollideNothing);
}

TEST_F(SphereTest, ModeChoosesTheWorldTheInstancesOrBoth) {
  g_CollideVerticalScale = 1.0f;
  Square({0, 0, 0}, kUp, 100);
  AddInstance({0, 4, 8}, 2);
  struct Case {
    int mode;
    int result;
    Vec3 to;
  } cases[] = {
      // Floor first (y to 10.0001), then the instance pushes along the
      // line between the centres.
      {kCollideWorldAndInstances, kCollideInstance, {0, 0, 0}},
      {kCollideWorldOnly, kCollidePolygon, {0, 10.0001f, 0}},
      {kCollideInstancesOnly, kCollideInstance, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    CollideSetMode(c.mode);
    EXPECT_EQ(g_CollideMode, c.mode);
    float x = 0, y = 4, z = 0;
    EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), c.result);
    if (c.mode == kCollideWorldOnly) {
      EXPECT_NEAR(y, 10.0001f, 1e-4f);
      EXPECT_EQ(z, 0.0f);
    } else {
      // Whatever the start, the instance leaves the centre at the sum of the
      // radii from (0, 4, 8).
      EXPECT_NEAR(std::sqrt(x * x + (y - 4) * (y - 4) + (z - 8) * (z - 8)), 12.0f, 1e-4f);
      if (c.mode == kCollideInstancesOnly) {
        EXPECT_NEAR(z, -4.0f, 1e-4f);
      }
    }
  }
  CollideSetMode(7);  // not a mode: ignored
  EXPECT_EQ(g_CollideMode, kCollideInstancesOnly);
}

TEST_F(SphereTest, VerticalScaleOfZeroOrBelowIsRefused) {
  Square({0, 0, 0}, kUp, 100);
  for (const float scale : {0.0f, -0.25f}) {
    SCOPED_TRACE(scale);
    g_CollideVerticalScale = scale;
    float x = 0, y = 4, z = 0;
#ifdef NDEBUG
    EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollideNothing);
    EXPECT_EQ(y, 4.0f);
    EXPECT_EQ(WorldSphereTouch(world_, x, y, z, 10.0f), 0);
#else
    EXPECT_DEATH(WorldCollideSphere(world_, &x, &y, &z, 10.0f), "g_CollideVerticalScale");
    EXPECT_DEATH(WorldSphereTouch(world_, x, y, z, 10.0f), "g_CollideVerticalScale");
#endif
  }
}

TEST_F(SphereTest, NullWorldOrEmptyWorldTouchesNothing) {
  float x = 0, y = 0, z = 0;
  EXPECT_EQ(WorldCollideSphere(nullptr, &x, &y, &z, 10.0f), kCollideNothing);
  EXPECT_EQ(WorldSphereTouch(nullptr, 0, 0, 0, 10.0f), 0);
  BspNodeFree(root_);
  root_ = nullptr;
  world_->bspRoot = nullptr;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollideNothing);
}

TEST_F(SphereTest, DeletingThePolygonLastHitForgetsIt) {
  g_CollideVerticalScale = 1.0f;
  WorldPolygon* floor = Square({0, 0, 0}, kUp, 100);
  float x = 0, y = 4, z = 0;
  ASSERT_EQ(WorldCollideSphere(world_, &x, &y, &z, 10.0f), kCollidePolygon);
  ASSERT_EQ(CollideLastHit(), floor);
  PolygonDelete(floor);
  EXPECT_EQ(CollideLastHit(), nullptr);
}

TEST_F(SphereTest, DeepTreesAreWalkedWithoutRecursion) {
  // A chain of planes x = i, each the front child of the one before, as a
  // long run of run-time insertions can leave it.
  constexpr int kDepth = 100000;
  BspNode* node = root_;
  for (int i = 1; i <= kDepth; ++i) {
    BspNode* next = BspNodeCreate(1, 0, 0, static_cast<float>(i));
    next->parent = node;
    node->front = next;
    node = next;
  }
  WorldPolygon* wall = Square({kDepth + 50.0f, 0, 0}, kMinusX, 10);
  ASSERT_NE(wall, nullptr);
  g_CollideVerticalScale = 1.0f;
  float x = kDepth + 45.0f, y = 1, z = 0;
  EXPECT_EQ(WorldCollideSphere(world_, &x, &y, &z, 8.0f), kCollidePolygon);
  EXPECT_NEAR(x, kDepth + 42.0f, 1e-2f);
  EXPECT_EQ(WorldSegmentBlocked(world_, kDepth + 45.0f, 1, 0, kDepth + 55.0f, 1, 0), 1);
  float ex = kDepth + 55.0f, ey = 1, ez = 0;
  EXPECT_EQ(CollideSegment(world_, kDepth + 45.0f, 1, 0, &ex, &ey, &ez), 1);
  EXPECT_NEAR(ex, kDepth + 50.0f, 1e-2f);
}

}  // namespace
