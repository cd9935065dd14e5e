#include "engine/data_archive.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/engine_error.h"
#include "engine/object_graph.h"
#include "engine/pool.h"
#include "platform/ascii.h"
#include "platform/paths.h"

namespace {

constexpr int kModeClosed = 0;
constexpr int kModeReading = 1;
constexpr int kDirectoryEntryBytes = kArchiveNameLength + 4;

// The one reader. Its buffer's unread bytes are g_ArchiveWindow.
struct ArchiveReader {
  std::FILE* file;
  int mode;
  int count;
  std::int64_t fileLength;
  std::int64_t bufferOffset;  // file offset of buffer[0]
  std::int64_t memberEnd;     // end of the member found last (the file's end before any)
  int member;                 // its directory index; -1 before any
  ArchiveEntry directory[kArchiveMaxMembers];
  std::uint8_t buffer[kArchiveBufferSize];
};

ArchiveReader g_Reader;

}  // namespace

// Empty, at the start of the buffer, until the first read.
ArchiveWindow g_ArchiveWindow = {g_Reader.buffer, g_Reader.buffer};

namespace {

// A pushed reader; the directory and buffer copies are pool blocks.
struct SavedReader {
  std::FILE* file;
  int mode;
  int count;
  std::int64_t fileLength;
  std::int64_t bufferOffset;
  std::int64_t memberEnd;
  int member;
  int fill;
  int pos;
  ArchiveEntry* directory;
  std::uint8_t* buffer;
};

SavedReader g_Saved[kArchiveStateStackDepth];
int g_SavedCount = 0;

char g_StringScratch[kArchiveMaxString + 1];

int Fill() { return static_cast<int>(g_ArchiveWindow.end - g_Reader.buffer); }
int Pos() { return static_cast<int>(g_ArchiveWindow.next - g_Reader.buffer); }
int Available() { return static_cast<int>(g_ArchiveWindow.end - g_ArchiveWindow.next); }
void SetWindow(int pos, int fill) {
  g_ArchiveWindow.next = g_Reader.buffer + pos;
  g_ArchiveWindow.end = g_Reader.buffer + fill;
}

// count 4-byte values straight into array; on a big-endian host they are
// then put in order.
int ReadWords(void* array, int count) {
  if (count < 0 || count > INT32_MAX / 4) return 0;
  if (!ArchiveReadBytes(array, count * 4)) return 0;
  if constexpr (std::endian::native == std::endian::big) {
    std::uint32_t* words = static_cast<std::uint32_t*>(array);
    for (int i = 0; i < count; ++i) words[i] = __builtin_bswap32(words[i]);
  }
  return 1;
}

bool Reading() { return g_Reader.mode == kModeReading && g_Reader.file; }

void EmptyBuffer() { SetWindow(0, 0); }

// Reads the next whole block; false when nothing came.
bool Refill() {
  g_Reader.bufferOffset += Fill();
  const size_t got = std::fread(g_Reader.buffer, 1, kArchiveBufferSize, g_Reader.file);
  SetWindow(0, static_cast<int>(got));
  return got > 0;
}

void CloseReader() {
  if (g_Reader.file) std::fclose(g_Reader.file);
  g_Reader.file = nullptr;
  g_Reader.mode = kModeClosed;
  g_Reader.count = 0;
  g_Reader.fileLength = 0;
  g_Reader.bufferOffset = 0;
  g_Reader.memberEnd = 0;
  g_Reader.member = -1;
  EmptyBuffer();
}

int FailOpen() {
  CloseReader();
  return 0;
}

bool SeekTo(std::int64_t offset) { return std::fseek(g_Reader.file, static_cast<long>(offset), SEEK_SET) == 0; }

// One i32 at the file's position, past the buffer: the header and the
// directory are read once, so they need not fill it.
bool ReadFileI32(std::int32_t* value) {
  std::uint8_t bytes[4];
  if (std::fread(bytes, 1, 4, g_Reader.file) != 4) return false;
  *value = ArchiveDecodeI32(bytes);
  return true;
}

// Reads and checks the directory at the end of the open file.
bool ReadDirectory() {
  if (std::fseek(g_Reader.file, 0, SEEK_END) != 0) return false;
  const long length = std::ftell(g_Reader.file);
  // Offsets are i32: a longer file could not be addressed by its directory.
  if (length < 8 || length > INT32_MAX) return false;
  g_Reader.fileLength = length;

  std::int32_t count;
  if (!SeekTo(length - 4) || !ReadFileI32(&count)) return false;
  if (count < 0 || count > kArchiveMaxMembers) return false;

  const std::int64_t directoryStart = length - 4 - static_cast<std::int64_t>(kDirectoryEntryBytes) * count;
  if (directoryStart < 4 || !SeekTo(directoryStart)) return false;
  static std::uint8_t raw[kArchiveMaxMembers * kDirectoryEntryBytes];
  const size_t rawSize = static_cast<size_t>(kDirectoryEntryBytes) * static_cast<size_t>(count);
  if (std::fread(raw, 1, rawSize, g_Reader.file) != rawSize) return false;

  std::int32_t previous = 4;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* at = raw + static_cast<size_t>(i) * kDirectoryEntryBytes;
    ArchiveEntry& entry = g_Reader.directory[i];
    // A full 20-character name has no NUL in the file; the extra byte ends it.
    std::memcpy(entry.name, at, kArchiveNameLength);
    entry.name[kArchiveNameLength] = 0;
    entry.offset = ArchiveDecodeI32(at + kArchiveNameLength);
    // Members lie between the version and the directory, in directory order,
    // so every size derived from the offsets is within the file.
    if (entry.offset < previous || entry.offset > directoryStart) return false;
    previous = entry.offset;
  }
  g_Reader.count = count;
  return true;
}

