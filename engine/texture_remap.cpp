#include "engine/texture_remap.h"

#include "engine/object_graph.h"
#include "engine/texture.h"
#include "platform/ascii.h"

Texture* TextureFindByName(const char* name) {
  if (!name) return nullptr;
  for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
    if (t->name && AsciiCompareNoCase(t->name, name) == 0) return t;
  }
  return nullptr;
}

void InstanceClearTextureRemap(Instance* instance) {
  if (!instance) return;
  for (int i = 0; i < instance->remapCount && instance->remap; ++i) {
    ReleaseTexture(instance->remap[i].from);
    ReleaseTexture(instance->remap[i].to);
  }
  ObjFreeArray(instance->remap, instance->remapCount);
  instance->remap = nullptr;
  instance->remapCount = 0;
}

void InstanceSetTextureRemap(Instance* instance, int n, const char** fromNames, const char** toNames) {
  if (!instance) return;
  InstanceClearTextureRemap(instance);
  if (n <= 0 || !fromNames || !toNames) return;
  TextureRemapPair* pairs = ObjAllocArray<TextureRemapPair>(n);
  if (!pairs) return;
  for (int i = 0; i < n; ++i) {
    pairs[i].from = TextureAddRef(TextureFindByName(fromNames[i]));
    pairs[i].to = TextureAddRef(TextureFindByName(toNames[i]));
  }
  instance->remap = pairs;
  instance->remapCount = n;
}

Texture* TextureRemap(const Instance* instance, Texture* texture) {
  if (!instance || !texture) return texture;
  for (int i = 0; i < instance->remapCount; ++i) {
    const TextureRemapPair& pair = instance->remap[i];
    if (pair.from == texture) return pair.to;
  }
  return texture;
}
