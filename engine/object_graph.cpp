#include "engine/object_graph.h"

#include <cstdint>
#include <iterator>
#include <new>
#include <vector>

#include "engine/data_archive.h"
#include "engine/engine_error.h"
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

const char* KindName(ObjKind kind) {
  static const char* const kNames[] = {
      "nothing",     "texture",       "model",       "mesh node", "rotation key", "position key",  "path segment",
      "path junction", "instance",    "instance node", "light",   "surface",      "world polygon", "BSP node",
      "BSP fragment", "particle",     "polygon group", "world"};
  const int index = static_cast<int>(kind);
  return index >= 0 && index < static_cast<int>(std::size(kNames)) ? kNames[index] : "record";
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

ObjRefResult ObjReadRefNumber(void** object, ObjKind kind, int size) {
  int number;
  if (!ArchiveReadInt(&number)) return kObjRefFailed;
  if (number == 0) {
    *object = nullptr;
    return kObjRefDone;
  }
  if (number > 0) {
    if (number > g_ObjCount) {
      EngineRefuse("object %d referred to when only %d were read", number, g_ObjCount);
      return kObjRefFailed;
    }
    const ObjTableEntry& entry = g_ObjTable[number - 1];
    if (entry.kind != kind) {
      EngineRefuse("object %d is a %s where a %s belongs", number, KindName(entry.kind), KindName(kind));
      return kObjRefFailed;
    }
    *object = entry.object;
    return kObjRefDone;
  }
  // Only the next new object may follow: -(count + 1). A size of 0 asks for
  // an object read earlier.
  if (number == INT32_MIN || -number != g_ObjCount + 1) {
    EngineRefuse("new object number %d where %d is next", number, -(g_ObjCount + 1));
    return kObjRefFailed;
  }
  if (size <= 0) {
    EngineRefuse("a new %s where one read before belongs", KindName(kind));
    return kObjRefFailed;
  }
  void* block = PoolAllocZeroed(size);
  if (!block || !Append(block, kind)) {
    PoolFree(block, size);
    EngineRefuse("no memory for object %d", g_ObjCount + 1);
    return kObjRefFailed;
  }
  *object = block;
  return kObjRefNew;
}

void* ObjBody::promise_type::operator new(std::size_t size) noexcept {
  return size <= static_cast<std::size_t>(INT_MAX) ? PoolAlloc(static_cast<int>(size)) : nullptr;
}

void ObjBody::promise_type::operator delete(void* frame, std::size_t size) noexcept {
  PoolFree(frame, static_cast<int>(size));
}

int ObjRunBody(ObjBody body) {
  ObjBody::Handle root = body.Release();
  if (!root) return 0;
  // The readers suspended at a new object, outermost first; the last one
  // runs. Growing it may fail under a memory limit: the reader waiting for
  // a new body then gets 0 instead.
  std::vector<ObjBody::Handle> stack;
  auto push = [&stack](ObjBody::Handle handle) {
    try {
      stack.push_back(handle);
      return true;
    } catch (const std::bad_alloc&) {
      handle.destroy();
      return false;
    }
  };
  if (!push(root)) return 0;
  for (;;) {
    ObjBody::Handle top = stack.back();
    top.resume();
    if (!top.done()) {
      ObjBody::promise_type& waiting = top.promise();
      ObjBody::Handle nested = std::exchange(waiting.nested, {});
      waiting.nestedResult = 0;
      if (nested) push(nested);
      continue;
    }
    const int result = top.promise().result;
    top.destroy();
    stack.pop_back();
    if (stack.empty()) return result;
    stack.back().promise().nestedResult = result;
  }
}

void* ObjAllocTracked(int size) { return PoolAllocZeroed(size); }
