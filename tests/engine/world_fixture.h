#pragma once
// Worlds built in memory for the polygon, BSP and particle tests.
#include <gtest/gtest.h>

#include <vector>

#include "engine/records.h"

// A world with a welded, empty vertex pool and, when root is given, that BSP.
World* TestWorldCreate(BspNode* root);
// Frees everything the tests put into the world, then the world.
void TestWorldFree(World* world);

// A texture record owned by the test (refs 1, not temporary).
Texture* TestTextureCreate(const char* name, int width, int height);
void TestTextureFree(Texture* texture);

// A polygon through the points with light 1 at every vertex; n = sign x
// the point count (sign -1 keeps it out of the BSP).
WorldPolygon* TestPolygon(World* world, const std::vector<Vec3>& points, int sign = 1, Surface* surface = nullptr);
// The rectangle x0..x1 by y0..y1 at height z, counter-clockwise seen from +z
// (normal +z).
std::vector<Vec3> RectXY(float x0, float y0, float x1, float y1, float z);

// The number of nodes under (and including) node.
int BspSubtreeSize(const BspNode* node);
// Reference count of a pool entry.
int PoolRefs(const World* world, int index);

// A fixture owning a world whose root plane is z = 0 (normal +z).
class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  World* world_ = nullptr;
  BspNode* root_ = nullptr;
};
