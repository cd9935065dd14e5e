#include "engine/data_archive.h"

#include <cstring>

#include "engine/engine_error.h"
#include "engine/pool.h"
#include "tests/engine/data_archive_fixture.h"
#include "tests/support/process_info.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Members whose sizes are easy to tell apart.
ArchiveWriter ThreeMembers() {
  ArchiveWriter archive;
  archive.AddMember("TEXTURES", Bytes("abc"));
  archive.AddMember("LEVEL1.CCW", Bytes("world!"));
  archive.AddMember("a.ccw", Bytes("12345678901"));
  return archive;
}

}  // namespace

TEST_F(ArchiveTest, OpensFindsMembersAndReadsEveryPrimitive) {
  ByteWriter data;
  data.I32(-7);
  data.F32(1.5f);
  data.I32(1);
  data.I32(2);
  data.I32(3);
  data.F32(0.25f);
  data.F32(-2.0f);
  data.F32(1.0f);
  data.F32(2.0f);
  data.F32(3.0f);
  data.CString("hello");
  data.CString("");
  ArchiveWriter archive;
  archive.AddMember("OTHER", Bytes("xx"));
  archive.AddMember("TEXTURES", data.Take());
  // A Windows-style path in another case still finds the file.
  WriteArchive("Data/Textures.can", archive);
  ScopedCurrentFolder cd(temp_.Path());
  ASSERT_EQ(ArchiveOpen("DATA\\TEXTURES.CAN"), 1);
  EXPECT_EQ(g_EngineError.code, 0);
  ASSERT_EQ(ArchiveFindMember("textures"), 1);

  int i = 0;
  float f = 0;
  int ints[3] = {};
  float floats[2] = {};
  float x = 0, y = 0, z = 0;
  char* text = nullptr;
  ASSERT_EQ(ArchiveReadInt(&i), 1);
  EXPECT_EQ(i, -7);
  ASSERT_EQ(ArchiveReadFloat(&f), 1);
  EXPECT_EQ(f, 1.5f);
  ASSERT_EQ(ArchiveReadInts(ints, 3), 1);
  EXPECT_EQ(ints[2], 3);
  ASSERT_EQ(ArchiveReadFloats(floats, 2), 1);
  EXPECT_EQ(floats[0], 0.25f);
  EXPECT_EQ(floats[1], -2.0f);
  ASSERT_EQ(ArchiveReadVec3(&x, &y, &z), 1);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 2.0f);
  EXPECT_EQ(z, 3.0f);
  ASSERT_EQ(ArchiveReadString(&text), 1);
  EXPECT_STREQ(text, "hello");
  PoolFree(text, 6);
  ASSERT_EQ(ArchiveReadString(&text), 1);
  EXPECT_STREQ(text, "");
  PoolFree(text, 1);
  EXPECT_EQ(ArchiveFlush(), 1);

  // Finding a member again starts over, whatever the buffer held.
  ASSERT_EQ(ArchiveFindMember("Textures"), 1);
  ASSERT_EQ(ArchiveReadInt(&i), 1);
  EXPECT_EQ(i, -7);
  EXPECT_EQ(ArchiveFindMember("TEXTURE"), 0);
  EXPECT_EQ(ArchiveClose(), 1);
  EXPECT_EQ(ArchiveClose(), 0);
}

TEST_F(ArchiveTest, EverythingFailsWithNoArchiveOpen) {
  int i;
  float f;
  char* text = reinterpret_cast<char*>(1);
  char byte;
  EXPECT_EQ(ArchiveReadInt(&i), 0);
  EXPECT_EQ(ArchiveReadFloat(&f), 0);
  EXPECT_EQ(ArchiveReadBytes(&byte, 1), 0);
  EXPECT_EQ(ArchiveReadString(&text), 0);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(ArchiveFindMember("X"), 0);
  EXPECT_EQ(ArchiveFindWildcard("*"), nullptr);
  EXPECT_EQ(ArchiveMemberOffset("X"), -1);
  EXPECT_EQ(ArchiveMemberSize("*"), -1);
  EXPECT_EQ(ArchiveOpen(temp_.Join("missing.can").c_str()), 0);
}

