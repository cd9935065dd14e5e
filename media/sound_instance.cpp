// One played sound: its place, its channel and its part of a saved game.
#include <algorithm>
#include <cmath>

#include "engine/polygon_group.h"
#include "media/sound_manager.h"
#include "media/sound_services.h"
#include "platform/crt_random.h"
#include "platform/framework/serial_archive.h"

CSoundInstance::~CSoundInstance() { StopChannel(); }

void CSoundInstance::SetName(const CString& text, int flags) {
  name = text;
  name.MakeUpper();
  source = g_pSoundManager ? g_pSoundManager->GetBuffer(name) : nullptr;
  loop = (flags & kSoundLoop) ? 1 : 0;
  randomPitch = (flags & kSoundRandomPitch) ? 1 : 0;
  ducking = (flags & kSoundDucking) ? 1 : 0;
  channel = -1;
}

void CSoundInstance::StopChannel() {
  if (channel < 0) return;
  if (g_pSoundManager) {
    if (IDirectSoundBuffer* buffer = g_pSoundManager->ChannelBuffer(channel)) buffer->Release();
    g_pSoundManager->SetChannelBuffer(channel, nullptr);
  }
  channel = -1;
  if (!loop) finished = 1;
}

bool CSoundInstance::Update() {
  CSoundManager* manager = g_pSoundManager;
  if (finished || !manager || !manager->GetDirectSound() || !source || !manager->HasPrimary()) return false;
  int vol = volume;
  int pan = 0;
  SoundListener ship;
  const SoundServices& services = SoundGetServices();
  if (positional && services.listener && services.listener(&ship)) {
    if (mover) GroupGetCentre(mover, &x, &y, &z);
    const float dx = x - ship.x, dy = y - ship.y, dz = z - ship.z;
    const float lengthSq = dx * dx + dy * dy + dz * dz;
    const float dist = std::sqrt(lengthSq);
    if (dist > kSoundHearingRange) return false;
    const float scale = lengthSq < 0.000001f ? 1000.0f : 1.0f / dist;
    const float across = (dx * ship.rightX + dy * ship.rightY + dz * ship.rightZ) * scale;
    pan = static_cast<int>(850.0f * across);
    vol = static_cast<int>(-4.0f * dist);
  }
  vol = manager->GetEffectiveVolume(vol);
  // Ducking lowers the others by 10 dB, never below silence.
  if (manager->IsDucking() && !ducking) vol = std::max(vol - 1000, static_cast<int>(DSBVOLUME_MIN));
  pan = std::clamp(pan, static_cast<int>(DSBPAN_LEFT), static_cast<int>(DSBPAN_RIGHT));

  const bool starting = channel < 0;
  IDirectSoundBuffer* voice = nullptr;
  if (starting) {
    const int slot = manager->AllocChannel(vol);
    if (slot < 0) return false;
    if (manager->GetDirectSound()->DuplicateSoundBuffer(source, &voice) != DS_OK) return false;
    channel = slot;
    manager->SetChannelBuffer(slot, voice);
    voice->SetFrequency(DSBFREQUENCY_ORIGINAL);
    if (randomPitch) {
      DWORD frequency = 0;
      voice->GetFrequency(&frequency);
      const int r = CrtRand();
      voice->SetFrequency(static_cast<DWORD>(frequency * (1.08 - r * 0.0000048829615)));
    }
    voice->SetCurrentPosition(0);
  } else {
    voice = manager->ChannelBuffer(channel);
    if (!voice) return false;
  }
  voice->SetVolume(vol);
  voice->SetPan(pan);
  if (starting) voice->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
  return true;
}

void CSoundInstance::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << name << loop << randomPitch << ducking << positional << x << y << z << static_cast<int32_t>(volume);
    if (mover && mover->name) {
      ar << static_cast<uint8_t>(1) << CString(mover->name);
    } else {
      ar << static_cast<uint8_t>(0);
    }
    return;
  }
  int32_t storedVolume = 0;
  uint8_t hasMover = 0;
  ar >> name >> loop >> randomPitch >> ducking >> positional >> x >> y >> z >> storedVolume >> hasMover;
  volume = storedVolume;
  mover = nullptr;
  if (hasMover) {
    CString group;
    ar >> group;
    const SoundServices& services = SoundGetServices();
    if (World* world = services.world ? services.world() : nullptr) mover = GroupFindByName(world, group);
  }
  // Without DirectSound this looks nothing up and remembers nothing.
  source = g_pSoundManager ? g_pSoundManager->GetBuffer(name) : nullptr;
  channel = -1;
  finished = 0;
}
