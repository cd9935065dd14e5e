#include "engine/pool.h"

#include <cstdlib>
#include <cstring>

#include "engine/records.h"

namespace {

// Index c holds class c's free blocks (index 0 unused).
PoolFreeBlock* g_PoolFreeLists[kPoolClassCount + 1];

int PoolClassOf(int size) { return (size + kPoolClassBytes - 1) / kPoolClassBytes; }

}  // namespace

void* PoolAlloc(int size) {
  if (size <= 0) return nullptr;
  if (size >= kPoolLargeSize) return std::malloc(static_cast<size_t>(size));
  const int c = PoolClassOf(size);
  if (PoolFreeBlock* block = g_PoolFreeLists[c]) {
    g_PoolFreeLists[c] = block->next;
    return block;
  }
  return std::malloc(static_cast<size_t>(c) * kPoolClassBytes);
}

void PoolFree(void* block, int size) {
  if (!block || size <= 0) return;
  if (size >= kPoolLargeSize) {
    std::free(block);
    return;
  }
  const int c = PoolClassOf(size);
  PoolFreeBlock* freed = static_cast<PoolFreeBlock*>(block);
  freed->next = g_PoolFreeLists[c];
  g_PoolFreeLists[c] = freed;
}

void* PoolRealloc(void* block, int oldSize, int newSize) {
  void* grown = PoolAlloc(newSize);
  if (grown && block && oldSize > 0) {
    std::memcpy(grown, block, static_cast<size_t>(oldSize < newSize ? oldSize : newSize));
  }
  PoolFree(block, oldSize);
  return grown;
}

void PoolReleaseAll() {
  for (PoolFreeBlock*& head : g_PoolFreeLists) {
    while (head) {
      PoolFreeBlock* next = head->next;
      std::free(head);
      head = next;
    }
  }
}

void* PoolAllocZeroed(int size) {
  void* block = PoolAlloc(size);
  if (block) std::memset(block, 0, static_cast<size_t>(size));
  return block;
}