const ArchiveEntry* FindEntry(const char* name) {
  if (!Reading() || !name) return nullptr;
  for (int i = 0; i < g_Reader.count; ++i) {
    if (AsciiCompareNoCaseN(g_Reader.directory[i].name, name, kArchiveNameLength) == 0) return &g_Reader.directory[i];
  }
  return nullptr;
}

int RefuseAtEnd() { return EngineRefuse("the data ends in the middle of a record, at byte %lld of the file",
                                        static_cast<long long>(g_Reader.bufferOffset + Pos())); }

int EntryIndex(const ArchiveEntry* entry) { return static_cast<int>(entry - g_Reader.directory); }

std::int64_t DirectoryStart() {
  return g_Reader.fileLength - static_cast<std::int64_t>(kDirectoryEntryBytes) * g_Reader.count - 4;
}

}  // namespace

int ArchiveOpen(const char* path) {
  if (g_Reader.mode != kModeClosed || !path) return 0;
  std::FILE* file = PathOpenFile(path, "rb");
  if (!file) return 0;
  // The reader does its own whole-block buffering; a second buffer inside
  // the FILE would only copy every byte twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  g_Reader.file = file;
  EngineSetError(kEngineErrorNone, 0);
  g_Reader.mode = kModeReading;
  g_Reader.count = 0;
  EmptyBuffer();

  std::int32_t version = 0;
  if (!ReadFileI32(&version)) return FailOpen();
  if (version != EngineLibraryVersion()) {
    EngineSetError(kEngineErrorVersion, version);
    return FailOpen();
  }
  if (!ReadDirectory() || !SeekTo(0)) return FailOpen();
  g_Reader.bufferOffset = 0;
  g_Reader.memberEnd = g_Reader.fileLength;
  g_Reader.member = -1;
  return 1;
}

int ArchiveClose() {
  if (g_Reader.mode == kModeClosed) return 0;
  CloseReader();
  return 1;
}

int ArchiveFindMember(const char* name) {
  const ArchiveEntry* entry = FindEntry(name);
  if (!entry || !SeekTo(entry->offset)) return 0;
  EmptyBuffer();
  g_Reader.bufferOffset = entry->offset;
  g_Reader.member = EntryIndex(entry);
  g_Reader.memberEnd = g_Reader.member + 1 < g_Reader.count ? g_Reader.directory[g_Reader.member + 1].offset
                                                            : DirectoryStart();
  return 1;
}

int WildcardMatch(const char* pattern, const char* name) {
  for (;; ++pattern, ++name) {
    if (*pattern == '*') {
      // A run of '*' is one '*'; trailing ones match whatever is left.
      while (*pattern == '*') ++pattern;
      if (*pattern == 0) return 1;
      // Either the '*' is dropped here, or it takes one more character.
      for (; *name; ++name) {
        if (WildcardMatch(pattern, name)) return 1;
      }
      return 0;
    }
    if (*name == 0) return *pattern == 0;
    if (*pattern == 0) return 0;
    if (*pattern != '?' && AsciiToUpper(*pattern) != AsciiToUpper(*name)) return 0;
  }
}

const ArchiveEntry* ArchiveFindWildcard(const char* pattern) {
  if (!Reading() || !pattern) return nullptr;
  for (int i = 0; i < g_Reader.count; ++i) {
    if (WildcardMatch(pattern, g_Reader.directory[i].name)) return &g_Reader.directory[i];
  }
  return nullptr;
}

int ArchiveMemberOffset(const char* name) {
  const ArchiveEntry* entry = FindEntry(name);
  return entry ? entry->offset : -1;
}

int ArchiveMemberSize(const char* pattern) {
  const ArchiveEntry* entry = ArchiveFindWildcard(pattern);
  if (!entry) return -1;
  const int index = EntryIndex(entry);
  const std::int64_t end = index + 1 < g_Reader.count ? g_Reader.directory[index + 1].offset : DirectoryStart();
  return static_cast<int>(end - entry->offset);
}

std::int64_t ArchiveMemberRemaining() {
  if (!Reading()) return 0;
  const std::int64_t left = g_Reader.memberEnd - (g_Reader.bufferOffset + Pos());
  return left > 0 ? left : 0;
}

