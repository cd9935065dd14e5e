#include "engine/pool.h"

#include <cstdlib>
#include <cstring>

#include "engine/records.h"

// Under the address sanitizer a freed small block is poisoned while it waits
// on its class list, so a use after free is caught although the block never
// goes back to the heap. The link stays readable so the leak checker can
// still follow the lists.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POOL_POISON(block, size) ASAN_POISON_MEMORY_REGION(block, size)
#define POOL_UNPOISON(block, size) ASAN_UNPOISON_MEMORY_REGION(block, size)
#else
#define POOL_POISON(block, size) ((void)(block), (void)(size))
#define POOL_UNPOISON(block, size) ((void)(block), (void)(size))
#endif

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
    POOL_UNPOISON(block, c * kPoolClassBytes);
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
  POOL_POISON(reinterpret_cast<char*>(freed) + sizeof(PoolFreeBlock), c * kPoolClassBytes - sizeof(PoolFreeBlock));
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
  for (int c = 1; c <= kPoolClassCount; ++c) {
    PoolFreeBlock*& head = g_PoolFreeLists[c];
    while (head) {
      POOL_UNPOISON(head, c * kPoolClassBytes);
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
