#pragma once
// Writes ".CAN" data archives: an i32 version (103), the members one after
// the other, a directory of {20-character NUL-padded name, i32 offset}, and
// the member count as the last i32.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"

// The builder shares the engine's constants so that a test can include both
// the writer and the reader.
inline constexpr int32_t kArchiveVersion = kEngineLibraryVersion;

struct ArchiveMember {
  std::string name;
  std::vector<uint8_t> bytes;
};

class ArchiveWriter {
 public:
  // Members keep the order they were added in. Names longer than 20
  // characters are refused (they could not be found again).
  bool AddMember(const std::string& name, std::vector<uint8_t> bytes);
  // The whole archive file; version may be set to write deliberately old
  // files for tests.
  std::vector<uint8_t> Build(int32_t version = kArchiveVersion) const;
  // Writes Build() to path; false when the file cannot be written.
  bool WriteFile(const std::string& path, int32_t version = kArchiveVersion) const;

  const std::vector<ArchiveMember>& Members() const { return members_; }

 private:
  std::vector<ArchiveMember> members_;
};

// Writes bytes to a file, replacing it; false on any error.
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes);
