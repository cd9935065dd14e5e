// Damage an enemy takes: direct hits and blast shares through its armour,
// the wobble a hit starts, and the boss parts that cannot die from damage.
#include <cmath>

#include "game/game_clock.h"
#include "world/enemies/new_enemy.h"

bool CNewEnemy::IsBossStage() const { return type_ >= kKindFboss && type_ <= kKindFboss4 && bossStage_ != 2; }

float CNewEnemy::TakeDamage(float damage, float penetration, int /*shieldable*/) {
  // The protective shields (a dc's charges, the timed shield of a pulse hit)
  // are raised with the shields' work; until then shieldActive_ only ever
  // comes from a saved game.
  if (penetration > armour_ && !shieldActive_) {
    hitPoints_ -= damage;
    if (!wobbling_) {
      wobbling_ = 1;
      wobbleStart_ = GetGameTime();
    }
  }
  hitThisFrame_ = damage > 0.0f ? 1 : 0;
  if (type_ >= kKindFboss && type_ <= kKindFboss4 && hitPoints_ < 0.0f) hitPoints_ = 1.0f;
  return hitPoints_;
}

float CNewEnemy::SplashFactor(float x, float y, float z, float radius, float damage) const {
  const float dx = x - pos_[0], dy = y - pos_[1], dz = z - pos_[2];
  const float q = 1.1f * (dx * dx + dy * dy + dz * dz);
  const float r = Radius();
  if (q > (radius + r) * (radius + r)) return 0.0f;
  if (q > r * r) return damage;
  // Within the enemy's own radius the share is 0 or negative (no damage); a
  // blast of no radius gives none at all.
  if (radius <= 0.0f) return 0.0f;
  return (q - r * r) * damage / (radius * radius);
}

float CNewEnemy::SplashDamage(float x, float z, float radius, float damage, float penetration) {
  const float dx = x - pos_[0], dz = z - pos_[2];
  const float d = std::sqrt(dx * dx + dz * dz);
  if (d < radius) return TakeDamage(damage, penetration, 1);
  if (d < radius + Radius() && d > 0.0f) return TakeDamage(damage * radius / d, penetration, 1);
  return hitPoints_;
}
