#pragma once
// Little-endian field writing and bounds-checked reading for the stand-in's
// own packets between programs (join, players, player data, user messages).
// A reader that runs past its end stays failed and reads zeros from then on,
// so a parser checks ok() once at the end.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class WireWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
  }
  // A string of at most 255 bytes (longer ones are cut).
  void Text(const std::string& s) {
    const size_t n = s.size() < 255 ? s.size() : 255;
    U8(static_cast<uint8_t>(n));
    Bytes(s.data(), n);
  }
  void Blob(const std::vector<uint8_t>& b) {
    U32(static_cast<uint32_t>(b.size()));
    Bytes(b.data(), b.size());
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

class WireReader {
 public:
  WireReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  size_t left() const { return ok_ ? size_ - at_ : 0; }
  const uint8_t* here() const { return data_ + at_; }
  uint8_t U8() {
    uint8_t v = 0;
    Take(&v, 1);
    return v;
  }
  uint16_t U16() {
    const uint16_t lo = U8();
    return static_cast<uint16_t>(lo | (U8() << 8));
  }
  uint32_t U32() {
    const uint32_t lo = U16();
    return lo | (static_cast<uint32_t>(U16()) << 16);
  }
  // Nothing is copied for n == 0: an empty string's or blob's storage may
  // be no storage at all (a null pointer).
  void Take(void* out, size_t n) {
    if (!ok_ || n > size_ - at_) {
      ok_ = false;
      if (n) std::memset(out, 0, n);
      return;
    }
    if (n) std::memcpy(out, data_ + at_, n);
    at_ += n;
  }
  std::string Text() {
    const size_t n = U8();
    std::string s(n, '\0');
    Take(s.data(), n);
    return ok_ ? s : std::string();
  }
  // A blob of at most limit bytes; a longer one fails the reader.
  std::vector<uint8_t> Blob(size_t limit) {
    const size_t n = U32();
    if (n > limit || n > left()) {
      ok_ = false;
      return {};
    }
    std::vector<uint8_t> b(n);
    Take(b.data(), n);
    return b;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool ok_ = true;
};
