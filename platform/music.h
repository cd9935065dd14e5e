#pragma once
// Music: the CD-audio player the game drives by track number, standing in
// for the multimedia API's CD audio (play a track, stop, ask whether it
// still plays) and its auxiliary volume. It will play music files decoded
// with FFmpeg's libraries, streamed through OpenAL Soft.
//
// Today no implementation exists: both back ends use the null music
// (platform/headless/null_music.cpp), which is a drive with no audio disc:
// no track ever plays.
//
// Not here yet: every operation. They come with CD audio, shaped by what the
// game calls; the contract above is what they must keep.
#include <memory>

class PlatformMusic {
 public:
  virtual ~PlatformMusic() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
};

// The stand-in with nothing behind it: no track ever plays.
std::unique_ptr<PlatformMusic> NullMusicCreate();
