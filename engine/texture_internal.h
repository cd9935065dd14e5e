#pragma once
// Between the texture store's own files: the list's lifetime and the pixel
// file, which the archive reader replaces when a level's textures are read.
#include <cstdio>

#include "engine/records.h"

// Unlinks nothing: frees the texture's property list, name, pixels and
// record (pixels are not returned to the budget).
void TextureFreeRecord(Texture* texture);
// Closes the current pixel file, if any, and keeps file (may be null) instead.
void TextureSetPixelFile(FILE* file);
