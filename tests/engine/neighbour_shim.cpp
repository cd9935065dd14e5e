// TEMPORARY: stand-ins for the texture store, palette, matrix stack, view
// frame state and property lists, which other branches are writing. Only the
// behaviour the polygon and BSP tests rely on. Delete this file as soon as
// those modules are on main (the link then fails with duplicate symbols).
#include <cstring>

#include "engine/frame_stamp.h"
#include "engine/matrix.h"
#include "engine/palette.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/texture.h"
#include "engine/view.h"

FrameStamp g_FrameStamp = kStampNever;
RenderFlags g_RenderFlagsLastFrame = 0;
Matrix g_CurrentMatrix = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

int HardwareModeActive() { return g_RenderFlagsLastFrame & kRenderHardware; }

void MatrixLoad(const float m[16]) { std::memcpy(g_CurrentMatrix, m, sizeof(Matrix)); }
void MatrixIdentity() {
  static const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  MatrixLoad(kIdentity);
}
void MatrixTransformPoint(float x, float y, float z, float* ox, float* oy, float* oz) {
  const float* m = g_CurrentMatrix;
  *ox = x * m[0] + y * m[4] + z * m[8] + m[12];
  *oy = x * m[1] + y * m[5] + z * m[9] + m[13];
  *oz = x * m[2] + y * m[6] + z * m[10] + m[14];
}

int FindPaletteColour(int red, int green, int blue) { return 10 + (red + 2 * green + blue) % 236; }

Texture* TextureAddRef(Texture* texture) {
  if (texture) ++texture->refs;
  return texture;
}
void ReleaseTexture(Texture* texture) {
  if (texture) --texture->refs;
}

void PropFreeList(PropertyEntry** list) {
  while (PropertyEntry* entry = *list) {
    *list = entry->next;
    PoolFree(entry->value, static_cast<int>(std::strlen(entry->value)) + 1);
    PoolDelete(entry);
  }
}