TEST_F(ArchiveTest, SecondOpenFailsAndLeavesTheFirstOpen) {
  const std::string first = WriteArchive("first.can", ThreeMembers());
  ArchiveWriter other;
  other.AddMember("OTHER", Bytes("o"));
  const std::string second = WriteArchive("second.can", other);
  ASSERT_EQ(ArchiveOpen(first.c_str()), 1);
  EXPECT_EQ(ArchiveOpen(second.c_str()), 0);
  EXPECT_EQ(ArchiveFindMember("TEXTURES"), 1);
  EXPECT_EQ(ArchiveFindMember("OTHER"), 0);
}

TEST_F(ArchiveTest, OldVersionFailsWithItsMessageAndClosesTheFile) {
  const std::string old = WriteArchive("old.can", ThreeMembers(), 102);
  const std::string good = WriteArchive("good.can", ThreeMembers());
  const int filesBefore = OpenFileCount();
  EXPECT_EQ(ArchiveOpen(old.c_str()), 0);
  EXPECT_EQ(g_EngineError.code, 4);
  EXPECT_STREQ(g_EngineError.message, "Data file version 1.02, library version 1.03");
  EXPECT_EQ(OpenFileCount(), filesBefore);
  EXPECT_EQ(ArchiveClose(), 0);
  ASSERT_EQ(ArchiveOpen(good.c_str()), 1);
  EXPECT_EQ(g_EngineError.code, 0);  // each open clears the record
}

// Every way a directory can be out of range fails the open, closes the file
// and lets the next open succeed; a size can then never come out negative.
TEST_F(ArchiveTest, BadDirectoriesFailTheOpen) {
  const std::vector<uint8_t> good = ThreeMembers().Build();
  const size_t countAt = good.size() - 4;
  const size_t directory = countAt - 3 * 24;
  struct Case {
    const char* what;
    size_t at;
    int32_t value;
  } cases[] = {
      {"count 2001", countAt, 2001},
      {"count -1", countAt, -1},
      {"count beyond the file", countAt, 4},
      {"offset inside the version", directory + 20, 3},
      {"offset past the directory start", directory + 2 * 24 + 20, static_cast<int32_t>(directory + 1)},
      {"offset negative", directory + 24 + 20, -100},
      {"offset huge", directory + 24 + 20, INT32_MAX},
      {"offsets out of order", directory + 2 * 24 + 20, 5},
  };
  const std::string goodPath = WriteFile("good.can", good);
  const int filesBefore = OpenFileCount();
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    PatchI32(bytes, c.at, c.value);
    const std::string path = WriteFile("bad.can", bytes);
    EXPECT_EQ(ArchiveOpen(path.c_str()), 0) << c.what;
    EXPECT_EQ(ArchiveClose(), 0) << c.what;
    EXPECT_EQ(OpenFileCount(), filesBefore) << c.what;
  }
  const std::vector<std::vector<uint8_t>> tooShort = {{}, {103, 0, 0}, {103, 0, 0, 0}, {103, 0, 0, 0, 0, 0, 0}};
  for (const std::vector<uint8_t>& bytes : tooShort) {
    EXPECT_EQ(ArchiveOpen(WriteFile("short.can", bytes).c_str()), 0) << bytes.size() << " bytes";
  }
  ASSERT_EQ(ArchiveOpen(goodPath.c_str()), 1);
  ArchiveClose();
}

TEST_F(ArchiveTest, EmptyArchivesAndEmptyMembersAreValid) {
  ArchiveWriter none;
  ASSERT_EQ(ArchiveOpen(WriteArchive("none.can", none).c_str()), 1);
  EXPECT_EQ(ArchiveFindWildcard("*"), nullptr);
  ArchiveClose();

  ArchiveWriter empties;
  empties.AddMember("A", {});
  empties.AddMember("B", Bytes("b"));
  empties.AddMember("C", {});
  ASSERT_EQ(ArchiveOpen(WriteArchive("empties.can", empties).c_str()), 1);
  EXPECT_EQ(ArchiveMemberSize("A"), 0);
  EXPECT_EQ(ArchiveMemberSize("B"), 1);
  EXPECT_EQ(ArchiveMemberSize("C"), 0);
}

