#include "game/net_crc32.h"

#include <array>

namespace {

std::array<uint32_t, 256> BuildCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    table[i] = value;
  }
  return table;
}

}  // namespace

uint32_t Crc32(const void* data, size_t length) {
  static const std::array<uint32_t, 256> table = BuildCrc32Table();
  const auto* bytes = static_cast<const uint8_t*>(data);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) crc = (crc >> 8) ^ table[(crc ^ bytes[i]) & 0xFF];
  return crc == 0 ? 1 : crc;
}
