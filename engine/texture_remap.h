#pragma once
// An instance's texture substitution table: pairs {from, to} that the
// renderers apply to every face of the instance (the ships' skins). Each
// texture in the table holds one reference, so a placeholder texture stays
// alive while a table names it.
#include "engine/records.h"

// Replaces the instance's table with n pairs; each name is looked up among
// the textures without regard to case (null when absent or a null name).
// n <= 0 leaves the table empty. Null-safe.
void InstanceSetTextureRemap(Instance* instance, int n, const char** fromNames, const char** toNames);
// Frees the table and its references; the table is empty afterwards.
void InstanceClearTextureRemap(Instance* instance);
// The "to" texture of the first pair whose "from" is texture, null when that
// "to" was not found: the face is then drawn as any face without a texture
// (filled black in the BSP pass, left out by the z-buffered pass). Else
// texture itself. A pair whose "from" was not found never matches.
Texture* TextureRemap(const Instance* instance, Texture* texture);
// The first texture of the list with that name, without regard to case;
// null for none or a null name. No reference is taken.
Texture* TextureFindByName(const char* name);