TEST_F(ArchiveTest, LargestDirectoryOpens) {
  ArchiveWriter archive;
  for (int i = 0; i < 2000; ++i) ASSERT_TRUE(archive.AddMember("M" + std::to_string(i), {static_cast<uint8_t>(i)}));
  ASSERT_EQ(ArchiveOpen(WriteArchive("big.can", archive).c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("m1999"), 1);
  uint8_t byte = 0;
  ASSERT_EQ(ArchiveReadBytes(&byte, 1), 1);
  EXPECT_EQ(byte, static_cast<uint8_t>(1999));
}

TEST_F(ArchiveTest, TwentyCharacterNamesStopAtTwentyCharacters) {
  ArchiveWriter archive;
  archive.AddMember("EXACTLYTWENTYCHARS01", Bytes("first"));
  archive.AddMember("NEXT", Bytes("second"));
  ASSERT_EQ(ArchiveOpen(WriteArchive("names.can", archive).c_str()), 1);
  const ArchiveEntry* entry = ArchiveFindWildcard("exactly*");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(std::strlen(entry->name), 20u);  // not run on into the offset bytes
  EXPECT_EQ(ArchiveFindWildcard("*01"), entry);
  EXPECT_EQ(ArchiveMemberOffset("exactlytwentychars01"), 4);
  // Only the first 20 characters count.
  EXPECT_EQ(ArchiveMemberOffset("EXACTLYTWENTYCHARS01 and more"), 4);
  EXPECT_EQ(ArchiveMemberOffset("EXACTLYTWENTYCHARS0"), -1);
  ASSERT_EQ(ArchiveFindMember("EXACTLYTWENTYCHARS01XYZ"), 1);
  char bytes[5];
  ASSERT_EQ(ArchiveReadBytes(bytes, 5), 1);
  EXPECT_EQ(std::string(bytes, 5), "first");
}

TEST(WildcardMatch, Cases) {
  struct Case {
    const char* pattern;
    const char* name;
    int match;
  } cases[] = {
      {"*.CCW", "LEVEL1.CCW", 1},
      {"*.CCW", "a.ccw", 1},
      {"*.CCW", "LEVEL1.CCX", 0},
      {"*.ccw", "X.CCW", 1},
      {"*", "ANYTHING", 1},
      {"*", "", 1},
      {"**", "", 1},
      {"?", "", 0},
      {"?", "a", 1},
      {"??", "a", 0},
      {"", "", 1},
      {"", "a", 0},
      {"a", "", 0},
      {"a*b*c", "aXXbYc", 1},
      {"a*b*c", "aXXbY", 0},
      {"a*b", "ab", 1},
      {"*a*", "BAB", 1},
      {"M?.CAN", "M1.CAN", 1},
      {"M?.CAN", "M12.CAN", 0},
      {"M*.CAN*", "m12.can", 1},
      {"*.*", "NODOT", 0},
      {"*X", "XXXX", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

TEST_F(ArchiveTest, WildcardFindsTheFirstMatchingEntry) {
  ASSERT_EQ(ArchiveOpen(WriteArchive("three.can", ThreeMembers()).c_str()), 1);
  const ArchiveEntry* any = ArchiveFindWildcard("*");
  ASSERT_NE(any, nullptr);
  EXPECT_STREQ(any->name, "TEXTURES");
  const ArchiveEntry* world = ArchiveFindWildcard("*.CCW");
  ASSERT_NE(world, nullptr);
  EXPECT_STREQ(world->name, "LEVEL1.CCW");
  EXPECT_EQ(ArchiveFindWildcard("*.CCX"), nullptr);
  ASSERT_EQ(ArchiveFindMember(world->name), 1);
  char bytes[6];
  ASSERT_EQ(ArchiveReadBytes(bytes, 6), 1);
  EXPECT_EQ(std::string(bytes, 6), "world!");
}

TEST_F(ArchiveTest, OffsetsAndSizesEndTheLastMemberAtTheDirectory) {
  ASSERT_EQ(ArchiveOpen(WriteArchive("three.can", ThreeMembers()).c_str()), 1);
  EXPECT_EQ(ArchiveMemberOffset("TEXTURES"), 4);
  EXPECT_EQ(ArchiveMemberOffset("level1.ccw"), 7);
  EXPECT_EQ(ArchiveMemberOffset("A.CCW"), 13);
  EXPECT_EQ(ArchiveMemberOffset("NONE"), -1);
  EXPECT_EQ(ArchiveMemberSize("TEXTURES"), 3);
  EXPECT_EQ(ArchiveMemberSize("*.CCW"), 6);  // the first match
  EXPECT_EQ(ArchiveMemberSize("A.*"), 11);   // the last: up to the directory
  EXPECT_EQ(ArchiveMemberSize("NONE"), -1);
}

TEST_F(ArchiveTest, ByteReadsCrossBufferBlocksAndStopAtTheEndOfTheFile) {
  std::vector<uint8_t> big(10000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  ArchiveWriter archive;
  archive.AddMember("BIG", big);
  ASSERT_EQ(ArchiveOpen(WriteArchive("big.can", archive).c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("BIG"), 1);
  std::vector<uint8_t> read(big.size());
  ASSERT_EQ(ArchiveReadBytes(read.data(), 3), 1);
  ASSERT_EQ(ArchiveReadBytes(read.data() + 3, 5000), 1);
  ASSERT_EQ(ArchiveReadBytes(read.data() + 5003, 4997), 1);
  EXPECT_EQ(read, big);
  EXPECT_EQ(ArchiveReadBytes(nullptr, 0), 1);
  EXPECT_EQ(ArchiveReadBytes(read.data(), -1), 0);
  int ints[1];
  EXPECT_EQ(ArchiveReadInts(ints, 0), 1);
  EXPECT_EQ(ArchiveReadInts(ints, -1), 0);
  EXPECT_EQ(ArchiveReadFloats(reinterpret_cast<float*>(ints), -1), 0);

  // After the member come the directory (24 bytes) and the count; asking for
  // more copies what came and fails.
  std::vector<uint8_t> tail(40, 0xEE);
  EXPECT_EQ(ArchiveReadBytes(tail.data(), 40), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(tail.data()), 3), "BIG");
  EXPECT_EQ(tail[24], 1);  // the count
  EXPECT_EQ(tail[28], 0xEE);
  int value;
  EXPECT_EQ(ArchiveReadInt(&value), 0);
}

TEST_F(ArchiveTest, IntReadsStraddlingABlockBoundary) {
  ByteWriter data;
  data.U8(0xAA);
  for (int i = 0; i < 2000; ++i) data.I32(i * 1000 - 5);
  OpenMember(data.Take());
  uint8_t first;
  ASSERT_EQ(ArchiveReadBytes(&first, 1), 1);
  for (int i = 0; i < 2000; ++i) {
    int value;
    ASSERT_EQ(ArchiveReadInt(&value), 1);
    ASSERT_EQ(value, i * 1000 - 5) << i;
  }
}

TEST_F(ArchiveTest, OverlongStringIsCutAndTheRestReadsNext) {
  std::string text(40000, 'q');
  text[32766] = 'L';  // last character of the first piece
  ByteWriter data;
  data.CString(text);
  OpenMember(data.Take());
  char* first = nullptr;
  char* rest = nullptr;
  ASSERT_EQ(ArchiveReadString(&first), 1);
  ASSERT_EQ(std::strlen(first), 32767u);
  EXPECT_EQ(first[32766], 'L');
  ASSERT_EQ(ArchiveReadString(&rest), 1);
  EXPECT_EQ(std::strlen(rest), 40000u - 32767u);
  PoolFree(first, 32768);
  PoolFree(rest, 40000 - 32767 + 1);
}

TEST_F(ArchiveTest, StringCutByTheEndOfTheDataFails) {
  OpenMemberEndingTheData(Bytes("abc"));  // no NUL before the end
  char* text = reinterpret_cast<char*>(1);
  EXPECT_EQ(ArchiveReadString(&text), 0);
  EXPECT_EQ(text, nullptr);
}

TEST_F(ArchiveTest, PushedStateComesBackWhereItWas) {
  ByteWriter outer;
  for (int i = 0; i < 3000; ++i) outer.I32(i);
  ArchiveWriter first;
  first.AddMember("OUTER", outer.Take());
  ArchiveWriter second;
  second.AddMember("INNER", Bytes("in"));
  const std::string firstPath = WriteArchive("first.can", first);
  const std::string secondPath = WriteArchive("second.can", second);

  ASSERT_EQ(ArchiveOpen(firstPath.c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("OUTER"), 1);
  int value = -1;
  for (int i = 0; i < 1500; ++i) ASSERT_EQ(ArchiveReadInt(&value), 1);
  ASSERT_EQ(ArchivePushState(), 1);
  EXPECT_EQ(ArchiveReadInt(&value), 0);  // closed now
  EXPECT_EQ(ArchiveFindMember("OUTER"), 0);
  ASSERT_EQ(ArchiveOpen(secondPath.c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("INNER"), 1);
  char bytes[2];
  ASSERT_EQ(ArchiveReadBytes(bytes, 2), 1);
  ASSERT_EQ(ArchiveClose(), 1);
  ASSERT_EQ(ArchivePopState(), 1);
  for (int i = 1500; i < 3000; ++i) {
    ASSERT_EQ(ArchiveReadInt(&value), 1);
    ASSERT_EQ(value, i);
  }
  EXPECT_EQ(ArchiveMemberOffset("OUTER"), 4);
  EXPECT_EQ(ArchivePopState(), 0);  // pops only what was pushed
}

TEST_F(ArchiveTest, EleventhPushIsRefusedAndChangesNothing) {
  ArchiveWriter archive;
  const std::string member = "0123456789AB";
  archive.AddMember("DATA", Bytes(member));
  const std::string path = WriteArchive("push.can", archive);
  for (int i = 0; i < 10; ++i) {
    ASSERT_EQ(ArchiveOpen(path.c_str()), 1);
    ASSERT_EQ(ArchiveFindMember("DATA"), 1);
    char byte;
    for (int k = 0; k <= i; ++k) ASSERT_EQ(ArchiveReadBytes(&byte, 1), 1);
    ASSERT_EQ(ArchivePushState(), 1) << i;
  }
  ASSERT_EQ(ArchiveOpen(path.c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("DATA"), 1);
  char byte;
  ASSERT_EQ(ArchiveReadBytes(&byte, 1), 1);
  EXPECT_EQ(ArchivePushState(), 0);
  // Still open and reading where it was.
  ASSERT_EQ(ArchiveReadBytes(&byte, 1), 1);
  EXPECT_EQ(byte, '1');
  ASSERT_EQ(ArchiveClose(), 1);
  // The saved states come back last first, each at its own position.
  for (int i = 9; i >= 0; --i) {
    ASSERT_EQ(ArchivePopState(), 1);
    ASSERT_EQ(ArchiveReadBytes(&byte, 1), 1);
    EXPECT_EQ(byte, member[i + 1]) << i;
    ArchiveClose();
  }
  EXPECT_EQ(ArchivePopState(), 0);
}

TEST_F(ArchiveTest, PushAndPopWithNothingOpen) {
  ASSERT_EQ(ArchivePushState(), 1);
  ASSERT_EQ(ArchivePopState(), 1);
  int value;
  EXPECT_EQ(ArchiveReadInt(&value), 0);
  ASSERT_EQ(ArchiveOpen(WriteArchive("three.can", ThreeMembers()).c_str()), 1);
  ASSERT_EQ(ArchiveFindMember("TEXTURES"), 1);
  char bytes[3];
  ASSERT_EQ(ArchiveReadBytes(bytes, 3), 1);
  EXPECT_EQ(std::string(bytes, 3), "abc");
}

TEST_F(ArchiveTest, PopClosesAnArchiveLeftOpenSincePush) {
  const std::string path = WriteArchive("three.can", ThreeMembers());
  ASSERT_EQ(ArchiveOpen(path.c_str()), 1);
  const int filesWithOne = OpenFileCount();
  ASSERT_EQ(ArchivePushState(), 1);
  ASSERT_EQ(ArchiveOpen(path.c_str()), 1);
  EXPECT_EQ(OpenFileCount(), filesWithOne + 1);
  ASSERT_EQ(ArchivePopState(), 1);
  EXPECT_EQ(OpenFileCount(), filesWithOne);
  EXPECT_EQ(ArchiveFindMember("TEXTURES"), 1);
}
