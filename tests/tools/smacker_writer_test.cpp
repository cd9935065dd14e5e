#include "tools/builder/smacker_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/temp_folder.h"
#include "tests/tools/smacker_decode.h"
#include "tools/builder/demo_videos.h"
#include "tools/builder/smacker_trees.h"

namespace {

uint32_t NextRandom(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state >> 24;
}

// A palette of exactly storable colours, different for each seed.
std::vector<uint8_t> LevelPalette(int seed) {
  std::vector<uint8_t> palette;
  for (int i = 0; i < 768; ++i) palette.push_back(SmackerLevelValue((i * 7 + seed * 13 + i / 3) % 64));
  return palette;
}

// Every kind of block: flat areas (long runs of one colour), two-colour
// stripes and checks, and noise (sixteen colours in a block).
std::vector<uint8_t> MixedPicture(int width, int height, uint32_t seed) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t& p = pixels[static_cast<size_t>(y) * width + x];
      if (y < height / 4) {
        p = static_cast<uint8_t>(x < width / 2 ? 3 : 250);
      } else if (y < height / 2) {
        p = static_cast<uint8_t>(((x + y) / 2) % 2 ? 17 : 200 + x / 16);
      } else {
        p = static_cast<uint8_t>(NextRandom(&seed));
      }
    }
  }
  return pixels;
}

void Paint(std::vector<uint8_t>* pixels, int width, int x0, int y0, int w, int h, uint8_t colour) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) (*pixels)[static_cast<size_t>(y) * width + x] = colour;
  }
}

// Six frames of 64x48: a first picture; one that changes a small area; one
// that changes only the palette; one repeated whole; noise everywhere; one
// colour over the whole frame with its palette given again unchanged.
SmackerMovie SmallMovie(bool version4) {
  SmackerMovie movie;
  movie.width = 64;
  movie.height = 48;
  movie.frameMicros = 100000;
  movie.version4 = version4;
  std::vector<uint8_t> pixels = MixedPicture(64, 48, 1);
  movie.frames.push_back({pixels, LevelPalette(0)});
  Paint(&pixels, 64, 10, 5, 7, 9, 99);  // straddles block edges
  pixels[47 * 64 + 63] = 1;
  movie.frames.push_back({pixels, {}});
  movie.frames.push_back({pixels, LevelPalette(1)});
  movie.frames.push_back({pixels, {}});
  uint32_t seed = 7;
  for (uint8_t& p : pixels) p = static_cast<uint8_t>(NextRandom(&seed));
  movie.frames.push_back({pixels, {}});
  movie.frames.push_back({std::vector<uint8_t>(64 * 48, 42), LevelPalette(1)});
  // 8-bit mono sound, a little longer than the video: the rest goes with the
  // last frame.
  movie.sound.rate = 11025;
  for (int i = 0; i < 11025 * 6 / 10 + 300; ++i)
    movie.sound.samples.push_back(static_cast<int16_t>((i * 37 + i / 100) % 256));
  return movie;
}

std::string WriteMovie(const TempFolder& folder, const SmackerMovie& movie) {
  const std::string path = folder.Join("movie.smk");
  std::string error;
  EXPECT_TRUE(WriteSmackerFile(path, movie, &error)) << error;
  return path;
}

// The frames, palettes and sound FFmpeg decodes are exactly the movie's.
void ExpectDecodedAsWritten(const SmackerMovie& movie, const DecodedSmacker& decoded) {
  ASSERT_TRUE(decoded.opened);
  EXPECT_TRUE(decoded.problems.empty()) << decoded.problems.front();
  EXPECT_EQ(decoded.width, movie.width);
  EXPECT_EQ(decoded.height, movie.height);
  EXPECT_EQ(decoded.frameCount, static_cast<int64_t>(movie.frames.size()));
  // One tick of the time base is one frame.
  EXPECT_EQ(static_cast<int64_t>(decoded.timeBaseNum) * 1000000,
            static_cast<int64_t>(movie.frameMicros) * decoded.timeBaseDen);
  ASSERT_EQ(decoded.frames.size(), movie.frames.size());
  std::vector<uint8_t> palette;  // as stored: each channel at its nearest 6-bit level
  for (size_t i = 0; i < movie.frames.size(); ++i) {
    if (!movie.frames[i].palette.empty()) {
      palette.clear();
      for (uint8_t v : movie.frames[i].palette) palette.push_back(SmackerLevelValue(SmackerColourLevel(v)));
    }
    EXPECT_EQ(decoded.frames[i], movie.frames[i].pixels) << "frame " << i;
    EXPECT_TRUE(std::equal(palette.begin(), palette.end(), decoded.palettes[i].begin())) << "palette of frame " << i;
    EXPECT_EQ(decoded.framePts[i], static_cast<int64_t>(i));
  }
  if (movie.sound.samples.empty()) {
    EXPECT_TRUE(decoded.samples.empty());
    return;
  }
  EXPECT_EQ(decoded.soundRate, static_cast<int>(movie.sound.rate));
  EXPECT_EQ(decoded.soundChannels, movie.sound.channels);
  EXPECT_EQ(decoded.soundBits, movie.sound.bits);
  EXPECT_EQ(decoded.samples, movie.sound.samples);
}

