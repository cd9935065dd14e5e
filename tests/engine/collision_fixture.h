#pragma once
// Small worlds for the collision tests: axis-aligned squares, groups with a
// recording callback and instances placed by hand (plain records), with the
// collision settings reset around each test.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/records.h"

// A call a group or instance callback received.
struct RecordedCall {
  void* record;  // the group or the instance
  int code;
  bool operator==(const RecordedCall& other) const { return record == other.record && code == other.code; }
};

class CollisionTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the BSP (and so every polygon's place in it) with a root on
  // the plane n . p = d. Only before polygons are made.
  void UseRoot(float nx, float ny, float nz, float d);
  // A square of side 2 x half centred at centre, facing along the axis-aligned
  // normal, inserted into the BSP; flags added; in the group when given.
  WorldPolygon* Square(Vec3 centre, Vec3 normal, float half, int flags = 0, PolygonGroup* group = nullptr);
  // A new group (GroupCreate) whose callback records its calls, or that has
  // none with record = false. The world's teardown deletes it.
  PolygonGroup* Group(bool record = true);
  // A collidable instance of the radius at the position, on the world's list,
  // whose callback records its calls.
  Instance* AddInstance(Vec3 position, float radius);
  // Takes the instance off the world's list and frees it with its nodes and
  // fragments.
  void DropInstance(Instance* instance);
  // Sorts the instance into the BSP node as the render pass does: a node of
  // the instance with its world pivot, and a fragment of it at bspNode.
  void SortInstance(Instance* instance, BspNode* bspNode, Vec3 pivot);

  World* world_ = nullptr;
  BspNode* root_ = nullptr;

  static std::vector<RecordedCall> calls_;
  static void RecordGroup(PolygonGroup* group, int code);
  static void RecordInstance(Instance* instance, int code);

 private:
  std::vector<std::pair<Instance*, std::vector<InstanceNode*>>> instances_;
};
