#pragma once
// The world's welded vertex pool. Every BSP fragment vertex is an index into
// it; vertices at exactly the same position share one entry (welded through
// 256 hash buckets), so that neighbouring and moved polygons project each
// corner once per frame. Entries are reference counted; an entry whose count
// drops to 0 goes on a free list and its index is handed out again.
//
// The pool is stored as it is in the world member, so its conventions are a
// file format: prev of a welded vertex is the previous index in its bucket
// chain, or -(bucket + 1) for a chain's first; prev of an unwelded vertex is
// its own index; a free entry holds, in its count, the negated index of the
// next free entry (so the last free entry holds 1).
#include "engine/records.h"

// Weld bucket of a position: trunc((x + 3y + 7z) x 12345.12345) & 0xFF, the
// sum and product in double precision (as x - (y (-3) + z (-7))), truncated
// toward zero to 64 bits. A value outside the 64-bit range (or NaN) gives
// bucket 0, as the x86 conversion's "integer indefinite" result does. The
// data builder and the engine must agree on it bit for bit.
int WeldBucket(float x, float y, float z);

// An empty pool: no arrays, every bucket and the free list empty.
void VertexPoolInit(World* world, int welding);
// Frees the pool's arrays; the pool is empty afterwards (welding kept).
void VertexPoolFree(World* world);
// Every array to exactly capacity entries (contents up to the smaller size
// kept). 0, with nothing changed, for a capacity below the used entries or
// beyond what the pool can address.
int VertexPoolSetCapacity(World* world, int capacity);
// When capacity < need, every array grows to need + 100 entries (contents
// kept). 0 when need is beyond what the pool can address.
int VertexPoolReserve(World* world, int need);

// Pool index of (x, y, z) with one more reference: an existing entry at
// exactly that position when welding is on, else a reused free entry or a new
// one. -1 only when the pool cannot grow.
int VertexWeld(World* world, float x, float y, float z);
// One more reference to a live entry.
void VertexAddRef(World* world, int index);
// One reference less; at 0 the entry leaves its bucket and goes on the free
// list. Indices outside the pool and entries already free are ignored.
void VertexRelease(World* world, int index);

// Reads the pool as the world member stores it: i32 fragment count (skipped:
// the polygon block's reader counts the fragments), used and capacity; 256 bucket heads; free head and welding; used x,
// then y, then z floats; used prev, then next, then reference counts (arrays
// of capacity entries). Fails (0) on a short read or a pool that could send
// an index out of range or round in a circle: used outside 0..capacity,
// capacity beyond used + 65536, a head or link outside the pool, a bucket
// chain or free list that loops. Frees the previous pool first.
int VertexPoolRead(World* world);

// Position of an entry (no check: index must be in use).
inline Vec3 VertexPosition(const World* world, int index) {
  const VertexPool& pool = world->vertexPool;
  return Vec3{pool.x[index], pool.y[index], pool.z[index]};
}
