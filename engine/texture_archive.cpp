// OpenTextureArchive: the "TEXTURES" member of the texture archive, read in
// this order (i32 little-endian):
//   i32 count c (palette entries, 0..256)
//   c x i32 red, c x i32 green, c x i32 blue (each 0..255)
//   c bytes colour remap
//   8192 bytes shade table (32 rows of 256)
//   object reference: the list's first texture, then its last
// A texture's body: property list, i32 flags, log2Width, log2Height, width,
// height, string name, i32 id (replaced by NameHash(name)), then references
// to prev and next. Its pixels are the archive member of the same name.
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/data_archive.h"
#include "engine/engine_error.h"
#include "engine/name_hash.h"
#include "engine/object_graph.h"
#include "engine/palette.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/texture_internal.h"
#include "platform/paths.h"

namespace {

// A pixel member per texture: more textures than an archive can hold members
// is a broken file.
constexpr int kMaxTextures = kArchiveMaxMembers;

// Every texture of the graph being read, so that a failed read frees them.
std::vector<Texture*> g_TexturesRead;

ObjBody ReadTexture(Texture* texture) {
  // The block comes cleared from the object table.
  g_TexturesRead.push_back(texture);
  texture->lastUsed = kStampNever;
  texture->archiveOffset = -1;
  texture->hardwareSlot = kTextureNoHardwareSlot;
  if (static_cast<int>(g_TexturesRead.size()) > kMaxTextures) {
    co_return EngineRefuse("more than %d textures", kMaxTextures);
  }
  if (!PropReadList(&texture->props)) co_return 0;
  int fields[5];  // flags, log2Width, log2Height, width, height
  if (!ArchiveReadInts(fields, 5)) co_return 0;
  const int width = fields[3], height = fields[4];
  // Only sizes the span routines can draw, with base-2 sizes that agree.
  if (!TextureSizeSupported(width, height) || fields[1] != TextureLog2(width) || fields[2] != TextureLog2(height)) {
    co_return EngineRefuse("texture of %dx%d (sizes 2^%d x 2^%d) cannot be drawn", width, height, fields[1],
                           fields[2]);
  }
  texture->flags = fields[0];
  texture->log2Width = fields[1];
  texture->log2Height = fields[2];
  texture->width = width;
  texture->height = height;
  texture->byteSize = TexturePixelBytes(width, height);
  int storedId;
  if (!ArchiveReadString(&texture->name) || !ArchiveReadInt(&storedId)) co_return 0;
  texture->id = NameHash(texture->name);
  int ok = co_await ObjRef<Texture, ReadTexture>(&texture->prev);
  if (ok) ok = co_await ObjRef<Texture, ReadTexture>(&texture->next);
  co_return ok;
}

// The list must be one chain from head to tail through every texture read,
// with prev links that agree; anything else would be walked into a loop or
// leave textures nobody frees.
bool ListIsWhole(Texture* head, Texture* tail) {
  size_t count = 0;
  Texture* previous = nullptr;
  for (Texture* t = head; t; t = t->next) {
    if (t->prev != previous || ++count > g_TexturesRead.size()) return false;
    previous = t;
  }
  return previous == tail && count == g_TexturesRead.size();
}

void FreeTexturesRead() {
  for (Texture* texture : g_TexturesRead) TextureFreeRecord(texture);
  g_TexturesRead.clear();
}

struct PaletteTables {
  int count;
  int red[kPaletteSize], green[kPaletteSize], blue[kPaletteSize];
  std::uint8_t remap[kPaletteSize];
  std::uint8_t shade[kShadeTableBytes];
};

bool ReadChannel(int* values, int count) {
  if (!ArchiveReadInts(values, count)) return false;
  for (int i = 0; i < count; ++i) {
    if (values[i] < 0 || values[i] > 255) return EngineRefuse("palette entry %d has the value %d", i, values[i]);
  }
  return true;
}

bool ReadPaletteTables(PaletteTables* tables) {
  if (!ArchiveReadInt(&tables->count)) return false;
  if (tables->count < 0 || tables->count > kPaletteSize) return EngineRefuse("palette of %d colours", tables->count);
  return ReadChannel(tables->red, tables->count) && ReadChannel(tables->green, tables->count) &&
         ReadChannel(tables->blue, tables->count) && ArchiveReadBytes(tables->remap, tables->count) &&
         ArchiveReadBytes(tables->shade, kShadeTableBytes);
}

void CommitPaletteTables(const PaletteTables& tables) {
  g_PaletteCount = tables.count;
  for (int i = 0; i < tables.count; ++i) {
    g_PaletteRed[i] = tables.red[i];
    g_PaletteGreen[i] = tables.green[i];
    g_PaletteBlue[i] = tables.blue[i];
    g_ColourRemap[i] = tables.remap[i];
  }
  std::memcpy(g_pShadeTable, tables.shade, kShadeTableBytes);
  PaletteClearCaches();
}

bool ReadTextureList(Texture** head, Texture** tail) {
  g_TexturesRead.clear();
  ObjTableReset();
  const bool read = ObjReadRecord<Texture, ReadTexture>(head) && ObjReadRecord<Texture, ReadTexture>(tail);
  ObjTableFree();
  if (read && ListIsWhole(*head, *tail)) {
    g_TexturesRead.clear();
    return true;
  }
  EngineRefuse("the texture list does not hold the %zu textures read", g_TexturesRead.size());
  FreeTexturesRead();
  *head = *tail = nullptr;
  return false;
}

bool HasWildcard(const char* name) { return std::strpbrk(name, "*?") != nullptr; }

// Where each texture's pixels are. A member too small for the texture's
// block counts as missing (the texture is then drawn flat).
void FindPixelMembers() {
  for (Texture* t = g_TextureListHead; t; t = t->next) {
    t->archiveOffset = ArchiveMemberOffset(t->name);
    if (t->archiveOffset < 0 || HasWildcard(t->name)) continue;
    const int size = ArchiveMemberSize(t->name);
    if (size >= 0 && size < t->byteSize) t->archiveOffset = -1;
  }
}

// Reads the member at the reader's position into the store; false leaves
// the store empty.
bool ReadTexturesMember(const char* path) {
  // Entry 255 is white unless the member says otherwise.
  g_PaletteRed[kTransparentIndex] = g_PaletteGreen[kTransparentIndex] = g_PaletteBlue[kTransparentIndex] = 255;
  PaletteClearCaches();
  static PaletteTables tables;
  Texture* head = nullptr;
  Texture* tail = nullptr;
  if (!ReadPaletteTables(&tables) || !ReadTextureList(&head, &tail)) return false;
  CommitPaletteTables(tables);
  g_TextureListHead = head;
  g_TextureListTail = tail;
  FindPixelMembers();
  FILE* pixels = PathOpenFile(path, "rb");
  if (!pixels) {
    FreeAllTextures();
    return false;
  }
  TextureSetPixelFile(pixels);
  return true;
}

}  // namespace

int OpenTextureArchive(int budget, const char* path) {
  if (!path || !ArchivePushState()) return 0;
  if (!ArchiveOpen(path)) {
    ArchivePopState();
    return 0;
  }
  if (!ArchiveFindMember("TEXTURES")) {
    EngineRefuse("no TEXTURES member in %s", path);
    ArchiveClose();
    ArchivePopState();
    return 0;
  }
  // From here on the previous level's textures and pixel file are gone,
  // whatever the member holds.
  TextureArchiveClose();
  FreeAllTextures();
  g_TextureBytesLoaded = 0;
  g_TextureLoadCount = 0;
  g_TextureBudget = budget;
  const bool read = ReadTexturesMember(path);
  ArchiveClose();
  ArchivePopState();
  return read ? 1 : 0;
}
