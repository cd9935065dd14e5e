#include "tools/builder/texture_writer.h"

#include <functional>

#include "engine/name_hash.h"
#include "engine/object_graph.h"
#include "engine/texture.h"

namespace {

uint8_t MeanColour(const BuilderPalette& palette, const uint8_t* texels, int count) {
  int red = 0, green = 0, blue = 0;
  for (int i = 0; i < count; ++i) {
    red += palette.red[texels[i]];
    green += palette.green[texels[i]];
    blue += palette.blue[texels[i]];
  }
  return static_cast<uint8_t>(
      NearestGameColour(palette, (red + count / 2) / count, (green + count / 2) / count, (blue + count / 2) / count));
}

// 2x2 block in the order top-left, bottom-left, top-right, bottom-right;
// holes take the first opaque texel, four holes stay a hole.
uint8_t MipTexel(const BuilderPalette& palette, uint8_t block[4]) {
  const uint8_t* firstOpaque = nullptr;
  for (int i = 0; i < 4 && !firstOpaque; ++i) {
    if (block[i] != kTransparentIndex) firstOpaque = &block[i];
  }
  if (!firstOpaque) return kTransparentIndex;
  const uint8_t fill = *firstOpaque;
  for (int i = 0; i < 4; ++i) {
    if (block[i] == kTransparentIndex) block[i] = fill;
  }
  return MeanColour(palette, block, 4);
}

}  // namespace

std::vector<uint8_t> TexturePixelBlock(const BuilderPalette& palette, const BuilderTexture& texture) {
  std::vector<uint8_t> block = texture.level0;
  block.resize(static_cast<size_t>(texture.width) * texture.height, kTransparentIndex);
  size_t levelStart = 0;
  int width = texture.width, height = texture.height;
  while (width / 2 >= kTextureMinMipSize && height / 2 >= kTextureMinMipSize) {
    std::vector<uint8_t> next(static_cast<size_t>(width / 2) * (height / 2));
    for (int y = 0; y < height / 2; ++y) {
      for (int x = 0; x < width / 2; ++x) {
        const uint8_t* top = &block[levelStart + (2 * y) * width];
        const uint8_t* bottom = top + width;
        uint8_t texels[4] = {top[2 * x], bottom[2 * x], top[2 * x + 1], bottom[2 * x + 1]};
        next[y * (width / 2) + x] = MipTexel(palette, texels);
      }
    }
    levelStart = block.size();
    block.insert(block.end(), next.begin(), next.end());
    width /= 2;
    height /= 2;
  }
  for (int size : kTexturePreviewSizes) {
    for (int row = 0; row < size; ++row) {
      const int y0 = row * texture.height / size, y1 = (row + 1) * texture.height / size;
      for (int column = 0; column < size; ++column) {
        const int x0 = column * texture.width / size, x1 = (column + 1) * texture.width / size;
        std::vector<uint8_t> opaque;
        for (int y = y0; y < y1; ++y) {
          for (int x = x0; x < x1; ++x) {
            const uint8_t texel = block[y * texture.width + x];
            if (texel != kTransparentIndex) opaque.push_back(texel);
          }
        }
        block.push_back(opaque.empty() ? kTransparentIndex
                                       : MeanColour(palette, opaque.data(), static_cast<int>(opaque.size())));
      }
    }
  }
  return block;
}

std::vector<uint8_t> TexturesMember(const BuilderPalette& palette, const std::vector<BuilderTexture>& textures) {
  ByteWriter out;
  const int count = palette.count;
  out.I32(count);
  for (int i = 0; i < count; ++i) out.I32(palette.red[i]);
  for (int i = 0; i < count; ++i) out.I32(palette.green[i]);
  for (int i = 0; i < count; ++i) out.I32(palette.blue[i]);
  for (int i = 0; i < count; ++i) out.U8(palette.remap[i]);
  std::vector<uint8_t> shade = palette.shade;
  shade.resize(32 * 256, 0);
  out.Bytes(shade);

  ObjectGraphWriter graph(out);
  // Each texture's body ends with prev (already written, so a number) and
  // next (new, so written in full right there): the list nests one deep per
  // texture, as the reader expects.
  std::function<void(size_t)> refTo = [&](size_t index) {
    if (index >= textures.size()) {
      graph.Null();
      return;
    }
    const BuilderTexture& t = textures[index];
    graph.Ref(kObjKindTexture, &t, [&, index](ObjectGraphWriter& g) {
      WritePropertyList(g.Out(), t.properties);
      g.Out().I32(t.flags);
      g.Out().I32(t.storedLog2Width >= 0 ? t.storedLog2Width : TextureLog2(t.width));
      g.Out().I32(t.storedLog2Height >= 0 ? t.storedLog2Height : TextureLog2(t.height));
      g.Out().I32(t.width);
      g.Out().I32(t.height);
      g.Out().CString(t.name);
      g.Out().I32(NameHash(t.name.c_str()));
      if (index == 0) {
        g.Null();
      } else {
        g.Ref(kObjKindTexture, &textures[index - 1], nullptr);
      }
      refTo(index + 1);
    });
  };
  refTo(0);
  if (textures.empty()) {
    graph.Null();
  } else {
    graph.Ref(kObjKindTexture, &textures.back(), nullptr);
  }
  return out.Take();
}

bool AddTextureArchive(ArchiveWriter* archive, const BuilderPalette& palette,
                       const std::vector<BuilderTexture>& textures) {
  if (!archive->AddMember("TEXTURES", TexturesMember(palette, textures))) return false;
  for (const BuilderTexture& texture : textures) {
    if (!archive->AddMember(texture.name, TexturePixelBlock(palette, texture))) return false;
  }
  return true;
}
