// The level-group records read from a group's properties, the arcs' timing
// and the contact timers, over fabricated worlds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/polygon_group.h"
#include "platform/framework/maps.h"
#include "platform/framework/ob_list.h"
#include "tests/world/script_world.h"
#include "world/document/level_group_effects.h"

namespace {

TEST(GroupHitPointsTest, PropertiesGiveHitPoints) {
  ScriptWorld level;
  const struct {
    std::vector<std::pair<std::string, std::string>> props;
    float hitPoints;
  } cases[] = {
      {{{"structural_hits", "3"}}, 45.0f}, {{{"damaged", "1"}}, 5.0f},  {{{"nuked", ""}}, 5.0f},
      {{{"hitpoints", "0"}}, 0.0f},        {{{"hitpoints", "12.5"}, {"structural_hits", "3"}}, 12.5f},
      {{}, -1.0f},
  };
  int n = 0;
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(GroupHitPoints(level.Group("g" + std::to_string(n++), c.props)), c.hitPoints) << n;
  }
  // Only positive hit points make a structural record.
  CMapStringToPtr structural, buttons;
  CPtrList zones, arcs, lights;
  const GroupEffectRecords records = {&structural, &buttons, &zones, &arcs, &lights};
  ParseLevelGroups(level.world(), 0, records);
  EXPECT_EQ(structural.GetCount(), 4);
  void* none = nullptr;
  EXPECT_FALSE(structural.Lookup("g3", none)) << "\"hitpoints\" 0 makes none";
  FreeLevelGroupRecords(records);
}

TEST(GroupArcTest, ArcsDischargeByTheirIntervalWithJitterAndOnlyWhenShown) {
  ScriptWorld level;
  PolygonGroup* a = level.Group("a", {{"arc_to", "b"}, {"rate", "0"}, {"viewradius", "1000"}});
  level.Face(a, 0, 0, 0);
  PolygonGroup* b = level.Group("b");
  level.Face(b, 100, 0, 0);
  level.Group("stray", {{"arc_to", "nobody"}});
  WorldRebuildGroups(level.world());
  CMapStringToPtr structural, buttons;
  CPtrList zones, arcs, lights;
  const GroupEffectRecords records = {&structural, &buttons, &zones, &arcs, &lights};
  ParseLevelGroups(level.world(), 1000, records);
  ASSERT_EQ(arcs.GetCount(), 1) << "an arc to no group is ignored";
  GroupArc& arc = *static_cast<GroupArc*>(arcs.GetHead());
  EXPECT_FLOAT_EQ(arc.interval, 1.0f) << "rate 0: once a second";
  EXPECT_FLOAT_EQ(arc.radius, 120.0f);

  static int randomValue = 0;
  auto random = [] { return randomValue; };
  ArcStrike strikes[2];
  const Vec3 farShip = {50, 5, 400};
  EXPECT_EQ(StepGroupArc(arc, 1999, farShip, random, strikes), 0);
  EXPECT_EQ(StepGroupArc(arc, 2000, farShip, random, strikes), 1);
  EXPECT_FALSE(strikes[0].collide);
  EXPECT_FLOAT_EQ(strikes[0].damage, 10.0f) << "10 a second over one second";
  EXPECT_FLOAT_EQ(strikes[0].from.x, 100.0f + 5) << "an even random number: from the target";
  // The most jitter puts the next discharge 20 % later: the time since it
  // is negative until then, never a huge unsigned number.
  randomValue = 32767;
  EXPECT_EQ(StepGroupArc(arc, 3000, farShip, random, strikes), 1);
  EXPECT_EQ(arc.lastTime, 3200);
  EXPECT_EQ(StepGroupArc(arc, 3100, farShip, random, strikes), 0);
  EXPECT_EQ(StepGroupArc(arc, 4199, farShip, random, strikes), 0);
  EXPECT_EQ(StepGroupArc(arc, 4200, farShip, random, strikes), 1);
  EXPECT_FLOAT_EQ(strikes[0].from.x, 5.0f) << "an odd one: from the source";

  // A ship within the strike radius of the target only: both arcs start at
  // the groups and end at the ship.
  randomValue = 0;
  const Vec3 nearB = {150, 5, 0};
  EXPECT_EQ(StepGroupArc(arc, 6000, nearB, random, strikes), 2);
  EXPECT_TRUE(strikes[0].collide && strikes[1].collide);
  EXPECT_FLOAT_EQ(strikes[0].from.x, 5.0f);
  EXPECT_FLOAT_EQ(strikes[1].from.x, 105.0f);
  EXPECT_FLOAT_EQ(strikes[1].to.x, 150.0f);

  // A hidden source never discharges, but its timer runs on.
  GroupHide(a, 0);
  EXPECT_EQ(StepGroupArc(arc, 8000, nearB, random, strikes), 0);
  EXPECT_EQ(arc.lastTime, 8000);
  // Out of the view radius: no discharge either.
  GroupShow(a, 0);
  WorldRebuildGroups(level.world());
  EXPECT_EQ(StepGroupArc(arc, 9000, {0, 0, 5000}, random, strikes), 0);
  FreeLevelGroupRecords(records);
}

TEST(ContactTimerTest, ContactsCountAtMost200Milliseconds) {
  uint32_t timer = 1000;
  EXPECT_FLOAT_EQ(ContactAmount(5.0f, timer, 6000), 1.0f) << "5 s later: 200 ms worth";
  EXPECT_EQ(timer, 6000u);
  EXPECT_FLOAT_EQ(ContactAmount(5.0f, timer, 6100), 0.5f);
  EXPECT_FLOAT_EQ(ContactAmount(5.0f, timer, 6100), 0.0f);
}

}  // namespace
