#pragma once
// Video decoding: the Smacker videos the game plays between screens
// ("logo.smk", "intro.smk", "ENDING.SMK"), standing in for the closed video
// library (open, decode a frame into a surface buffer with its changed
// rectangle and palette, next frame, wait, seek, sound on and off, close).
// It will decode with FFmpeg's libraries; only platform/ calls them.
//
// Today no implementation exists: both back ends use the null video
// (platform/headless/null_video.cpp), which opens no file, so no video plays
// and the game goes on as after a video it could not open.
//
// Not here yet: every operation. They come with video playback, shaped by
// what the player calls; the contract above is what they must keep.
#include <memory>

class PlatformVideo {
 public:
  virtual ~PlatformVideo() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
};

// The stand-in with nothing behind it: no video opens.
std::unique_ptr<PlatformVideo> NullVideoCreate();
