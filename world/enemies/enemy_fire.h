#pragma once
// What an enemy's weapons report as they fire: every shot, bomb, sentry and
// drone goes through the game document's factories, and also to this
// observer when one is set (tests and diagnostics).
#include <cstdint>

#include "engine/records.h"

class CNewEnemy;

enum class EnemyShot {
  kHitscan,
  kRocket,
  kHoming,
  kRubberBall,
  kLightBullet,
  kHeavyBullet,
  kSlug,
  kHeavyFireBall,
  kLightFireBall,
  kArc,
  kBomb,
  kSentry,
  kDrone,
};

// start: where the shot leaves; velocity: what the factory was given (the
// arc: its direction; a sentry or drone: zero).
using EnemyShotObserver = void (*)(const CNewEnemy* enemy, EnemyShot shot, Vec3 start, Vec3 velocity);
extern EnemyShotObserver g_EnemyShotObserver;

// Raises a protective vortex shield round the enemy (timed: the short one
// an energy pulse's hit raises; else a dc's charge); true when one stands.
// The shield's end clears that mode's flag (CNewEnemy::ClearShieldFlag).
// By default the shields' own factories (world/objects/enemy_effect_hooks.h).
using EnemyShieldRaiser = bool (*)(CNewEnemy* enemy, float radius, int32_t durationMs, bool timed);
extern EnemyShieldRaiser g_EnemyShieldRaiser;
bool RaiseEnemyShield(CNewEnemy* enemy, float radius, int32_t durationMs, bool timed);
