// Pick-up effects on the inventory: ammunition up to its capacity, new guns
// and their upgrades, the satellite transmitter, Freon and cargo units.
// Every change shows its line in the HUD's message log; the ammunition
// operations answer whether the item could be taken, so that a full
// inventory leaves the item where it lies.
#include <algorithm>
#include <cstdio>

#include "game/net_doc.h"

namespace {

// The gun bits the pick-ups give.
constexpr uint8_t kAutocannon = 1;
constexpr uint8_t kPlasmaCoil = 2;
constexpr uint8_t kLaser = 4;
constexpr uint8_t kPulseLaser = 8;
constexpr uint8_t kMolniaArc = 16;
constexpr uint8_t kCoreAccelerator = 32;
constexpr uint8_t kSatelliteTransmitter = 64;

constexpr float kFreonMax = 100.0f;
constexpr uint8_t kMaxCargoUnits = 2;

// One ammunition counter's rule: the counter, its capacity, the message's
// format and the gun the cycle may switch to (0: a missile, none).
struct AmmoRule {
  int counter;
  int capacity;
  const char* format;
  uint8_t gun;
};

bool AddAmmo(CNetDoc& doc, int32_t* counters, const AmmoRule& rule, int n) {
  int32_t& count = counters[rule.counter];
  if (count >= rule.capacity) return false;
  // Summed wide: an amount from a back pack may be anything the other
  // program sent.
  count = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(count) + n, rule.capacity));
  char text[80];
  std::snprintf(text, sizeof text, rule.format, n);
  doc.AddMessage(text, -1, FALSE);
  doc.InvalidateHudPanels();
  if (rule.gun) doc.CycleGun(rule.gun);
  return true;
}

}  // namespace

bool CNetDoc::AddCannonShells(int n) {
  return AddAmmo(*this, ammo_, {kAmmoShells, tuning_.shellCapacity, "cannon shells (%d)", kAutocannon}, n);
}

bool CNetDoc::AddPlasmaBolts(int n) {
  return AddAmmo(*this, ammo_, {kAmmoPlasmaBolts, tuning_.plasmaBoltCapacity, "plasma bolts pack (%d)", kPlasmaCoil},
                 n);
}

bool CNetDoc::AddCASlugs(int n) {
  return AddAmmo(*this, ammo_, {kAmmoSlugs, tuning_.slugCapacity, "c.a. slugs (%d)", kCoreAccelerator}, n);
}

bool CNetDoc::AddEnergyCells(int n) {
  return AddAmmo(*this, ammo_, {kAmmoEnergyCells, tuning_.energyCellCapacity, "energy cells (%d)", kMolniaArc}, n);
}

bool CNetDoc::AddTacticalNukes(int n) {
  return AddAmmo(*this, ammo_, {kAmmoNukes, cargoUnits_ * tuning_.nukeCapacity, "tactical nukes (%d)", 0}, n);
}

bool CNetDoc::AddRockets(int n) {
  return AddAmmo(*this, ammo_, {kAmmoRockets, (cargoUnits_ + 1) * tuning_.rocketCapacity, "rockets (%d)", 0}, n);
}

bool CNetDoc::AddHomingMissiles(int n) {
  return AddAmmo(*this, ammo_, {kAmmoHoming, (cargoUnits_ + 1) * tuning_.homingCapacity, "homing missiles (%d)", 0},
                 n);
}

bool CNetDoc::AddMicroMissiles(int n) {
  return AddAmmo(*this, ammo_,
                 {kAmmoMicroMissiles, (cargoUnits_ + 1) * tuning_.microMissileCapacity, "micro missiles (%d)", 0}, n);
}

bool CNetDoc::AddVortexShields(int n) {
  return AddAmmo(*this, ammo_,
                 {kAmmoVortexShields, cargoUnits_ * tuning_.vortexShieldCapacity, "vortex shields (%d)", 0}, n);
}

bool CNetDoc::AddSentryMissiles(int n) {
  return AddAmmo(*this, ammo_, {kAmmoSentries, cargoUnits_ * tuning_.sentryCapacity, "sentry missiles (%d)", 0}, n);
}

void CNetDoc::AddOwnedGun(uint8_t bits) {
  ownedGuns_ |= bits;
  selectedGun_ &= ownedGuns_;
  InvalidateHudPanels();
}

bool CNetDoc::PickUpAutocannon() {
  if (HasGun(kAutocannon)) {
    if (autocannonUpgrade_ < 2) {
      ++autocannonUpgrade_;
      AddMessage("autocannon upgraded", -1, FALSE);
    }
    return false;
  }
  AddOwnedGun(kAutocannon);
  autocannonUpgrade_ = 0;
  CycleGun(kAutocannon);
  return true;
}

void CNetDoc::PickUpLaser() {
  // An upgraded laser counts as not upgradable: it is given again.
  if (HasGun(kLaser) && !laserUpgraded_) {
    SetLaserUpgraded();
    AddMessage("laser upgraded", -1, FALSE);
    return;
  }
  AddOwnedGun(kLaser);
  AddMessage("laser taken", -1, FALSE);
  CycleGun(kLaser);
}

void CNetDoc::PickUpPulseLaser() {
  // Usable needs energy cells: a pulse laser without them is given again.
  if (HasGun(kPulseLaser) && !pulseLaserUpgraded_) {
    SetPulseLaserUpgraded();
    AddMessage("pulse laser upgraded", -1, FALSE);
    return;
  }
  AddOwnedGun(kPulseLaser);
  AddMessage("pulse laser taken", -1, FALSE);
  CycleGun(kPulseLaser);
}

void CNetDoc::PickUpCoreAccelerator() {
  AddOwnedGun(kCoreAccelerator);
  AddMessage("core accelerator taken", -1, FALSE);
  CycleGun(kCoreAccelerator);
}

void CNetDoc::PickUpMolniaArc() {
  AddOwnedGun(kMolniaArc);
  AddMessage("molnia arc taken", -1, FALSE);
  CycleGun(kMolniaArc);
}

void CNetDoc::PickUpPlasmaCoil() {
  AddOwnedGun(kPlasmaCoil);
  AddMessage("plasma coil taken", -1, FALSE);
  if (ammo_[kAmmoPlasmaBolts] != 0) CycleGun(kPlasmaCoil);
}

void CNetDoc::PickUpSatelliteTransmitter() {
  if (HasGun(kSatelliteTransmitter)) return;
  AddOwnedGun(kSatelliteTransmitter);
  AddMessage("satellite transmitter taken", -1, FALSE);
}

void CNetDoc::AddFreon(int n) {
  freon_ = std::min(freon_ + static_cast<float>(n), kFreonMax);
  char text[80];
  std::snprintf(text, sizeof text, "Freon pack (%d)", n);
  AddMessage(text, -1, FALSE);
}

void CNetDoc::PickUpCargoExtension() {
  if (cargoUnits_ >= kMaxCargoUnits) return;
  ++cargoUnits_;
  AddMessage("Cargo extension unit taken", -1, FALSE);
}
