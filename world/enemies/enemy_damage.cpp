// Damage an enemy takes: direct hits and blast shares through its armour,
// the wobble a hit starts, and the boss parts that cannot die from damage.
#include <cmath>

#include "game/game_clock.h"
#include "world/enemies/enemy_fire.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/enemy_effect_hooks.h"

namespace {
constexpr int32_t kDcShieldMs = 10000;
constexpr int32_t kTimedShieldMs = 2000;
}  // namespace

bool CNewEnemy::IsBossStage() const { return type_ >= kKindFboss && type_ <= kKindFboss4 && bossStage_ != 2; }

float CNewEnemy::TakeDamage(float damage, float penetration, int shieldable) {
  if (penetration > armour_ && !shieldActive_) {
    hitPoints_ -= damage;
    if (!wobbling_) {
      wobbling_ = 1;
      wobbleStart_ = GetGameTime();
    }
    // The flags are set only when a shield really stands round the enemy:
    // its end is what clears them again.
    const float r = Radius();
    if (type_ == kKindDc) {
      if (dcCharges_ > 0 && RaiseEnemyShield(this, 1.5f * r, kDcShieldMs, false)) {
        --dcCharges_;
        shieldActive_ = 1;
      }
    } else if (shieldable && !timedShieldUsed_ && RaiseEnemyShield(this, 1.5f * r, kTimedShieldMs, true)) {
      timedShieldUsed_ = 1;
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
  // A column straight through the enemy's centre hurts fully, whatever its
  // radius (no share by a distance of 0).
  if (d < radius || d <= 0.0f) return TakeDamage(damage, penetration, 1);
  if (d < radius + Radius()) return TakeDamage(damage * radius / d, penetration, 1);
  return hitPoints_;
}

EnemyShieldRaiser g_EnemyShieldRaiser = &RaiseEnemyShieldByFactories;

bool RaiseEnemyShield(CNewEnemy* enemy, float radius, int32_t durationMs, bool timed) {
  return g_EnemyShieldRaiser && g_EnemyShieldRaiser(enemy, radius, durationMs, timed);
}
