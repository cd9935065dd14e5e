#include "tools/builder/wave_writer.h"

#include <algorithm>
#include <cmath>


namespace {
void Put32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>* out, uint16_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void PutCode(std::vector<uint8_t>* out, const char* code) { out->insert(out->end(), code, code + 4); }

std::vector<uint8_t> Wave(const std::vector<uint8_t>& data, int channels, int rate, int bits) {
  std::vector<uint8_t> out;
  const uint32_t padded = static_cast<uint32_t>(data.size() + (data.size() & 1));
  PutCode(&out, "RIFF");
  Put32(&out, 4 + 8 + 16 + 8 + padded);
  PutCode(&out, "WAVE");
  PutCode(&out, "fmt ");
  Put32(&out, 16);
  const int block = channels * bits / 8;
  Put16(&out, 1);
  Put16(&out, static_cast<uint16_t>(channels));
  Put32(&out, static_cast<uint32_t>(rate));
  Put32(&out, static_cast<uint32_t>(rate * block));
  Put16(&out, static_cast<uint16_t>(block));
  Put16(&out, static_cast<uint16_t>(bits));
  PutCode(&out, "data");
  Put32(&out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
  return out;
}
}  // namespace

std::vector<uint8_t> WaveFile8(const std::vector<float>& samples, int rate) {
  std::vector<uint8_t> data;
  data.reserve(samples.size());
  for (float s : samples) data.push_back(static_cast<uint8_t>(128 + std::lround(127 * std::clamp(s, -1.0f, 1.0f))));
  return Wave(data, 1, rate, 8);
}

std::vector<uint8_t> WaveFile16Stereo(const std::vector<float>& left, const std::vector<float>& right, int rate) {
  std::vector<uint8_t> data;
  const size_t n = std::min(left.size(), right.size());
  data.reserve(n * 4);
  for (size_t i = 0; i < n; ++i) {
    for (float s : {left[i], right[i]}) {
      const auto v = static_cast<int16_t>(std::lround(32767 * std::clamp(s, -1.0f, 1.0f)));
      Put16(&data, static_cast<uint16_t>(v));
    }
  }
  return Wave(data, 2, rate, 16);
}