class SmackerRoundTrip : public testing::TestWithParam<bool> {};

TEST_P(SmackerRoundTrip, FFmpegDecodesTheFramesPaletteAndSoundWritten) {
#if !KORVANE_HAVE_FFMPEG
  GTEST_SKIP() << "built without FFmpeg";
#endif
  TempFolder folder;
  const SmackerMovie movie = SmallMovie(GetParam());
  const std::string path = WriteMovie(folder, movie);
  ExpectDecodedAsWritten(movie, DecodeSmacker(path));

  // The palette travels only with the frames that change it; sound with
  // every frame, the header giving its largest chunk.
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 104u + 5 * 6);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), GetParam() ? "SMK4" : "SMK2");
  const uint8_t* types = &bytes[104 + 4 * 6];
  const uint8_t expected[6] = {3, 2, 3, 2, 2, 2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(types[i], expected[i]) << "frame " << i;
  const uint32_t largest = bytes[24] | bytes[25] << 8 | bytes[26] << 16 | bytes[27] << 24;  // track 0's buffer size
  EXPECT_EQ(largest, 6915u - 5512u);  // the last frame's share (from sample 5512) and the rest
}

INSTANTIATE_TEST_SUITE_P(Versions, SmackerRoundTrip, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "SMK4" : "SMK2"; });

TEST(SmackerWriter, FullScreenFrameWithSixteenBitStereoSound) {
#if !KORVANE_HAVE_FFMPEG
  GTEST_SKIP() << "built without FFmpeg";
#endif
  SmackerMovie movie;
  movie.width = 320;
  movie.height = 240;
  movie.frameMicros = 66670;
  movie.frames.push_back({MixedPicture(320, 240, 5), LevelPalette(3)});
  movie.sound.rate = 22050;
  movie.sound.bits = 16;
  movie.sound.channels = 2;
  for (int i = 0; i < 2 * 1470; ++i) movie.sound.samples.push_back(static_cast<int16_t>(i * 977 - 30000));
  TempFolder folder;
  ExpectDecodedAsWritten(movie, DecodeSmacker(WriteMovie(folder, movie)));
}

TEST(SmackerWriter, VideoWithoutSound) {
#if !KORVANE_HAVE_FFMPEG
  GTEST_SKIP() << "built without FFmpeg";
#endif
  SmackerMovie movie = SmallMovie(false);
  movie.sound = {};
  TempFolder folder;
  ExpectDecodedAsWritten(movie, DecodeSmacker(WriteMovie(folder, movie)));
}

TEST(DemoVideos, DecodeAsDrawnWithinAFewSecondsAndAMegabyte) {
#if !KORVANE_HAVE_FFMPEG
  GTEST_SKIP() << "built without FFmpeg";
#endif
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(WriteDemoVideos(folder.Path(), &error)) << error;
  const std::pair<const char*, SmackerMovie> videos[] = {
      {"logo.smk", DemoLogoMovie()}, {"intro.smk", DemoIntroMovie()}, {"ENDING.SMK", DemoEndingMovie()}};
  for (const auto& [name, movie] : videos) {
    SCOPED_TRACE(name);
    EXPECT_EQ(movie.width, 320);
    EXPECT_EQ(movie.height, 240);
    const double seconds = movie.frames.size() * movie.frameMicros / 1e6;
    EXPECT_GE(seconds, 2.0);
    EXPECT_LE(seconds, 5.0);
    EXPECT_FALSE(movie.sound.samples.empty());
    const std::string path = folder.Join(name);
    EXPECT_LT(ReadFileBytes(path).size(), 1000000u);
    ExpectDecodedAsWritten(movie, DecodeSmacker(path));
  }
}

