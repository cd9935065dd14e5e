#include "engine/vertex_pool.h"

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "engine/pool.h"

namespace {

// The most entries the pool can hold: every array's byte size must fit the
// allocator's int sizes.
constexpr std::int32_t kVertexPoolMaxEntries = INT_MAX / 4 - kVertexPoolGrowth;

bool IsEntry(const VertexPool& pool, int index) { return index >= 0 && index < pool.used; }

// --- the weld index ---------------------------------------------------------
// Open addressing over the positions of the entries in the bucket chains,
// with linear probing. It stands for the chain walk only while each chained
// entry sits in the chain of its own position's bucket and no two chained
// entries share a position: then the chain walk's first match is the one
// entry of that position. The pool's own welds keep it so; a loaded pool
// that does not is marked unsafe and keeps walking its chains.

// Smaller pools walk their chains: they are short.
constexpr int kWeldIndexMinEntries = 1024;

// -0 and +0 compare equal, so they weld together and must hash alike.
std::uint32_t FloatKey(float v) { return std::bit_cast<std::uint32_t>(v == 0.0f ? 0.0f : v); }

std::uint32_t PositionHash(float x, float y, float z) {
  std::uint32_t h = FloatKey(x) * 0x9E3779B1u;
  h = (h ^ (h >> 15) ^ FloatKey(y)) * 0x85EBCA77u;
  h = (h ^ (h >> 13) ^ FloatKey(z)) * 0xC2B2AE3Du;
  return h ^ (h >> 16);
}

// A position with a NaN never compares equal, so the chain walk never finds
// it: it stays out of the index too.
bool Indexable(const VertexPool& pool, int i) {
  return pool.x[i] == pool.x[i] && pool.y[i] == pool.y[i] && pool.z[i] == pool.z[i];
}

std::uint32_t HomeSlot(const VertexPool& pool, int i) {
  return PositionHash(pool.x[i], pool.y[i], pool.z[i]) & static_cast<std::uint32_t>(pool.weldIndexSize - 1);
}

int WeldIndexFind(const VertexPool& pool, float x, float y, float z) {
  const std::uint32_t mask = static_cast<std::uint32_t>(pool.weldIndexSize - 1);
  for (std::uint32_t slot = PositionHash(x, y, z) & mask;; slot = (slot + 1) & mask) {
    const int i = pool.weldIndex[slot];
    if (i < 0 || (pool.x[i] == x && pool.y[i] == y && pool.z[i] == z)) return i;
  }
}

// Puts entry i in a slot; false when an entry of its position is there
// already.
bool WeldIndexPut(VertexPool& pool, int i) {
  const std::uint32_t mask = static_cast<std::uint32_t>(pool.weldIndexSize - 1);
  std::uint32_t slot = HomeSlot(pool, i);
  for (; pool.weldIndex[slot] >= 0; slot = (slot + 1) & mask) {
    const int other = pool.weldIndex[slot];
    if (pool.x[other] == pool.x[i] && pool.y[other] == pool.y[i] && pool.z[other] == pool.z[i]) return false;
  }
  pool.weldIndex[slot] = i;
  ++pool.weldIndexCount;
  return true;
}

void WeldIndexDrop(VertexPool& pool) {
  PoolFree(pool.weldIndex, pool.weldIndexSize * static_cast<int>(sizeof(std::int32_t)));
  pool.weldIndex = nullptr;
  pool.weldIndexSize = 0;
  pool.weldIndexCount = 0;
}

// A table of size slots (a power of two) holding the entries of the old one.
// Without memory for it the pool goes back to walking its chains, which
// finds the same entries.
void WeldIndexResize(VertexPool& pool, int size) {
  std::int32_t* old = pool.weldIndex;
  const int oldSize = pool.weldIndexSize;
  auto* table = size <= INT_MAX / 4 ? static_cast<std::int32_t*>(PoolAlloc(size * 4)) : nullptr;
  if (!table) {
    WeldIndexDrop(pool);
    pool.weldIndexUnsafe = 1;
    return;
  }
  pool.weldIndex = table;
  pool.weldIndexSize = size;
  pool.weldIndexCount = 0;
  for (int slot = 0; slot < size; ++slot) pool.weldIndex[slot] = kVertexNone;
  for (int slot = 0; slot < oldSize; ++slot) {
    if (old[slot] >= 0) WeldIndexPut(pool, old[slot]);
  }
  PoolFree(old, oldSize * static_cast<int>(sizeof(std::int32_t)));
}

// Room for one more entry at no more than half full.
// False when the index had to be given up instead.
bool WeldIndexMakeRoom(VertexPool& pool) {
  if (2 * (pool.weldIndexCount + 1) > pool.weldIndexSize) WeldIndexResize(pool, 2 * pool.weldIndexSize);
  return pool.weldIndexSize > 0;
}

// The index of every chained entry, walking each chain as a weld does.
void WeldIndexBuild(VertexPool& pool) {
  int size = 1024;
  while (size < 2 * pool.used) size *= 2;
  WeldIndexResize(pool, size);
  if (pool.weldIndexSize == 0) return;
  for (int bucket = 0; bucket < kWeldBucketCount; ++bucket) {
    int steps = 0;
    for (int i = pool.buckets[bucket]; IsEntry(pool, i) && steps <= pool.used; i = pool.next[i], ++steps) {
      if (!Indexable(pool, i)) continue;
      if (WeldBucket(pool.x[i], pool.y[i], pool.z[i]) != bucket || !WeldIndexPut(pool, i)) {
        WeldIndexDrop(pool);
        pool.weldIndexUnsafe = 1;
        return;
      }
      if (!WeldIndexMakeRoom(pool)) return;
    }
  }
}

// 1 when welds look positions up in the index (building it once the pool
// is large enough).
bool WeldIndexInUse(VertexPool& pool) {
  if (pool.weldIndexSize > 0) return true;
  if (pool.weldIndexUnsafe || pool.used < kWeldIndexMinEntries) return false;
  WeldIndexBuild(pool);
  return pool.weldIndexSize > 0;
}

// Takes entry i out of the index (backward-shift deletion: the entries after
// it in its probe run move up so that no lookup stops short).
void WeldIndexErase(VertexPool& pool, int i) {
  if (!Indexable(pool, i)) return;
  const std::uint32_t mask = static_cast<std::uint32_t>(pool.weldIndexSize - 1);
  std::uint32_t hole = HomeSlot(pool, i);
  while (pool.weldIndex[hole] != i) {
    if (pool.weldIndex[hole] < 0) return;
    hole = (hole + 1) & mask;
  }
  for (std::uint32_t slot = (hole + 1) & mask; pool.weldIndex[slot] >= 0; slot = (slot + 1) & mask) {
    const std::uint32_t home = HomeSlot(pool, pool.weldIndex[slot]);
    // The entry may fill the hole when its home does not lie after the hole
    // and up to its slot (cyclically).
    const bool homeBetween = hole < slot ? (home > hole && home <= slot) : (home > hole || home <= slot);
    if (!homeBetween) {
      pool.weldIndex[hole] = pool.weldIndex[slot];
      hole = slot;
    }
  }
  pool.weldIndex[hole] = kVertexNone;
  --pool.weldIndexCount;
}

}  // namespace

