#pragma once
// The texture store: every texture of "TEXTURES.CAN" is known from the start
// of a level, but its pixels are read from the archive only when something
// first draws or samples it, and the least recently used pixels are dropped
// again to keep the pixels in memory within a byte budget.
//
// A texture's pixel block: the mip levels (width x height, then halved in
// both directions while both sizes stay at least 32), then a 341-byte tail of
// square previews 16x16, 8x8, 4x4, 2x2 and 1x1. Texel 255 is transparent.
//
// Pixels are counted against the budget only for textures whose pixels live
// in the archive (archiveOffset >= 0); textures made at run time keep theirs
// outside the budget and are never dropped.
#include <cstdint>

#include "engine/records.h"

// The list, both ends: creation appends at the tail.
extern Texture* g_TextureListHead;
extern Texture* g_TextureListTail;
extern std::int32_t g_TextureBytesLoaded;  // pixels of archive textures in memory
extern std::int32_t g_TextureBudget;
extern std::int32_t g_TextureLoadCount;  // pixel loads since the archive was opened

// Sizes the span routines can draw: each side a power of two, 32..256.
inline constexpr int kTextureMinSize = 32;
inline constexpr int kTextureMaxSize = 256;
inline constexpr int kTextureMinLog2 = 5;
inline constexpr int kTextureMaxLog2 = 8;
inline constexpr int kTexturePreviewSizes[] = {16, 8, 4, 2, 1};

// Smallest k with 2^k >= size (0 for sizes of 1 or less).
int TextureLog2(int size);
// 1 when width and height are both powers of two within 32..256.
int TextureSizeSupported(int width, int height);
// Bytes of the mip levels alone, and of the whole block (levels + 341).
int TextureMipBytes(int width, int height);
int TexturePixelBytes(int width, int height);
// Offset of the preview tail in a texture's pixel block.
inline int TexturePreviewOffset(const Texture* texture) { return texture->byteSize - kTexturePreviewBytes; }

// Opens the texture archive at path for a level: reads the palette, colour
// remap, shade table and texture list of its "TEXTURES" member (replacing the
// previous level's textures) and keeps the file open for pixel loads. 1 on
// success. When path cannot be opened, or has no "TEXTURES" member, nothing
// of the previous level is touched; a bad member leaves the store empty.
int OpenTextureArchive(int budget, const char* path);
// Closes the pixel file (the textures stay; pixels can no longer be loaded).
void TextureArchiveClose();
// The texture's pixels, loaded on demand under the budget; null when they are
// not in memory and no pixel file is open. A read that comes up short gives
// flat near-black pixels instead.
std::uint8_t* TextureLoadPixels(Texture* texture);
// Frees the pixels (null-safe); archive textures return their size to the budget.
void TextureUnloadPixels(Texture* texture);
// Texel of level 0, loading pixels first; -1 for a null texture, a position
// outside it, or pixels that cannot be had.
int GetTexel(Texture* texture, int x, int y);

// A texture made at run time: refs 1, level 0 filled with the nearest black,
// appended to the list, previews built. Null for a size the span routines
// cannot draw or a null name.
Texture* CreateTexture(const char* name, int width, int height);
// The texture with that id, with one more reference; null for id 0. A missing
// id gets a 32x32 near-black placeholder "TextureID=%08X" (temporary), shared
// by later requests for the same id.
Texture* TextureFromId(int id);
Texture* TextureAddRef(Texture* texture);
// One reference less; a temporary texture is freed when none is left.
void ReleaseTexture(Texture* texture);
// Frees every texture whatever its count; the list is empty afterwards.
void FreeAllTextures();
Texture* TextureListHead();
Texture* TextureNext(Texture* texture);

// Rebuilds the mip levels below level 0 and the preview tail from level 0
// (nothing without pixels).
void BuildTexturePreviews(Texture* texture);
