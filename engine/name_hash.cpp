#include "engine/name_hash.h"

#include <array>
#include <cstdint>

#include "engine/records.h"
#include "platform/ascii.h"

namespace {

// The standard reflected CRC-32 table, built at compile time.
constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
    table[i] = value;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

int NameHash(const char* name) {
  std::uint32_t crc = 0xFFFFFFFFu;
  if (name) {
    for (const char* p = name; *p; ++p) {
      const std::uint8_t c = static_cast<std::uint8_t>(AsciiToUpper(*p));
      crc = (crc >> 8) ^ kCrcTable[(crc ^ c) & 0xFF];
    }
  }
  if (crc == 0) crc = 1;
  return static_cast<int>(crc & static_cast<std::uint32_t>(kNameHashMask));
}
