#include "tools/builder/byte_writer.h"

#include <cstring>

void ByteWriter::U16(uint16_t value) {
  U8(static_cast<uint8_t>(value));
  U8(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::U32(uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) U8(static_cast<uint8_t>(value >> shift));
}

void ByteWriter::F32(float value) {
  uint32_t bits;
  static_assert(sizeof(bits) == sizeof(value));
  std::memcpy(&bits, &value, sizeof(bits));
  U32(bits);
}

void ByteWriter::Bytes(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + size);
}

void ByteWriter::CString(std::string_view text) {
  Bytes(text.data(), text.size());
  U8(0);
}

void ByteWriter::FixedString(std::string_view text, size_t size) {
  for (size_t i = 0; i < size; ++i) U8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void ByteWriter::PatchI32(size_t offset, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<uint8_t>(bits >> (8 * i));
}
