#pragma once
// The sound manager: every sound effect of the game. Sounds are loaded once
// by name from the members "<name>.wav" of "SOUND.CAN" (a name that fails
// is remembered as missing and not tried again) and played on up to 16
// channels, each a duplicate of the name's buffer. Every played sound is a
// CSoundInstance in the manager's list, in the order of play; Update, once
// per idle call, places positional sounds relative to the local ship
// (volume by distance, pan by the ship's right axis, nothing beyond 3000
// units), applies the effects volume and the ducking rule, starts sounds
// that got a channel and drops those that have ended. A full set of
// channels gives way to a new sound only when it is clearly louder than the
// quietest one playing. Looping sounds are part of a saved game.
//
// Every volume handed to a buffer is kept within -10000..0 after ducking,
// so a far or ducked sound is quiet, never wrapped round to loud.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/direct_sound.h"
#include "platform/framework/cstring.h"
#include "platform/framework/win_types.h"

class CArchive;
struct PolygonGroup;
class CSoundManager;

// Play flags.
inline constexpr int kSoundLoop = 1;
inline constexpr int kSoundRandomPitch = 2;
inline constexpr int kSoundDucking = 4;

inline constexpr int kSoundIdCount = 47;
inline constexpr int kSoundChannelSlots = 16;
// Positional sounds farther than this from the ship are not heard.
inline constexpr float kSoundHearingRange = 3000.0f;

// The name of a sound id (0..46), or null for any other id.
const char* SoundIdName(int id);

// The sound of a hit on a polygon of that surface kind: 31 ("ricco2w") for
// water (1) and sludge (3), 39 ("lava") for lava (2), else defaultId.
int ImpactSoundForSurface(int surfaceKind, int defaultId);

class CSoundInstance {
 public:
  CSoundInstance() = default;
  // Frees its channel.
  ~CSoundInstance();
  CSoundInstance(const CSoundInstance&) = delete;
  CSoundInstance& operator=(const CSoundInstance&) = delete;

  // Upper-cases the name, takes its buffer from the manager, sets the flags,
  // no channel.
  void SetName(const CString& name, int flags);
  // Places and starts the sound; true when it plays or was started now.
  bool Update();
  // Gives back the channel; a sound that does not loop is then finished (a
  // looping one takes a new channel at a later update).
  void StopChannel();
  void Serialize(CArchive& ar);

  CString name;
  uint8_t loop = 0;
  uint8_t randomPitch = 0;
  uint8_t positional = 0;
  uint8_t ducking = 0;
  float x = 0, y = 0, z = 0;
  IDirectSoundBuffer* source = nullptr;
  int channel = -1;
  int volume = 0;
  PolygonGroup* mover = nullptr;
  uint8_t finished = 0;
};

class CSoundManager {
 public:
  // Becomes g_pSoundManager; effects and music volume 0.8, 8 channels;
  // starts with the window when the player's sound setting is on.
  explicit CSoundManager(HWND window);
  // Stops, stops the music, no longer g_pSoundManager.
  ~CSoundManager();
  CSoundManager(const CSoundManager&) = delete;
  CSoundManager& operator=(const CSoundManager&) = delete;

  // Opens DirectSound, the primary buffer (11025 Hz 8-bit stereo) and
  // preloads the 47 sounds. Nothing when already started or without a
  // window; a failure leaves sound off.
  void Start(HWND window);
  // Drops every sound and buffer and closes DirectSound.
  void Stop();
  void SetWindow(HWND window);
  bool IsStarted() const { return started_ != 0; }

  // Effects volume 0..1: attenuation = trunc((e^(1 - v) - 1) x 2000).
  void SetVolume(float v);
  float GetVolume() const { return volume_; }
  int GetAttenuation() const { return attenuation_; }
  // Music volume, kept as given and set on the CD-audio line (0..1 there).
  void SetMusicVolume(float v);
  float GetMusicVolume() const { return musicVolume_; }
  // 2..16; channels above the new count are freed.
  void SetChannelCount(int n);
  int GetChannelCount() const { return channelCount_; }

  // Play operations do nothing while not started or for an id outside
  // 0..46.
  void PlaySoundAt(int id, float x, float y, float z, int flags);
  void PlayNamedAt(const CString& name, float x, float y, float z, int flags);
  void PlaySoundVolume(int id, int volume, int flags);
  void PlaySoundVolumeNamed(const CString& name, int volume, int flags);
  void PlayNamedOnMover(const CString& name, PolygonGroup* group, int flags);
  void PlayBzzzt();
  void PlayConfirm();
  void PlayActivate();
  void PlayNotify();

  void StopForMover(PolygonGroup* group);
  // Sounds whose stored (upper-case) name equals name exactly.
  void StopByName(const CString& name);
  void StopAll();

  // Once per idle call.
  void Update();
  // The looping sounds: a u32 count, then each sound.
  void Serialize(CArchive& ar);

  // The buffer of a name (upper-cased), loaded at the first ask; null for a
  // name that has no sound (remembered).
  IDirectSoundBuffer* GetBuffer(const CString& name);
  // A free channel, or the quietest one when vol is clearly louder; -1 when
  // none.
  int AllocChannel(int volume);
  void FreeChannel(int channel);
  // vol after the effects volume, within -10000..0.
  int GetEffectiveVolume(int volume) const;
  bool IsDucking() const { return ducking_ != 0; }

  // What tests and the instances look at.
  IDirectSoundBuffer* ChannelBuffer(int channel) const;
  void SetChannelBuffer(int channel, IDirectSoundBuffer* buffer);
  IDirectSound* GetDirectSound() const { return directSound_; }
  bool HasPrimary() const { return primary_ != nullptr; }
  const std::vector<std::unique_ptr<CSoundInstance>>& Instances() const { return instances_; }
  int GetNextChannel() const { return nextChannel_; }
  // Whether the name's load was tried (its entry exists, maybe null).
  bool IsCached(const CString& name) const;

 private:
  void Add(std::unique_ptr<CSoundInstance> instance);
  void DropWhere(bool (*test)(const CSoundInstance&, const void*), const void* what);

  float volume_ = 0.8f;
  float musicVolume_ = 0.8f;
  int attenuation_ = 0;
  uint8_t started_ = 0;
  uint8_t ducking_ = 0;
  int channelCount_ = 8;
  int nextChannel_ = 0;
  std::vector<std::unique_ptr<CSoundInstance>> instances_;
  std::map<std::string, IDirectSoundBuffer*> buffers_;

  IDirectSound* directSound_ = nullptr;
  IDirectSoundBuffer* primary_ = nullptr;
  HWND window_ = nullptr;
  IDirectSoundBuffer* channels_[kSoundChannelSlots] = {};
};

extern CSoundManager* g_pSoundManager;

// Loading: the member "<name>.wav" of the open archive into a format and
// samples; false for a missing member, a short read or a broken WAVE.
bool LoadWave(const char* name, WAVEFORMATEX* format, std::vector<uint8_t>* samples);
// Copies the samples into the buffer (lock from 0, copy, unlock).
bool FillSoundBuffer(IDirectSoundBuffer* buffer, const std::vector<uint8_t>& samples);
// Opens "SOUND.CAN", loads the wave and makes a static secondary buffer
// with frequency, pan and volume control; null on any failure. The archive
// is closed in every case.
IDirectSoundBuffer* CreateSoundFromArchive(IDirectSound* directSound, const char* name);
