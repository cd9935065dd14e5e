#pragma once
// DirectSound 5, as far as the sound manager uses it, on the back end's
// audio output (platform/sound.h): one DirectSound object, its primary
// buffer (format and play state only: the output does the mixing), and
// secondary buffers holding PCM data that play once or looping, each with
// its volume, pan and frequency. A duplicate shares its original's samples
// and plays them on its own voice.
//
// Volume is in hundredths of a decibel, DSBVOLUME_MIN (-10000, silence) to
// 0 (as recorded). Pan is in hundredths of a decibel too: a negative pan
// lowers the right channel by |pan|, a positive one the left, -10000 and
// 10000 silencing that side. On OpenAL a mono voice is turned toward the
// louder side by the angle whose panning gives about that difference; a
// stereo buffer plays unpanned. Frequency 0 is the buffer's own rate,
// otherwise 100..100000 samples per second.
//
// A buffer's play state follows the mix: a one-shot sound stops being
// DSBSTATUS_PLAYING once it has been mixed to its end (headless, when the
// platform clock has passed it; every status call brings the mix up to
// the clock).
//
// Main thread only. Every buffer holds its DirectSound object; the audio
// output is released with the last of them.
#include <cstdint>
#include <memory>

#include "platform/framework/win_types.h"

inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000A);
inline constexpr HRESULT DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001E);
inline constexpr HRESULT DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032);
inline constexpr HRESULT DSERR_GENERIC = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780046);
inline constexpr HRESULT DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078);
inline constexpr HRESULT DSERR_UNINITIALIZED = static_cast<HRESULT>(0x887800AA);

inline constexpr DWORD DSSCL_NORMAL = 1;
inline constexpr DWORD DSSCL_PRIORITY = 2;

inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
inline constexpr DWORD DSBCAPS_STATIC = 0x2;
inline constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
inline constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
inline constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
inline constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

inline constexpr DWORD DSBPLAY_LOOPING = 0x1;
inline constexpr DWORD DSBSTATUS_PLAYING = 0x1;
inline constexpr DWORD DSBSTATUS_LOOPING = 0x4;
inline constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

inline constexpr LONG DSBVOLUME_MIN = -10000;
inline constexpr LONG DSBVOLUME_MAX = 0;
inline constexpr LONG DSBPAN_LEFT = -10000;
inline constexpr LONG DSBPAN_RIGHT = 10000;
inline constexpr DWORD DSBFREQUENCY_ORIGINAL = 0;
inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 100000;
inline constexpr DWORD DSBSIZE_MIN = 4;
inline constexpr DWORD DSBSIZE_MAX = 0x0FFFFFFF;

inline constexpr WORD WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
  WORD wFormatTag = 0;
  WORD nChannels = 0;
  DWORD nSamplesPerSec = 0;
  DWORD nAvgBytesPerSec = 0;
  WORD nBlockAlign = 0;
  WORD wBitsPerSample = 0;
  WORD cbSize = 0;
};

// dwSize must be 20 (the DirectSound 5 record).
struct DSBUFFERDESC {
  DWORD dwSize = 0;
  DWORD dwFlags = 0;
  DWORD dwBufferBytes = 0;
  DWORD dwReserved = 0;
  const WAVEFORMATEX* lpwfxFormat = nullptr;
};

class IDirectSound;
struct DirectSoundSamples;

class IDirectSoundBuffer {
 public:
  ULONG AddRef();
  ULONG Release();
  // DSBSTATUS_PLAYING (and DSBSTATUS_LOOPING) while the voice plays.
  HRESULT GetStatus(DWORD* status);
  // reserved and priority must be 0; flags DSBPLAY_LOOPING. Playing a
  // playing buffer only changes its looping.
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
  // Stops the voice where it is; Play goes on from there.
  HRESULT Stop();
  HRESULT SetVolume(LONG volume);
  HRESULT GetVolume(LONG* volume);
  HRESULT SetPan(LONG pan);
  HRESULT GetPan(LONG* pan);
  HRESULT SetFrequency(DWORD frequency);
  HRESULT GetFrequency(DWORD* frequency);
  // The next play starts at this byte of the samples.
  HRESULT SetCurrentPosition(DWORD position);
  // The samples from offset for bytes (wrapping into the second part), or
  // all of them with DSBLOCK_ENTIREBUFFER; Unlock hands them to the voice.
  HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2, DWORD flags);
  HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2);
  // Primary buffer only, at the priority level.
  HRESULT SetFormat(const WAVEFORMATEX* format);
  HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written);

 private:
  friend class IDirectSound;
  IDirectSoundBuffer(IDirectSound* owner, DWORD flags, std::shared_ptr<DirectSoundSamples> samples);
  ~IDirectSoundBuffer();
  void ApplyPan();

  ULONG refs_ = 1;
  IDirectSound* owner_;
  DWORD flags_;
  std::shared_ptr<DirectSoundSamples> samples_;  // null for the primary buffer
  unsigned source_ = 0;                          // the OpenAL voice
  LONG volume_ = 0;
  LONG pan_ = 0;
  DWORD frequency_ = 0;  // 0: the samples' own rate
  bool locked_ = false;
  bool primaryPlaying_ = false;
  WAVEFORMATEX primaryFormat_{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
};

class IDirectSound {
 public:
  ULONG AddRef();
  ULONG Release();
  // A window is required; the level decides whether the primary format may
  // be set (DSSCL_PRIORITY and above).
  HRESULT SetCooperativeLevel(HWND window, DWORD level);
  HRESULT CreateSoundBuffer(const DSBUFFERDESC* description, IDirectSoundBuffer** out, void* outer);
  HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** out);

 private:
  friend class IDirectSoundBuffer;
  friend HRESULT DirectSoundCreate(const GUID*, IDirectSound**, void*);
  IDirectSound() = default;
  ~IDirectSound();
  ULONG refs_ = 1;
  DWORD level_ = 0;
};

// The default device only (device null); DSERR_NODRIVER when the back end's
// audio output can't be opened.
HRESULT DirectSoundCreate(const GUID* device, IDirectSound** out, void* outer);
