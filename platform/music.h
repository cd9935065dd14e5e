#pragma once
// Music: the CD-audio player the game drives by track number
// (platform/mci.h turns the multimedia command strings into these calls).
// The "disc" is a folder called "music" found like the data archives (the
// current folder, the program folder, the media folders); its tracks are
// audio files named by number, "track02.ogg" (".flac", ".wav" or ".mp3",
// any case). FFmpeg's libraries decode a track and an OpenAL streaming
// source on the back end's audio output (platform/sound.h) plays it; when
// it has played to its end the notification is posted to the window that
// asked for it. Without FFmpeg, or without a music folder, no disc is
// found and nothing plays.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/framework/win_types.h"

class PlatformMusic {
 public:
  virtual ~PlatformMusic() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // Finds the music folder and its tracks; false when there is none or it
  // holds no track.
  virtual bool Open() = 0;
  // Stops and forgets the folder.
  virtual void Close() = 0;
  // The highest track number of the folder; 0 when none is open.
  virtual int LastTrack() const = 0;
  // Plays the whole of the track (stopping what played); when it has ended,
  // posts MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL, deviceId) to notify (when
  // given). False when the track is not there or can't be decoded.
  virtual bool Play(int track, HWND notify, uint32_t deviceId) = 0;
  // Stops without a notification.
  virtual void Stop() = 0;
  virtual bool IsPlaying() const = 0;
  // 0..1 per channel.
  virtual void SetVolume(float left, float right) = 0;
};

// The stand-in with nothing behind it: no disc.
std::unique_ptr<PlatformMusic> NullMusicCreate();
// The back ends' music: FFmpeg's when built with it, else the null one.
std::unique_ptr<PlatformMusic> PlatformMusicCreate();
// The folder the music is looked for in, in order: "music" in the current
// folder, the program folder, each media folder; "" when none exists.
std::string MusicFolderFind();
