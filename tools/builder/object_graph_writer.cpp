#include "tools/builder/object_graph_writer.h"

#include "engine/name_hash.h"

void WritePropertyList(ByteWriter& out, const BuilderProperties& properties) {
  out.I32(static_cast<int32_t>(properties.size()));
  for (const BuilderProperty& property : properties) {
    out.I32(NameHash(property.name.c_str()));
    out.CString(property.value);
  }
}

bool ObjectGraphWriter::Ref(ObjKind kind, const void* record, BodyWriter writeBody) {
  if (!record) {
    Null();
    return true;
  }
  if (auto found = records_.find(record); found != records_.end()) {
    if (found->second.kind != kind) {
      ok_ = false;
      return false;
    }
  } else {
    records_.emplace(record, Record{kind, 0, -1, std::move(writeBody)});
    pending_.push_back(record);
  }
  Reference(record, kind, false);
  return true;
}

void ObjectGraphWriter::EarlierRef(ObjKind kind, const void* record) {
  if (!record) {
    Null();
    return;
  }
  Reference(record, kind, true);
}

int32_t ObjectGraphWriter::NumberOf(const void* record) const {
  auto found = records_.find(record);
  return found == records_.end() ? 0 : found->second.number;
}

void ObjectGraphWriter::Reference(const void* record, ObjKind kind, bool earlier) {
  const Mark mark = {Out().Size(), record, kind, earlier};
  if (current_ >= 0) {
    bodies_[static_cast<size_t>(current_)].marks.push_back(mark);
    return;
  }
  WritePendingBodies();
  Assemble(mark);
}

void ObjectGraphWriter::WritePendingBodies() {
  while (!pending_.empty()) {
    const void* record = pending_.back();
    pending_.pop_back();
    Record& entry = records_.at(record);
    const BodyWriter write = std::move(entry.write);
    entry.body = static_cast<int>(bodies_.size());
    bodies_.emplace_back();
    current_ = entry.body;
    if (write) write(*this);
    current_ = -1;
  }
}

// Writes the reference into the member: its number, 0, or the new-record
// marker; for a new record returns its body to put after the marker, else -1.
// A reference to an earlier record that has no number there (or was named as
// another kind) is written as 0 and fails the graph.
int ObjectGraphWriter::Place(const Mark& mark) {
  auto found = records_.find(mark.record);
  if (mark.earlier && (found == records_.end() || found->second.kind != mark.kind || found->second.number == 0)) {
    ok_ = false;
    out_.I32(0);
    return -1;
  }
  Record& entry = found->second;
  if (entry.number != 0) {
    out_.I32(entry.number);
    return -1;
  }
  entry.number = ++count_;
  out_.I32(-entry.number);
  return entry.body;
}

// The reference and, for a new record, its body with the bodies of the new
// records it names, each at its first reference: depth-first, as the reader
// reads them, on a stack of our own.
void ObjectGraphWriter::Assemble(const Mark& first) {
  struct Open {
    int body;
    size_t byte;  // bytes of the body already copied
    size_t mark;  // marks already placed
  };
  std::vector<Open> open;
  if (const int body = Place(first); body >= 0) open.push_back({body, 0, 0});
  while (!open.empty()) {
    Open& top = open.back();
    const Body& body = bodies_[static_cast<size_t>(top.body)];
    const std::vector<uint8_t>& bytes = body.bytes.Data();
    const size_t until = top.mark < body.marks.size() ? body.marks[top.mark].offset : bytes.size();
    out_.Bytes(bytes.data() + top.byte, until - top.byte);
    top.byte = until;
    if (top.mark == body.marks.size()) {
      bodies_[static_cast<size_t>(top.body)] = Body{};  // each body is placed once
      open.pop_back();
      continue;
    }
    const Mark mark = body.marks[top.mark++];
    if (const int nested = Place(mark); nested >= 0) open.push_back({nested, 0, 0});
  }
}
