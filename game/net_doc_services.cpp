// Small services of the document that the rest of the game uses: surface
// kinds and their colours, ship skins, the HUD's palette search.
#include <algorithm>

#include "engine/palette.h"
#include "engine/properties.h"
#include "engine/texture_remap.h"
#include "game/net_doc.h"
#include "platform/ascii.h"

namespace {

int SurfaceTypeOf(const char* text) {
  if (!text) return 0;
  if (AsciiCompareNoCase(text, "water") == 0) return 1;
  if (AsciiCompareNoCase(text, "lava") == 0) return 2;
  if (AsciiCompareNoCase(text, "sludge") == 0) return 3;
  return 0;
}

// 'A' picks skin 0; characters up to '@' give 0; beyond 'H' the last skin.
int SkinIndex(char letter) {
  const int code = static_cast<unsigned char>(letter);
  return code <= 64 ? 0 : std::min(code - 'A', 7);
}

}  // namespace

int ColourForType(int type) {
  switch (type) {
    case 1:
      return 0xFF9696;
    case 2:
      return 0x64C8FF;
    case 3:
      return 0x00FF00;
    default:
      return 0;
  }
}

int GetSurfaceType(PolygonGroup* group) { return group ? SurfaceTypeOf(GroupGetProperty(group, "surface")) : 0; }

int GetSurfaceType(WorldPolygon* polygon) {
  return polygon ? SurfaceTypeOf(PolygonGetProperty(polygon, "surface")) : 0;
}

void ApplyShipSkin(Instance* ship, const CString& code) {
  if (!ship || code.GetLength() < 2 || !g_pNetDoc) return;
  CString upper = code;
  upper.MakeUpper();
  const Texture* body = g_pNetDoc->GetBodySkin(SkinIndex(upper[0]));
  const Texture* wing = g_pNetDoc->GetWingSkin(SkinIndex(upper[1]));
  const char* from[] = {"BODY05.BMP", "WING05.BMP"};
  const char* to[] = {body ? body->name : "", wing ? wing->name : ""};
  InstanceSetTextureRemap(ship, 2, from, to);
}

int NearestPaletteIndex(int r, int g, int b) {
  const int end = std::min(g_PaletteCount, 246);
  int best = 10;
  int bestDistance = 0;
  for (int i = 10; i < end; ++i) {
    const int dr = r - g_PaletteRed[i], dg = g - g_PaletteGreen[i], db = b - g_PaletteBlue[i];
    const int distance = db * db + dg * dg * 5 / 4 + dr * dr;
    if (i == 10 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}
