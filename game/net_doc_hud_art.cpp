// The pictures and fonts the HUD draws with, loaded once per document.
#include <cstdio>

#include "game/net_doc.h"

namespace {

constexpr const char* kInterfaceArchive = "INTERFC.CAN";

}  // namespace

const char* const kHudShipShieldPictureNames[kHudShipShieldPictures] = {
    "HERO2d.BMP", "HERO3d.BMP", "HERO4d.BMP", "HERO2c.BMP", "HERO3c.BMP",
    "HERO4c.BMP", "HERO2b.BMP", "HERO3b.BMP", "HERO4b.BMP"};
const char* const kHudShipPictureNames[kHudShipPictures] = {"HERO2.BMP", "HERO3.BMP", "HERO4.BMP"};

void CNetDoc::LoadHudArt() {
  for (int weapon = 0; weapon < 10; ++weapon) {
    for (int state = 0; state < 3; ++state) {
      char name[16];
      std::snprintf(name, sizeof name, "W%d%c.BMP", weapon, 'A' + state);
      GetWeaponPicture(weapon, state).Load(name, kInterfaceArchive, true);
    }
  }
  missileReadyPicture_.Load("MSL_AVLB.BMP", kInterfaceArchive, true);
  missileReloadPicture_.Load("MSL_RELD.BMP", kInterfaceArchive, true);

  fontSmall_.SetGlyphWidth(6);
  fontSmall_.Load("FONT_SM.BMP", kInterfaceArchive);
  fontLarge_.SetGlyphWidth(10);
  fontLarge_.Load("FONT_LG.BMP", kInterfaceArchive);
  fontLargeLit_.SetGlyphWidth(10);
  fontLargeLit_.Load("FONT_LG1.BMP", kInterfaceArchive);

  for (int i = 0; i < kHudShipShieldPictures; ++i) {
    shipShieldPictures_[i].Load(kHudShipShieldPictureNames[i], kInterfaceArchive, true);
  }
  for (int i = 0; i < kHudShipPictures; ++i) {
    shipPictures_[i].Load(kHudShipPictureNames[i], kInterfaceArchive, true);
  }
}
