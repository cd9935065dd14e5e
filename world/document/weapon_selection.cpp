// Weapon selection and loadout: which guns and launchers can be used, the
// selection by key and by cycling, gun heat, and the starting loadout (the
// inventory kept between levels is game/net_doc_inventory.cpp).
#include <iterator>

#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "media/sound_manager.h"

namespace {

constexpr int kSoundChangeWeapon = 27;  // "changwpn2"
constexpr int kSoundOutOfAmmo = 40;     // "outoammo"
constexpr int kGunCycleLockoutMs = 600;
constexpr int kMissileCycleLockoutMs = 900;
constexpr int kGunKeyLockoutMs = 400;
constexpr int kMissileKeyLockoutMs = 600;

// The gun keys' order. The laser has no key; it stands last so that its
// pick-up and its running dry move the selection as the other guns' do
// (a requested laser is taken only when nothing later is selected; a dry
// laser passes the selection on to the first usable gun).
constexpr uint8_t kGunCycle[] = {1, 16, 32, 8, 2, 4};
constexpr uint8_t kMissileCycle[] = {1, 32, 4, 8, 64};

void PlayFixed(int id) {
  if (g_pSoundManager) g_pSoundManager->PlaySoundVolume(id, 0, 0);
}

// Among the first `places` entries of cycle (the gun keys leave the laser
// out), the entry after the one holding current, wrapping to the first;
// the first when none holds it.
uint8_t NextInCycle(const uint8_t* cycle, size_t places, uint8_t current) {
  for (size_t i = 0; i < places; ++i) {
    if (current & cycle[i]) return cycle[i + 1 < places ? i + 1 : 0];
  }
  return cycle[0];
}

}  // namespace

// The cycle takes a gun that can fire: the laser counts as usable without
// energy cells (HasGun), but a laser that has run dry must pass the
// selection on like every other gun.
bool CNetDoc::CanCycleTo(uint8_t gun) { return HasGun(gun) && (gun != 4 || ammo_[kAmmoEnergyCells] > 0); }

bool CNetDoc::HasGun(int bits) {
  if (bits == 0 || (ownedGuns_ & bits) != bits) return false;
  if ((bits & 1) && ammo_[kAmmoShells] <= 0) return false;
  if ((bits & 2) && ammo_[kAmmoPlasmaBolts] <= 0) return false;
  if ((bits & (8 | 16)) && ammo_[kAmmoEnergyCells] <= 0) return false;
  if ((bits & 32) && ammo_[kAmmoSlugs] <= 0) return false;
  return true;
}

bool CNetDoc::HasMissile(int bits) {
  if (bits == 0 || (ownedMissiles_ & bits) != bits) return false;
  if ((bits & (1 | 2)) && ammo_[kAmmoRockets] <= 0 && ammo_[kAmmoHoming] <= 0) return false;
  if ((bits & 4) && ammo_[kAmmoMicroMissiles] <= 0) return false;
  if ((bits & 8) && ammo_[kAmmoNukes] <= 0) return false;
  if ((bits & 32) && !HasGun(64) && ammo_[kAmmoVortexShields] <= 0) return false;
  if ((bits & 64) && ammo_[kAmmoSentries] <= 0) return false;
  return true;
}

void CNetDoc::SetSelectedMissile(uint8_t bits) {
  if (bits == 2) bits = 1;
  selectedMissile_ = static_cast<uint8_t>((selectedMissile_ | bits) & ownedMissiles_);
  homingToggle_ = 1;
  InvalidateHudPanels();
}

void CNetDoc::ClearSelectedMissile(uint8_t mask) {
  selectedMissile_ = static_cast<uint8_t>(selectedMissile_ & ownedMissiles_ & ~mask);
  InvalidateHudPanels();
}

void CNetDoc::SetSelectedGun(uint8_t bits) {
  selectedGun_ = static_cast<uint8_t>((selectedGun_ | bits) & ownedGuns_);
  InvalidateHudPanels();
}

void CNetDoc::ClearSelectedGun(uint8_t mask) {
  selectedGun_ = static_cast<uint8_t>(selectedGun_ & ownedGuns_ & ~mask);
  InvalidateHudPanels();
}

