#include "tools/builder/archive_writer.h"

#include <cstdio>

#include "tools/builder/byte_writer.h"

bool ArchiveWriter::AddMember(const std::string& name, std::vector<uint8_t> bytes) {
  if (name.empty() || name.size() > static_cast<size_t>(kArchiveNameLength) ||
      members_.size() >= static_cast<size_t>(kArchiveMaxMembers)) {
    return false;
  }
  members_.push_back({name, std::move(bytes)});
  return true;
}

std::vector<uint8_t> ArchiveWriter::Build(int32_t version) const {
  ByteWriter out;
  out.I32(version);
  std::vector<int32_t> offsets;
  for (const ArchiveMember& member : members_) {
    offsets.push_back(static_cast<int32_t>(out.Size()));
    out.Bytes(member.bytes);
  }
  for (size_t i = 0; i < members_.size(); ++i) {
    out.FixedString(members_[i].name, static_cast<size_t>(kArchiveNameLength));
    out.I32(offsets[i]);
  }
  out.I32(static_cast<int32_t>(members_.size()));
  return out.Take();
}

bool ArchiveWriter::WriteFile(const std::string& path, int32_t version) const {
  return WriteBytesToFile(path, Build(version));
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  // An empty vector may hold no buffer at all, which fwrite must not be given.
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
