#include "world/objects/projectile_hits.h"

#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "world/objects/enemy_effect_hooks.h"
#include "world/script/event_manager.h"

void RaiseInstanceDamageEvent(Instance* instance) {
  const char* text = InstanceGetProperty(instance, "damage_event");
  if (!text) text = InstanceGetProperty(instance, "damageevent");
  if (text && g_pEventManager) g_pEventManager->RaiseEvent(text, "from_object");
}

void DamageInstanceFrom(Instance* instance, float damage, DPID owner, const Instance* shooter) {
  if (g_EnemyEffectHooks.damageByInstance && g_EnemyEffectHooks.damageByInstance(instance, damage, shooter)) return;
  if (!g_pNetDoc || instance != g_pNetDoc->GetPlayerShip()) return;
  if (CDirectPlayer* local = g_pNetDoc->GetLocalPlayer()) local->TakeDamageFrom(damage, g_pNetDoc->FindPlayer(owner));
}
