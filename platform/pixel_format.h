#pragma once
// How pixels are laid out in memory: 8-bit indices into a colour table, or
// RGB values of 16, 24 or 32 bits described by their channel masks (stored
// little-endian). The surfaces, the DIB sections and the display's frames
// share these helpers to read and write pixels of any of those layouts.
#include <cstdint>

struct Rgb8 {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};
inline bool operator==(const Rgb8& a, const Rgb8& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

struct PixelLayout {
  int bitsPerPixel = 8;  // 8 (indexed), 16, 24 or 32 (RGB)
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;

  int BytesPerPixel() const { return bitsPerPixel / 8; }
  bool Indexed() const { return bitsPerPixel == 8; }
};

inline constexpr PixelLayout kPixelIndexed8{8, 0, 0, 0};
inline constexpr PixelLayout kPixelRgb565{16, 0xF800, 0x07E0, 0x001F};
inline constexpr PixelLayout kPixelRgb555{16, 0x7C00, 0x03E0, 0x001F};
inline constexpr PixelLayout kPixelRgb888{24, 0xFF0000, 0x00FF00, 0x0000FF};
inline constexpr PixelLayout kPixelXrgb8888{32, 0xFF0000, 0x00FF00, 0x0000FF};

// True for the layouts above, or any RGB layout of 16, 24 or 32 bits whose
// masks are non-empty runs of set bits that fit the pixel.
bool PixelLayoutValid(const PixelLayout& layout);

inline uint32_t PixelLoad(const uint8_t* p, int bytes) {
  uint32_t v = p[0];
  if (bytes > 1) v |= static_cast<uint32_t>(p[1]) << 8;
  if (bytes > 2) v |= static_cast<uint32_t>(p[2]) << 16;
  if (bytes > 3) v |= static_cast<uint32_t>(p[3]) << 24;
  return v;
}
inline void PixelStore(uint8_t* p, int bytes, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  if (bytes > 1) p[1] = static_cast<uint8_t>(v >> 8);
  if (bytes > 2) p[2] = static_cast<uint8_t>(v >> 16);
  if (bytes > 3) p[3] = static_cast<uint8_t>(v >> 24);
}

// The colour of an RGB pixel value; each channel is widened to 8 bits by
// repeating its high bits (0x1F of 5 bits becomes 0xFF).
Rgb8 PixelToRgb(uint32_t value, const PixelLayout& layout);
// The RGB pixel value nearest to a colour (each channel's high bits).
uint32_t PixelFromRgb(Rgb8 colour, const PixelLayout& layout);
// PixelToRgb and PixelFromRgb for loops over many pixels of one layout:
// the channels' shifts and widths are worked out once, not per pixel.
class PixelChannels {
 public:
  explicit PixelChannels(const PixelLayout& layout);
  Rgb8 ToRgb(uint32_t value) const {
    return Rgb8{channels_[0].ToByte(value), channels_[1].ToByte(value), channels_[2].ToByte(value)};
  }
  uint32_t FromRgb(Rgb8 colour) const {
    return channels_[0].FromByte(colour.r) | channels_[1].FromByte(colour.g) | channels_[2].FromByte(colour.b);
  }

 private:
  struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    uint8_t widened[128] = {};  // a value narrower than 8 bits, widened
    uint8_t ToByte(uint32_t value) const {
      const uint32_t c = (value & mask) >> shift;
      return width >= 8 ? static_cast<uint8_t>(c >> (width - 8)) : widened[c];
    }
    uint32_t FromByte(uint8_t byte) const {
      const uint32_t c = width >= 8 ? static_cast<uint32_t>(byte) << (width - 8) : static_cast<uint32_t>(byte) >> (8 - width);
      return (c << shift) & mask;
    }
  };
  Channel channels_[3];
};

// The entry of colours[0..count) nearest to colour (squared distance; the
// first of equals).
uint8_t NearestColourIndex(Rgb8 colour, const Rgb8* colours, int count);
