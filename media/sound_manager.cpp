#include "media/sound_manager.h"

#include <algorithm>
#include <cmath>

#include "engine/polygon_group.h"
#include "media/cd_audio.h"
#include "media/sound_services.h"
#include "platform/backend.h"
#include "platform/framework/serial_archive.h"

CSoundManager* g_pSoundManager = nullptr;

namespace {

constexpr const char* kSoundNames[kSoundIdCount] = {
    "bzzzt",    "confirm",  "actvbutt", "playgame", "playded1",  "machgun1", "bulltric", "laser1",
    "laserric", "laser3",   "mgr",      "mgrric",   "launch1",   "launch3",  "lobnuke",  "sat",
    "rocktexp", "nukexplod", "lock2",   "nukebnce", "ship3",     "recharg2", "armorrpr", "ammo1",
    "radiate",  "electric", "thud",     "changwpn2", "objclose", "shlddam3", "armordam", "ricco2w",
    "molnia",   "molniarc", "fletchet", "fltchric", "respawn",   "notify1",  "uncloak",  "lava",
    "outoammo", "textbeep", "combeep1", "combeep2", "combeep3",  "combeep4", "frcfield"};

std::string Upper(const CString& name) {
  CString upper = name;
  upper.MakeUpper();
  return std::string(upper.GetString());
}

}  // namespace

const char* SoundIdName(int id) { return id >= 0 && id < kSoundIdCount ? kSoundNames[id] : nullptr; }

int ImpactSoundForSurface(int surfaceKind, int defaultId) {
  if (surfaceKind == 1 || surfaceKind == 3) return 31;
  if (surfaceKind == 2) return 39;
  return defaultId;
}

CSoundManager::CSoundManager(HWND window) {
  FindCdVolumeDevice();
  g_pSoundManager = this;
  SetVolume(0.8f);
  musicVolume_ = 0.8f;
  channelCount_ = 8;
  const SoundServices& services = SoundGetServices();
  if (!services.soundEnabled || services.soundEnabled()) Start(window);
}

CSoundManager::~CSoundManager() {
  Stop();
  // Sounds loaded from a saved game while sound was off are still listed.
  instances_.clear();
  StopCdAudio();
  ducking_ = 0;
  if (g_pSoundManager == this) g_pSoundManager = nullptr;
}

void CSoundManager::Start(HWND window) {
  if (directSound_ || primary_ || !window) return;
  if (DirectSoundCreate(nullptr, &directSound_, nullptr) != DS_OK) {
    directSound_ = nullptr;
    return;
  }
  window_ = window;
  ducking_ = 0;
  if (directSound_->SetCooperativeLevel(window, DSSCL_PRIORITY) != DS_OK) {
    directSound_->Release();
    directSound_ = nullptr;
    return;
  }
  DSBUFFERDESC description;
  description.dwSize = 20;
  description.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (directSound_->CreateSoundBuffer(&description, &primary_, nullptr) != DS_OK) {
    primary_ = nullptr;
    Stop();
    return;
  }
  if (primary_->Play(0, 0, DSBPLAY_LOOPING) != DS_OK) {
    Stop();
    return;
  }
  const WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 11025, 22050, 2, 8, 0};
  primary_->SetFormat(&format);
  std::fill(std::begin(channels_), std::end(channels_), nullptr);
  nextChannel_ = 0;
  started_ = 1;
  for (const char* name : kSoundNames) GetBuffer(name);
  // Looping sounds read from a saved game while sound was off find their
  // buffers now.
  for (auto& instance : instances_)
    if (!instance->source) instance->source = GetBuffer(instance->name);
}

void CSoundManager::Stop() {
  if (!directSound_) return;
  StopAll();
  for (auto& [name, buffer] : buffers_)
    if (buffer) buffer->Release();
  buffers_.clear();
  if (primary_) {
    primary_->Release();
    primary_ = nullptr;
  }
  directSound_->Release();
  directSound_ = nullptr;
  window_ = nullptr;
  started_ = 0;
}

