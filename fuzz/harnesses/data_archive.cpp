// The data-archive reader (".CAN" files): the input is a whole archive. Each
// member named in its directory is found and read through every kind of
// read, and a second archive is opened over the first through the reader's
// saved states.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "engine/pool.h"
#include "fuzz/support/fuzz_support.h"

namespace {

std::int32_t I32At(const std::uint8_t* data) {
  return static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24);
}

// The names the input's directory holds (up to 64), found without trusting
// it, so that the reader is asked for members that may exist.
std::vector<std::string> DirectoryNames(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> names = {"*", "OBJECTS", "*.CCW", "NO SUCH MEMBER"};
  if (size < 8) return names;
  const std::int64_t count = I32At(data + size - 4);
  if (count <= 0 || count > 2000 || static_cast<std::uint64_t>(count) * 24 > size - 4) return names;
  const std::size_t first = size - 4 - static_cast<std::size_t>(count) * 24;
  for (std::int64_t i = 0; i < std::min<std::int64_t>(count, 64); ++i) {
    const char* name = reinterpret_cast<const char*>(data + first + i * 24);
    names.emplace_back(name, strnlen(name, 20));
  }
  return names;
}

void ReadMember() {
  // Bounded by the member's size, as a reader is, and by a little work.
  std::int64_t remaining = std::min<std::int64_t>(ArchiveMemberRemaining(), 1 << 16);
  int value = 0;
  float number = 0;
  if (!ArchiveReadInt(&value) || !ArchiveReadFloat(&number)) return;
  float x, y, z;
  if (!ArchiveReadVec3(&x, &y, &z)) return;
  char* text = nullptr;
  if (ArchiveReadString(&text)) PoolFree(text, static_cast<int>(std::strlen(text)) + 1);
  int values[16];
  float numbers[16];
  if (!ArchiveReadInts(values, value & 15) || !ArchiveReadFloats(numbers, (value >> 4) & 15)) return;
  std::uint8_t bytes[4096];
  while (remaining > 0) {
    const int length = static_cast<int>(std::min<std::int64_t>(remaining, sizeof bytes));
    if (!ArchiveReadBytes(bytes, length)) return;
    remaining -= length;
  }
  // Reads do not stop at the member's end: on into the next, or to the
  // file's end.
  ArchiveReadBytes(bytes, sizeof bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteFile("input.can", data, size);
  if (ArchiveOpen(path.c_str())) {
    for (const std::string& name : DirectoryNames(data, size)) {
      ArchiveMemberSize(name.c_str());
      ArchiveMemberOffset(name.c_str());
      if (const ArchiveEntry* entry = ArchiveFindWildcard(name.c_str()); entry && ArchiveFindMember(entry->name)) {
        if (std::strcmp(ArchiveCurrentMember(), entry->name) != 0) FuzzFault("the member found is not the one named");
        ReadMember();
        ArchiveFlush();
      }
    }
    FuzzNote("archive opened");
    // A second archive (the same file) over the first, and back.
    if (ArchivePushState()) {
      if (ArchiveOpen(path.c_str())) {
        if (const ArchiveEntry* entry = ArchiveFindWildcard("*"); entry && ArchiveFindMember(entry->name)) ReadMember();
      }
      ArchivePopState();
      ReadMember();
    }
  }
  FuzzEngineReset();
  return 0;
}
