#pragma once
// Sound: the device the sound manager plays its effects on, standing in for
// DirectSound (sound buffers made from PCM data, duplicated to play one
// sound on several channels, each with its volume, pan and frequency).
// It will stand on OpenAL Soft: the default device with a window, a
// loopback device that the game clock drives when headless, so a test can
// render what was mixed.
//
// Today no implementation exists: both back ends use the null sound
// (platform/headless/null_sound.cpp), which is no device at all, so sound
// is off, as the game expects when no sound device can be made.
//
// Not here yet: every operation. They come with the sound manager, shaped by
// what it calls; the contract above is what they must keep.
#include <memory>

class PlatformSound {
 public:
  virtual ~PlatformSound() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
};

// The stand-in with nothing behind it: no device, sound is off.
std::unique_ptr<PlatformSound> NullSoundCreate();
