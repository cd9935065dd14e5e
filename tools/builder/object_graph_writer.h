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

class ObjectGraphWriter {
 public:
  using BodyWriter = std::function<void(ObjectGraphWriter& graph)>;

  explicit ObjectGraphWriter(ByteWriter& out) : out_(out) {}
  ObjectGraphWriter(const ObjectGraphWriter&) = delete;
  ObjectGraphWriter& operator=(const ObjectGraphWriter&) = delete;

  // Writes a reference to record: 0 for null, its number when already
  // written, else the new-record marker followed by writeBody's output. The
  // record has its number before its body is written, so the body may refer
  // to the record itself. Returns false (and writes nothing) when record was
  // written before as another kind: the reader would refuse that reference.
  bool Ref(ObjKind kind, const void* record, const BodyWriter& writeBody);
  // A null reference.
  void Null() { out_.I32(0); }

  // The number a record was given, 0 when not written yet.
  int32_t NumberOf(const void* record) const;
  // Records written so far.
  int32_t Count() const { return count_; }
  // False once any Ref was refused.
  bool Ok() const { return ok_; }

  ByteWriter& Out() { return out_; }

 private:
  struct Written {
    int32_t number;
    ObjKind kind;
  };
  ByteWriter& out_;
  std::unordered_map<const void*, Written> written_;
  int32_t count_ = 0;
  bool ok_ = true;
};
