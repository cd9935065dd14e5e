// Sizes of a texture's pixel block, and the mip levels and previews built
// from its level 0.
#include <cstdint>

#include "engine/palette.h"
#include "engine/texture.h"

namespace {

// Averages a 2x2 block; transparent texels take the first opaque one's
// place (top-left, bottom-left, top-right, bottom-right), so a colour-keyed
// edge does not bleed the transparent index's colour into the smaller level.
std::uint8_t AverageBlock(std::uint8_t topLeft, std::uint8_t bottomLeft, std::uint8_t topRight,
                          std::uint8_t bottomRight) {
  std::uint8_t block[4] = {topLeft, bottomLeft, topRight, bottomRight};
  int firstOpaque = -1;
  for (int i = 0; i < 4; ++i) {
    if (block[i] != kTransparentIndex) {
      firstOpaque = i;
      break;
    }
  }
  if (firstOpaque < 0) return kTransparentIndex;
  int red = 0, green = 0, blue = 0;
  for (std::uint8_t& texel : block) {
    if (texel == kTransparentIndex) texel = block[firstOpaque];
    red += g_PaletteRed[texel];
    green += g_PaletteGreen[texel];
    blue += g_PaletteBlue[texel];
  }
  return static_cast<std::uint8_t>(FindPaletteColour((red + 2) / 4, (green + 2) / 4, (blue + 2) / 4));
}

void BuildNextLevel(const std::uint8_t* level, int width, int height, std::uint8_t* out) {
  const int outWidth = width / 2;
  for (int y = 0; y < height / 2; ++y) {
    const std::uint8_t* top = level + (2 * y) * width;
    const std::uint8_t* bottom = top + width;
    for (int x = 0; x < outWidth; ++x) {
      out[y * outWidth + x] = AverageBlock(top[2 * x], bottom[2 * x], top[2 * x + 1], bottom[2 * x + 1]);
    }
  }
}

// One s x s preview: box edges at multiples of width / s and height / s; a
// box with no opaque texel stays transparent.
void BuildPreview(const std::uint8_t* level0, int width, int height, int size, std::uint8_t* out) {
  for (int row = 0; row < size; ++row) {
    const int y0 = row * height / size, y1 = (row + 1) * height / size;
    for (int column = 0; column < size; ++column) {
      const int x0 = column * width / size, x1 = (column + 1) * width / size;
      int red = 0, green = 0, blue = 0, count = 0;
      for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
          const std::uint8_t texel = level0[y * width + x];
          if (texel == kTransparentIndex) continue;
          red += g_PaletteRed[texel];
          green += g_PaletteGreen[texel];
          blue += g_PaletteBlue[texel];
          ++count;
        }
      }
      out[row * size + column] =
          count == 0 ? kTransparentIndex
                     : static_cast<std::uint8_t>(FindPaletteColour(
                           (red + count / 2) / count, (green + count / 2) / count, (blue + count / 2) / count));
    }
  }
}

}  // namespace

int TextureLog2(int size) {
  int k = 0;
  while (k < 31 && (1 << k) < size) ++k;
  return k;
}

int TextureSizeSupported(int width, int height) {
  auto supported = [](int size) {
    return size >= kTextureMinSize && size <= kTextureMaxSize && (size & (size - 1)) == 0;
  };
  return supported(width) && supported(height) ? 1 : 0;
}

int TextureMipBytes(int width, int height) {
  int bytes = width * height;
  while (width / 2 >= kTextureMinMipSize && height / 2 >= kTextureMinMipSize) {
    width /= 2;
    height /= 2;
    bytes += width * height;
  }
  return bytes;
}

int TexturePixelBytes(int width, int height) { return TextureMipBytes(width, height) + kTexturePreviewBytes; }

void BuildTexturePreviews(Texture* texture) {
  if (!texture || !texture->pixels) return;
  std::uint8_t* level = texture->pixels;
  int width = texture->width, height = texture->height;
  while (width / 2 >= kTextureMinMipSize && height / 2 >= kTextureMinMipSize) {
    std::uint8_t* next = level + width * height;
    BuildNextLevel(level, width, height, next);
    level = next;
    width /= 2;
    height /= 2;
  }
  std::uint8_t* preview = texture->pixels + TexturePreviewOffset(texture);
  for (int size : kTexturePreviewSizes) {
    BuildPreview(texture->pixels, texture->width, texture->height, size, preview);
    preview += size * size;
  }
}
