// Sound buffers from the members of "SOUND.CAN".
#include <cstring>
#include <string>

#include "engine/data_archive.h"
#include "platform/paths.h"
#include "media/sound_manager.h"
#include "media/wave_file.h"

namespace {

// "SOUND.CAN" where the data archives are looked for (the current folder,
// the program folder, the media folders). Unlike a mission's archive its
// absence does not end the game: sound is not needed to play, so every
// sound is then missing and the game goes on silent.
bool OpenSoundArchive() {
  const char* name = "SOUND.CAN";
  if (ArchiveOpen(name)) return true;
  if (ArchiveOpen((PlatformProgramFolder() + name).c_str())) return true;
  for (const std::string& media : MediaFolders())
    if (ArchiveOpen(PathJoin(media, name).c_str())) return true;
  return false;
}

}  // namespace

bool LoadWave(const char* name, WAVEFORMATEX* format, std::vector<uint8_t>* samples) {
  *format = WAVEFORMATEX{};
  samples->clear();
  const std::string member = std::string(name) + ".wav";
  if (!ArchiveFindMember(member.c_str())) return false;
  uint8_t header[12];
  if (!ArchiveReadBytes(header, 12)) return false;
  const uint32_t size =
      static_cast<uint32_t>(header[4]) | header[5] << 8 | header[6] << 16 | static_cast<uint32_t>(header[7]) << 24;
  // The stored size must fit in the member: no allocation for a size the
  // file can't back, and no wrap of size + 8 or size - 4.
  const int64_t remaining = ArchiveMemberRemaining();
  if (size < 4 || static_cast<int64_t>(size) - 4 > remaining || size > DSBSIZE_MAX) return false;
  std::vector<uint8_t> image(static_cast<size_t>(size) + 8);
  std::memcpy(image.data(), header, 12);
  if (!ArchiveReadBytes(image.data() + 12, static_cast<int>(size - 4))) return false;
  ArchiveFlush();
  return ParseWave(image.data(), image.size(), format, samples);
}

bool FillSoundBuffer(IDirectSoundBuffer* buffer, const std::vector<uint8_t>& samples) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD bytes1 = 0, bytes2 = 0;
  if (samples.empty() ||
      buffer->Lock(0, static_cast<DWORD>(samples.size()), &part1, &bytes1, &part2, &bytes2, 0) != DS_OK)
    return false;
  std::memcpy(part1, samples.data(), bytes1 < samples.size() ? bytes1 : samples.size());
  return buffer->Unlock(part1, bytes1, part2, bytes2) == DS_OK;
}

IDirectSoundBuffer* CreateSoundFromArchive(IDirectSound* directSound, const char* name) {
  if (!directSound) return nullptr;
  // A sound may be asked for while a level's archive is being read: that
  // reader is set aside and comes back afterwards.
  if (!ArchivePushState()) return nullptr;
  IDirectSoundBuffer* buffer = nullptr;
  if (OpenSoundArchive()) {
    WAVEFORMATEX format;
    std::vector<uint8_t> samples;
    if (LoadWave(name, &format, &samples)) {
      DSBUFFERDESC description;
      description.dwSize = 20;
      description.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                            DSBCAPS_GETCURRENTPOSITION2;
      description.dwBufferBytes = static_cast<DWORD>(samples.size());
      description.lpwfxFormat = &format;
      if (directSound->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK) {
        buffer = nullptr;
      } else if (!FillSoundBuffer(buffer, samples)) {
        buffer->Release();
        buffer = nullptr;
      }
    }
    ArchiveClose();
  }
  ArchivePopState();
  return buffer;
}
