// The WAVE reader: a good file, and fabricated broken ones that must be
// refused without reading past their bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "media/wave_file.h"
#include "tools/builder/demo_sounds.h"

namespace {

void Set32(std::vector<uint8_t>* image, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*image)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(WaveFile, AGoodFileGivesItsFormatAndSamples) {
  const std::vector<uint8_t> image = DemoSoundWave("confirm");
  WAVEFORMATEX format;
  std::vector<uint8_t> samples;
  ASSERT_TRUE(ParseWave(image.data(), image.size(), &format, &samples));
  EXPECT_EQ(format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(format.nChannels, 1);
  EXPECT_EQ(format.nSamplesPerSec, 11025u);
  EXPECT_EQ(format.wBitsPerSample, 8);
  EXPECT_EQ(format.cbSize, 0);
  EXPECT_EQ(samples.size(), static_cast<size_t>(0.25 * 11025));
  EXPECT_EQ(RiffFormType(image.data(), image.size()), RiffCode("WAVE"));
}

TEST(WaveFile, BrokenFilesAreRefused) {
  // The demo layout: RIFF header 12, "fmt " at 12 (16 bytes), "data" at 36.
  const std::vector<uint8_t> good = DemoSoundWave("confirm");
  struct Case {
    const char* what;
    void (*spoil)(std::vector<uint8_t>*);
  } cases[] = {
      {"RIFF size past the image", [](std::vector<uint8_t>* i) { Set32(i, 4, static_cast<uint32_t>(i->size())); }},
      {"RIFF size that wraps with + 8", [](std::vector<uint8_t>* i) { Set32(i, 4, 0xFFFFFFFCu); }},
      {"RIFF size below the form type", [](std::vector<uint8_t>* i) { Set32(i, 4, 2); }},
      {"data chunk longer than the file", [](std::vector<uint8_t>* i) { Set32(i, 40, 0x7FFFFFF0u); }},
      {"data chunk length that wraps", [](std::vector<uint8_t>* i) { Set32(i, 40, 0xFFFFFFF9u); }},
      {"fmt chunk of 12 bytes", [](std::vector<uint8_t>* i) { Set32(i, 16, 12); }},
      {"no data chunk", [](std::vector<uint8_t>* i) { std::memcpy(i->data() + 36, "junk", 4); }},
      {"empty data", [](std::vector<uint8_t>* i) {
         Set32(i, 40, 0);
         i->resize(44);
         Set32(i, 4, 36);
       }},
      {"not WAVE", [](std::vector<uint8_t>* i) { std::memcpy(i->data() + 8, "AVI ", 4); }},
      {"cut after the header", [](std::vector<uint8_t>* i) { i->resize(12); }},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> image = good;
    c.spoil(&image);
    // An exact-size copy, so the address sanitizer sees any read past it.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[image.size()]);
    std::memcpy(exact.get(), image.data(), image.size());
    WAVEFORMATEX format;
    std::vector<uint8_t> samples;
    EXPECT_FALSE(ParseWave(exact.get(), image.size(), &format, &samples)) << c.what;
    EXPECT_TRUE(samples.empty()) << c.what;
  }
}

TEST(WaveFile, AChunkWalkAlwaysMovesOnAndSkipsOddPadding) {
  // RIFF, WAVE, "LIST" of 3 bytes (+1 pad), "fmt " 16, "data" 1 (no pad).
  std::vector<uint8_t> image = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'L', 'I', 'S', 'T', 3, 0, 0, 0, 1, 2, 3, 0};
  const uint8_t fmt[] = {'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0};
  image.insert(image.end(), std::begin(fmt), std::end(fmt));
  const uint8_t data[] = {'d', 'a', 't', 'a', 1, 0, 0, 0, 0x80};
  image.insert(image.end(), std::begin(data), std::end(data));
  Set32(&image, 4, static_cast<uint32_t>(image.size() - 8));
  WAVEFORMATEX format;
  std::vector<uint8_t> samples;
  ASSERT_TRUE(ParseWave(image.data(), image.size(), &format, &samples));
  EXPECT_EQ(format.nSamplesPerSec, 11025u);
  EXPECT_EQ(samples, std::vector<uint8_t>{0x80});
}

}  // namespace
