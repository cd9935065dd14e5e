// Polygon groups: hierarchy, visibility, movers and the rebuild into the BSP.
#include "engine/polygon_group.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/matrix.h"
#include "tests/engine/group_fixture.h"

namespace {

// A 20 x 20 square in the plane z = 10 around (10, 10).
std::vector<Vec3> Square() { return RectXY(0.0f, 0.0f, 20.0f, 20.0f, 10.0f); }

void ExpectPointsNear(const std::vector<Vec3>& actual, const std::vector<Vec3>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    EXPECT_NEAR(actual[i].x, expected[i].x, 1e-3f) << "vertex " << i;
    EXPECT_NEAR(actual[i].y, expected[i].y, 1e-3f) << "vertex " << i;
    EXPECT_NEAR(actual[i].z, expected[i].z, 1e-3f) << "vertex " << i;
  }
}

std::vector<Vec3> Shifted(std::vector<Vec3> points, Vec3 by) {
  for (Vec3& p : points) p = {p.x + by.x, p.y + by.y, p.z + by.z};
  return points;
}

}  // namespace

TEST_F(GroupTest, FindByNameIsExactAndWalksInListOrder) {
  PolygonGroup* door = GroupCreate(world_, "door1", nullptr);
  PolygonGroup* fan = GroupCreate(world_, "Fan", nullptr);
  EXPECT_EQ(GroupFindByName(world_, "door1"), door);
  EXPECT_EQ(GroupFindByName(world_, "fan"), nullptr);
  EXPECT_EQ(GroupFindByName(world_, "Fan"), fan);
  EXPECT_EQ(GroupFindByName(nullptr, "Fan"), nullptr);
  EXPECT_EQ(GroupFirst(world_), door);
  EXPECT_EQ(GroupNext(door), fan);
  EXPECT_EQ(GroupNext(fan), nullptr);
  EXPECT_EQ(GroupNext(nullptr), nullptr);
}

TEST_F(GroupTest, PolygonWalkFollowsTheTableAndMovingTheFirstOutFillsItsSlot) {
  PolygonGroup* group = GroupCreate(world_, "g", nullptr);
  WorldPolygon* a = TestGroupPolygon(group, Square());
  WorldPolygon* b = TestGroupPolygon(group, Shifted(Square(), {30, 0, 0}));
  WorldPolygon* c = TestGroupPolygon(group, Shifted(Square(), {60, 0, 0}));
  EXPECT_EQ(GroupFirstPolygon(group), a);
  EXPECT_EQ(GroupNextPolygon(a), b);
  EXPECT_EQ(GroupNextPolygon(b), c);
  EXPECT_EQ(GroupNextPolygon(c), nullptr);

  ASSERT_EQ(PolygonSetGroup(a, nullptr, 0), 1);
  EXPECT_EQ(group->polygonCount, 2);
  EXPECT_EQ(group->polygons[0], c);
  EXPECT_EQ(c->groupIndex, 0);
  // An ungrouped polygon walks on through the world's list.
  EXPECT_EQ(GroupNextPolygon(a), a->next);
}

TEST_F(GroupTest, SlideMoverLiftsItsPolygonsAfterTheRebuild) {
  PolygonGroup* group = GroupCreate(world_, "lift", nullptr);
  WorldPolygon* polygon = TestGroupPolygon(group, Square());
  GroupComputeLocalCentre(group);
  GroupSetSlideMover(group, 0.0f, 64.0f, 0.0f, 1.0f, 0.5f);
  EXPECT_EQ(group->moverType, -kMoverSlide);
  EXPECT_EQ(world_->allClean, 0);
  WorldRebuildGroups(world_);
  EXPECT_EQ(world_->allClean, 1);
  EXPECT_EQ(group->valid, 1);
  ExpectPointsNear(FragmentPoints(polygon), Shifted(Square(), {0, 32, 0}));
  float x, y, z;
  GroupGetCentre(group, &x, &y, &z);
  EXPECT_NEAR(x, 10.0f, 1e-4f);
  EXPECT_NEAR(y, 42.0f, 1e-4f);
  EXPECT_NEAR(z, 10.0f, 1e-4f);
  // The world plane moved with it (a plane z = 10 slid along y stays put).
  EXPECT_NEAR(polygon->worldD, 10.0f, 1e-4f);
}

