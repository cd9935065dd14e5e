#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine_error.h"
#include "engine/pool.h"

TEST(Pool, NonPositiveSizesAndNullBlocksDoNothing) {
  EXPECT_EQ(PoolAlloc(0), nullptr);
  EXPECT_EQ(PoolAlloc(-8), nullptr);
  PoolFree(nullptr, 16);
  int local = 0;
  PoolFree(&local, 0);  // size 0: the block is not touched
  EXPECT_EQ(local, 0);
}

TEST(Pool, FreedBlockIsReusedBySameClassLastFreedFirst) {
  void* a = PoolAlloc(17);  // class 2, 32 bytes
  void* b = PoolAlloc(30);
  PoolFree(a, 17);
  PoolFree(b, 30);
  EXPECT_EQ(PoolAlloc(20), b);
  EXPECT_EQ(PoolAlloc(32), a);
  void* other = PoolAlloc(33);  // class 3: not from class 2's list
  EXPECT_NE(other, a);
  EXPECT_NE(other, b);
  PoolFree(a, 32);
  PoolFree(b, 32);
  PoolFree(other, 33);
}

TEST(Pool, LargestPooledSizeAndHeapBlocks) {
  void* pooled = PoolAlloc(4095);
  std::memset(pooled, 0xAB, 4095);
  PoolFree(pooled, 4095);
  EXPECT_EQ(PoolAlloc(4081), pooled);  // same class 256
  PoolFree(pooled, 4081);
  void* heap = PoolAlloc(4096);
  std::memset(heap, 1, 4096);
  PoolFree(heap, 4096);
}

TEST(Pool, ReallocCopiesTheSmallerSizeAndFreesTheOld) {
  char* block = static_cast<char*>(PoolAlloc(8));
  std::memcpy(block, "abcdefgh", 8);
  char* grown = static_cast<char*>(PoolRealloc(block, 8, 100));
  EXPECT_EQ(std::memcmp(grown, "abcdefgh", 8), 0);
  EXPECT_EQ(PoolAlloc(16), block);  // the old block went back to its list
  char* shrunk = static_cast<char*>(PoolRealloc(grown, 100, 4));
  EXPECT_EQ(std::memcmp(shrunk, "abcd", 4), 0);
  PoolFree(shrunk, 4);
  PoolFree(block, 16);
  PoolReleaseAll();
}

TEST(EngineError, MessagesForEachCode) {
  struct Case {
    int code;
    int value;
    const char* message;
  } cases[] = {
      {4, 102, "Data file version 1.02, library version 1.03"},
      {1, 0, "Invalid vertex number\n"},
      {2, 0, "Normal too small\n"},
      {3, 0, "Concave polygon\n"},
      {5, 0, "Mesh with 0 vertices\n"},
      {0, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EngineSetError(c.code, c.value), c.code);
    EXPECT_EQ(g_EngineError.code, c.code);
    EXPECT_STREQ(g_EngineError.message, c.message);
  }
  EngineSetError(3, 0);
  EngineSetError(9, 0);  // unknown: stored, message kept
  EXPECT_EQ(g_EngineError.code, 9);
  EXPECT_STREQ(g_EngineError.message, "Concave polygon\n");
  EXPECT_EQ(EngineLibraryVersion(), 103);
}

TEST(EngineError, BackgroundFillSwitch) {
  EXPECT_EQ(g_BackgroundFill, 1);
  EXPECT_EQ(SetBackgroundFill(0), 0);
  EXPECT_EQ(g_BackgroundFill, 0);
  SetBackgroundFill(1);
}

TEST(Pool, SmallestBlocksHoldThePointerSizedFreeListLink) {
  // A 1-byte request is a 16-byte class-1 block; the free list keeps an
  // 8-byte link inside it (the sanitizer build checks the bounds).
  void* blocks[4];
  for (void*& block : blocks) block = PoolAlloc(1);
  for (void* block : blocks) PoolFree(block, 1);
  for (int i = 3; i >= 0; --i) EXPECT_EQ(PoolAlloc(16), blocks[i]);
  for (void* block : blocks) PoolFree(block, 16);
  PoolReleaseAll();
  void* fresh = PoolAlloc(1);
  EXPECT_NE(fresh, nullptr);
  PoolFree(fresh, 1);
}
