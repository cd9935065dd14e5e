#pragma once
// The engine's small-block allocator. Records are allocated and freed in
// large numbers while loading and every frame, so a request below 4096 bytes
// is a pop from its size class's free list and a free is a push; freed small
// blocks wait for reuse until PoolReleaseAll at exit.
//
// Class c = (size + 15) / 16 serves sizes 1..4095 with blocks of c x 16 bytes.
// 4096 bytes and above go to the general heap block for block.

// A block of at least size bytes, not cleared; null for size <= 0.
void* PoolAlloc(int size);
// Frees a block allocated with a size of the same class; nothing for a null
// block or size <= 0.
void PoolFree(void* block, int size);
// A block of newSize with min(oldSize, newSize) bytes copied from block,
// which is freed with oldSize.
void* PoolRealloc(void* block, int oldSize, int newSize);
// Hands every free small block back to the general heap; blocks in use are
// not touched. Called once when the program exits.
void PoolReleaseAll();

// A cleared block: the engine's record readers and creators use it so that a
// record read halfway can always be freed safely.
void* PoolAllocZeroed(int size);

// Typed helpers for records: T is a plain record.
template <typename T>
T* PoolNew() {
  return static_cast<T*>(PoolAllocZeroed(static_cast<int>(sizeof(T))));
}
template <typename T>
void PoolDelete(T* record) {
  PoolFree(record, static_cast<int>(sizeof(T)));
}
