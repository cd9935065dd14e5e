#pragma once
// Helpers for tests that read fabricated archives through the engine.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "engine/object_graph.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/byte_writer.h"

// The reader is one global: every test leaves it closed with an empty state
// stack, whatever it did.
class ArchiveTest : public ::testing::Test {
 protected:
  void TearDown() override {
    while (ArchivePopState()) {
    }
    ArchiveClose();
    ObjTableFree();
  }

  // Writes bytes as a file in the test's folder and returns its path.
  std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    temp_.WriteFile(name, bytes);
    return temp_.Join(name);
  }
  std::string WriteArchive(const std::string& name, const ArchiveWriter& archive, int32_t version = kArchiveVersion) {
    return WriteFile(name, archive.Build(version));
  }
  // An archive of one member "DATA" holding bytes, opened and positioned at
  // the member.
  void OpenMember(const std::vector<uint8_t>& bytes) {
    ArchiveWriter archive;
    ASSERT_TRUE(archive.AddMember("DATA", bytes));
    ASSERT_EQ(ArchiveOpen(WriteArchive("member.can", archive).c_str()), 1);
    ASSERT_EQ(ArchiveFindMember("DATA"), 1);
  }

  // As OpenMember, and then the file is cut right after the member, so that
  // reads find the end of the data there. (An intact archive always has its
  // directory after the members, and reads run on into it.)
  void OpenMemberEndingTheData(const std::vector<uint8_t>& bytes) {
    ArchiveWriter archive;
    ASSERT_TRUE(archive.AddMember("DATA", bytes));
    const std::string path = WriteArchive("cut.can", archive);
    ASSERT_EQ(ArchiveOpen(path.c_str()), 1);
    ASSERT_EQ(ArchiveFindMember("DATA"), 1);
    std::filesystem::resize_file(path, 4 + bytes.size());
  }

  TempFolder temp_;
};

inline void PatchI32(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}
