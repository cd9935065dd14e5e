#include "world/objects/enemy_effect_hooks.h"

#include "game/net_doc.h"
#include "world/enemies/enemy_manager.h"
#include "world/enemies/new_enemy.h"
#include "world/objects/object_manager.h"

namespace {

bool DamageByInstance(Instance* instance, float damage, const Instance* shooter) {
  return g_pEnemyManager && g_pEnemyManager->DamageByInstance(instance, damage, shooter) != 0;
}

void AreaDamageScaled(float x, float z, float radius, float damagePerSecond, uint32_t ms) {
  if (g_pEnemyManager) g_pEnemyManager->AreaDamageScaled(x, z, radius, damagePerSecond, static_cast<int>(ms));
}

bool EnemyPosition(uint64_t enemyId, float* x, float* y, float* z) {
  const CNewEnemy* enemy = g_pEnemyManager ? g_pEnemyManager->FindByKey(enemyId) : nullptr;
  if (!enemy) return false;
  *x = enemy->GetX(), *y = enemy->GetY(), *z = enemy->GetZ();
  return true;
}

void ShieldEnded(uint64_t enemyId, bool staticShield) {
  if (CNewEnemy* enemy = g_pEnemyManager ? g_pEnemyManager->FindByKey(enemyId) : nullptr) {
    enemy->ClearShieldFlag(staticShield);
  }
}

}  // namespace

EnemyEffectHooks g_EnemyEffectHooks = {&DamageByInstance, &AreaDamageScaled, &EnemyPosition, &ShieldEnded};

bool RaiseEnemyShieldByFactories(CNewEnemy* enemy, float radius, int32_t durationMs, bool timed) {
  if (!enemy || !g_pNetDoc || !g_pObjectManager) return false;
  if (timed) {
    g_pNetDoc->SpawnTimedVortexShield(enemy->GetId(), radius);
  } else {
    g_pNetDoc->SpawnEnemyVortexShield(enemy->GetId(), radius, durationMs);
  }
  return true;
}
