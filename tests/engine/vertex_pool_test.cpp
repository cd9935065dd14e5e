#include "engine/vertex_pool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/pool.h"
#include "tests/engine/world_fixture.h"

struct BucketCase {
  float x, y, z;
  int bucket;
};

// Values worked out by hand from trunc((x + 3y + 7z) x 12345.12345) & 0xFF.
TEST(WeldBucket, MatchesTheDoublePrecisionTruncatedHash) {
  const float kInf = std::numeric_limits<float>::infinity();
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  const BucketCase cases[] = {
      {0.0f, 0.0f, 0.0f, 0},         {1.0f, 0.0f, 0.0f, 57},  // 12345 = 48 x 256 + 57
      {0.0f, 1.0f, 0.0f, 171},                                // 37035.37...
      {0.0f, 0.0f, 1.0f, 143},                                // 86415.86...
      {-1.0f, 0.0f, 0.0f, 199},       // -12345 toward zero, low byte 0xC7 (floor would give 198)
      {16777216.0f, 1.0f, 0.0f, 22},  // the sum needs double: in float 2^24 + 3 rounds up (bucket 79)
      {1e30f, 0.0f, 0.0f, 0},         // beyond 64 bits: "integer indefinite"
      {kInf, 0.0f, 0.0f, 0},         {kNaN, 0.0f, 0.0f, 0},
  };
  for (const BucketCase& c : cases) {
    EXPECT_EQ(WeldBucket(c.x, c.y, c.z), c.bucket) << c.x << " " << c.y << " " << c.z;
  }
}

class VertexPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { world_ = TestWorldCreate(nullptr); }
  void TearDown() override { TestWorldFree(world_); }
  World* world_ = nullptr;
};

TEST_F(VertexPoolTest, SamePositionWeldsToOneCountedEntry) {
  const int a = VertexWeld(world_, 1.0f, 2.0f, 3.0f);
  const int b = VertexWeld(world_, 1.0f, 2.0f, 3.0f);
  const int near = VertexWeld(world_, 1.0f, 2.0f, 3.0001f);  // welding is exact
  EXPECT_EQ(a, b);
  EXPECT_NE(near, a);
  EXPECT_EQ(PoolRefs(world_, a), 2);
  EXPECT_EQ(PoolRefs(world_, near), 1);
  EXPECT_EQ(world_->vertexPool.used, 2);
}

TEST_F(VertexPoolTest, ReleasedEntryIsReusedAndLeavesItsBucket) {
  const int a = VertexWeld(world_, 5.0f, 0.0f, 0.0f);
  VertexWeld(world_, 5.0f, 0.0f, 0.0f);
  const int other = VertexWeld(world_, 6.0f, 0.0f, 0.0f);
  VertexRelease(world_, a);
  EXPECT_EQ(PoolRefs(world_, a), 1);
  EXPECT_EQ(world_->vertexPool.freeHead, kVertexNone);
  VertexRelease(world_, a);
  EXPECT_EQ(world_->vertexPool.freeHead, a);
  EXPECT_EQ(PoolRefs(world_, a), 1);  // -(freeHead before) = -(-1)
  // Gone from its bucket: the same position now gets a fresh weld ...
  const int again = VertexWeld(world_, 7.0f, 0.0f, 0.0f);
  EXPECT_EQ(again, a);  // ... and the free entry's index is handed out first
  EXPECT_EQ(world_->vertexPool.freeHead, kVertexNone);
  const int five = VertexWeld(world_, 5.0f, 0.0f, 0.0f);
  EXPECT_NE(five, a);
  EXPECT_NE(five, other);
  EXPECT_EQ(PoolRefs(world_, five), 1);
  EXPECT_EQ(world_->vertexPool.used, 3);
}

TEST_F(VertexPoolTest, FreeListChainsThroughNegatedIndices) {
  const int a = VertexWeld(world_, 1.0f, 0.0f, 0.0f);
  const int b = VertexWeld(world_, 2.0f, 0.0f, 0.0f);
  VertexRelease(world_, a);
  VertexRelease(world_, b);
  EXPECT_EQ(world_->vertexPool.freeHead, b);
  EXPECT_EQ(PoolRefs(world_, b), -a);
  EXPECT_EQ(VertexWeld(world_, 3.0f, 0.0f, 0.0f), b);
  EXPECT_EQ(VertexWeld(world_, 4.0f, 0.0f, 0.0f), a);
  EXPECT_EQ(VertexWeld(world_, 5.0f, 0.0f, 0.0f), 2);
}

