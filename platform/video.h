#pragma once
// Video decoding: the Smacker videos the game plays between screens
// ("logo.smk", "intro.smk", "ENDING.SMK"). A PlatformVideo opens a file and
// decodes it frame by frame from the start: each frame's pixels as palette
// indices, the palette it is shown with and the sound that goes with it.
// The closed video library the game calls (open, decode into a buffer, the
// changed rectangle, seek, wait, sound on and off) stands on this, in
// platform/smacker_api.h.
//
// Implementations: FFmpeg's libraries (platform/ffmpeg/): the smacker
// demuxer with its video and audio decoders, in both back ends (decoding is
// deterministic, so headless runs see the same frames). The null video
// (platform/headless/null_video.cpp), used where the program was built
// without FFmpeg, opens no file, so no video plays and the game goes on as
// after a video it could not open.
//
// Only Smacker files open; anything else, and a file whose sizes or frame
// count are out of range, is refused at open. A file damaged further on
// ends where it can no longer be decoded. Main thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Sizes a video may have; larger ones are refused at open.
inline constexpr int kVideoMaxSide = 4096;
inline constexpr int kVideoMaxFrames = 1000000;

struct VideoInfo {
  int width = 0;               // 1..kVideoMaxSide
  int height = 0;              // 1..kVideoMaxSide
  int frameCount = 0;          // 1..kVideoMaxFrames, as the file says
  uint32_t frameMicros = 0;    // time per frame, at least 1
  int soundRate = 0;           // 0: no sound
  int soundChannels = 0;       // 1 or 2
  int soundBits = 0;           // 8 (unsigned, 128 silent) or 16 (signed)
};

struct VideoFrameData {
  std::vector<uint8_t> pixels;           // width x height indices, rows top down
  std::array<uint8_t, 768> palette{};    // 256 RGB triples, 8 bits a channel
  std::vector<uint8_t> sound;            // this frame's PCM bytes, interleaved, little-endian
};

// One open file; frames come in order from frame 0.
class PlatformVideoFile {
 public:
  virtual ~PlatformVideoFile() = default;
  virtual const VideoInfo& Info() const = 0;
  // Decodes the next frame into *out. False at the end of the file or where
  // it can no longer be decoded (then every later call is false too).
  virtual bool ReadFrame(VideoFrameData* out) = 0;
  // Goes back to frame 0; false when the file can no longer be read.
  virtual bool Rewind() = 0;
};

class PlatformVideo {
 public:
  virtual ~PlatformVideo() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // Opens the file at a host path; null with the reason in *error when it
  // can't be opened or is not a video this can play.
  virtual std::unique_ptr<PlatformVideoFile> Open(const std::string& path, std::string* error) = 0;
};

// The stand-in with nothing behind it: no video opens.
std::unique_ptr<PlatformVideo> NullVideoCreate();
// The back ends' video: FFmpeg's decoders, or the null video where the
// program was built without FFmpeg.
std::unique_ptr<PlatformVideo> PlatformVideoCreate();