const char* ArchiveCurrentMember() {
  return Reading() && g_Reader.member >= 0 ? g_Reader.directory[g_Reader.member].name : "";
}

int ArchiveFlush() { return 1; }

int ArchiveReadBytes(void* buffer, int length) {
  if (!Reading() || length < 0) return 0;
  std::uint8_t* out = static_cast<std::uint8_t*>(buffer);
  while (length > 0) {
    if (Available() == 0 && !Refill()) return RefuseAtEnd();
    int chunk = Available();
    if (chunk > length) chunk = length;
    std::memcpy(out, g_ArchiveWindow.next, static_cast<size_t>(chunk));
    g_ArchiveWindow.next += chunk;
    out += chunk;
    length -= chunk;
  }
  return 1;
}

int ArchiveReadIntRefill(int* value) {
  std::uint8_t bytes[4];
  if (!ArchiveReadBytes(bytes, 4)) return 0;
  *value = ArchiveDecodeI32(bytes);
  return 1;
}

int ArchiveReadInts(int* array, int count) { return ReadWords(array, count); }

int ArchiveReadFloats(float* array, int count) { return ReadWords(array, count); }

int ArchiveReadString(char** out) {
  *out = nullptr;
  if (!Reading()) return 0;
  // Stops at the NUL (consumed) or, for an overlong run, after 32767
  // characters, where the next read picks up.
  int length = 0;
  while (length < kArchiveMaxString) {
    if (Available() == 0 && !Refill()) return RefuseAtEnd();
    const std::uint8_t* start = g_ArchiveWindow.next;
    int available = Available();
    if (available > kArchiveMaxString - length) available = kArchiveMaxString - length;
    const void* nul = std::memchr(start, 0, static_cast<size_t>(available));
    const int take = nul ? static_cast<int>(static_cast<const std::uint8_t*>(nul) - start) : available;
    std::memcpy(g_StringScratch + length, start, static_cast<size_t>(take));
    length += take;
    g_ArchiveWindow.next += take;
    if (nul) {
      g_ArchiveWindow.next += 1;  // the NUL belongs to this string
      break;
    }
  }
  char* text = static_cast<char*>(ObjAllocTracked(length + 1));
  if (!text) return 0;
  std::memcpy(text, g_StringScratch, static_cast<size_t>(length));
  text[length] = 0;
  *out = text;
  return 1;
}

int ArchivePushState() {
  if (g_SavedCount >= kArchiveStateStackDepth) return 0;
  SavedReader saved{};
  if (g_Reader.count > 0) {
    const int directoryBytes = g_Reader.count * static_cast<int>(sizeof(ArchiveEntry));
    saved.directory = static_cast<ArchiveEntry*>(PoolAlloc(directoryBytes));
    if (!saved.directory) return 0;
    std::memcpy(saved.directory, g_Reader.directory, static_cast<size_t>(directoryBytes));
  }
  saved.buffer = static_cast<std::uint8_t*>(PoolAlloc(kArchiveBufferSize));
  if (!saved.buffer) {
    PoolFree(saved.directory, g_Reader.count * static_cast<int>(sizeof(ArchiveEntry)));
    return 0;
  }
  std::memcpy(saved.buffer, g_Reader.buffer, kArchiveBufferSize);
  saved.file = g_Reader.file;
  saved.mode = g_Reader.mode;
  saved.count = g_Reader.count;
  saved.fileLength = g_Reader.fileLength;
  saved.bufferOffset = g_Reader.bufferOffset;
  saved.memberEnd = g_Reader.memberEnd;
  saved.member = g_Reader.member;
  saved.fill = Fill();
  saved.pos = Pos();
  g_Saved[g_SavedCount++] = saved;

  // The saved file now belongs to the stack entry: leave without closing it.
  g_Reader.file = nullptr;
  CloseReader();
  return 1;
}

int ArchivePopState() {
  if (g_SavedCount == 0) return 0;
  // An archive opened since the push and not closed would lose its file.
  CloseReader();
  SavedReader& saved = g_Saved[--g_SavedCount];
  g_Reader.file = saved.file;
  g_Reader.mode = saved.mode;
  g_Reader.count = saved.count;
  g_Reader.fileLength = saved.fileLength;
  g_Reader.bufferOffset = saved.bufferOffset;
  g_Reader.memberEnd = saved.memberEnd;
  g_Reader.member = saved.member;
  SetWindow(saved.pos, saved.fill);
  const int directoryBytes = saved.count * static_cast<int>(sizeof(ArchiveEntry));
  if (saved.directory) std::memcpy(g_Reader.directory, saved.directory, static_cast<size_t>(directoryBytes));
  std::memcpy(g_Reader.buffer, saved.buffer, kArchiveBufferSize);
  PoolFree(saved.directory, directoryBytes);
  PoolFree(saved.buffer, kArchiveBufferSize);
  saved = SavedReader{};
  return 1;
}
