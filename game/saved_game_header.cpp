#include "game/saved_game_header.h"

#include <cstdint>
#include <string>

#include "platform/framework/file.h"
#include "platform/process_services.h"

namespace {

constexpr char kTag[4] = {'K', 'R', 'V', 'X'};
constexpr uint32_t kVersion = 72211;
// No header string the slot list shows comes near this.
constexpr uint32_t kMaxHeaderString = 1024;

bool ReadExact(CFile* file, void* buffer, UINT count) { return file->Read(buffer, count) == count; }

bool ReadU16(CFile* file, uint32_t* value) {
  uint8_t b[2];
  if (!ReadExact(file, b, 2)) return false;
  *value = b[0] | (b[1] << 8);
  return true;
}

bool ReadU32(CFile* file, uint32_t* value) {
  uint8_t b[4];
  if (!ReadExact(file, b, 4)) return false;
  *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool ReadArchiveString(CFile* file, uint64_t fileSize, CString* out) {
  uint8_t first = 0;
  if (!ReadExact(file, &first, 1)) return false;
  uint32_t length = first;
  if (first == 0xFF) {
    if (!ReadU16(file, &length)) return false;
    if (length == 0xFFFF && !ReadU32(file, &length)) return false;
  }
  if (length > kMaxHeaderString || length > fileSize - file->GetPosition()) return false;
  std::string text(length, '\0');
  if (length && !ReadExact(file, text.data(), length)) return false;
  *out = CString(text);
  return true;
}

}  // namespace

CString SaveGamePath(int slot) {
  CString path;
  path.Format("%sSAVE/game%d.sav", UserDataFolder().c_str(), slot);
  return path;
}

bool ReadSavedGameHeader(const char* path, CString* mission, CString* description, CString* third) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return false;
  const uint64_t size = file.GetLength();
  char tag[4];
  uint32_t version = 0;
  if (!ReadExact(&file, tag, 4) || std::string(tag, 4) != std::string(kTag, 4)) return false;
  if (!ReadU32(&file, &version) || version != kVersion) return false;
  CString strings[3];
  for (CString& s : strings)
    if (!ReadArchiveString(&file, size, &s)) return false;
  *mission = strings[0];
  *description = strings[1];
  *third = strings[2];
  return true;
}
