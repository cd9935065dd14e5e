#include "tools/builder/smacker_writer.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>

#include "tools/builder/archive_writer.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/smacker_trees.h"

namespace {

enum BlockKind : uint16_t { kBlockMono = 0, kBlockFull = 1, kBlockSkip = 2, kBlockFill = 3 };
// The trees in the order the header stores them.
enum Tree { kTreeMmap, kTreeMclr, kTreeFull, kTreeType, kTreeCount };

// A run length is coded as an index into this table.
constexpr std::array<int, 64> kRunLengths = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,  13,  14,  15,   16,
                                             17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,  29,  30,  31,   32,
                                             33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44,  45,  46,  47,   48,
                                             49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 128, 256, 512, 1024, 2048};

constexpr uint8_t kFramePalette = 0x01;
constexpr uint8_t kFrameSoundTrack0 = 0x02;
constexpr uint32_t kFrameSizeKey = 0x01;
constexpr uint32_t kSoundPresent = 0x40u << 24;
constexpr uint32_t kSound16Bits = 0x20u << 24;
constexpr uint32_t kSoundStereo = 0x10u << 24;
constexpr int kPaletteBytes = 256 * 3;

// One code the video stream carries: a value of one of the trees, or (tree ==
// kTreeCount) the two 0 bits with which "SMK4" picks plain sixteen-colour blocks.
struct Token {
  int tree;
  uint16_t value;
};

using Block = std::array<uint8_t, 16>;  // rows of four pixels

Block BlockAt(const std::vector<uint8_t>& pixels, int width, int bx, int by) {
  Block block;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) block[y * 4 + x] = pixels[static_cast<size_t>(by * 4 + y) * width + bx * 4 + x];
  }
  return block;
}

struct CodedBlock {
  BlockKind kind;
  Block pixels;
  uint8_t low, high;  // one colour: low; two: low < high
};

CodedBlock ClassifyBlock(const Block& pixels, const Block* before) {
  if (before && *before == pixels) return {kBlockSkip, pixels, 0, 0};
  // Plain values, not a structured binding: clang 14 (the fuzz build) can't
  // capture a binding in a lambda.
  const auto range = std::minmax_element(pixels.begin(), pixels.end());
  const uint8_t low = *range.first, high = *range.second;
  if (low == high) return {kBlockFill, pixels, low, low};
  const bool two = std::all_of(pixels.begin(), pixels.end(), [&](uint8_t p) { return p == low || p == high; });
  return {two ? kBlockMono : kBlockFull, pixels, low, high};
}

void AddBlockData(const CodedBlock& block, std::vector<Token>* tokens) {
  if (block.kind == kBlockMono) {
    uint16_t mask = 0;
    for (int i = 0; i < 16; ++i) {
      if (block.pixels[i] == block.high) mask |= static_cast<uint16_t>(1u << i);
    }
    tokens->push_back({kTreeMclr, static_cast<uint16_t>(block.high << 8 | block.low)});
    tokens->push_back({kTreeMmap, mask});
  } else if (block.kind == kBlockFull) {
    // Each row: the right pair, then the left; each pair's left pixel low.
    for (int y = 0; y < 4; ++y) {
      const uint8_t* row = &block.pixels[y * 4];
      tokens->push_back({kTreeFull, static_cast<uint16_t>(row[3] << 8 | row[2])});
      tokens->push_back({kTreeFull, static_cast<uint16_t>(row[1] << 8 | row[0])});
    }
  }
}

// The longest run the table holds that fits in count blocks.
int RunIndex(int count) {
  int index = 0;
  while (index + 1 < static_cast<int>(kRunLengths.size()) && kRunLengths[index + 1] <= count) ++index;
  return index;
}

// Frame index's video as codes, against the frame before (which the decoder
// still shows).
std::vector<Token> FrameTokens(const SmackerMovie& movie, size_t index) {
  const int across = movie.width / 4, down = movie.height / 4;
  std::vector<CodedBlock> blocks;
  for (int by = 0; by < down; ++by) {
    for (int bx = 0; bx < across; ++bx) {
      const Block pixels = BlockAt(movie.frames[index].pixels, movie.width, bx, by);
      if (index == 0) {
        blocks.push_back(ClassifyBlock(pixels, nullptr));
      } else {
        const Block before = BlockAt(movie.frames[index - 1].pixels, movie.width, bx, by);
        blocks.push_back(ClassifyBlock(pixels, &before));
      }
    }
  }
  std::vector<Token> tokens;
  for (size_t first = 0; first < blocks.size();) {
    const CodedBlock& head = blocks[first];
    size_t end = first + 1;
    while (end < blocks.size() && blocks[end].kind == head.kind &&
           (head.kind != kBlockFill || blocks[end].low == head.low)) {
      ++end;
    }
    while (first < end) {
      const int run = RunIndex(static_cast<int>(end - first));
      const uint8_t fill = head.kind == kBlockFill ? head.low : 0;
      tokens.push_back({kTreeType, static_cast<uint16_t>(fill << 8 | run << 2 | head.kind)});
      if (head.kind == kBlockFull && movie.version4) tokens.push_back({kTreeCount, 0});
      for (int i = 0; i < kRunLengths[run]; ++i) AddBlockData(blocks[first + i], &tokens);
      first += kRunLengths[run];
    }
  }
  return tokens;
}

