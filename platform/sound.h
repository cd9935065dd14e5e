#pragma once
// Sound: the audio output the sound effects (platform/direct_sound.h) and the
// music (platform/music.h) play on, through OpenAL Soft.
//   - With a window (SDL2 back end): the default OpenAL device, which mixes
//     on its own; a service thread keeps the music streams fed.
//   - Headless: an OpenAL Soft loopback device (ALC_SOFT_loopback) that is
//     mixed only when the platform clock moves (Pump), so a run with the
//     fixed-step clock mixes the same samples every time and a test can
//     capture what was heard for a span of game time.
//   - No device at all (NullSoundCreate, or OpenAL finds none): Acquire
//     fails, DirectSoundCreate fails with it and the game runs silent.
// Every call is for the main thread, except what the stream service says.
#include <cstdint>
#include <memory>
#include <vector>

// A source that needs feeding while it plays (the music's streamed track).
// Service is called with the output's stream lock held: from the service
// thread of a real device, or after each render step of the loopback one.
class AudioStream {
 public:
  virtual ~AudioStream() = default;
  virtual void Service() = 0;
};

class PlatformSound {
 public:
  virtual ~PlatformSound() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // Opens the device and makes its context current at the first use;
  // counted, so the effects and the music can share it. False when there is
  // no device: the caller's sound is off.
  virtual bool Acquire() = 0;
  // The last release closes the device.
  virtual void Release() = 0;
  // Loopback: mixes from the last pump up to the platform clock's present
  // (at most two seconds at once: a longer gap is skipped, not mixed).
  // A real device mixes by itself: nothing.
  virtual void Pump() {}
  // Loopback: while set, every mixed frame is appended here (16-bit stereo,
  // interleaved, at OutputRate()). Null stops capturing.
  virtual void SetCapture(std::vector<int16_t>* /*out*/) {}
  // The mixing rate in frames per second; 0 before Acquire.
  virtual int OutputRate() const { return 0; }
  // Streams are serviced while registered; RemoveStream returns only when
  // no Service of that stream is running.
  virtual void AddStream(AudioStream* stream) = 0;
  virtual void RemoveStream(AudioStream* stream) = 0;
};

// The stand-in with nothing behind it: no device, sound is off.
std::unique_ptr<PlatformSound> NullSoundCreate();
// OpenAL Soft's default output device (the SDL2 back end).
std::unique_ptr<PlatformSound> OpenAlDeviceCreate();
// An OpenAL Soft loopback device mixed by the platform clock (headless).
std::unique_ptr<PlatformSound> OpenAlLoopbackCreate();
