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
//
// Every list is a chain of bodies nested one inside the next (a list of
// 20,000 surfaces is 20,000 bodies deep), so readers do not recurse: a
// record reader is a coroutine (ObjBody) that suspends at each reference to
// a new object, and ObjRunBody reads that object's body first, keeping the
// suspended readers on an explicit stack. Its depth is bounded by the
// member's size (each new object takes at least its 4-byte number), and each
// suspended reader costs one small pool block. Trees that the engine later
// walks by recursion (the BSP, group and mesh-node hierarchies) are bounded
// by their own checks after the read.
#include <climits>
#include <coroutine>
#include <cstddef>
#include <type_traits>
#include <utility>

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

// Reads one reference number. kObjRefFailed: a short read, a number naming
// no object or one of another kind, or a new object that could not be
// allocated (*object unchanged). kObjRefDone: *object is null (0) or the
// k-th object of the graph. kObjRefNew (-(count + 1)): *object is a new
// cleared block of size bytes, already in the table, whose body follows.
enum ObjRefResult { kObjRefFailed, kObjRefDone, kObjRefNew };
ObjRefResult ObjReadRefNumber(void** object, ObjKind kind, int size);

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
// Record readers. A reader reads a record's body into its cleared block and
// returns 1 or 0. It is either a plain function, for a record that refers to
// no new object of a kind that may nest deeply, or a coroutine:
//
//   ObjBody SurfaceRead(Surface* surface) {
//     if (!PropReadList(&surface->props)) co_return 0;
//     ...
//     int ok = co_await ObjRef<Surface, SurfaceRead>(&surface->prev);
//     if (ok) ok = co_await ObjRef<Surface, SurfaceRead>(&surface->next);
//     co_return ok;
//   }
//
// Inside a coroutine reader every reference that may bring a new object is
// read with co_await ObjRef. Write each co_await as a
// statement of its own, `ok = co_await ...;`, `int ok = co_await ...;` or
// `co_return co_await ...;`: GCC 12 miscompiles a co_await inside an if
// condition or an operand of && and ||. Outside a coroutine reader,
// ObjReadRecord reads a reference and the whole graph below it.
// ---------------------------------------------------------------------------

// A record reader suspended at references to new objects (see above).
class [[nodiscard]] ObjBody {
 public:
  struct promise_type;
  using Handle = std::coroutine_handle<promise_type>;
  struct promise_type {
    int result = 0;        // what the reader returned
    Handle nested;         // while suspended: the new object's reader, to run first
    int nestedResult = 0;  // its result, for the suspended reader
    ObjBody get_return_object() noexcept { return ObjBody(Handle::from_promise(*this)); }
    // A reader whose frame cannot be allocated is an empty body: the read fails.
    static ObjBody get_return_object_on_allocation_failure() noexcept { return ObjBody(); }
    std::suspend_always initial_suspend() noexcept { return {}; }
    std::suspend_always final_suspend() noexcept { return {}; }
    void return_value(int ok) noexcept { result = ok; }
    // An exception inside a reader (an allocation that threw) fails the read.
    void unhandled_exception() noexcept { result = 0; }
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* frame, std::size_t size) noexcept;
  };

  ObjBody() = default;
  ObjBody(ObjBody&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  ObjBody& operator=(ObjBody&& other) noexcept {
    if (this != &other) {
      if (handle_) handle_.destroy();
      handle_ = std::exchange(other.handle_, {});
    }
    return *this;
  }
  ObjBody(const ObjBody&) = delete;
  ObjBody& operator=(const ObjBody&) = delete;
  ~ObjBody() {
    if (handle_) handle_.destroy();
  }
  explicit operator bool() const { return static_cast<bool>(handle_); }
  // Hands the reader over to the caller, who destroys it.
  Handle Release() { return std::exchange(handle_, {}); }

 private:
  explicit ObjBody(Handle handle) : handle_(handle) {}
  Handle handle_;
};

// Runs the reader to its end, and first the reader of every new object it
// reaches, on an explicit stack. The reader's result; 0 for an empty body.
// A failed nested reader resumes its parent with 0, so that every reader
// sees the failure and can leave its record freeable.
int ObjRunBody(ObjBody body);

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

template <auto Reader>
inline constexpr bool kObjReaderIsBody = std::is_same_v<decltype(Reader(nullptr)), ObjBody>;

// Reads one reference into *slot, outside any coroutine reader: a new
// object's body (and everything nested in it) is read at once. The slot
// takes the object as soon as it is allocated; on a failed number it is
// unchanged.
template <typename T, auto Reader>
int ObjReadRecord(T** slot) {
  void* object = *slot;
  const ObjRefResult read = ObjReadRefNumber(&object, ObjKindOf<T>::kind, static_cast<int>(sizeof(T)));
  if (read == kObjRefFailed) return 0;
  *slot = static_cast<T*>(object);
  if (read == kObjRefDone) return 1;
  if constexpr (kObjReaderIsBody<Reader>) {
    return ObjRunBody(Reader(*slot));
  } else {
    return Reader(*slot);
  }
}

// For counted records (Texture, Surface), which keep their count first: on
// success adds 1 to the count of the record referred to, new or read before
// (after the body of a new one). A null reference counts nothing.
template <typename T, auto Reader>
int ObjReadRecordCounted(T** slot) {
  static_assert(offsetof(T, refs) == 0, "a counted record keeps its count first");
  if (!ObjReadRecord<T, Reader>(slot)) return 0;
  if (*slot) ++(*slot)->refs;
  return 1;
}

// A reference that must name an object read earlier (the world from inside
// its own body, the groups named by polygons): a new object there fails
// without allocating anything.
template <typename T>
int ObjReadEarlierRecord(T** slot) {
  void* object = *slot;
  if (ObjReadRefNumber(&object, ObjKindOf<T>::kind, 0) != kObjRefDone) return 0;
  *slot = static_cast<T*>(object);
  return 1;
}

// What a coroutine reader awaits for one reference (ObjRef): no suspension
// for a null, an earlier object or a failure; for a new object the reader
// suspends and ObjRunBody reads the new body first.
template <typename T, auto Reader>
class ObjRefAwaiter {
 public:
  explicit ObjRefAwaiter(T** slot) : slot_(slot) {}
  bool await_ready() {
    void* object = *slot_;
    const ObjRefResult read = ObjReadRefNumber(&object, ObjKindOf<T>::kind, static_cast<int>(sizeof(T)));
    if (read == kObjRefFailed) return true;
    *slot_ = static_cast<T*>(object);
    if (read == kObjRefDone) {
      ok_ = 1;
    } else if constexpr (kObjReaderIsBody<Reader>) {
      body_ = Reader(*slot_);
      return !body_;  // a reader that could not be made fails the read
    } else {
      ok_ = Reader(*slot_);
    }
    return true;
  }
  void await_suspend(ObjBody::Handle parent) noexcept {
    parent_ = parent;
    parent.promise().nested = body_.Release();
  }
  int await_resume() noexcept {
    if (parent_) ok_ = parent_.promise().nestedResult;
    return ok_;
  }

 private:
  T** slot_;
  int ok_ = 0;
  ObjBody body_;
  ObjBody::Handle parent_;
};

template <typename T, auto Reader>
ObjRefAwaiter<T, Reader> ObjRef(T** slot) {
  return ObjRefAwaiter<T, Reader>(slot);
}
