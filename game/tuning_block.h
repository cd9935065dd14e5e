#pragma once
// The weapons' tuning numbers: fire intervals, damage, ammunition
// capacities, heat per shot and projectile speeds, 45 values in their stored
// order. The document holds one block (CNetDoc::SetTuningDefaults writes the
// defaults), the weapons read it and saved games keep it; a reader or writer
// goes through VisitTuningBlock so that the stored order lives in one place.
#include <cstdint>

struct TuningBlock {
  // Fire intervals (ms).
  int32_t autocannonInterval;
  int32_t plasmaCoilInterval;
  int32_t laserInterval;
  int32_t pulseLaserInterval;
  int32_t molniaInterval;
  int32_t coreAcceleratorInterval;
  int32_t rocketInterval;
  int32_t microMissileInterval;
  int32_t nukeInterval;
  int32_t sentryInterval;
  int32_t vortexShieldInterval;  // also the lifetime of a player's vortex shield
  int32_t satelliteInterval;
  // Damage.
  float shotDamage;  // the autocannon's hitscan shots
  float rubberBallDamage;
  float laserDamage;
  float fireballDamage;
  float molniaDamage;
  float slugDamage;
  float rocketDamage;
  float homingDamage;
  float microMissileDamage;
  float nukeDamage;  // the big explosion
  // Ammunition capacities (the missiles' per cargo unit).
  int32_t shellCapacity;
  int32_t plasmaBoltCapacity;
  int32_t nukeCapacity;
  int32_t slugCapacity;
  int32_t rocketCapacity;
  int32_t homingCapacity;
  int32_t microMissileCapacity;
  int32_t sentryCapacity;
  int32_t vortexShieldCapacity;
  int32_t energyCellCapacity;
  // Gun heat added per shot, one per gun.
  float autocannonHeat;
  float plasmaCoilHeat;
  float laserHeat;
  float pulseLaserHeat;
  float molniaHeat;
  float coreAcceleratorHeat;
  // Speeds (and the fire wave's one value).
  int32_t rubberBallSpeed;
  int32_t fireWaveValue;
  int32_t fireballSpeed;
  int32_t rocketSpeed;
  int32_t homingSpeed;
  int32_t microMissileSpeed;
  int32_t slugSpeed;
};

inline constexpr int kTuningBlockValues = 45;

// The defaults; shots do double damage in a network game.
TuningBlock TuningBlockDefaults(bool networkGame);

// Calls visit(value) for every value of the block in stored order, with an
// int32_t& or a float&.
template <class Block, class Visitor>
void VisitTuningBlock(Block& block, Visitor&& visit) {
  for (auto* value : {&block.autocannonInterval, &block.plasmaCoilInterval, &block.laserInterval,
                      &block.pulseLaserInterval, &block.molniaInterval, &block.coreAcceleratorInterval,
                      &block.rocketInterval, &block.microMissileInterval, &block.nukeInterval, &block.sentryInterval,
                      &block.vortexShieldInterval, &block.satelliteInterval}) {
    visit(*value);
  }
  for (auto* value : {&block.shotDamage, &block.rubberBallDamage, &block.laserDamage, &block.fireballDamage,
                      &block.molniaDamage, &block.slugDamage, &block.rocketDamage, &block.homingDamage,
                      &block.microMissileDamage, &block.nukeDamage}) {
    visit(*value);
  }
  for (auto* value : {&block.shellCapacity, &block.plasmaBoltCapacity, &block.nukeCapacity, &block.slugCapacity,
                      &block.rocketCapacity, &block.homingCapacity, &block.microMissileCapacity,
                      &block.sentryCapacity, &block.vortexShieldCapacity, &block.energyCellCapacity}) {
    visit(*value);
  }
  for (auto* value : {&block.autocannonHeat, &block.plasmaCoilHeat, &block.laserHeat, &block.pulseLaserHeat,
                      &block.molniaHeat, &block.coreAcceleratorHeat}) {
    visit(*value);
  }
  for (auto* value : {&block.rubberBallSpeed, &block.fireWaveValue, &block.fireballSpeed, &block.rocketSpeed,
                      &block.homingSpeed, &block.microMissileSpeed, &block.slugSpeed}) {
    visit(*value);
  }
}
