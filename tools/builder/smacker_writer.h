#pragma once
// Writes Smacker video files (".smk"): 8-bit frames with their palette and
// optional uncompressed PCM sound, for the game's videos.
//
// Layout (little-endian): a 104-byte header ("SMK2" or "SMK4", width,
// height, frame count, frame time, flags, seven audio buffer sizes, the tree
// block's size, the four trees' sizes, seven audio rates with their flags, a
// reserved word); one size per frame (bit 0 = key frame, the size a multiple
// of 4); one type byte per frame (bit 0 = palette, bit 1 + n = audio track n);
// the tree block (smacker_trees.h); then each frame: its palette, its sound,
// its video.
//
// The video codes each frame in 4x4 blocks, in runs of blocks of one kind:
// unchanged from the frame before, one colour, two colours (a colour pair and
// a 16-bit mask) or sixteen colours (eight pixel pairs). A palette is written
// whole in every frame that changes it, at 6 bits per channel.
#include <cstdint>
#include <string>
#include <vector>

struct SmackerMovieFrame {
  std::vector<uint8_t> pixels;   // width x height palette indices, rows top down
  std::vector<uint8_t> palette;  // 256 RGB triples from this frame on; empty: the previous frame's
};

// Track 0's sound, spread over the frames by time; what outlasts the video
// goes with the last frame.
struct SmackerSound {
  uint32_t rate = 22050;
  int bits = 8;      // 8: unsigned samples 0..255 (128 silent); 16: signed
  int channels = 1;  // 1 or 2 (interleaved)
  std::vector<int16_t> samples;
};

struct SmackerMovie {
  int width = 0;                     // a multiple of 4
  int height = 0;                    // a multiple of 4
  uint32_t frameMicros = 66670;      // time per frame, a multiple of 10 us
  bool version4 = false;             // "SMK4" in place of "SMK2"
  std::vector<SmackerMovieFrame> frames;  // the first one has a palette
  SmackerSound sound;                // no samples: no sound
};

// The file's bytes; false with a reason in *error when the movie cannot be
// written (sizes, a missing first palette, sound settings).
bool SmackerFileBytes(const SmackerMovie& movie, std::vector<uint8_t>* bytes, std::string* error);
bool WriteSmackerFile(const std::string& path, const SmackerMovie& movie, std::string* error);

// Palettes are stored at 6 bits per channel: the 6-bit level nearest to an
// 8-bit value, and the 8-bit value a decoder shows for a level.
int SmackerColourLevel(uint8_t value);
uint8_t SmackerLevelValue(int level);
