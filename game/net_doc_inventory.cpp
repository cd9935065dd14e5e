// The ship's inventory kept between missions (and in saved games): the
// document's weapons, ammunition, upgrades and Freon, and the ship's shields.
#include <cstring>

#include "game/direct_player.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "game/saved_game.h"

void CNetDoc::SaveInventory() {
  ShipInventory& kept = g_ShipInventory;
  kept.ownedMissiles = ownedMissiles_;
  kept.ownedGuns = ownedGuns_;
  kept.selectedMissile = selectedMissile_;
  kept.selectedGun = selectedGun_;
  kept.autocannonUpgrade = autocannonUpgrade_;
  kept.cargoUnits = cargoUnits_;
  std::memcpy(kept.ammo, ammo_, sizeof kept.ammo);
  kept.laserUpgraded = laserUpgraded_;
  kept.pulseLaserUpgraded = pulseLaserUpgraded_;
  kept.homingToggle = homingToggle_;
  kept.freon = freon_;
  if (localPlayer_) {
    kept.shields = localPlayer_->GetShields();
  } else {
    kept.shields = IsNetworkGame() ? kShipMaxShieldsNetwork : kShipMaxShieldsSingle;
  }
}

void CNetDoc::RestoreInventory() {
  const ShipInventory& kept = g_ShipInventory;
  ownedMissiles_ = kept.ownedMissiles;
  ownedGuns_ = kept.ownedGuns;
  selectedMissile_ = kept.selectedMissile;
  selectedGun_ = kept.selectedGun;
  autocannonUpgrade_ = kept.autocannonUpgrade;
  cargoUnits_ = kept.cargoUnits;
  std::memcpy(ammo_, kept.ammo, sizeof ammo_);
  laserUpgraded_ = kept.laserUpgraded;
  pulseLaserUpgraded_ = kept.pulseLaserUpgraded;
  homingToggle_ = kept.homingToggle;
  freon_ = kept.freon;
  if (localPlayer_) localPlayer_->SetShields(kept.shields);
}
