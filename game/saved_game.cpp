// The saved game's header, group records, bounded reads and the inventory's
// file order.
#include "game/saved_game.h"

#include <cmath>
#include <cstring>
#include <string>

#include "engine/polygon_group.h"
#include "game/data_archive_locator.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"

ShipInventory g_ShipInventory;

namespace {

// The archive string's length prefix.
uint64_t ReadStringLength(CArchive& archive) {
  uint8_t first = 0;
  archive >> first;
  if (first != 0xFF) return first;
  uint16_t word = 0;
  archive >> word;
  // 0xFFFE announced a wide-character string, which is never written.
  if (word == 0xFFFE) throw CArchiveException(CArchiveException::generic);
  if (word != 0xFFFF) return word;
  uint32_t dword = 0;
  archive >> dword;
  return dword;
}

void RequireFinite(const float* values, int count, const char* path) {
  for (int i = 0; i < count; ++i) {
    if (!std::isfinite(values[i])) throw SavedGameRefusal(CString(kDamagedSavedGameText) + path);
  }
}

void WriteFloats(CArchive& archive, const float* values, int count) {
  for (int i = 0; i < count; ++i) archive << values[i];
}

void ReadFloats(CArchive& archive, float* values, int count) {
  for (int i = 0; i < count; ++i) archive >> values[i];
}

}  // namespace

uint64_t SavedGameBytesLeft(CArchive& archive) { return archive.BytesLeftToLoad(); }

int32_t SavedGameReadCount(CArchive& archive, uint32_t minBytes, int32_t limit) {
  int32_t count = 0;
  archive >> count;
  if (count < 0 || count > limit || static_cast<uint64_t>(count) * minBytes > SavedGameBytesLeft(archive)) {
    throw CArchiveException(CArchiveException::badIndex);
  }
  return count;
}

CString SavedGameReadString(CArchive& archive, size_t limit) {
  const uint64_t length = ReadStringLength(archive);
  if (length > limit || length > SavedGameBytesLeft(archive)) throw CArchiveException(CArchiveException::endOfFile);
  std::string text(static_cast<size_t>(length), '\0');
  if (length && archive.Read(text.data(), static_cast<UINT>(length)) != length) {
    throw CArchiveException(CArchiveException::endOfFile);
  }
  // A NUL inside the bytes ends the string, as the archive's own reader does.
  text.resize(std::strlen(text.c_str()));
  return CString(text);
}

bool SavedGameIsMissionName(const CString& name) {
  const char* text = name.GetString();
  if (text[0] != 'M' || text[1] < '1' || text[1] > '9') return false;
  int number = 0;
  int at = 1;
  while (text[at] >= '0' && text[at] <= '9' && at < 4) number = number * 10 + (text[at++] - '0');
  return number >= 1 && number <= kSavedGameMaxMission && std::strcmp(text + at, ".CAN") == 0;
}

void SavedGameWriteHeader(CArchive& archive, const SavedGameHeader& header) {
  archive.Write(kSavedGameTag, sizeof kSavedGameTag);
  archive << kSavedGameVersion << header.mission << header.description << header.second << header.nextMission;
}

void SavedGameReadHeader(CArchive& archive, const char* path, SavedGameHeader* header) {
  char tag[4] = {};
  if (archive.Read(tag, 4) != 4 || std::memcmp(tag, kSavedGameTag, 4) != 0) {
    throw SavedGameRefusal(CString(kNotSavedGameText) + path);
  }
  uint32_t version = 0;
  if (archive.Read(&version, 4) != 4) throw SavedGameRefusal(CString(kNotSavedGameText) + path);
  // The four bytes as stored: little-endian.
  const auto* b = reinterpret_cast<const uint8_t*>(&version);
  version = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  if (version != kSavedGameVersion) throw SavedGameRefusal(kWrongVersionText);
  try {
    SavedGameHeader read;
    read.mission = SavedGameReadString(archive, kSavedGameMaxHeaderString);
    read.description = SavedGameReadString(archive, kSavedGameMaxHeaderString);
    read.second = SavedGameReadString(archive, kSavedGameMaxHeaderString);
    read.nextMission = SavedGameReadString(archive, kSavedGameMaxHeaderString);
    if (!SavedGameIsMissionName(read.mission) ||
        (!read.nextMission.IsEmpty() && !SavedGameIsMissionName(read.nextMission))) {
      throw CArchiveException(CArchiveException::generic);
    }
    *header = read;
  } catch (const CArchiveException&) {
    throw SavedGameRefusal(CString(kDamagedSavedGameText) + path);
  }
}