TEST_F(GroupTest, FullTurnRotateMoverAtAQuarterTurnsAboutThePivot) {
  PolygonGroup* group = GroupCreate(world_, "fan", nullptr);
  // A square from (10, 0) to (30, 20) in z = 10, turned about the z axis
  // through (10, 0, 0).
  WorldPolygon* polygon = TestGroupPolygon(group, RectXY(10.0f, 0.0f, 30.0f, 20.0f, 10.0f));
  GroupSetRotateMover(group, 10.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.25f);
  WorldRebuildGroups(world_);
  // Map each corner the way the mover matrix does, and check it is a quarter
  // turn: distance to the pivot kept, direction turned by 90 degrees.
  const std::vector<Vec3> moved = FragmentPoints(polygon);
  const std::vector<Vec3> original = RectXY(10.0f, 0.0f, 30.0f, 20.0f, 10.0f);
  ASSERT_EQ(moved.size(), original.size());
  for (size_t i = 0; i < moved.size(); ++i) {
    const float ox = original[i].x - 10.0f, oy = original[i].y;
    const float mx = moved[i].x - 10.0f, my = moved[i].y;
    EXPECT_NEAR(mx * mx + my * my, ox * ox + oy * oy, 1e-2f);
    EXPECT_NEAR(mx * ox + my * oy, 0.0f, 1e-2f) << "vertex " << i;  // perpendicular
    EXPECT_NEAR(moved[i].z, 10.0f, 1e-4f);
  }
}

TEST_F(GroupTest, MoverStateStopsARunningMoverAndStartRestartsIt) {
  PolygonGroup* group = GroupCreate(world_, "door", nullptr);
  EXPECT_EQ(GroupSetMoverState(group, 0.5f, 1.0f), 0);  // no mover yet
  EXPECT_EQ(GroupGetMoverState(group, nullptr, nullptr), 0);
  GroupSetSlideMover(group, 0.0f, 10.0f, 0.0f, 1.0f, 0.0f);
  GroupStartMover(group);
  EXPECT_EQ(GroupIsMoving(group), 1);
  EXPECT_EQ(world_->firstMover, group);
  EXPECT_EQ(GroupSetMoverState(group, 0.25f, -2.0f), 1);
  EXPECT_EQ(GroupIsMoving(group), 0);
  EXPECT_EQ(world_->firstMover, nullptr);
  float position = 0.0f, speed = 0.0f;
  EXPECT_EQ(GroupGetMoverState(group, &position, &speed), 1);
  EXPECT_FLOAT_EQ(position, 0.25f);
  EXPECT_FLOAT_EQ(speed, -2.0f);
  GroupStartMover(group);
  EXPECT_EQ(GroupIsMoving(group), 1);
  GroupStartMover(group);  // already running: not pushed twice
  EXPECT_EQ(group->nextMover, nullptr);
  GroupStopMover(group);
  EXPECT_EQ(group->moverType, -kMoverSlide);
}

