#include "softbuild/bitmap_texture.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/palette.h"
#include "engine/texture.h"
#include "platform/ascii.h"

namespace {

float g_ShadeLow = kShadeLowDefault;
float g_ShadeHigh = kShadeHighDefault;

constexpr int kHeaderBytes = 54;
constexpr int kInfoHeaderBytes = 40;

uint32_t U32At(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
int32_t I32At(const uint8_t* p) { return static_cast<int32_t>(U32At(p)); }
uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The smallest power of two from 32 to 256 that is at least size (256 for
// larger sizes).
int TextureSide(int size) {
  int side = kTextureMinSize;
  while (side < size && side < kTextureMaxSize) side *= 2;
  return side;
}

struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

bool ReadExactly(std::FILE* file, void* into, size_t bytes) { return std::fread(into, 1, bytes, file) == bytes; }

struct BitmapHeader {
  int width = 0;
  int height = 0;  // rows, whichever way they are stored
  bool topDown = false;
  int colours = 0;
  uint32_t pixelOffset = 0;
};

// The header's fields as the loader needs them; false for anything else.
bool ParseHeader(const uint8_t* h, long fileSize, BitmapHeader* out) {
  if (h[0] != 'B' || h[1] != 'M') return false;
  if (U32At(h + 14) != kInfoHeaderBytes) return false;
  if (U16At(h + 26) != 1 || U16At(h + 28) != 8 || U32At(h + 30) != 0) return false;
  const int32_t width = I32At(h + 18);
  const int32_t height = I32At(h + 22);
  if (width < 1 || width > kBitmapSideMax) return false;
  if (height == 0 || height < -kBitmapSideMax || height > kBitmapSideMax) return false;
  const uint32_t used = U32At(h + 46);
  if (used > 256) return false;
  out->width = width;
  out->height = height < 0 ? -height : height;
  out->topDown = height < 0;
  out->colours = used == 0 ? 256 : static_cast<int>(used);
  out->pixelOffset = U32At(h + 10);
  // The colour table and every row lie inside the file.
  const uint64_t tableEnd = kHeaderBytes + 4ull * static_cast<uint64_t>(out->colours);
  const uint64_t rowBytes = (static_cast<uint64_t>(width) + 3) & ~3ull;
  if (out->pixelOffset < tableEnd) return false;
  if (out->pixelOffset + rowBytes * static_cast<uint64_t>(out->height) > static_cast<uint64_t>(fileSize)) return false;
  return true;
}

Texture* FindTextureNamed(const char* name) {
  for (Texture* t = TextureListHead(); t; t = TextureNext(t))
    if (t->name && AsciiEqualNoCase(t->name, name)) return t;
  return nullptr;
}

}  // namespace

Texture* LoadTextureBitmap(const char* path) {
  if (!path || !*path) return nullptr;
  const size_t length = std::strlen(path);
  if (length > kBitmapPathMax) return nullptr;
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  if (!*name) return nullptr;
  if (Texture* known = FindTextureNamed(name)) return TextureAddRef(known);

  std::string filePath(path);
  for (char& c : filePath)
    if (c == '\\') c = '/';
  FileCloser file{std::fopen(filePath.c_str(), "rb")};
  if (!file.file) return nullptr;
  if (std::fseek(file.file, 0, SEEK_END) != 0) return nullptr;
  const long fileSize = std::ftell(file.file);
  if (fileSize < kHeaderBytes || std::fseek(file.file, 0, SEEK_SET) != 0) return nullptr;
  uint8_t header[kHeaderBytes];
  BitmapHeader bmp;
  if (!ReadExactly(file.file, header, sizeof header) || !ParseHeader(header, fileSize, &bmp)) return nullptr;

  const int width = TextureSide(bmp.width);
  const int height = TextureSide(bmp.height);
  uint8_t table[256 * 4];
  if (!ReadExactly(file.file, table, static_cast<size_t>(bmp.colours) * 4)) return nullptr;
  int red[256] = {}, green[256] = {}, blue[256] = {};
  for (int i = 0; i < bmp.colours; ++i) {
    blue[i] = table[i * 4];
    green[i] = table[i * 4 + 1];
    red[i] = table[i * 4 + 2];
  }
  if (!TextureListHead()) SetTexturePalette(bmp.colours, red, green, blue);

  // The bitmap's indices to the engine's: the system's stay, a game colour
  // the engine has at the same index stays, any other goes to the nearest.
  uint8_t remap[256];
  int quality = 0;
  for (int i = 0; i < 256; ++i) remap[i] = static_cast<uint8_t>(i);
  for (int i = kPaletteGameFirst; i <= kPaletteGameLast; ++i) {
    // Indices beyond the bitmap's colours stand for black; an engine entry
    // beyond the engine's count holds no colour and is never kept.
    const bool known = i < bmp.colours && i < g_PaletteCount;
    if (known && g_PaletteRed[i] == red[i] && g_PaletteGreen[i] == green[i] && g_PaletteBlue[i] == blue[i]) continue;
    const int found = FindPaletteColour(red[i], green[i], blue[i]);
    remap[i] = static_cast<uint8_t>(found);
    if (quality < 1) quality = 1;
    if (g_PaletteRed[found] != red[i] || g_PaletteGreen[found] != green[i] || g_PaletteBlue[found] != blue[i])
      quality = 2;
  }

  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
  const int rowBytes = (bmp.width + 3) & ~3;
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
  if (std::fseek(file.file, static_cast<long>(bmp.pixelOffset), SEEK_SET) != 0) return nullptr;
  for (int stored = 0; stored < bmp.height; ++stored) {
    if (!ReadExactly(file.file, row.data(), row.size())) return nullptr;
    const int r = bmp.topDown ? stored : bmp.height - 1 - stored;
    const int firstRow = r * height / bmp.height;
    const int endRow = (r + 1) * height / bmp.height;
    for (int c = 0; c < bmp.width; ++c) {
      const uint8_t texel = remap[row[static_cast<size_t>(c)]];
      const int firstColumn = c * width / bmp.width;
      const int endColumn = (c + 1) * width / bmp.width;
      for (int y = firstRow; y < endRow; ++y)
        for (int x = firstColumn; x < endColumn; ++x) pixels[static_cast<size_t>(y) * width + x] = texel;
    }
  }
  std::fclose(file.file);
  file.file = nullptr;

  Texture* texture = CreateTexture(name, width, height);
  if (!texture) return nullptr;
  std::memcpy(texture->pixels, pixels.data(), pixels.size());
  texture->flags = quality;
  texture->temporary = 0;
  BuildTexturePreviews(texture);
  return texture;
}

void SetTexturePalette(int count, const int* red, const int* green, const int* blue) {
  const int n = count < 0 ? 0 : (count > 255 ? 255 : count);
  int oldRed[kPaletteSize], oldGreen[kPaletteSize], oldBlue[kPaletteSize];
  std::memcpy(oldRed, g_PaletteRed, sizeof oldRed);
  std::memcpy(oldGreen, g_PaletteGreen, sizeof oldGreen);
  std::memcpy(oldBlue, g_PaletteBlue, sizeof oldBlue);
  for (int i = 0; i < n; ++i) {
    g_PaletteRed[i] = red[i];
    g_PaletteGreen[i] = green[i];
    g_PaletteBlue[i] = blue[i];
  }
  g_PaletteRed[kTransparentIndex] = g_PaletteGreen[kTransparentIndex] = g_PaletteBlue[kTransparentIndex] = 255;
  g_PaletteCount = n;
  PaletteClearCaches();

  // Textures in memory keep their look: each index to the nearest new
  // colour of its old one (the transparent index stays).
  uint8_t remap[kPaletteSize];
  for (int i = 0; i < kPaletteSize; ++i)
    remap[i] = i == kTransparentIndex ? static_cast<uint8_t>(i)
                                      : static_cast<uint8_t>(FindPaletteColour(oldRed[i], oldGreen[i], oldBlue[i]));
  for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
    if (!t->pixels) continue;
    for (int i = 0; i < t->byteSize; ++i) t->pixels[i] = remap[t->pixels[i]];
  }

  const int black = FindPaletteColour(0, 0, 0);
  const int white = FindPaletteColour(255, 255, 255);
  for (int i = 0; i < n; ++i)
    g_ColourRemap[i] =
        static_cast<uint8_t>(g_PaletteBlue[i] + g_PaletteRed[i] + 2 * g_PaletteGreen[i] > 512 ? black : white);
  BuildShadeTable(g_ShadeLow, g_ShadeHigh);
}

void BuildShadeTable(float low, float high) {
  g_ShadeLow = low;
  g_ShadeHigh = high;
  std::memset(g_pShadeTable, FindPaletteColour(255, 0, 0), kShadeTableBytes);
  const int end = g_PaletteCount < kPaletteGameLast + 1 ? g_PaletteCount : kPaletteGameLast + 1;
  const int count = g_PaletteCount < kPaletteSize ? g_PaletteCount : kPaletteSize;
  for (int level = 0; level < kShadeRows; ++level) {
    const double f = low + level * (static_cast<double>(high) - low) / 31.0;
    uint8_t* row = g_pShadeTable + level * kPaletteSize;
    for (int c = 0; c < count; ++c) {
      const double r = g_PaletteRed[c] * f;
      const double g = g_PaletteGreen[c] * f;
      const double b = g_PaletteBlue[c] * f;
      int best = c;
      double bestDistance = -1.0;
      for (int k = kPaletteGameFirst; k < end; ++k) {
        const double dr = g_PaletteRed[k] - r;
        const double dg = g_PaletteGreen[k] - g;
        const double db = g_PaletteBlue[k] - b;
        const double distance = dr * dr + 1.2 * dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
          best = k;
          bestDistance = distance;
        }
      }
      row[c] = static_cast<uint8_t>(best);
    }
  }
}