void CSoundManager::SetWindow(HWND window) {
  if (!started_) return;
  if (window_) directSound_->SetCooperativeLevel(window_, DSSCL_NORMAL);
  window_ = window;
  if (!window || directSound_->SetCooperativeLevel(window, DSSCL_PRIORITY) != DS_OK) {
    Stop();
    return;
  }
  ducking_ = 0;
}

void CSoundManager::SetVolume(float v) {
  v = std::clamp(v, 0.0f, 1.0f);
  volume_ = v;
  attenuation_ = static_cast<int>((std::exp(1.0 - v) - 1.0) * 2000.0);
}

void CSoundManager::SetMusicVolume(float v) {
  // Stored as given; the CD line limits it.
  musicVolume_ = v;
  SetCdVolume(v);
}

void CSoundManager::SetChannelCount(int n) {
  n = std::clamp(n, 2, kSoundChannelSlots);
  for (int slot = n; slot < channelCount_; ++slot)
    if (channels_[slot]) FreeChannel(slot);
  channelCount_ = n;
  if (nextChannel_ >= n) nextChannel_ = 0;
}

int CSoundManager::GetEffectiveVolume(int volume) const {
  if (volume > 0) volume = 0;
  if (volume_ > 0.9999f) return std::max(volume, static_cast<int>(DSBVOLUME_MIN));
  if (volume_ < 0.0001f) return DSBVOLUME_MIN;
  return std::max(volume - attenuation_, static_cast<int>(DSBVOLUME_MIN));
}

IDirectSoundBuffer* CSoundManager::GetBuffer(const CString& name) {
  const std::string key = Upper(name);
  auto found = buffers_.find(key);
  if (found != buffers_.end()) return found->second;
  // Without DirectSound nothing is loaded and nothing remembered, so the
  // sound is there once sound is switched on.
  if (!directSound_) return nullptr;
  IDirectSoundBuffer* buffer = CreateSoundFromArchive(directSound_, key.c_str());
  buffers_[key] = buffer;
  return buffer;
}

bool CSoundManager::IsCached(const CString& name) const { return buffers_.count(Upper(name)) != 0; }

IDirectSoundBuffer* CSoundManager::ChannelBuffer(int channel) const {
  return channel >= 0 && channel < kSoundChannelSlots ? channels_[channel] : nullptr;
}

void CSoundManager::SetChannelBuffer(int channel, IDirectSoundBuffer* buffer) {
  if (channel >= 0 && channel < kSoundChannelSlots) channels_[channel] = buffer;
}

int CSoundManager::AllocChannel(int volume) {
  int quietest = nextChannel_;
  LONG q = 0;
  int taken = -1;
  for (int i = 0; i < channelCount_; ++i) {
    const int slot = (nextChannel_ + i) % channelCount_;
    IDirectSoundBuffer* buffer = channels_[slot];
    DWORD status = 0;
    if (!buffer || buffer->GetStatus(&status) != DS_OK || !(status & DSBSTATUS_PLAYING)) {
      taken = slot;
      break;
    }
    LONG playing = 0;
    if (buffer->GetVolume(&playing) == DS_OK && playing < q) {
      q = playing;
      quietest = slot;
    }
  }
  if (taken < 0) {
    if (volume == 0) volume = -1;
    // Louder than the quietest playing sound by more than 30 % of its own
    // attenuation (integer division truncating toward zero).
    if ((static_cast<int>(q) - volume) * 100 / volume > 30) {
      taken = quietest;
    } else {
      nextChannel_ = quietest;
      return -1;
    }
  }
  FreeChannel(taken);
  nextChannel_ = (taken + 1) % channelCount_;
  return taken;
}

void CSoundManager::FreeChannel(int channel) {
  if (channel < 0 || channel >= kSoundChannelSlots || !channels_[channel]) return;
  for (auto& instance : instances_) {
    if (instance->channel == channel) {
      instance->StopChannel();
      return;
    }
  }
  channels_[channel]->Release();
  channels_[channel] = nullptr;
}

void CSoundManager::Add(std::unique_ptr<CSoundInstance> instance) {
  CSoundInstance* added = instance.get();
  instances_.push_back(std::move(instance));
  added->Update();
}