TEST(SmackerWriter, RefusesWhatCannotBeWritten) {
  struct Case {
    const char* name;
    void (*spoil)(SmackerMovie*);
  };
  const Case cases[] = {
      {"width not a multiple of 4", [](SmackerMovie* m) { m->width = 62; }},
      {"no first palette", [](SmackerMovie* m) { m->frames[0].palette.clear(); }},
      {"short palette", [](SmackerMovie* m) { m->frames[2].palette.resize(700); }},
      {"pixels missing", [](SmackerMovie* m) { m->frames[3].pixels.pop_back(); }},
      {"no frames", [](SmackerMovie* m) { m->frames.clear(); }},
      {"frame time not in 10 us", [](SmackerMovie* m) { m->frameMicros = 66667; }},
      {"8-bit sample out of range", [](SmackerMovie* m) { m->sound.samples[5] = 256; }},
      {"odd stereo samples", [](SmackerMovie* m) { m->sound.channels = 2; }},  // 6915 samples
      {"sound rate too low for a chunk", [](SmackerMovie* m) { m->sound.rate = 30; }},
  };
  for (const Case& c : cases) {
    SmackerMovie movie = SmallMovie(false);
    c.spoil(&movie);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(SmackerFileBytes(movie, &bytes, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

TEST(SmackerWriter, ColourLevelsAreTheNearestStorable) {
  for (int level = 0; level < 64; ++level) EXPECT_EQ(SmackerColourLevel(SmackerLevelValue(level)), level);
  EXPECT_EQ(SmackerLevelValue(0), 0);
  EXPECT_EQ(SmackerLevelValue(63), 255);
  for (int v = 0; v < 256; ++v)
    EXPECT_LE(std::abs(SmackerLevelValue(SmackerColourLevel(static_cast<uint8_t>(v))) - v), 2);
}

TEST(SmackerTrees, CodesStayWithinTheLengthLimitForSkewedCounts) {
  // Fibonacci counts make a plain Huffman code as deep as it has symbols.
  std::map<uint32_t, uint64_t> counts;
  uint64_t a = 1, b = 1;
  for (uint32_t s = 0; s < 40; ++s) {
    counts[s] = a;
    b += a;
    std::swap(a, b);
  }
  const SmackerHuffman code(counts);
  for (uint32_t s = 0; s < 40; ++s) EXPECT_LE(code.CodeLength(s), kSmackerMaxCodeLength);
  EXPECT_LT(code.CodeLength(39), code.CodeLength(0));  // still shaped by the counts
}

TEST(SmackerTrees, RefusesMoreValuesThanLeaveRoomForTheEscapes) {
  std::map<uint32_t, uint64_t> counts;
  for (uint32_t v = 0; v < 65534; ++v) counts[v] = 1;
  SmackerBigTree tree;
  std::string error;
  EXPECT_FALSE(tree.Build(counts, &error));
  counts.erase(0);
  EXPECT_TRUE(tree.Build(counts, &error));
}

// The round trips rely on FFmpeg's complaints reaching DecodeSmacker.
TEST(SmackerWriter, DamagedFileShowsFFmpegsComplaints) {
#if !KORVANE_HAVE_FFMPEG
  GTEST_SKIP() << "built without FFmpeg";
#endif
  TempFolder folder;
  std::vector<uint8_t> bytes = ReadFileBytes(WriteMovie(folder, SmallMovie(false)));
  bytes[56] = 4, bytes[57] = bytes[58] = bytes[59] = 0;  // room for one node of the MMAP tree
  folder.WriteFile("cut.smk", bytes);
  const DecodedSmacker decoded = DecodeSmacker(folder.Join("cut.smk"));
  EXPECT_TRUE(std::any_of(decoded.problems.begin(), decoded.problems.end(),
                          [](const std::string& p) { return p.rfind(kOwnProblem, 0) != 0; }));
}

}  // namespace
