#include "tools/builder/object_graph_writer.h"

#include "engine/name_hash.h"

void WritePropertyList(ByteWriter& out, const BuilderProperties& properties) {
  out.I32(static_cast<int32_t>(properties.size()));
  for (const BuilderProperty& property : properties) {
    out.I32(NameHash(property.name.c_str()));
    out.CString(property.value);
  }
}

bool ObjectGraphWriter::Ref(ObjKind kind, const void* record, const BodyWriter& writeBody) {
  if (!record) {
    Null();
    return true;
  }
  if (auto found = written_.find(record); found != written_.end()) {
    if (found->second.kind != kind) {
      ok_ = false;
      return false;
    }
    out_.I32(found->second.number);
    return true;
  }
  ++count_;
  written_[record] = {count_, kind};
  out_.I32(-count_);
  if (writeBody) writeBody(*this);
  return true;
}

int32_t ObjectGraphWriter::NumberOf(const void* record) const {
  auto found = written_.find(record);
  return found == written_.end() ? 0 : found->second.number;
}
