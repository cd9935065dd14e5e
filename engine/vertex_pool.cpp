#include "engine/vertex_pool.h"

#include <climits>
#include <cstdint>

#include "engine/pool.h"

namespace {

// The most entries the pool can hold: every array's byte size must fit the
// allocator's int sizes.
constexpr std::int32_t kVertexPoolMaxEntries = INT_MAX / 4 - kVertexPoolGrowth;

template <typename T>
T* GrowArray(T* array, int oldCount, int newCount) {
  return static_cast<T*>(
      PoolRealloc(array, oldCount * static_cast<int>(sizeof(T)), newCount * static_cast<int>(sizeof(T))));
}

bool IsEntry(const VertexPool& pool, int index) { return index >= 0 && index < pool.used; }

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
  pool.x = GrowArray(pool.x, pool.capacity, capacity);
  pool.y = GrowArray(pool.y, pool.capacity, capacity);
  pool.z = GrowArray(pool.z, pool.capacity, capacity);
  pool.next = GrowArray(pool.next, pool.capacity, capacity);
  pool.prev = GrowArray(pool.prev, pool.capacity, capacity);
  pool.refCount = GrowArray(pool.refCount, pool.capacity, capacity);
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
    // The step bound only matters for a chain damaged into a loop.
    int steps = 0;
    for (int i = pool.buckets[bucket]; IsEntry(pool, i) && steps <= pool.used; i = pool.next[i], ++steps) {
      if (pool.x[i] == x && pool.y[i] == y && pool.z[i] == z) {
        ++pool.refCount[i];
        return i;
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
