#pragma once
// Writes "TEXTURES.CAN": the "TEXTURES" member (palette, colour remap, shade
// table and the texture list as an object graph) and one pixel member per
// texture, named after it, holding its mip levels and 341-byte preview tail.
//
// "TEXTURES" (i32 little-endian): count; count reds, greens, blues (i32);
// count remap bytes; 8192 shade bytes; reference to the first texture, then
// to the last. A texture's body: property list, i32 flags, log2Width,
// log2Height, width, height, NUL-terminated name, i32 NameHash(name), then
// references to prev and next.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/builder/archive_writer.h"
#include "tools/builder/object_graph_writer.h"
#include "tools/builder/palette_builder.h"

struct BuilderTexture {
  std::string name;  // also the pixel member's name; a leading '!' = colour-keyed
  int width = 0;
  int height = 0;
  std::vector<uint8_t> level0;  // width x height palette indices, 255 transparent
  int flags = 0;
  BuilderProperties properties;
  // Stored base-2 sizes; -1 writes the right ones (tests write wrong ones).
  int storedLog2Width = -1;
  int storedLog2Height = -1;
};

// The whole pixel block: level 0, the smaller levels while both sizes stay at
// least 32, and the previews 16x16 .. 1x1, made as the engine makes them.
std::vector<uint8_t> TexturePixelBlock(const BuilderPalette& palette, const BuilderTexture& texture);
// The "TEXTURES" member's bytes; textures in list order.
std::vector<uint8_t> TexturesMember(const BuilderPalette& palette, const std::vector<BuilderTexture>& textures);
// Adds "TEXTURES" and every texture's pixel member; false when a member
// cannot be added (a name too long, too many members).
bool AddTextureArchive(ArchiveWriter* archive, const BuilderPalette& palette,
                       const std::vector<BuilderTexture>& textures);
