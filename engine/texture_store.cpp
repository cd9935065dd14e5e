// The texture list, textures made at run time, references, and pixels that
// come and go under the byte budget.
#include <cstdio>
#include <cstring>

#include "engine/frame_stamp.h"
#include "engine/intrusive_list.h"
#include "engine/name_hash.h"
#include "engine/palette.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/texture_internal.h"

Texture* g_TextureListHead;
Texture* g_TextureListTail;
std::int32_t g_TextureBytesLoaded;
std::int32_t g_TextureBudget = kTextureBudgetDefault;
std::int32_t g_TextureLoadCount;

namespace {

FILE* g_TexturePixelFile;

// Only pixels read from the archive are counted against the budget and may
// be dropped: a texture made at run time could never get its pixels back.
bool PixelsFromArchive(const Texture* texture) { return texture->archiveOffset >= 0; }

void Append(Texture* texture) {
  ListAppend(g_TextureListHead, g_TextureListTail, texture, &Texture::prev, &Texture::next);
}

void Unlink(Texture* texture) {
  ListUnlink(g_TextureListHead, g_TextureListTail, texture, &Texture::prev, &Texture::next);
}

// How long ago a texture was drawn, for choosing what to drop: a referenced
// texture counts as 300 stamps younger. Ages, not raw stamps, so the order
// survives the stamp wrapping.
long long DropAge(const Texture* texture) {
  long long age = StampAge(g_FrameStamp, texture->lastUsed);
  if (texture->refs > 0) age -= kTextureAgeBonus;
  return age;
}

// The archive texture with pixels that has waited longest, first in list
// order among equals; null when there is nothing else left to drop.
Texture* OldestDroppable(const Texture* keep) {
  Texture* oldest = nullptr;
  long long oldestAge = 0;
  for (Texture* t = g_TextureListHead; t; t = t->next) {
    if (t == keep || !t->pixels || !PixelsFromArchive(t)) continue;
    const long long age = DropAge(t);
    if (!oldest || age > oldestAge) {
      oldest = t;
      oldestAge = age;
    }
  }
  return oldest;
}

void FillFlat(Texture* texture) {
  std::memset(texture->pixels, FindPaletteColour(0, 0, 0), static_cast<size_t>(texture->byteSize));
}

bool ReadPixels(Texture* texture) {
  if (std::fseek(g_TexturePixelFile, texture->archiveOffset, SEEK_SET) != 0) return false;
  const size_t wanted = static_cast<size_t>(texture->byteSize);
  return std::fread(texture->pixels, 1, wanted, g_TexturePixelFile) == wanted;
}

}  // namespace

void TextureSetPixelFile(FILE* file) {
  if (g_TexturePixelFile) std::fclose(g_TexturePixelFile);
  g_TexturePixelFile = file;
}

void TextureArchiveClose() { TextureSetPixelFile(nullptr); }

void TextureFreeRecord(Texture* texture) {
  PropFreeList(&texture->props);
  if (texture->name) PoolFree(texture->name, static_cast<int>(std::strlen(texture->name)) + 1);
  PoolFree(texture->pixels, texture->byteSize);
  PoolDelete(texture);
}

std::uint8_t* TextureLoadPixels(Texture* texture) {
  if (!texture) return nullptr;
  if (texture->pixels || !g_TexturePixelFile) return texture->pixels;
  if (!PixelsFromArchive(texture)) {
    // Its member is missing from the archive: draw it flat, outside the budget.
    texture->pixels = static_cast<std::uint8_t*>(PoolAlloc(texture->byteSize));
    if (texture->pixels) FillFlat(texture);
    return texture->pixels;
  }
  g_TextureBytesLoaded += texture->byteSize;
  while (g_TextureBytesLoaded > g_TextureBudget) {
    Texture* oldest = OldestDroppable(texture);
    if (!oldest) break;  // nothing left to drop: this one goes over the budget
    TextureUnloadPixels(oldest);
  }
  texture->pixels = static_cast<std::uint8_t*>(PoolAlloc(texture->byteSize));
  if (!texture->pixels) {
    g_TextureBytesLoaded -= texture->byteSize;
    return nullptr;
  }
  if (ReadPixels(texture)) {
    ++g_TextureLoadCount;
  } else {
    FillFlat(texture);  // a short read: flat rather than garbage
  }
  return texture->pixels;
}

void TextureUnloadPixels(Texture* texture) {
  if (!texture || !texture->pixels) return;
  PoolFree(texture->pixels, texture->byteSize);
  texture->pixels = nullptr;
  if (g_TexturePixelFile && PixelsFromArchive(texture)) g_TextureBytesLoaded -= texture->byteSize;
}

int GetTexel(Texture* texture, int x, int y) {
  if (!texture || x < 0 || y < 0 || x >= texture->width || y >= texture->height) return -1;
  const std::uint8_t* pixels = TextureLoadPixels(texture);
  if (!pixels) return -1;
  return pixels[y * texture->width + x];
}

Texture* CreateTexture(const char* name, int width, int height) {
  if (!name || !TextureSizeSupported(width, height)) return nullptr;
  Texture* texture = PoolNew<Texture>();
  if (!texture) return nullptr;
  texture->refs = 1;
  texture->lastUsed = kStampNever;
  texture->log2Width = TextureLog2(width);
  texture->log2Height = TextureLog2(height);
  texture->width = width;
  texture->height = height;
  texture->byteSize = TexturePixelBytes(width, height);
  const int nameBytes = static_cast<int>(std::strlen(name)) + 1;
  texture->name = static_cast<char*>(PoolAlloc(nameBytes));
  texture->pixels = static_cast<std::uint8_t*>(PoolAlloc(texture->byteSize));
  if (!texture->name || !texture->pixels) {
    TextureFreeRecord(texture);
    return nullptr;
  }
  std::memcpy(texture->name, name, static_cast<size_t>(nameBytes));
  std::memset(texture->pixels, FindPaletteColour(0, 0, 0), static_cast<size_t>(width * height));
  texture->id = NameHash(name);
  texture->archiveOffset = -1;
  texture->temporary = 0;
  texture->hardwareSlot = kTextureNoHardwareSlot;
  Append(texture);
  BuildTexturePreviews(texture);
  return texture;
}

Texture* TextureFromId(int id) {
  if (id == 0) return nullptr;
  for (Texture* t = g_TextureListHead; t; t = t->next) {
    if (t->id == id) return TextureAddRef(t);
  }
  char name[32];
  std::snprintf(name, sizeof(name), "TextureID=%08X", static_cast<unsigned>(id));
  Texture* placeholder = CreateTexture(name, kTextureMinSize, kTextureMinSize);
  if (!placeholder) return nullptr;
  placeholder->id = id;
  placeholder->temporary = 1;
  return placeholder;
}

Texture* TextureAddRef(Texture* texture) {
  if (texture) ++texture->refs;
  return texture;
}

void ReleaseTexture(Texture* texture) {
  if (!texture) return;
  --texture->refs;
  if (texture->refs == 0 && texture->temporary) {
    Unlink(texture);
    TextureFreeRecord(texture);
  }
}

void FreeAllTextures() {
  Texture* texture = g_TextureListHead;
  g_TextureListHead = g_TextureListTail = nullptr;
  while (texture) {
    Texture* next = texture->next;
    TextureFreeRecord(texture);
    texture = next;
  }
  g_TextureBytesLoaded = 0;
}

Texture* TextureListHead() { return g_TextureListHead; }

Texture* TextureNext(Texture* texture) { return texture ? texture->next : nullptr; }