int WeldBucket(float x, float y, float z) {
  const double sum = static_cast<double>(x) - (static_cast<double>(y) * -3.0 + static_cast<double>(z) * -7.0);
  const double scaled = sum * 12345.12345;
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (!(scaled >= -kTwoTo63 && scaled < kTwoTo63)) return 0;  // NaN or out of range
  return static_cast<int>(static_cast<std::int64_t>(scaled) & 0xFF);
}

void VertexPoolInit(World* world, int welding) {
  VertexPool& pool = world->vertexPool;
  pool = VertexPool{};
  for (std::int32_t& head : pool.buckets) head = kVertexNone;
  pool.freeHead = kVertexNone;
  pool.welding = welding;
}

void VertexPoolFree(World* world) {
  VertexPool& pool = world->vertexPool;
  WeldIndexDrop(pool);
  const int floatBytes = pool.capacity * static_cast<int>(sizeof(float));
  const int intBytes = pool.capacity * static_cast<int>(sizeof(std::int32_t));
  PoolFree(pool.x, floatBytes);
  PoolFree(pool.y, floatBytes);
  PoolFree(pool.z, floatBytes);
  PoolFree(pool.next, intBytes);
  PoolFree(pool.prev, intBytes);
  PoolFree(pool.refCount, intBytes);
  VertexPoolInit(world, pool.welding);
}

