#pragma once
// Writes record webs the way the engine's object-graph reader reads them:
// every record in full at its first reference, depth-first inside the body
// that first refers to it, and by number after that.
//
//   0        null
//   k > 0    the k-th record written so far in this graph (1-based)
//   -(n+1)   a new record (n = records written so far); its body follows
//
// Records are numbered by identity: the address of whatever the builder uses
// to describe the record. A record writer passes its kind (the same kind the
// engine's reader expects) and a function that writes its body, which may in
// turn write references to other records:
//
//   ObjectGraphWriter graph(out);
//   graph.Ref(kObjKindTexture, &texture, [&](ObjectGraphWriter& g) {
//     WritePropertyList(g.Out(), texture.properties);
//     g.Out().I32(texture.flags);
//     ...
//     g.Ref(kObjKindTexture, texture.prev, ...);
//   });
//
// One writer is one graph: its numbering starts at 1, as the reader's table
// does after ObjTableReset.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/object_graph.h"
#include "tools/builder/byte_writer.h"

// A property as the builder holds it: the name is hashed when written.
struct BuilderProperty {
  std::string name;
  std::string value;
};
using BuilderProperties = std::vector<BuilderProperty>;

// A stored property list: i32 count, then count x {i32 NameHash(name);
// NUL-terminated value}.
void WritePropertyList(ByteWriter& out, const BuilderProperties& properties);

// Bodies are not written inside one another: a list of 20,000 records is
// 20,000 bodies deep in the member, deeper than the stack would take. A
// reference met inside a body only marks its place; the new record's body is
// written after the body that named it, into a buffer of its own, and the
// member is put together when a reference outside any body completes: each
// body at its record's first reference in member order, numbered there. So
// a body writer may run after the function that called Ref has returned: it
// must hold what it needs by value (or by a pointer that outlives the
// graph), write only through graph.Out(), and report a failure through Ok()
// rather than through a variable of its caller.
class ObjectGraphWriter {
 public:
  using BodyWriter = std::function<void(ObjectGraphWriter& graph)>;

  explicit ObjectGraphWriter(ByteWriter& out) : out_(out) {}
  ObjectGraphWriter(const ObjectGraphWriter&) = delete;
  ObjectGraphWriter& operator=(const ObjectGraphWriter&) = delete;

  // A reference to record: 0 for null, its number when written before, else
  // the new-record marker with writeBody's output after it. Returns false
  // (and writes nothing) when record was named before as another kind: the
  // reader would refuse that reference.
  bool Ref(ObjKind kind, const void* record, BodyWriter writeBody);
  // A reference to a record that must be written earlier in the member (the
  // world inside its own body, the groups that polygons name): when it is
  // not, by the time the member is put together, a 0 stands there and the
  // graph is not Ok.
  void EarlierRef(ObjKind kind, const void* record);
  // A null reference.
  void Null() { Out().I32(0); }

  // The number a record was given, 0 when not written yet.
  int32_t NumberOf(const void* record) const;
  // Records written so far.
  int32_t Count() const { return count_; }
  // False once any reference was refused.
  bool Ok() const { return ok_; }

  // Where the body being written goes (outside a body: the member itself).
  ByteWriter& Out() { return current_ < 0 ? out_ : bodies_[static_cast<size_t>(current_)].bytes; }

 private:
  struct Record {
    ObjKind kind;
    int32_t number;  // 0 until written into the member
    int body;        // index into bodies_, -1 until written
    BodyWriter write;
  };
  // A reference inside a body: where it goes among the body's bytes.
  struct Mark {
    size_t offset;
    const void* record;  // never null
    ObjKind kind;
    bool earlier;  // must have its number already
  };
  struct Body {
    ByteWriter bytes;
    std::vector<Mark> marks;
  };

  void Reference(const void* record, ObjKind kind, bool earlier);
  void WritePendingBodies();
  void Assemble(const Mark& first);
  int Place(const Mark& mark);

  ByteWriter& out_;
  std::unordered_map<const void*, Record> records_;
  std::vector<Body> bodies_;
  std::vector<const void*> pending_;  // new records whose bodies are not written yet
  int current_ = -1;                  // the body being written, -1 outside any
  int32_t count_ = 0;
  bool ok_ = true;
};
