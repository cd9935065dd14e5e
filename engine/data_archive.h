#pragma once
// The data-archive reader (".CAN" files). One archive is open at a time; every
// record reader of the engine, and the game's pictures, texts and sounds, read
// members through the buffered primitive reads below.
//
// File layout (little-endian i32 throughout):
//   0                      version, must be EngineLibraryVersion() (103)
//   4                      the members' bytes, in directory order
//   size - 4 - 24 x N      directory: N x {char name[20]; i32 offset}
//   size - 4               N, 0..2000
// A member runs from its offset to the next entry's offset; the last one
// ends where the directory begins.
//
// Unless said otherwise an operation returns 1 on success and 0 on failure,
// and the reads fail when no archive is open.
#include <bit>
#include <cstdint>

#include "engine/records.h"

static_assert(sizeof(int) == 4 && sizeof(float) == 4, "archive reads store 4-byte values into int and float");

// Opens path (Windows-style, matched without regard to case). Fails when an
// archive is already open (which stays open), when the file can't be opened,
// when its version is not 103 (engine error 4 with the file's version) or
// when its directory is out of range: N outside 0..2000, the directory not
// fitting in the file, or an offset outside [4, directory start] or below the
// previous entry's. After any failure no archive is open.
int ArchiveOpen(const char* path);
// 0 when no archive is open; else closes it.
int ArchiveClose();

// Finds the first entry whose name equals name without regard to case over at
// most 20 characters, positions the reader at its first byte and empties the
// buffer. Every member read starts with it.
int ArchiveFindMember(const char* name);
// The first entry whose name matches pattern ('?' one character, '*' any run,
// case-insensitive), or null. Give its name to ArchiveFindMember.
const ArchiveEntry* ArchiveFindWildcard(const char* pattern);
// 1 when name matches pattern as ArchiveFindWildcard matches, else 0.
int WildcardMatch(const char* pattern, const char* name);
// The member's absolute file offset, matched as ArchiveFindMember matches;
// -1 when absent or no archive is open.
int ArchiveMemberOffset(const char* name);
// The size in bytes of the first member matching pattern (as
// ArchiveFindWildcard); -1 when none matches or no archive is open.
int ArchiveMemberSize(const char* pattern);
// Bytes from the reader's position to the end of the member found last (to
// the end of the file before any), 0 when past it or no archive is open.
// Reads do not stop there; readers use it to check a count against the data
// that can hold it before they allocate for it.
std::int64_t ArchiveMemberRemaining();
// The name of the member found last; "" before any or when no archive is open.
const char* ArchiveCurrentMember();
// Called after reading a member; reading needs nothing done. Returns 1.
int ArchiveFlush();

// length bytes from the current position. At the end of the file the bytes
// that came are copied and the read fails. length 0 succeeds, negative fails.
int ArchiveReadBytes(void* buffer, int length);
// One 4-byte little-endian value. These small reads are the bulk of a level
// load, so they take their bytes straight from the buffer when it holds them.
inline int ArchiveReadInt(int* value);
inline int ArchiveReadFloat(float* value);
// count values; count 0 succeeds at once, a negative count fails.
int ArchiveReadInts(int* array, int count);
int ArchiveReadFloats(float* array, int count);
// Three floats in the order x, y, z.
inline int ArchiveReadVec3(float* x, float* y, float* z);
// A NUL-terminated string of at most 32767 characters into a block from
// ObjAllocTracked of strlen + 1 bytes. *out is null on failure (the data ended
// before the NUL). A longer run is cut at 32767 characters and the next read
// continues after them.
int ArchiveReadString(char** out);

// Saves the whole reader state (open file, directory, buffer) on a stack of
// 10 and leaves the reader closed, so that a second archive can be opened.
// An 11th push is refused (0) and changes nothing.
int ArchivePushState();
// Restores the last saved state; 0 when nothing was pushed. An archive still
// open at that moment is closed first.
int ArchivePopState();

// ---------------------------------------------------------------------------
// The buffered fast path. Not for callers: the reader's unread buffer bytes,
// [next, end); empty whenever no archive is open, so an empty window always
// sends a read to data_archive.cpp, which refills it or fails.
// ---------------------------------------------------------------------------

struct ArchiveWindow {
  const std::uint8_t* next;
  const std::uint8_t* end;
};
extern ArchiveWindow g_ArchiveWindow;

// The slow half of ArchiveReadInt: refills the buffer as needed.
int ArchiveReadIntRefill(int* value);

inline std::int32_t ArchiveDecodeI32(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                   static_cast<std::uint32_t>(bytes[2]) << 16 |
                                   static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline int ArchiveReadInt(int* value) {
  if (g_ArchiveWindow.end - g_ArchiveWindow.next >= 4) {
    *value = ArchiveDecodeI32(g_ArchiveWindow.next);
    g_ArchiveWindow.next += 4;
    return 1;
  }
  return ArchiveReadIntRefill(value);
}

inline int ArchiveReadFloat(float* value) {
  int bits;
  if (!ArchiveReadInt(&bits)) return 0;
  *value = std::bit_cast<float>(bits);
  return 1;
}

inline int ArchiveReadVec3(float* x, float* y, float* z) {
  return ArchiveReadFloat(x) && ArchiveReadFloat(y) && ArchiveReadFloat(z) ? 1 : 0;
}