int VertexPoolSetCapacity(World* world, int capacity) {
  VertexPool& pool = world->vertexPool;
  if (capacity < pool.used || capacity > kVertexPoolMaxEntries + kVertexPoolGrowth) return 0;
  if (capacity == pool.capacity) return 1;
  // All six arrays are made before any is given up, so that a failed
  // allocation leaves the pool as it was.
  const int bytes = capacity * 4;
  void* grown[6] = {};
  for (int i = 0; i < 6; ++i) {
    grown[i] = PoolAlloc(bytes);
    if (grown[i]) continue;
    for (int j = 0; j < i; ++j) PoolFree(grown[j], bytes);
    return 0;
  }
  const size_t kept = static_cast<size_t>(pool.capacity < capacity ? pool.capacity : capacity) * 4;
  int next = 0;
  auto replace = [&](auto*& array) {
    static_assert(sizeof(*array) == 4, "every pool array has 4-byte entries");
    if (array && kept > 0) std::memcpy(grown[next], array, kept);
    PoolFree(array, pool.capacity * 4);
    array = static_cast<std::remove_reference_t<decltype(array)>>(grown[next++]);
  };
  replace(pool.x);
  replace(pool.y);
  replace(pool.z);
  replace(pool.next);
  replace(pool.prev);
  replace(pool.refCount);
  pool.capacity = capacity;
  return 1;
}

int VertexPoolReserve(World* world, int need) {
  VertexPool& pool = world->vertexPool;
  if (pool.capacity >= need) return 1;
  if (need > kVertexPoolMaxEntries) return 0;
  return VertexPoolSetCapacity(world, need + kVertexPoolGrowth);
}

int VertexWeld(World* world, float x, float y, float z) {
  VertexPool& pool = world->vertexPool;
  int bucket = 0;
  if (pool.welding) {
    bucket = WeldBucket(x, y, z);
    if (WeldIndexInUse(pool)) {
      const int i = WeldIndexFind(pool, x, y, z);
      if (i >= 0) {
        ++pool.refCount[i];
        return i;
      }
    } else {
      // The step bound only matters for a chain damaged into a loop.
      int steps = 0;
      for (int i = pool.buckets[bucket]; IsEntry(pool, i) && steps <= pool.used; i = pool.next[i], ++steps) {
        if (pool.x[i] == x && pool.y[i] == y && pool.z[i] == z) {
          ++pool.refCount[i];
          return i;
        }
      }
    }
  }

  int index;
  if (IsEntry(pool, pool.freeHead)) {
    index = pool.freeHead;
    pool.freeHead = -pool.refCount[index];
  } else {
    pool.freeHead = kVertexNone;
    if (!VertexPoolReserve(world, pool.used + 1)) return kVertexNone;
    index = pool.used++;
  }
  pool.refCount[index] = 1;
  pool.x[index] = x;
  pool.y[index] = y;
  pool.z[index] = z;

  if (pool.welding) {
    const int oldHead = pool.buckets[bucket];
    if (IsEntry(pool, oldHead)) pool.prev[oldHead] = index;
    pool.prev[index] = -(bucket + 1);
    pool.next[index] = oldHead;
    pool.buckets[bucket] = index;
    if (pool.weldIndexSize > 0 && Indexable(pool, index)) {
      if (WeldIndexMakeRoom(pool)) WeldIndexPut(pool, index);
    }
  } else {
    pool.prev[index] = index;
    pool.next[index] = kVertexNone;
  }
  return index;
}

void VertexAddRef(World* world, int index) {
  VertexPool& pool = world->vertexPool;
  if (IsEntry(pool, index) && pool.refCount[index] > 0) ++pool.refCount[index];
}

void VertexRelease(World* world, int index) {
  VertexPool& pool = world->vertexPool;
  if (!IsEntry(pool, index) || pool.refCount[index] <= 0) return;
  if (--pool.refCount[index] > 0) return;

  const int prev = pool.prev[index];
  if (prev != index) {
    if (pool.weldIndexSize > 0) WeldIndexErase(pool, index);
    const int next = pool.next[index];
    if (IsEntry(pool, next)) pool.prev[next] = prev;
    if (prev >= 0) {
      if (IsEntry(pool, prev)) pool.next[prev] = next;
    } else if (prev >= -kWeldBucketCount) {
      pool.buckets[-prev - 1] = next;
    }
  }
  pool.refCount[index] = -pool.freeHead;
  pool.freeHead = index;
}
