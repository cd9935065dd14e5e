// Movers advanced by WorldUpdate: clamping, wrapping, the end callback and
// what a callback may do to the groups while the update runs.
#include <gtest/gtest.h>

#include <vector>

#include "engine/polygon_group.h"
#include "engine/world.h"
#include "tests/engine/group_fixture.h"

namespace {

struct CallbackLog {
  std::vector<std::pair<PolygonGroup*, int>> calls;
};
CallbackLog* g_Log = nullptr;

void Record(PolygonGroup* group, int code) { g_Log->calls.push_back({group, code}); }

class MoverTest : public GroupTest {
 protected:
  void SetUp() override {
    GroupTest::SetUp();
    g_Log = &log_;
  }
  void TearDown() override {
    g_Log = nullptr;
    GroupTest::TearDown();
  }
  PolygonGroup* Slide(const char* name, float position, float speed) {
    PolygonGroup* group = GroupCreate(world_, name, nullptr);
    GroupSetSlideMover(group, 0.0f, 10.0f, 0.0f, speed, position);
    GroupSetCallback(group, Record);
    GroupStartMover(group);
    return group;
  }
  CallbackLog log_;
};

}  // namespace

TEST_F(MoverTest, SlideClampedAtItsEndStopsAndCallsBackOnceWithCodeOne) {
  PolygonGroup* group = Slide("door", 0.5f, 1.0f);
  WorldRebuildGroups(world_);
  WorldUpdate(world_, 600);
  EXPECT_FLOAT_EQ(group->position, 1.0f);
  EXPECT_EQ(GroupIsMoving(group), 0);
  EXPECT_EQ(group->moverType, -kMoverSlide);
  EXPECT_EQ(group->valid, 0);
  ASSERT_EQ(log_.calls.size(), 1u);
  EXPECT_EQ(log_.calls[0].first, group);
  EXPECT_EQ(log_.calls[0].second, kGroupMoverEnded);
  WorldUpdate(world_, 600);
  WorldUpdate(world_, 600);
  EXPECT_EQ(log_.calls.size(), 1u);
  EXPECT_FLOAT_EQ(group->position, 1.0f);
}

TEST_F(MoverTest, EndsAreReachedInBothDirectionsOnlyWhenRunningTowardThem) {
  struct Case {
    float position, speed;
    int ms;
    float expected;
    bool ends;
  };
  const Case cases[] = {
      {0.5f, -1.0f, 600, 0.0f, true},                                   // down to 0
      {0.2f, 0.5f, 1000, 0.7f, false},                                  // on its way
      {0.0f, 0.0f, 1000, 0.0f, false},                                  // standing at 0 with no speed keeps running
      {1.0f, 0.0f, 1000, 1.0f, false}, {0.0f, 1.0f, 1000, 1.0f, true},  // exactly 1 after one second
  };
  for (const Case& c : cases) {
    log_.calls.clear();
    PolygonGroup* group = Slide("g", c.position, c.speed);
    WorldUpdate(world_, c.ms);
    EXPECT_NEAR(group->position, c.expected, 1e-6f) << c.position << " " << c.speed;
    EXPECT_EQ(GroupIsMoving(group), c.ends ? 0 : 1) << c.position << " " << c.speed;
    EXPECT_EQ(log_.calls.size(), c.ends ? 1u : 0u);
    GroupDelete(group);
  }
}

TEST_F(MoverTest, FullTurnRotationWrapsAndNeverCallsBack) {
  PolygonGroup* fan = GroupCreate(world_, "fan", nullptr);
  GroupSetRotateMover(fan, 0, 0, 0, 0, 1, 0, 0.0f, 0.5f, 0.9f);
  GroupSetCallback(fan, Record);
  GroupStartMover(fan);
  WorldUpdate(world_, 1000);
  EXPECT_NEAR(fan->position, 0.4f, 1e-5f);
  for (int i = 0; i < 10; ++i) WorldUpdate(world_, 700);
  EXPECT_GE(fan->position, 0.0f);
  EXPECT_LT(fan->position, 1.0f);
  EXPECT_EQ(GroupIsMoving(fan), 1);
  EXPECT_TRUE(log_.calls.empty());
  // Backwards it wraps too.
  GroupSetMoverState(fan, 0.1f, -0.5f);
  GroupStartMover(fan);
  WorldUpdate(world_, 1000);
  EXPECT_NEAR(fan->position, 0.6f, 1e-5f);
}

