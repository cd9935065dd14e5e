#include "tests/engine/collision_fixture.h"

#include <algorithm>
#include <cstring>

#include "engine/bsp.h"
#include "engine/collision.h"
#include "engine/instance_fragment.h"
#include "engine/intrusive_list.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/world_polygon.h"
#include "tests/engine/world_fixture.h"

std::vector<RecordedCall> CollisionTest::calls_;

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void ResetSettings() {
  g_CollideVerticalScale = 0.25f;
  g_CollidePushOut = 1;
  CollideSetMode(0);
  CollideSetIgnore(nullptr);
  CollideSetInstanceChecks(0);
}

// Frees the nodes of an instance with their fragments (off the BSP's lists).
void FreeInstanceNodes(const std::vector<InstanceNode*>& nodes) {
  for (InstanceNode* node : nodes) {
    while (node->firstFragment) InstanceFragmentFree(node->firstFragment);
    PoolDelete(node);
  }
}

}  // namespace

void CollisionTest::SetUp() {
  ResetSettings();
  calls_.clear();
  root_ = BspNodeCreate(0.0f, 1.0f, 0.0f, 0.0f);  // the floor plane y = 0, facing up
  world_ = TestWorldCreate(root_);
}

void CollisionTest::TearDown() {
  for (auto& [instance, nodes] : instances_) {
    FreeInstanceNodes(nodes);
    PoolDelete(instance);
  }
  instances_.clear();
  TestWorldFree(world_);  // groups, polygons and the BSP
  ResetSettings();
}

void CollisionTest::UseRoot(float nx, float ny, float nz, float d) {
  BspNodeFree(root_);
  root_ = BspNodeCreate(nx, ny, nz, d);
  world_->bspRoot = root_;
}

WorldPolygon* CollisionTest::Square(Vec3 c, Vec3 n, float half, int flags, PolygonGroup* group) {
  // Two axes u, v of the plane with u x v = n, so that the corners below run
  // counter-clockwise seen from the front.
  Vec3 u, v;
  if (n.x != 0) {
    u = {0, 1, 0}, v = {0, 0, 1};
  } else if (n.y != 0) {
    u = {0, 0, 1}, v = {1, 0, 0};
  } else {
    u = {1, 0, 0}, v = {0, 1, 0};
  }
  if (n.x + n.y + n.z < 0) std::swap(u, v);
  auto corner = [&](float a, float b) {
    return Vec3{c.x + (u.x * a + v.x * b) * half, c.y + (u.y * a + v.y * b) * half, c.z + (u.z * a + v.z * b) * half};
  };
  WorldPolygon* p = TestPolygon(world_, {corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, 1)});
  EXPECT_NE(p, nullptr);
  if (!p) return nullptr;
  EXPECT_GT(p->normal.x * n.x + p->normal.y * n.y + p->normal.z * n.z, 0.99f);
  p->flags |= flags;
  if (group) PolygonSetGroup(p, group, 1);
  return p;
}

void CollisionTest::RecordGroup(PolygonGroup* group, int code) { calls_.push_back({group, code}); }
void CollisionTest::RecordInstance(Instance* instance, int code) { calls_.push_back({instance, code}); }

PolygonGroup* CollisionTest::Group(bool record) {
  PolygonGroup* group = GroupCreate(world_, "group", nullptr);
  GroupSetCallback(group, record ? &RecordGroup : nullptr);
  return group;
}

Instance* CollisionTest::AddInstance(Vec3 position, float radius) {
  Instance* instance = PoolNew<Instance>();
  instance->world = world_;
  instance->x = position.x;
  instance->y = position.y;
  instance->z = position.z;
  instance->radius = radius;
  instance->collidable = 1;
  instance->ownAmbient = kAmbientUseDefault;
  instance->callback = &RecordInstance;
  std::memcpy(instance->matrix, kIdentity, sizeof kIdentity);
  ListAppend(world_->firstInstance, world_->lastInstance, instance, &Instance::prev, &Instance::next);
  instances_.push_back({instance, {}});
  return instance;
}

void CollisionTest::DropInstance(Instance* instance) {
  ListUnlink(world_->firstInstance, world_->lastInstance, instance, &Instance::prev, &Instance::next);
  CollideForgetInstance(instance);
  auto it = std::find_if(instances_.begin(), instances_.end(), [&](const auto& e) { return e.first == instance; });
  FreeInstanceNodes(it->second);
  instances_.erase(it);
  PoolDelete(instance);
}

void CollisionTest::SortInstance(Instance* instance, BspNode* bspNode, Vec3 pivot) {
  InstanceNode* node = PoolNew<InstanceNode>();
  node->world = world_;
  node->instance = instance;
  node->pivotWorld = pivot;
  InstanceFragment* f = PoolNew<InstanceFragment>();
  f->node = node;
  f->bspNode = bspNode;
  ListAppend(node->firstFragment, node->lastFragment, f, &InstanceFragment::prev, &InstanceFragment::next);
  ListAppend(bspNode->firstInstanceFragment, bspNode->lastInstanceFragment, f, &InstanceFragment::prevInBsp,
             &InstanceFragment::nextInBsp);
  for (auto& [owner, nodes] : instances_) {
    if (owner == instance) nodes.push_back(node);
  }
}