bool SavedGameCheckFile(const char* path, SavedGameHeader* header, CString* message) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) {
    *message = CString(kLoadErrorText) + path;
    return false;
  }
  try {
    CArchive archive(&file, CArchive::load | CArchive::bNoFlushOnDelete);
    SavedGameReadHeader(archive, path, header);
    archive.Abort();
    SavedGameRequireMission(header->mission, path);
  } catch (const SavedGameRefusal& refusal) {
    *message = refusal.what();
    return false;
  } catch (const std::exception&) {
    *message = CString(kDamagedSavedGameText) + path;
    return false;
  }
  return true;
}

void SavedGameRequireMission(const CString& mission, const char* path) {
  if (!DataArchiveExists(mission.GetString())) throw SavedGameRefusal(CString(kLoadErrorText) + path);
}

void SavedGameWriteGroup(CArchive& archive, PolygonGroup* group) {
  archive << CString(group->name);
  WriteFloats(archive, group->baseMatrix, 16);
  WriteFloats(archive, group->moverMatrix, 16);
  WriteFloats(archive, group->worldMatrix, 16);
  archive << group->moverType;
  const float mover[10] = {group->radius, group->position, group->speed,   group->axis.x,  group->axis.y,
                           group->axis.z, group->angle,    group->pivot.x, group->pivot.y, group->pivot.z};
  WriteFloats(archive, mover, 10);
  archive << group->visible;
  archive << static_cast<uint8_t>(GroupIsMoving(group) ? 1 : 0);
}

void SavedGameReadGroup(CArchive& archive, World* world, const char* path) {
  const CString name = SavedGameReadString(archive, kSavedGameMaxName);
  PolygonGroup* group = GroupFindByName(world, name.GetString());
  if (!group) throw SavedGameRefusal(CString(kDamagedSavedGameText) + path);
  float matrices[48];
  ReadFloats(archive, matrices, 48);
  int32_t moverType = 0;
  archive >> moverType;
  float mover[10];
  ReadFloats(archive, mover, 10);
  int32_t visible = 0;
  uint8_t running = 0;
  archive >> visible >> running;
  RequireFinite(matrices, 48, path);
  RequireFinite(mover, 10, path);
  if (moverType < -2 || moverType > 2) throw SavedGameRefusal(CString(kDamagedSavedGameText) + path);

  // The group's own mover stops before its values change under it.
  GroupStopMover(group);
  std::memcpy(group->baseMatrix, matrices, sizeof(Matrix));
  std::memcpy(group->moverMatrix, matrices + 16, sizeof(Matrix));
  std::memcpy(group->worldMatrix, matrices + 32, sizeof(Matrix));
  group->moverType = moverType > 0 ? -moverType : moverType;
  group->radius = mover[0];
  group->position = mover[1];
  group->speed = mover[2];
  group->axis = {mover[3], mover[4], mover[5]};
  group->angle = mover[6];
  group->pivot = {mover[7], mover[8], mover[9]};
  if (visible && !group->visible) {
    GroupShow(group, 0);
  } else if (!visible && group->visible) {
    GroupHide(group, 0);
  }
  GroupSetMoverState(group, group->position, group->speed);
  if (running && group->moverType != 0) GroupStartMover(group);
  group->callbackStamp = static_cast<FrameStamp>(-1);
  GroupInvalidate(group);
}

void InventoryAmmoSwapOrder(const int32_t in[10], int32_t out[10]) {
  int32_t swapped[10];
  std::memcpy(swapped, in, sizeof swapped);
  swapped[2] = in[3];
  swapped[3] = in[2];
  std::memcpy(out, swapped, sizeof swapped);
}