TEST_F(VertexPoolTest, BucketChainLinksKeepTheirConventions) {
  // Two positions in one bucket: the later is the chain's head.
  const int bucket = WeldBucket(0.0f, 0.0f, 0.0f);
  ASSERT_EQ(WeldBucket(0.0f, 0.0f, 0.00001f), bucket);
  const int first = VertexWeld(world_, 0.0f, 0.0f, 0.0f);
  const int second = VertexWeld(world_, 0.0f, 0.0f, 0.00001f);
  const VertexPool& pool = world_->vertexPool;
  EXPECT_EQ(pool.buckets[bucket], second);
  EXPECT_EQ(pool.prev[second], -(bucket + 1));
  EXPECT_EQ(pool.next[second], first);
  EXPECT_EQ(pool.prev[first], second);
  EXPECT_EQ(pool.next[first], kVertexNone);
  // Releasing the head makes the other one the first of the bucket.
  VertexRelease(world_, second);
  EXPECT_EQ(pool.buckets[bucket], first);
  EXPECT_EQ(pool.prev[first], -(bucket + 1));
  EXPECT_EQ(VertexWeld(world_, 0.0f, 0.0f, 0.0f), first);
}

TEST_F(VertexPoolTest, UnweldedVerticesPointAtThemselves) {
  world_->vertexPool.welding = 0;
  const int a = VertexWeld(world_, 1.0f, 1.0f, 1.0f);
  const int b = VertexWeld(world_, 1.0f, 1.0f, 1.0f);
  EXPECT_NE(a, b);
  EXPECT_EQ(world_->vertexPool.prev[a], a);
  VertexRelease(world_, a);
  EXPECT_EQ(world_->vertexPool.freeHead, a);
  for (int head : world_->vertexPool.buckets) EXPECT_EQ(head, kVertexNone);
}

TEST_F(VertexPoolTest, GrowsEveryArrayToNeedPlus100) {
  EXPECT_EQ(world_->vertexPool.capacity, 0);
  VertexWeld(world_, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(world_->vertexPool.capacity, 101);
  for (int i = 1; i < 101; ++i) VertexWeld(world_, static_cast<float>(i), 0.0f, 0.0f);
  EXPECT_EQ(world_->vertexPool.capacity, 101);
  VertexWeld(world_, -1.0f, 0.0f, 0.0f);
  EXPECT_EQ(world_->vertexPool.capacity, 202);
  // Contents kept across the growth.
  EXPECT_EQ(world_->vertexPool.x[100], 100.0f);
  EXPECT_EQ(VertexWeld(world_, 50.0f, 0.0f, 0.0f), 50);
  EXPECT_EQ(VertexPoolReserve(world_, 150), 1);
  EXPECT_EQ(world_->vertexPool.capacity, 202);
  EXPECT_EQ(VertexPoolReserve(world_, 1 << 30), 0);
}

TEST_F(VertexPoolTest, BadIndicesAndReleasesOfFreeEntriesAreIgnored) {
  const int a = VertexWeld(world_, 1.0f, 0.0f, 0.0f);
  const int b = VertexWeld(world_, 2.0f, 0.0f, 0.0f);
  const int c = VertexWeld(world_, 3.0f, 0.0f, 0.0f);
  VertexRelease(world_, -1);
  VertexRelease(world_, 99);
  VertexRelease(world_, a);
  VertexRelease(world_, b);  // holds -a = 0
  VertexRelease(world_, c);  // holds -b = -1
  VertexRelease(world_, b);
  VertexRelease(world_, c);
  EXPECT_EQ(world_->vertexPool.freeHead, c);
  EXPECT_EQ(VertexWeld(world_, 4.0f, 0.0f, 0.0f), c);
  EXPECT_EQ(VertexWeld(world_, 5.0f, 0.0f, 0.0f), b);
  EXPECT_EQ(VertexWeld(world_, 6.0f, 0.0f, 0.0f), a);
  EXPECT_EQ(VertexWeld(world_, 7.0f, 0.0f, 0.0f), 3);
}

TEST_F(VertexPoolTest, DamagedFreeHeadFallsBackToANewEntry) {
  VertexWeld(world_, 1.0f, 0.0f, 0.0f);
  world_->vertexPool.freeHead = 12345;  // as a bad file could leave it
  EXPECT_EQ(VertexWeld(world_, 2.0f, 0.0f, 0.0f), 1);
  EXPECT_EQ(world_->vertexPool.freeHead, kVertexNone);
}
