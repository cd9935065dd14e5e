#pragma once
// What the plasma balls, rubber balls, shields and the energy pulse ask of
// the enemies. By default each goes to the enemy manager (g_pEnemyManager;
// nothing without one); tests put their own in. While a hook is empty the
// effects act as if no enemy were there (no enemy is hurt by an instance
// hit or a pulse, and a shield round an enemy ends at once). Game thread
// only.
#include <cstdint>

struct Instance;

struct EnemyEffectHooks {
  // True when the instance is an enemy's and the enemy has taken the damage;
  // shooter is the instance that fired (null when unknown).
  bool (*damageByInstance)(Instance* instance, float damage, const Instance* shooter) = nullptr;
  // damagePerSecond x ms / 1000 to every enemy within radius of (x, z),
  // whatever its height.
  void (*areaDamageScaled)(float x, float z, float radius, float damagePerSecond, uint32_t ms) = nullptr;
  // The position of the enemy with that 64-bit id; false when it is gone.
  bool (*enemyPosition)(uint64_t enemyId, float* x, float* y, float* z) = nullptr;
  // A shield round the enemy with that id has ended: static (the timed
  // shield) or not (the vortex shield); the enemy clears that mode's flag.
  void (*shieldEnded)(uint64_t enemyId, bool staticShield) = nullptr;
};

extern EnemyEffectHooks g_EnemyEffectHooks;

class CNewEnemy;
// The enemies' shield raiser (g_EnemyShieldRaiser): a shield round the
// enemy by its id through the document's factories, the timed (static) one
// for 2000 ms, else a vortex shield for durationMs; true when one was made.
bool RaiseEnemyShieldByFactories(CNewEnemy* enemy, float radius, int32_t durationMs, bool timed);
