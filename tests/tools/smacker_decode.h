#pragma once
// Decodes a Smacker file with FFmpeg's libraries (the smacker demuxer and its
// video and audio decoders), for checking what the builder writes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedSmacker {
  bool opened = false;
  int width = 0, height = 0;
  int64_t frameCount = 0;                          // the stream's length as the demuxer reports it, in frames
  int timeBaseNum = 0, timeBaseDen = 0;            // one frame's time
  std::vector<std::vector<uint8_t>> frames;        // width x height indices each
  std::vector<std::array<uint8_t, 768>> palettes;  // each frame's palette, RGB
  std::vector<int64_t> framePts;
  int soundRate = 0, soundChannels = 0, soundBits = 0;
  std::vector<int16_t> samples;       // 8-bit: 0..255; 16-bit: signed; interleaved
  std::vector<std::string> problems;  // FFmpeg's warnings and errors, and failed calls (kOwnProblem first)
};

inline constexpr const char* kOwnProblem = "decode: ";

DecodedSmacker DecodeSmacker(const std::string& path);
