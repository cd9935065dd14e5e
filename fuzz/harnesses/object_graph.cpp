// The object-graph reader and property lists: the input is a member read as
// a run of steps, each an i32 whose low two bits choose what follows:
//   0  a property list, looked up and freed
//   1  a reference to a node (property list, i32 code, references to the
//      next and the previous node), read with the whole web below it by
//      the engine's coroutine readers
//   2  a counted reference to a leaf (i32 width, string name)
//   3  a string
// Nodes and leaves are engine records (Light, Texture) read by this
// harness's own readers, so that any web of references the format allows
// can be built without a world around it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/data_archive.h"
#include "engine/name_hash.h"
#include "engine/object_graph.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "fuzz/support/fuzz_support.h"

namespace {

ObjBody NodeRead(Light* node) {
  if (!PropReadList(&node->props)) co_return 0;
  int code = 0;
  if (!ArchiveReadInt(&code)) co_return 0;
  node->code = code;
  int ok = co_await ObjRef<Light, NodeRead>(&node->next);
  if (ok) ok = co_await ObjRef<Light, NodeRead>(&node->prev);
  co_return ok;
}

int LeafRead(Texture* leaf) { return ArchiveReadInt(&leaf->width) && ArchiveReadString(&leaf->name); }

void FreeString(char* text) {
  if (text) PoolFree(text, static_cast<int>(std::strlen(text)) + 1);
}

// Frees every record of the graph from the table, never through a link read
// from the input.
void FreeGraph() {
  for (int i = 0; i < ObjTableCount(); ++i) {
    void* object = nullptr;
    ObjKind kind = kObjKindNone;
    if (!ObjTableEntryAt(i, &object, &kind)) FuzzFault("the object table lost an entry");
    if (kind == kObjKindLight) {
      auto* node = static_cast<Light*>(object);
      PropFreeList(&node->props);
      PoolDelete(node);
    } else if (kind == kObjKindTexture) {
      auto* leaf = static_cast<Texture*>(object);
      FreeString(leaf->name);
      PoolDelete(leaf);
    } else {
      FuzzFault("the object table holds a kind no reader made");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteMemberArchive("graph.can", "GRAPH", data, size);
  if (ArchiveOpen(path.c_str()) && ArchiveFindMember("GRAPH")) {
    ObjTableReset();
    Light* node = nullptr;
    Texture* leaf = nullptr;
    int step = 0;
    int ok = 1;
    while (ok && ArchiveMemberRemaining() > 0 && ArchiveReadInt(&step)) {
      switch (step & 3) {
        case 0: {
          PropertyEntry* list = nullptr;
          ok = PropReadList(&list);
          if (ok && list && PropFind(list, list->key) != list->value) FuzzFault("a property's own key finds another");
          PropFind(list, NameHash("name"));
          PropFreeList(&list);
          break;
        }
        case 1:
          ok = ObjReadRecord<Light, NodeRead>(&node);
          break;
        case 2:
          ok = ObjReadRecordCounted<Texture, LeafRead>(&leaf);
          break;
        default: {
          char* text = nullptr;
          ok = ArchiveReadString(&text);
          FreeString(text);
          break;
        }
      }
    }
    FuzzNote(std::to_string(ObjTableCount()) + " objects" + (ok ? "" : ", refused"));
    FreeGraph();
  }
  FuzzEngineReset();
  return 0;
}
