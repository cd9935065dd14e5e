// The texture store: the input is a whole "TEXTURES.CAN". Its "TEXTURES"
// member (palette, remap, shade table, texture list) is read, then every
// texture's pixels are loaded under a small budget, so that some are dropped
// again, and sampled at their corners.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/texture.h"
#include "fuzz/support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteFile("TEXTURES.CAN", data, size);
  if (OpenTextureArchive(1 << 18, path.c_str())) {
    int count = 0;
    for (Texture* texture = TextureListHead(); texture && count < 256; texture = TextureNext(texture), ++count) {
      const std::uint8_t* pixels = TextureLoadPixels(texture);
      if (!pixels) continue;
      if (texture->width > 0 && texture->height > 0 && GetTexel(texture, texture->width - 1, texture->height - 1) < 0) {
        FuzzFault("a corner of a loaded texture can't be sampled");
      }
      GetTexel(texture, texture->width, 0);  // outside: -1
    }
    FuzzNote(std::to_string(count) + " textures");
    // The texture a missing id gets, made beside the archive's.
    ReleaseTexture(TextureFromId(0x1234567));
  }
  FuzzEngineReset();
  return 0;
}
