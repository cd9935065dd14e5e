#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/demo_data.h"

namespace {

int32_t I32At(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(bytes.at(offset + i)) << (8 * i);
  return static_cast<int32_t>(value);
}

struct ParsedEntry {
  std::string name;
  int32_t offset;
};

// An independent reading of the container, so the writer is checked against
// the format rather than against itself.
std::vector<ParsedEntry> ParseDirectory(const std::vector<uint8_t>& bytes) {
  const int32_t count = I32At(bytes, bytes.size() - 4);
  std::vector<ParsedEntry> entries;
  const size_t start = bytes.size() - 4 - 24 * static_cast<size_t>(count);
  for (int32_t i = 0; i < count; ++i) {
    const size_t at = start + 24 * static_cast<size_t>(i);
    const char* name = reinterpret_cast<const char*>(&bytes[at]);
    entries.push_back({std::string(name, strnlen(name, 20)), I32At(bytes, at + 20)});
  }
  return entries;
}

}  // namespace

TEST(ArchiveWriter, WritesVersionMembersDirectoryAndCount) {
  ArchiveWriter archive;
  ASSERT_TRUE(archive.AddMember("TEXTURES", {1, 2, 3}));
  ASSERT_TRUE(archive.AddMember("EXACTLYTWENTYCHARS01", {9}));
  const std::vector<uint8_t> bytes = archive.Build();

  ASSERT_EQ(bytes.size(), 4u + 3 + 1 + 2 * 24 + 4);
  EXPECT_EQ(I32At(bytes, 0), 103);
  const std::vector<ParsedEntry> entries = ParseDirectory(bytes);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "TEXTURES");
  EXPECT_EQ(entries[0].offset, 4);
  EXPECT_EQ(entries[1].name, "EXACTLYTWENTYCHARS01");
  EXPECT_EQ(entries[1].offset, 7);
  EXPECT_EQ(bytes[4], 1);
  EXPECT_EQ(bytes[7], 9);
  // The first name is NUL-padded to its 20 characters.
  EXPECT_EQ(bytes[12 + 8], 0);
}

TEST(ArchiveWriter, RefusesNamesThatCouldNotBeFoundAgain) {
  ArchiveWriter archive;
  EXPECT_FALSE(archive.AddMember("", {}));
  EXPECT_FALSE(archive.AddMember("TWENTYONE_CHARACTERS_", {}));
  EXPECT_TRUE(archive.Members().empty());
  EXPECT_EQ(I32At(archive.Build(102), 0), 102);
}

TEST(DemoData, WritesTheMissionArchive) {
  TempFolder temp;
  std::string error;
  ASSERT_TRUE(WriteDemoData(temp.Path(), &error)) << error;
  const std::vector<uint8_t> bytes = ReadFileBytes(temp.Join("M1.CAN"));
  ASSERT_GE(bytes.size(), 8u);
  EXPECT_EQ(I32At(bytes, 0), 103);
  bool hasFileId = false;
  for (const ParsedEntry& entry : ParseDirectory(bytes)) hasFileId |= entry.name == "FILE_ID";
  EXPECT_TRUE(hasFileId);
}
