#pragma once
// RIFF WAVE images as the sound archive holds them: "RIFF", u32 size (the
// bytes that follow), the form type, then chunks of {code, u32 length, data
// padded to an even length}. Every size is checked against the bytes of the
// image: a chunk that claims more than is there ends the walk, so a broken
// file is refused instead of read past its end.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/direct_sound.h"

// A four-character code as the file stores it ("RIFF" is 'R' in the low byte).
constexpr uint32_t RiffCode(const char (&c)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(c[0])) | static_cast<uint32_t>(static_cast<uint8_t>(c[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c[2])) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(c[3])) << 24;
}

// The form type at 8 of a "RIFF" image whose size fits the image; else 0.
uint32_t RiffFormType(const uint8_t* image, size_t length);
// The first chunk with the code, walking from 12 while a whole chunk header
// lies before the end of the RIFF data (8 + size, or the image's end when
// that is shorter is refused); its data is copied into *copy. False when no
// such chunk exists whole.
bool RiffCopyChunk(const uint8_t* image, size_t length, uint32_t code, std::vector<uint8_t>* copy);
// Clears the outputs; true when the image is a "WAVE" with a "fmt " chunk of
// at least 16 bytes (its first 16 are read; cbSize is 0) and a non-empty
// "data" chunk.
bool ParseWave(const uint8_t* image, size_t length, WAVEFORMATEX* format, std::vector<uint8_t>* samples);