size_t SoundFrameBytes(const SmackerSound& sound) { return static_cast<size_t>(sound.bits / 8 * sound.channels); }

// Where each video frame's sound starts, in sample frames (one more entry
// than video frames). A short tail joins the chunk before it: a chunk holds
// at least 4 bytes.
std::vector<size_t> SoundSplit(const SmackerMovie& movie) {
  const SmackerSound& sound = movie.sound;
  const size_t total = sound.samples.size() / sound.channels;
  const size_t count = movie.frames.size();
  std::vector<size_t> starts(count + 1, total);
  for (size_t i = 0; i < count; ++i) {
    const uint64_t at = static_cast<uint64_t>(i) * movie.frameMicros * sound.rate / 1000000;
    starts[i] = static_cast<size_t>(std::min<uint64_t>(at, total));
  }
  for (size_t i = count; i-- > 1;) {
    if (starts[i] == starts[i + 1]) continue;  // the last chunk with sound
    if ((starts[i + 1] - starts[i]) * SoundFrameBytes(sound) < 4) starts[i] = starts[i + 1];
    break;
  }
  return starts;
}

bool CheckMovie(const SmackerMovie& movie, std::string* error) {
  auto fail = [error](const char* reason) {
    *error = reason;
    return false;
  };
  if (movie.width <= 0 || movie.height <= 0 || movie.width % 4 || movie.height % 4 || movie.width > 4096 ||
      movie.height > 4096) {
    return fail("the size must be a multiple of 4 from 4 to 4096");
  }
  if (movie.frameMicros == 0 || movie.frameMicros % 10) {
    return fail("the frame time must be a positive multiple of 10 us");
  }
  if (movie.frames.empty() || movie.frames.size() > 0xFFFFFF) return fail("the frame count must be 1 to 16777215");
  if (movie.frames.front().palette.empty()) return fail("the first frame has no palette");
  for (const SmackerMovieFrame& frame : movie.frames) {
    if (frame.pixels.size() != static_cast<size_t>(movie.width) * movie.height) {
      return fail("a frame's pixels do not match the size");
    }
    if (!frame.palette.empty() && frame.palette.size() != kPaletteBytes) return fail("a palette is not 768 bytes");
  }
  const SmackerSound& sound = movie.sound;
  if (sound.samples.empty()) return true;
  if (sound.rate == 0 || sound.rate > 0xFFFFFF) return fail("the sound rate must be 1 to 16777215");
  if ((sound.bits != 8 && sound.bits != 16) || (sound.channels != 1 && sound.channels != 2)) {
    return fail("the sound must be 8 or 16 bits, 1 or 2 channels");
  }
  if (sound.samples.size() % sound.channels) return fail("the sound's samples do not fill its channels");
  if (sound.bits == 8 &&
      std::any_of(sound.samples.begin(), sound.samples.end(), [](int16_t s) { return s < 0 || s > 255; })) {
    return fail("8-bit samples must be 0 to 255");
  }
  const uint64_t perFrame = static_cast<uint64_t>(movie.frameMicros) * sound.rate / 1000000;
  if (perFrame * SoundFrameBytes(sound) < 4 || sound.samples.size() * (sound.bits / 8) < 4) {
    return fail("the sound gives a frame fewer than 4 bytes");
  }
  return true;
}

void WritePalette(ByteWriter* out, const std::vector<uint8_t>& palette) {
  constexpr int kChunkUnits = (1 + kPaletteBytes + 3) / 4;  // counted in 4-byte units with its size byte
  const size_t start = out->Size();
  out->U8(kChunkUnits);
  for (uint8_t value : palette) out->U8(static_cast<uint8_t>(SmackerColourLevel(value)));
  while (out->Size() - start < kChunkUnits * 4) out->U8(0);
}

std::vector<uint8_t> PaletteLevels(const std::vector<uint8_t>& palette) {
  std::vector<uint8_t> levels;
  for (uint8_t value : palette) levels.push_back(static_cast<uint8_t>(SmackerColourLevel(value)));
  return levels;
}

}  // namespace

