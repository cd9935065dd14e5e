#include "engine/object_graph.h"

#include <cstdint>

#include "engine/data_archive.h"
#include "engine/pool.h"

namespace {

struct ObjTableEntry {
  void* object;
  ObjKind kind;
};

ObjTableEntry* g_ObjTable = nullptr;
int g_ObjCount = 0;
int g_ObjCapacity = 0;

int TableBytes(int capacity) { return capacity * static_cast<int>(sizeof(ObjTableEntry)); }

bool Append(void* object, ObjKind kind) {
  if (g_ObjCount == g_ObjCapacity) {
    if (g_ObjCapacity > INT32_MAX / static_cast<int>(sizeof(ObjTableEntry)) - kObjectTableGrowth) return false;
    const int grown = g_ObjCapacity + kObjectTableGrowth;
    void* table = PoolRealloc(g_ObjTable, TableBytes(g_ObjCapacity), TableBytes(grown));
    if (!table) return false;
    g_ObjTable = static_cast<ObjTableEntry*>(table);
    g_ObjCapacity = grown;
  }
  g_ObjTable[g_ObjCount++] = {object, kind};
  return true;
}

}  // namespace

void ObjTableReset() { g_ObjCount = 0; }

void ObjTableFree() {
  PoolFree(g_ObjTable, TableBytes(g_ObjCapacity));
  g_ObjTable = nullptr;
  g_ObjCount = 0;
  g_ObjCapacity = 0;
}

int ObjTableCount() { return g_ObjCount; }

int ObjTableEntryAt(int index, void** object, ObjKind* kind) {
  if (index < 0 || index >= g_ObjCount) return 0;
  *object = g_ObjTable[index].object;
  *kind = g_ObjTable[index].kind;
  return 1;
}

int ObjReadRef(void** slot, ObjKind kind, ObjReader reader, int size) {
  int number;
  if (!ArchiveReadInt(&number)) return 0;
  if (number == 0) {
    *slot = nullptr;
    return 1;
  }
  if (number > 0) {
    if (number > g_ObjCount) return 0;
    const ObjTableEntry& entry = g_ObjTable[number - 1];
    if (entry.kind != kind) return 0;
    *slot = entry.object;
    return 1;
  }
  // Only the next new object may follow: -(count + 1).
  if (number == INT32_MIN || -number != g_ObjCount + 1) return 0;
  void* object = PoolAllocZeroed(size);
  if (!object) return 0;
  if (!Append(object, kind)) {
    PoolFree(object, size);
    return 0;
  }
  *slot = object;
  return reader(object);
}

int ObjReadRefCounted(void** slot, ObjKind kind, ObjReader reader, int size) {
  if (!ObjReadRef(slot, kind, reader, size)) return 0;
  if (*slot) ++*static_cast<std::int32_t*>(*slot);
  return 1;
}

void* ObjAllocTracked(int size) { return PoolAllocZeroed(size); }
