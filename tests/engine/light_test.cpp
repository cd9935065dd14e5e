#include "engine/light.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/engine/world_fixture.h"

namespace {

std::vector<Light*> ListOf(Light* first) {
  std::vector<Light*> lights;
  for (Light* l = first; l; l = l->next) lights.push_back(l);
  return lights;
}

// Checks the back links and the tail as well as the forward order.
void ExpectList(Light* first, Light* last, const std::vector<Light*>& expected) {
  EXPECT_EQ(ListOf(first), expected);
  EXPECT_EQ(last, expected.empty() ? nullptr : expected.back());
  Light* previous = nullptr;
  for (Light* l : expected) {
    EXPECT_EQ(l->prev, previous);
    previous = l;
  }
}

class LightTest : public ::testing::Test {
 protected:
  void SetUp() override { world_ = TestWorldCreate(nullptr); }
  void TearDown() override { TestWorldFree(world_); }
  Light* Make(int type) { return LightCreate(world_, 1, 2, 3, 0.5f, 0.25f, 1.0f, 2.0f, 3.0f, 10.0f, type, 0); }
  World* world_ = nullptr;
};

}  // namespace

TEST_F(LightTest, CreateComputesDerivedValuesAndAppends) {
  Light* a = LightCreate(world_, 1, 2, 3, 0.5f, 0.25f, 1.0f, 2.0f, 3.0f, 10.0f, 0, 0);
  Light* b = LightCreate(world_, 4, 5, 6, 0.5f, 0.25f, 1.0f, 2.0f, 3.0f, 10.0f, 0, 0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->x, 1.0f);
  EXPECT_EQ(a->z, 3.0f);
  EXPECT_EQ(a->red, 0.5f);
  EXPECT_EQ(a->green, 0.25f);
  EXPECT_EQ(a->blue, 1.0f);
  EXPECT_EQ(a->radiusSquared, 100.0f);
  EXPECT_EQ(a->halfPower, 3.0f);  // 2 x 3 / 2
  EXPECT_EQ(a->props, nullptr);
  EXPECT_EQ(a->world, world_);
  ExpectList(world_->firstLight, world_->lastLight, {a, b});
  EXPECT_EQ(LightCreate(nullptr, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0), nullptr);
}

TEST_F(LightTest, NoColourStoresBlackWhateverWasPassed) {
  Light* light = LightCreate(world_, 0, 0, 0, 0.9f, 0.8f, 0.7f, 1.0f, 1.0f, 1.0f, 0, 1);
  EXPECT_EQ(light->red, 0.0f);
  EXPECT_EQ(light->green, 0.0f);
  EXPECT_EQ(light->blue, 0.0f);
  EXPECT_EQ(light->noColour, 1);
}

TEST_F(LightTest, SetRecomputesAndKeepsTheColour) {
  Light* light = Make(0);
  EXPECT_EQ(LightSet(light, 7, 8, 9, 4.0f, 5.0f, 6.0f, 4), light);
  EXPECT_EQ(light->y, 8.0f);
  EXPECT_EQ(light->radiusSquared, 36.0f);
  EXPECT_EQ(light->halfPower, 10.0f);
  EXPECT_EQ(light->type, 4);
  EXPECT_EQ(light->red, 0.5f);
  EXPECT_EQ(LightSet(nullptr, 0, 0, 0, 0, 0, 0, 0), nullptr);
}

TEST_F(LightTest, SeparateSpheresKeepsOrderOnBothLists) {
  Light* p1 = Make(0);
  Light* s1 = Make(4);
  Light* p2 = Make(1);
  Light* s2 = Make(4);
  LightsSeparateSpheres(world_);
  ExpectList(world_->firstLight, world_->lastLight, {p1, p2});
  ExpectList(world_->firstSphereLight, world_->lastSphereLight, {s1, s2});
  Light* s3 = Make(4);
  LightsSeparateSpheres(world_);  // appended after those already moved
  ExpectList(world_->firstSphereLight, world_->lastSphereLight, {s1, s2, s3});
}

// Deleting a sphere light must fix the sphere list, not the point list (which
// would leave a dangling head or tail there and a freed light on the other).
TEST_F(LightTest, DeleteUnlinksFromWhicheverListHoldsIt) {
  Light* p1 = Make(0);
  Light* s1 = Make(4);
  Light* s2 = Make(4);
  Light* s3 = Make(4);
  Light* p2 = Make(0);
  LightsSeparateSpheres(world_);

  EXPECT_EQ(LightDelete(s2), 1);  // middle of the sphere list
  ExpectList(world_->firstSphereLight, world_->lastSphereLight, {s1, s3});
  EXPECT_EQ(LightDelete(s3), 1);  // its tail
  ExpectList(world_->firstSphereLight, world_->lastSphereLight, {s1});
  ExpectList(world_->firstLight, world_->lastLight, {p1, p2});
  EXPECT_EQ(LightDelete(s1), 1);  // the only one
  ExpectList(world_->firstSphereLight, world_->lastSphereLight, {});
  ExpectList(world_->firstLight, world_->lastLight, {p1, p2});
  EXPECT_EQ(LightDelete(p1), 1);
  ExpectList(world_->firstLight, world_->lastLight, {p2});
  EXPECT_EQ(LightDelete(nullptr), 0);
}