int SmackerColourLevel(uint8_t value) {
  int best = 0;
  for (int level = 1; level < 64; ++level) {
    if (std::abs(SmackerLevelValue(level) - value) < std::abs(SmackerLevelValue(best) - value)) best = level;
  }
  return best;
}

uint8_t SmackerLevelValue(int level) { return static_cast<uint8_t>(level << 2 | level >> 4); }

bool SmackerFileBytes(const SmackerMovie& movie, std::vector<uint8_t>* bytes, std::string* error) {
  if (!CheckMovie(movie, error)) return false;
  const size_t count = movie.frames.size();

  std::vector<std::vector<Token>> video;
  std::array<std::map<uint32_t, uint64_t>, kTreeCount> counts;
  for (size_t i = 0; i < count; ++i) {
    video.push_back(FrameTokens(movie, i));
    for (const Token& t : video.back()) {
      if (t.tree != kTreeCount) ++counts[t.tree][t.value];
    }
  }
  std::array<SmackerBigTree, kTreeCount> trees;
  SmackerBitWriter treeBits;
  for (int t = 0; t < kTreeCount; ++t) {
    if (!trees[t].Build(counts[t], error)) return false;
    trees[t].Write(&treeBits);
  }

  const SmackerSound& sound = movie.sound;
  const bool hasSound = !sound.samples.empty();
  const std::vector<size_t> soundStarts = hasSound ? SoundSplit(movie) : std::vector<size_t>(count + 1, 0);
  std::vector<ByteWriter> frames(count);
  std::vector<uint8_t> types(count, 0);
  uint32_t largestSoundChunk = 0;
  std::vector<uint8_t> shownLevels;
  for (size_t i = 0; i < count; ++i) {
    ByteWriter& out = frames[i];
    const std::vector<uint8_t>& palette = movie.frames[i].palette;
    if (!palette.empty() && PaletteLevels(palette) != shownLevels) {
      shownLevels = PaletteLevels(palette);
      types[i] |= kFramePalette;
      WritePalette(&out, palette);
    }
    const size_t first = soundStarts[i] * sound.channels, end = soundStarts[i + 1] * sound.channels;
    if (end > first) {
      const uint32_t chunk = static_cast<uint32_t>((end - first) * (sound.bits / 8));
      largestSoundChunk = std::max(largestSoundChunk, chunk);
      types[i] |= kFrameSoundTrack0;
      out.U32(4 + chunk);
      for (size_t s = first; s < end; ++s) {
        if (sound.bits == 8) {
          out.U8(static_cast<uint8_t>(sound.samples[s]));
        } else {
          out.U16(static_cast<uint16_t>(sound.samples[s]));
        }
      }
    }
    SmackerBitWriter bits;
    for (const Token& t : video[i]) {
      if (t.tree == kTreeCount) {
        bits.Bits(0, 2);
      } else {
        trees[t.tree].WriteCode(&bits, t.value);
      }
    }
    out.Bytes(bits.Bytes());
    while (out.Size() % 4) out.U8(0);
  }

  ByteWriter file;
  file.FixedString(movie.version4 ? "SMK4" : "SMK2", 4);
  file.U32(static_cast<uint32_t>(movie.width));
  file.U32(static_cast<uint32_t>(movie.height));
  file.U32(static_cast<uint32_t>(count));
  file.I32(-static_cast<int32_t>(movie.frameMicros / 10));  // negative: in units of 10 us
  file.U32(0);                                              // no ring frame, no interlacing or doubling
  for (int track = 0; track < 7; ++track) file.U32(track == 0 ? largestSoundChunk : 0);
  file.U32(static_cast<uint32_t>(treeBits.Bytes().size()));
  for (const SmackerBigTree& tree : trees) file.U32(tree.StoredSize());
  for (int track = 0; track < 7; ++track) {
    uint32_t rate = 0;
    if (track == 0 && hasSound) {
      rate =
          sound.rate | kSoundPresent | (sound.bits == 16 ? kSound16Bits : 0) | (sound.channels == 2 ? kSoundStereo : 0);
    }
    file.U32(rate);
  }
  file.U32(0);
  for (size_t i = 0; i < count; ++i) file.U32(static_cast<uint32_t>(frames[i].Size()) | (i == 0 ? kFrameSizeKey : 0));
  for (uint8_t type : types) file.U8(type);
  file.Bytes(treeBits.Bytes());
  for (const ByteWriter& frame : frames) file.Bytes(frame.Data());
  *bytes = file.Take();
  return true;
}

bool WriteSmackerFile(const std::string& path, const SmackerMovie& movie, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!SmackerFileBytes(movie, &bytes, error)) return false;
  if (!WriteBytesToFile(path, bytes)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
