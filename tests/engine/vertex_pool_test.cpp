#include "engine/vertex_pool.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

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

// A large pool looks positions up in its weld index; the same welds and
// releases in a twin pool that walks its chains give the same index every
// time and leave the same pool, chains, counts and free list included.
TEST(VertexPoolWeldIndex, LargePoolWeldsExactlyAsTheChainWalkDoes) {
  World* indexed = TestWorldCreate(nullptr);
  World* walked = TestWorldCreate(nullptr);
  walked->vertexPool.weldIndexUnsafe = 1;  // never builds an index
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  std::vector<int> held;
  unsigned seed = 12345;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) % range;
  };
  for (int step = 0; step < 30000; ++step) {
    const unsigned choice = next(10);
    if (choice < 6 || held.empty()) {
      // A grid of positions, so that many welds meet an existing entry;
      // -0 welds with +0, and a NaN never welds.
      float x = static_cast<float>(next(40)) * 8.0f, y = static_cast<float>(next(8)), z = static_cast<float>(next(40));
      if (next(50) == 0) x = -0.0f;
      if (next(500) == 0) y = kNaN;
      const int a = VertexWeld(indexed, x, y, z);
      const int b = VertexWeld(walked, x, y, z);
      ASSERT_EQ(a, b) << step;
      held.push_back(a);
    } else {
      const std::size_t k = next(static_cast<unsigned>(held.size()));
      VertexRelease(indexed, held[k]);
      VertexRelease(walked, held[k]);
      held[k] = held.back();
      held.pop_back();
    }
  }
  const VertexPool& a = indexed->vertexPool;
  const VertexPool& b = walked->vertexPool;
  EXPECT_GT(a.weldIndexSize, 0);  // the index was in use
  EXPECT_EQ(b.weldIndexSize, 0);
  ASSERT_EQ(a.used, b.used);
  EXPECT_EQ(a.freeHead, b.freeHead);
  for (int k = 0; k < kWeldBucketCount; ++k) EXPECT_EQ(a.buckets[k], b.buckets[k]);
  for (int i = 0; i < a.used; ++i) {
    ASSERT_EQ(a.next[i], b.next[i]) << i;
    ASSERT_EQ(a.prev[i], b.prev[i]) << i;
    ASSERT_EQ(a.refCount[i], b.refCount[i]) << i;
  }
  TestWorldFree(indexed);
  TestWorldFree(walked);
}

// A pool whose chains an index cannot stand for (as a file can leave them):
// two chained entries of one position. Welds keep walking the chain and
// find the first of them.
TEST(VertexPoolWeldIndex, DuplicatePositionsInAChainKeepTheChainWalk) {
  World* world = TestWorldCreate(nullptr);
  VertexPool& pool = world->vertexPool;
  for (int i = 0; i < 1200; ++i) VertexWeld(world, static_cast<float>(i), 0.0f, 0.0f);
  EXPECT_GT(pool.weldIndexSize, 0);
  // Entry 7 takes the position of entry 5 (both in one bucket), as a
  // damaged file might store them; a new pool is read like that.
  const int bucket = WeldBucket(5.0f, 0.0f, 0.0f);
  VertexRelease(world, 7);
  const int entry = VertexWeld(world, 1e6f, 0.0f, 0.0f);
  ASSERT_EQ(entry, 7);
  VertexRelease(world, entry);  // free again, off its chain
  pool.x[7] = 5.0f;
  pool.refCount[7] = 1;
  pool.freeHead = kVertexNone;
  pool.prev[pool.buckets[bucket]] = 7;
  pool.prev[7] = -(bucket + 1);
  pool.next[7] = pool.buckets[bucket];
  pool.buckets[bucket] = 7;
  // As after a load: no index yet.
  PoolFree(pool.weldIndex, pool.weldIndexSize * 4);
  pool.weldIndex = nullptr;
  pool.weldIndexSize = pool.weldIndexCount = 0;
  EXPECT_EQ(VertexWeld(world, 5.0f, 0.0f, 0.0f), 7);  // the first of the chain
  EXPECT_EQ(pool.weldIndexUnsafe, 1);
  EXPECT_EQ(pool.weldIndexSize, 0);
  TestWorldFree(world);
}
