#include "tools/frame/frame_png.h"

#include <algorithm>

#include "engine/palette.h"
#include "tools/builder/archive_writer.h"

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0xFFFFFFFFu) {
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc;
}

void PutU32Big(std::vector<std::uint8_t>* out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<std::uint8_t>(value >> shift));
}

void Chunk(std::vector<std::uint8_t>* out, const char* type, const std::vector<std::uint8_t>& data) {
  PutU32Big(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out->size();
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data.begin(), data.end());
  PutU32Big(out, Crc32(out->data() + start, out->size() - start) ^ 0xFFFFFFFFu);
}

}  // namespace

std::vector<std::uint8_t> FramePngBytes(const FrameImage& image) {
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutU32Big(&header, static_cast<std::uint32_t>(image.width));
  PutU32Big(&header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit palette indices
  Chunk(&out, "IHDR", header);
  std::vector<std::uint8_t> palette;
  for (int i = 0; i < kPaletteSize; ++i) {
    palette.push_back(static_cast<std::uint8_t>(g_PaletteRed[i]));
    palette.push_back(static_cast<std::uint8_t>(g_PaletteGreen[i]));
    palette.push_back(static_cast<std::uint8_t>(g_PaletteBlue[i]));
  }
  Chunk(&out, "PLTE", palette);

  // Raw scanlines (filter 0), stored in deflate blocks of at most 65535 bytes.
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), image.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width,
               image.pixels.begin() + static_cast<std::ptrdiff_t>(y + 1) * image.width);
  }
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<std::uint8_t>(n));
    z.push_back(static_cast<std::uint8_t>(n >> 8));
    z.push_back(static_cast<std::uint8_t>(~n));
    z.push_back(static_cast<std::uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at), raw.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32Big(&z, (b << 16) | a);
  Chunk(&out, "IDAT", z);
  Chunk(&out, "IEND", {});
  return out;
}

bool WriteFramePng(const std::string& path, const FrameImage& image, std::string* error) {
  const bool ok = WriteBytesToFile(path, FramePngBytes(image));
  if (!ok && error) *error = "cannot write " + path;
  return ok;
}
