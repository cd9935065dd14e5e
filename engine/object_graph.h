#pragma once
// Reading a web of records from an archive member. Every record is written
// once, in full, at its first reference and by number after that:
//
//   0                    null
//   k > 0                the k-th object read so far in this graph (1-based)
//   -(n + 1)             a new object (n = objects read so far); its body
//                        follows at once, in the order of its kind's reader
//
// Nested new objects come depth-first inside the body that first refers to
// them. The object table remembers each object with its record kind, so a
// number that names a record of another kind than the reader expects fails
// the read instead of handing out a pointer of the wrong type.
//
// A graph is read as ObjTableReset(); the root reference(s); ObjTableFree().
// A reader returns 0 as soon as one of its reads fails; records allocated so
// far stay allocated (cleared, so they can be freed safely).
#include <climits>
#include <cstddef>

#include "engine/pool.h"
#include "engine/records.h"

// The kind of record a reference may name. New kinds go at the end.
enum ObjKind : int {
  kObjKindNone = 0,
  kObjKindTexture,
  kObjKindModel,
  kObjKindMeshNode,
  kObjKindRotationKey,
  kObjKindPositionKey,
  kObjKindPathSegment,
  kObjKindPathJunction,
  kObjKindInstance,
  kObjKindInstanceNode,
  kObjKindLight,
  kObjKindSurface,
  kObjKindWorldPolygon,
  kObjKindBspNode,
  kObjKindBspFragment,
  kObjKindParticle,
  kObjKindPolygonGroup,
  kObjKindWorld,
};

// Reads a record's body into a cleared block; 1 or 0.
using ObjReader = int (*)(void* object);

// Empties the object table before a graph is read.
void ObjTableReset();
// Releases the table after a graph (the objects stay).
void ObjTableFree();
// Objects read so far in the current graph.
int ObjTableCount();
// The index-th object of the current graph (0-based, in reading order) and
// its kind; 0 when index is out of range. A reader that fails leaves every
// block it allocated in the table (cleared where nothing was read), so the
// caller of a failed read can free them all from here, each exactly once.
int ObjTableEntryAt(int index, void** object, ObjKind* kind);

// Reads one reference into *slot. 0 gives null. k > 0 gives the k-th object
// when it exists and is of this kind (else 0, slot unchanged). -(count + 1)
// allocates a cleared block of size bytes, puts it in the table (so that its
// own body can refer to it), sets *slot and returns reader(block); any other
// negative number fails with the slot unchanged.
int ObjReadRef(void** slot, ObjKind kind, ObjReader reader, int size);
// As ObjReadRef, and on success adds 1 to the first i32 of the object
// referred to (its reference count), new or already read; after the reader
// for a new one. A null reference counts nothing.
int ObjReadRefCounted(void** slot, ObjKind kind, ObjReader reader, int size);

// A cleared pool block for data a record reader reads into (strings, vertex
// and face arrays); free it with PoolFree and the same size.
void* ObjAllocTracked(int size);

// An array of count elements of T, sized by the element's own size (pointer
// arrays take 8 bytes an entry); null for count <= 0 or when the size does
// not fit an int. Free it with ObjFreeArray and the same count.
template <typename T>
T* ObjAllocArray(int count) {
  if (count <= 0 || static_cast<size_t>(count) > static_cast<size_t>(INT_MAX) / sizeof(T)) return nullptr;
  return static_cast<T*>(ObjAllocTracked(count * static_cast<int>(sizeof(T))));
}
template <typename T>
void ObjFreeArray(T* array, int count) {
  if (count > 0) PoolFree(array, count * static_cast<int>(sizeof(T)));
}

// ---------------------------------------------------------------------------
// Typed references: the kind comes from the record type and the reader takes
// the record itself, so a reader can't be paired with the wrong size or kind.
//
//   int SurfaceRead(Surface* surface);
//   ObjReadRecordCounted<Surface, SurfaceRead>(&polygon->surface);
//
// The slot is written when the read returns (a new object's body finds the
// object through its number, not through the slot).
// ---------------------------------------------------------------------------

template <typename T>
struct ObjKindOf;
#define KORVANE_OBJ_KIND(T, K)         \
  template <>                          \
  struct ObjKindOf<T> {                \
    static constexpr ObjKind kind = K; \
  }
KORVANE_OBJ_KIND(Texture, kObjKindTexture);
KORVANE_OBJ_KIND(Model, kObjKindModel);
KORVANE_OBJ_KIND(MeshNode, kObjKindMeshNode);
KORVANE_OBJ_KIND(RotationKey, kObjKindRotationKey);
KORVANE_OBJ_KIND(PositionKey, kObjKindPositionKey);
KORVANE_OBJ_KIND(PathSegment, kObjKindPathSegment);
KORVANE_OBJ_KIND(PathJunction, kObjKindPathJunction);
KORVANE_OBJ_KIND(Instance, kObjKindInstance);
KORVANE_OBJ_KIND(InstanceNode, kObjKindInstanceNode);
KORVANE_OBJ_KIND(Light, kObjKindLight);
KORVANE_OBJ_KIND(Surface, kObjKindSurface);
KORVANE_OBJ_KIND(WorldPolygon, kObjKindWorldPolygon);
KORVANE_OBJ_KIND(BspNode, kObjKindBspNode);
KORVANE_OBJ_KIND(BspFragment, kObjKindBspFragment);
KORVANE_OBJ_KIND(Particle, kObjKindParticle);
KORVANE_OBJ_KIND(PolygonGroup, kObjKindPolygonGroup);
KORVANE_OBJ_KIND(World, kObjKindWorld);
#undef KORVANE_OBJ_KIND

template <typename T, int (*Reader)(T*)>
int ObjReaderThunk(void* object) {
  return Reader(static_cast<T*>(object));
}

template <typename T, int (*Reader)(T*)>
int ObjReadRecord(T** slot) {
  void* object = *slot;
  const int ok = ObjReadRef(&object, ObjKindOf<T>::kind, &ObjReaderThunk<T, Reader>, static_cast<int>(sizeof(T)));
  *slot = static_cast<T*>(object);
  return ok;
}

// For counted records (Texture, Surface): the count is their first field.
template <typename T, int (*Reader)(T*)>
int ObjReadRecordCounted(T** slot) {
  static_assert(offsetof(T, refs) == 0, "a counted record keeps its count first");
  void* object = *slot;
  const int ok =
      ObjReadRefCounted(&object, ObjKindOf<T>::kind, &ObjReaderThunk<T, Reader>, static_cast<int>(sizeof(T)));
  *slot = static_cast<T*>(object);
  return ok;
}
