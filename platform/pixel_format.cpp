#include "platform/pixel_format.h"

#include <bit>

namespace {

bool MaskValid(uint32_t mask, int bits) {
  if (mask == 0) return false;
  if (bits < 32 && (mask >> bits) != 0) return false;
  const uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;  // one run of set bits
}

uint8_t ChannelToByte(uint32_t value, uint32_t mask) {
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  uint32_t c = (value & mask) >> shift;
  if (width >= 8) return static_cast<uint8_t>(c >> (width - 8));
  // Repeat the high bits into the low ones, so the full value maps to 0xFF.
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += width) out = (out << width) | c;
  const int total = ((8 + width - 1) / width) * width;
  return static_cast<uint8_t>(out >> (total - 8));
}

uint32_t ByteToChannel(uint8_t byte, uint32_t mask) {
  const int shift = std::countr_zero(mask);
  const int width = std::popcount(mask);
  const uint32_t c = width >= 8 ? static_cast<uint32_t>(byte) << (width - 8) : static_cast<uint32_t>(byte) >> (8 - width);
  return (c << shift) & mask;
}

}  // namespace

bool PixelLayoutValid(const PixelLayout& layout) {
  if (layout.bitsPerPixel == 8) return true;
  if (layout.bitsPerPixel != 16 && layout.bitsPerPixel != 24 && layout.bitsPerPixel != 32) return false;
  return MaskValid(layout.redMask, layout.bitsPerPixel) && MaskValid(layout.greenMask, layout.bitsPerPixel) &&
         MaskValid(layout.blueMask, layout.bitsPerPixel) &&
         (layout.redMask & layout.greenMask) == 0 && (layout.redMask & layout.blueMask) == 0 &&
         (layout.greenMask & layout.blueMask) == 0;
}

Rgb8 PixelToRgb(uint32_t value, const PixelLayout& layout) {
  return Rgb8{ChannelToByte(value, layout.redMask), ChannelToByte(value, layout.greenMask),
              ChannelToByte(value, layout.blueMask)};
}

uint32_t PixelFromRgb(Rgb8 colour, const PixelLayout& layout) {
  return ByteToChannel(colour.r, layout.redMask) | ByteToChannel(colour.g, layout.greenMask) |
         ByteToChannel(colour.b, layout.blueMask);
}

PixelChannels::PixelChannels(const PixelLayout& layout) {
  const uint32_t masks[3] = {layout.redMask, layout.greenMask, layout.blueMask};
  for (int i = 0; i < 3; ++i) {
    Channel& channel = channels_[i];
    channel.mask = masks[i];
    if (masks[i] == 0) continue;
    channel.shift = std::countr_zero(masks[i]);
    channel.width = std::popcount(masks[i]);
    if (channel.width >= 8) continue;
    for (uint32_t c = 0; c < (1u << channel.width); ++c) channel.widened[c] = ChannelToByte(c << channel.shift, masks[i]);
  }
}

uint8_t NearestColourIndex(Rgb8 colour, const Rgb8* colours, int count) {
  int best = 0;
  int bestDistance = 1 << 30;
  for (int i = 0; i < count; ++i) {
    const int dr = colour.r - colours[i].r, dg = colour.g - colours[i].g, db = colour.b - colours[i].b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return static_cast<uint8_t>(best);
}