TEST_F(MoverTest, PartTurnRotationIsClampedLikeASlide) {
  PolygonGroup* flap = GroupCreate(world_, "flap", nullptr);
  GroupSetRotateMover(flap, 0, 0, 0, 1, 0, 0, 1.5f, 2.0f, 0.9f);
  GroupSetCallback(flap, Record);
  GroupStartMover(flap);
  WorldUpdate(world_, 100);
  EXPECT_FLOAT_EQ(flap->position, 1.0f);
  EXPECT_EQ(log_.calls.size(), 1u);
}

TEST_F(MoverTest, ZeroAndNegativeTimesChangeNothing) {
  PolygonGroup* group = Slide("door", 0.5f, 1.0f);
  WorldRebuildGroups(world_);
  for (int ms : {0, -1, -1000}) {
    WorldUpdate(world_, ms);
    EXPECT_FLOAT_EQ(group->position, 0.5f);
    EXPECT_EQ(group->valid, 1);
    EXPECT_EQ(world_->allClean, 1);
  }
  WorldUpdate(nullptr, 100);
  EXPECT_TRUE(log_.calls.empty());
}

namespace {

// What the end callbacks below do to the world.
PolygonGroup* g_Victim = nullptr;
int g_Calls = 0;

void DeleteVictim(PolygonGroup*, int) {
  ++g_Calls;
  if (g_Victim) {
    GroupDelete(g_Victim);
    g_Victim = nullptr;
  }
}

void DeleteSelf(PolygonGroup* group, int) {
  ++g_Calls;
  GroupDelete(group);
}

void Reverse(PolygonGroup* group, int) {
  ++g_Calls;
  float position, speed;
  GroupGetMoverState(group, &position, &speed);
  GroupSetMoverState(group, position, -speed);
  GroupStartMover(group);
}

void StopOthers(PolygonGroup* group, int) {
  ++g_Calls;
  for (PolygonGroup* g = GroupFirst(group->world); g; g = GroupNext(g)) {
    if (g != group) GroupStopMover(g);
  }
}

}  // namespace

TEST_F(MoverTest, CallbacksMayDeleteGroupsThatStillAwaitTheirCallback) {
  // Three doors end in the same update; the first callback made deletes a
  // group whose own callback is still due.
  PolygonGroup* a = Slide("a", 0.9f, 1.0f);
  PolygonGroup* b = Slide("b", 0.9f, 1.0f);
  PolygonGroup* c = Slide("c", 0.9f, 1.0f);
  for (PolygonGroup* g : {a, b, c}) GroupSetCallback(g, DeleteVictim);
  // Running order is c, b, a (pushed at the head); c calls first and deletes a.
  g_Victim = a;
  g_Calls = 0;
  WorldUpdate(world_, 500);
  EXPECT_EQ(g_Calls, 2);
  EXPECT_EQ(GroupFindByName(world_, "a"), nullptr);
  EXPECT_NE(GroupFindByName(world_, "b"), nullptr);
}

TEST_F(MoverTest, CallbacksMayDeleteTheirOwnGroupRestartOrStopMovers) {
  PolygonGroup* self = Slide("self", 0.95f, 1.0f);
  GroupSetCallback(self, DeleteSelf);
  PolygonGroup* pingpong = Slide("pingpong", 0.95f, 1.0f);
  GroupSetCallback(pingpong, Reverse);
  PolygonGroup* stopper = Slide("stopper", 0.95f, 1.0f);
  GroupSetCallback(stopper, StopOthers);
  PolygonGroup* bystander = Slide("bystander", 0.0f, 0.1f);
  g_Calls = 0;
  WorldUpdate(world_, 100);
  EXPECT_EQ(g_Calls, 3);
  EXPECT_EQ(GroupFindByName(world_, "self"), nullptr);
  // The stopper ran first (last started): the ping-pong group restarted
  // itself afterwards; the bystander was stopped.
  EXPECT_EQ(GroupIsMoving(pingpong), 1);
  EXPECT_EQ(GroupIsMoving(bystander), 0);
  EXPECT_FLOAT_EQ(bystander->position, 0.01f);
  WorldUpdate(world_, 500);
  EXPECT_NEAR(pingpong->position, 0.5f, 1e-5f);
  EXPECT_EQ(world_->firstMover, pingpong);
  EXPECT_EQ(pingpong->nextMover, nullptr);
}
