#pragma once
// A growing little-endian byte buffer: every format the builder writes is
// put together field by field through it, never by copying structs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ByteWriter {
 public:
  // Makes room for size bytes in all (when the total is known beforehand).
  void Reserve(size_t size) { bytes_.reserve(size); }
  void U8(uint8_t value) { bytes_.push_back(value); }
  void U16(uint16_t value);
  void U32(uint32_t value);
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
  void F32(float value);
  void Bytes(const void* data, size_t size);
  void Bytes(const std::vector<uint8_t>& data) { Bytes(data.data(), data.size()); }
  // The characters and a terminating NUL.
  void CString(std::string_view text);
  // Exactly size bytes: the text cut or padded with NULs.
  void FixedString(std::string_view text, size_t size);
  // Overwrites 4 bytes already written (for sizes known only later).
  void PatchI32(size_t offset, int32_t value);

  size_t Size() const { return bytes_.size(); }
  const std::vector<uint8_t>& Data() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};
