#include "media/wave_file.h"

namespace {

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The end of the RIFF data: 8 + the stored size, which must lie within the
// image and hold at least the form type. 0 when it does not.
size_t RiffEnd(const uint8_t* image, size_t length) {
  if (!image || length < 12 || U32(image) != RiffCode("RIFF")) return 0;
  const uint64_t end = 8 + static_cast<uint64_t>(U32(image + 4));
  if (end < 12 || end > length) return 0;
  return static_cast<size_t>(end);
}

}  // namespace

uint32_t RiffFormType(const uint8_t* image, size_t length) {
  return RiffEnd(image, length) ? U32(image + 8) : 0;
}

bool RiffCopyChunk(const uint8_t* image, size_t length, uint32_t code, std::vector<uint8_t>* copy) {
  copy->clear();
  const size_t end = RiffEnd(image, length);
  if (!end) return false;
  uint64_t at = 12;
  while (at + 8 <= end) {
    const uint64_t size = U32(image + at + 4);
    // A chunk that runs past the data is not read, and nothing after it can
    // be trusted either. The pad byte of the last chunk may be missing.
    if (size > end - at - 8) return false;
    if (U32(image + at) == code) {
      copy->assign(image + at + 8, image + at + 8 + size);
      return true;
    }
    at += 8 + size + (size & 1);  // at least 8: always moves on
  }
  return false;
}

bool ParseWave(const uint8_t* image, size_t length, WAVEFORMATEX* format, std::vector<uint8_t>* samples) {
  *format = WAVEFORMATEX{};
  samples->clear();
  if (RiffFormType(image, length) != RiffCode("WAVE")) return false;
  std::vector<uint8_t> fmt;
  if (!RiffCopyChunk(image, length, RiffCode("fmt "), &fmt) || fmt.size() < 16) return false;
  if (!RiffCopyChunk(image, length, RiffCode("data"), samples) || samples->empty()) {
    samples->clear();
    return false;
  }
  const uint8_t* f = fmt.data();
  format->wFormatTag = U16(f);
  format->nChannels = U16(f + 2);
  format->nSamplesPerSec = U32(f + 4);
  format->nAvgBytesPerSec = U32(f + 8);
  format->nBlockAlign = U16(f + 12);
  format->wBitsPerSample = U16(f + 14);
  format->cbSize = 0;
  return true;
}