void CSoundManager::PlayNamedAt(const CString& name, float x, float y, float z, int flags) {
  if (!directSound_ || !primary_) return;
  auto instance = std::make_unique<CSoundInstance>();
  instance->SetName(name, flags);
  instance->positional = 1;
  instance->x = x;
  instance->y = y;
  instance->z = z;
  Add(std::move(instance));
}

void CSoundManager::PlaySoundVolumeNamed(const CString& name, int volume, int flags) {
  if (!directSound_ || !primary_) return;
  auto instance = std::make_unique<CSoundInstance>();
  instance->SetName(name, flags);
  instance->volume = volume;
  Add(std::move(instance));
}

void CSoundManager::PlayNamedOnMover(const CString& name, PolygonGroup* group, int flags) {
  if (!directSound_ || !primary_) return;
  auto instance = std::make_unique<CSoundInstance>();
  instance->SetName(name, flags);
  instance->positional = 1;
  instance->mover = group;
  Add(std::move(instance));
}

void CSoundManager::PlaySoundAt(int id, float x, float y, float z, int flags) {
  if (const char* name = SoundIdName(id)) PlayNamedAt(name, x, y, z, flags);
}

void CSoundManager::PlaySoundVolume(int id, int volume, int flags) {
  if (const char* name = SoundIdName(id)) PlaySoundVolumeNamed(name, volume, flags);
}

void CSoundManager::PlayBzzzt() { PlaySoundVolume(0, 0, 0); }
void CSoundManager::PlayConfirm() { PlaySoundVolume(1, 0, 0); }
void CSoundManager::PlayActivate() { PlaySoundVolume(2, 0, 0); }
void CSoundManager::PlayNotify() { PlaySoundVolume(37, 0, 0); }

void CSoundManager::DropWhere(bool (*test)(const CSoundInstance&, const void*), const void* what) {
  // Deleting an instance frees its channel through this manager, which
  // looks at the list: take the instance out first.
  for (size_t i = 0; i < instances_.size();) {
    if (test(*instances_[i], what)) {
      std::unique_ptr<CSoundInstance> dropped = std::move(instances_[i]);
      instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void CSoundManager::StopForMover(PolygonGroup* group) {
  DropWhere([](const CSoundInstance& s, const void* g) { return s.mover == g; }, group);
}

void CSoundManager::StopByName(const CString& name) {
  const std::string wanted(name.GetString());
  DropWhere([](const CSoundInstance& s, const void* n) { return *static_cast<const std::string*>(n) == s.name.GetString(); },
            &wanted);
}

void CSoundManager::StopAll() {
  DropWhere([](const CSoundInstance&, const void*) { return true; }, nullptr);
}

void CSoundManager::Update() {
  // Headless: the mix catches up with the clock once per idle call even
  // when no sound asks.
  if (directSound_) PlatformBackendGet().sound->Pump();
  DropWhere(
      [](const CSoundInstance& s, const void* m) {
        if (s.finished) return true;
        if (s.channel < 0) return false;
        IDirectSoundBuffer* buffer = static_cast<const CSoundManager*>(m)->ChannelBuffer(s.channel);
        DWORD status = 0;
        if (!buffer || buffer->GetStatus(&status) != DS_OK || !(status & DSBSTATUS_PLAYING)) return true;
        return s.mover && !GroupIsVisible(s.mover);
      },
      this);
  ducking_ = std::any_of(instances_.begin(), instances_.end(), [](const auto& s) { return s->ducking != 0; }) ? 1 : 0;
  for (size_t i = 0; i < instances_.size();) {
    CSoundInstance& s = *instances_[i];
    const bool playing = s.Update();
    if (s.finished || (!playing && !s.loop)) {
      std::unique_ptr<CSoundInstance> dropped = std::move(instances_[i]);
      instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void CSoundManager::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    uint32_t count = 0;
    for (const auto& s : instances_)
      if (s->loop) ++count;
    ar << count;
    for (const auto& s : instances_)
      if (s->loop) s->Serialize(ar);
    return;
  }
  StopAll();
  uint32_t count = 0;
  ar >> count;
  for (uint32_t i = 0; i < count; ++i) {
    auto instance = std::make_unique<CSoundInstance>();
    instance->Serialize(ar);
    instances_.push_back(std::move(instance));
  }
}