TEST_F(GroupTest, StartPushesAtTheHeadAndStopUnlinksFromTheMiddle) {
  PolygonGroup* a = GroupCreate(world_, "a", nullptr);
  PolygonGroup* b = GroupCreate(world_, "b", nullptr);
  PolygonGroup* c = GroupCreate(world_, "c", nullptr);
  for (PolygonGroup* g : {a, b, c}) {
    GroupSetSlideMover(g, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    GroupStartMover(g);
  }
  EXPECT_EQ(world_->firstMover, c);
  GroupStopMover(b);
  EXPECT_EQ(c->nextMover, a);
  EXPECT_EQ(a->prevMover, c);
  GroupStopMover(c);
  EXPECT_EQ(world_->firstMover, a);
  EXPECT_EQ(a->prevMover, nullptr);
}

TEST_F(GroupTest, RecursiveHideAndShowReachEveryChildAndAHiddenGroupIsLeftAlone) {
  struct Case {
    int children;
  };
  for (const Case& c : {Case{1}, Case{3}}) {
    PolygonGroup* parent = GroupCreate(world_, "parent", nullptr);
    std::vector<PolygonGroup*> kids;
    for (int i = 0; i < c.children; ++i) kids.push_back(GroupCreate(world_, "kid", parent));
    PolygonGroup* grandchild = GroupCreate(world_, "grandchild", kids.back());
    WorldPolygon* polygon = TestGroupPolygon(grandchild, Square());
    WorldRebuildGroups(world_);
    ASSERT_EQ(FragmentCount(polygon), 1);

    GroupHide(parent, 1);
    EXPECT_EQ(GroupIsVisible(parent), 0);
    for (PolygonGroup* kid : kids) EXPECT_EQ(GroupIsVisible(kid), 0) << c.children << " children";
    EXPECT_EQ(GroupIsVisible(grandchild), 0);
    WorldRebuildGroups(world_);
    EXPECT_EQ(FragmentCount(polygon), 0);  // out of the BSP

    // Hiding again does nothing, not even to a child shown meanwhile.
    GroupShow(kids[0], 0);
    GroupHide(parent, 1);
    EXPECT_EQ(GroupIsVisible(kids[0]), 1);
    GroupHide(kids[0], 0);

    GroupShow(parent, 1);
    EXPECT_EQ(GroupIsVisible(grandchild), 1);
    WorldRebuildGroups(world_);
    EXPECT_EQ(FragmentCount(polygon), 1);
    while (world_->firstGroup) GroupDelete(world_->firstGroup);
  }
}

TEST_F(GroupTest, NonRecursiveHideLeavesChildrenInTheBsp) {
  PolygonGroup* parent = GroupCreate(world_, "parent", nullptr);
  PolygonGroup* child = GroupCreate(world_, "child", parent);
  WorldPolygon* own = TestGroupPolygon(parent, Square());
  WorldPolygon* childs = TestGroupPolygon(child, Shifted(Square(), {40, 0, 0}));
  WorldRebuildGroups(world_);
  GroupHide(parent, 0);
  EXPECT_EQ(GroupIsVisible(child), 1);
  WorldRebuildGroups(world_);
  EXPECT_EQ(FragmentCount(own), 0);
  EXPECT_EQ(FragmentCount(childs), 1);
}

TEST_F(GroupTest, AChildFollowsItsMovingParent) {
  PolygonGroup* parent = GroupCreate(world_, "platform", nullptr);
  PolygonGroup* child = GroupCreate(world_, "rider", parent);
  WorldPolygon* polygon = TestGroupPolygon(child, Square());
  GroupSetSlideMover(parent, 100.0f, 0.0f, 0.0f, 1.0f, 0.0f);
  WorldRebuildGroups(world_);
  ExpectPointsNear(FragmentPoints(polygon), Square());
  GroupStartMover(parent);
  WorldUpdateMovers(world_, 0.25f);
  EXPECT_EQ(child->valid, 0);  // invalidated through the parent
  WorldRebuildGroups(world_);
  ExpectPointsNear(FragmentPoints(polygon), Shifted(Square(), {25, 0, 0}));
}

TEST_F(GroupTest, RebuildReplacesFragmentsInsteadOfAddingThem) {
  PolygonGroup* group = GroupCreate(world_, "door", nullptr);
  WorldPolygon* polygon = TestGroupPolygon(group, Square());
  GroupSetSlideMover(group, 0.0f, 0.0f, 5.0f, 1.0f, 0.0f);
  WorldRebuildGroups(world_);
  const int fragments = world_->fragmentCount;
  const int used = world_->vertexPool.used;
  for (int i = 1; i <= 5; ++i) {
    GroupSetMoverState(group, 0.1f * i, 1.0f);
    EXPECT_EQ(group->valid, 0);
    EXPECT_EQ(world_->allClean, 0);
    WorldRebuildGroups(world_);
  }
  EXPECT_EQ(world_->fragmentCount, fragments);
  EXPECT_EQ(FragmentCount(polygon), 1);
  // The pool reuses freed entries instead of growing frame by frame.
  EXPECT_LE(world_->vertexPool.used, used + 4);
  // A valid group is not rebuilt: its fragment survives untouched.
  const BspFragment* before = polygon->firstFragment;
  WorldRebuildGroups(world_);
  EXPECT_EQ(polygon->firstFragment, before);
}

TEST_F(GroupTest, SetParentWithKeepLeavesATurnedGroupWhereItIs) {
  PolygonGroup* parent = GroupCreate(world_, "arm", nullptr);
  PolygonGroup* group = GroupCreate(world_, "hand", nullptr);
  WorldPolygon* polygon = TestGroupPolygon(group, Square());
  GroupSetRotateMover(parent, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.25f);
  // The group itself is turned and shifted by its base matrix.
  MatrixIdentity();
  MatrixRotateZ(0.5f);
  MatrixTranslate(7.0f, -3.0f, 2.0f);
  MatrixGet(group->baseMatrix);
  WorldRebuildGroups(world_);
  const std::vector<Vec3> before = FragmentPoints(polygon);

  GroupSetParent(group, parent, 1);
  EXPECT_EQ(group->parent, parent);
  EXPECT_EQ(parent->firstChild, group);
  WorldRebuildGroups(world_);
  ExpectPointsNear(FragmentPoints(polygon), before);

  // Back to no parent, kept again.
  GroupSetParent(group, nullptr, 1);
  EXPECT_EQ(parent->firstChild, nullptr);
  WorldRebuildGroups(world_);
  ExpectPointsNear(FragmentPoints(polygon), before);

  // Without keep the base matrix is reset.
  GroupSetParent(group, nullptr, 0);
  WorldRebuildGroups(world_);
  ExpectPointsNear(FragmentPoints(polygon), Square());
}

TEST_F(GroupTest, SetParentRefusesToMakeACycle) {
  PolygonGroup* a = GroupCreate(world_, "a", nullptr);
  PolygonGroup* b = GroupCreate(world_, "b", a);
  PolygonGroup* c = GroupCreate(world_, "c", b);
  GroupSetParent(a, c, 0);
  EXPECT_EQ(a->parent, nullptr);
  GroupSetParent(a, a, 0);
  EXPECT_EQ(a->parent, nullptr);
  // Siblings keep their order: appended at the end.
  PolygonGroup* d = GroupCreate(world_, "d", a);
  EXPECT_EQ(a->firstChild, b);
  EXPECT_EQ(a->lastChild, d);
  EXPECT_EQ(b->nextSibling, d);
  EXPECT_EQ(d->prevSibling, b);
  EXPECT_EQ(c->parent, b);
}

TEST_F(GroupTest, DeleteUngroupsPolygonsDetachesChildrenAndLeavesTheRunningList) {
  PolygonGroup* group = GroupCreate(world_, "door", nullptr);
  PolygonGroup* child = GroupCreate(world_, "handle", group);
  PolygonGroup* other = GroupCreate(world_, "other", nullptr);
  WorldPolygon* p1 = TestGroupPolygon(group, Square());
  WorldPolygon* p2 = TestGroupPolygon(group, Shifted(Square(), {40, 0, 0}));
  GroupSetSlideMover(group, 0.0f, 0.0f, 50.0f, 1.0f, 1.0f);
  GroupSetSlideMover(other, 0.0f, 0.0f, 50.0f, 1.0f, 0.0f);
  GroupStartMover(other);
  GroupStartMover(group);
  WorldRebuildGroups(world_);
  ExpectPointsNear(FragmentPoints(p1), Shifted(Square(), {0, 0, 50}));

  GroupDelete(group);
  EXPECT_EQ(world_->firstGroup, child);
  EXPECT_EQ(child->next, other);
  EXPECT_EQ(child->prev, nullptr);
  EXPECT_EQ(child->parent, nullptr);
  EXPECT_EQ(world_->firstMover, other);
  EXPECT_EQ(other->prevMover, nullptr);
  for (WorldPolygon* p : {p1, p2}) {
    EXPECT_EQ(p->group, nullptr);
    EXPECT_EQ(FragmentCount(p), 1);  // back in the BSP ...
  }
  ExpectPointsNear(FragmentPoints(p1), Square());  // ... at its own coordinates
  GroupDelete(nullptr);
}

TEST_F(GroupTest, CentreRadiusAndLoadCentre) {
  PolygonGroup* parent = GroupCreate(world_, "g", nullptr);
  PolygonGroup* child = GroupCreate(world_, "big", parent);
  float x = 1, y = 1, z = 1;
  GroupComputeCentre(parent, &x, &y, &z);
  EXPECT_EQ(x + y + z, 0.0f);  // no polygons
  EXPECT_EQ(GroupRadius(parent), 0.0f);

  TestGroupPolygon(parent, RectXY(0, 0, 30, 40, 0));  // centre (15, 20, 0)
  WorldPolygon* line = TestPolygon(world_, {{100, 100, 100}, {200, 100, 100}}, -1);
  PolygonSetGroup(line, parent, 0);                      // repeats the value before it
  TestGroupPolygon(parent, RectXY(10, 10, 20, 20, 10));  // centre (15, 15, 10)
  GroupComputeLocalCentre(parent);
  // Running mean of (15, 20, 0), (15, 20, 0), (15, 15, 10).
  EXPECT_NEAR(parent->localCentre.x, 15.0f, 1e-4f);
  EXPECT_NEAR(parent->localCentre.y, 55.0f / 3.0f, 1e-4f);
  EXPECT_NEAR(parent->localCentre.z, 10.0f / 3.0f, 1e-4f);
  // The mean of the 8 corners of the two quads; the line does not count.
  GroupComputeCentre(parent, &x, &y, &z);
  EXPECT_NEAR(x, 15.0f, 1e-4f);
  EXPECT_NEAR(y, 17.5f, 1e-4f);
  EXPECT_NEAR(z, 5.0f, 1e-4f);
  // The box runs from (0, 0, 0) to (200, 100, 100) with the line.
  EXPECT_NEAR(GroupRadius(parent), 0.5f * std::sqrt(200.0f * 200 + 100 * 100 + 100 * 100), 1e-2f);
  TestGroupPolygon(child, RectXY(-500, -500, 500, 500, 0));
  EXPECT_NEAR(GroupRadius(parent), 0.5f * std::sqrt(2.0f) * 1000.0f, 1e-1f);
  EXPECT_FLOAT_EQ(parent->radius, GroupRadius(parent));
}