void CNetDoc::CycleGun(int gun) {
  constexpr size_t places = std::size(kGunCycle);
  uint8_t start = 0, reference = 0;
  if (gun == 0) {
    // After the plasma coil (and after the laser or nothing) comes the
    // autocannon: the laser is reached by cycling only when nothing
    // before it can be used.
    start = (selectedGun_ & (2 | 4)) ? kGunCycle[0] : NextInCycle(kGunCycle, places - 1, selectedGun_);
    reference = start;
  } else {
    start = static_cast<uint8_t>(gun);
    reference = selectedGun_ ? selectedGun_ : start;
  }
  ClearSelectedGun(0xFF);
  bool seenStart = false, seenReference = false;
  for (size_t i = 0; i < 2 * places; ++i) {
    const uint8_t place = kGunCycle[i % places];
    seenStart = seenStart || (place & start);
    seenReference = seenReference || (place & reference);
    if (!seenStart || !seenReference || !CanCycleTo(place)) continue;
    SetSelectedGun(place);
    PlayFixed(kSoundChangeWeapon);
    gunLockout_ = kGunCycleLockoutMs;
    return;
  }
}

void CNetDoc::CycleMissile(int /*unused*/) {
  constexpr size_t places = std::size(kMissileCycle);
  const uint8_t start = NextInCycle(kMissileCycle, places, static_cast<uint8_t>(selectedMissile_ & ~2));
  size_t first = 0;
  while (kMissileCycle[first] != start) ++first;
  ClearSelectedMissile(0xFF);
  for (size_t i = 0; i < 2 * places; ++i) {
    const uint8_t place = kMissileCycle[(first + i) % places];
    const bool usable = place == 1 ? HasMissile(1) || HasMissile(2) : HasMissile(place);
    if (!usable) continue;
    SetSelectedMissile(place);
    PlayFixed(kSoundChangeWeapon);
    missileLockout_ = kMissileCycleLockoutMs;
    return;
  }
}

void CNetDoc::SelectGun(int gunBit) {
  gunLockout_ = kGunKeyLockoutMs;
  if (!HasGun(gunBit)) {
    PlayFixed(kSoundOutOfAmmo);
    return;
  }
  PlayFixed(kSoundChangeWeapon);
  ClearSelectedGun(0xFF);
  SetSelectedGun(static_cast<uint8_t>(gunBit));
}

void CNetDoc::SelectMissile(int missileBit) {
  missileLockout_ = kMissileKeyLockoutMs;
  if (missileBit != 1 && !HasMissile(missileBit)) {
    PlayFixed(kSoundOutOfAmmo);
    return;
  }
  PlayFixed(kSoundChangeWeapon);
  ClearSelectedMissile(0xFF);
  SetSelectedMissile(static_cast<uint8_t>(missileBit));
}

void CNetDoc::HeatGun(float amount) {
  if (localPlayer_ && localPlayer_->IsGodMode()) return;
  freon_ -= amount * 20.0f;
  if (freon_ < 0.0f) {
    gunHeat_ += -freon_ * 0.05f;
    freon_ = 0.0f;
  }
  // Overheated: the guns refuse until it has cooled to 0.95.
  if (gunHeat_ > 0.95f) gunHeat_ = 1.1f;
}

void CNetDoc::ResetNetworkLoadout() {
  ownedMissiles_ = 1 | 2 | 4 | 8 | 32 | 64;
  ownedGuns_ = 1;
  selectedMissile_ = 1;
  selectedGun_ = 1;
  autocannonUpgrade_ = 0;
  laserUpgraded_ = 0;
  pulseLaserUpgraded_ = 0;
  cargoUnits_ = IsNetworkGame() ? 1 : 0;
  for (int32_t& count : ammo_) count = 0;
  ammo_[kAmmoShells] = 4 * tuning_.shellCapacity / 5;
  freon_ = 0.0f;
  homingToggle_ = 1;
}

void CNetDoc::ResetPlayerState() {
  if (IsNetworkGame()) {
    ResetNetworkLoadout();
  } else {
    RestoreInventory();
  }
  gunHeat_ = 0.1f;
  SetSelectedTarget(0);
  invulnerable_ = 0;
  staticShield_ = 0;
  hazardFlash_ = 0;
  shieldHit_ = 0;
  shakeLevel_ = 0;
  hitFlash_ = 0.0f;
  hitFlashDecayTime_ = static_cast<uint32_t>(GetGameTime());
  fireHeld_ = 0;
  for (uint32_t& time : lastFireTimes_) time = 0;
  targetMap_.Clear();
  SetSelectedTarget(0);
}
