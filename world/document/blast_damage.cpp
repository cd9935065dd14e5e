// What explosions do to their surroundings: blast damage to the players, the
// enemies and the level objects, the screen flash of a nearby explosion, and
// where the camera is (sprites face it).
#include <cmath>

#include "engine/collision.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/network_game.h"
#include "world/document/level_group_effects.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/collision_settings.h"

void CNetDoc::ApplyBlastDamage(float x, float y, float z, float radius, float strength, DPID source,
                               bool noLevelDamage) {
  if (!(strength >= 0.01f)) return;
  CDirectPlayer* sourcePlayer = IsNetworkGame() ? FindPlayer(source) : nullptr;
  for (POSITION at = players_.GetStartPosition(); at;) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (player) player->ExplosionDamage(x, y, z, radius, strength, sourcePlayer);
  }
  if (g_pEnemyManager) g_pEnemyManager->AreaDamage(x, y, z, radius, strength);
  if (noLevelDamage || !world_) return;
  // The groups the sphere touches hear code 4, which dents them by this.
  g_BlastStrength = strength;
  CollisionSettingsScope settings;
  CollisionSourceScope by(kCollisionSourceOther);
  g_CollideVerticalScale = 1.0f;
  WorldSphereTouch(world_, x, y, z, radius);
}

void CNetDoc::FlashNearbyExplosion(float x, float y, float z) {
  if (!shipInstance_) return;
  const float dx = shipInstance_->x - x, dy = shipInstance_->y - y, dz = shipInstance_->z - z;
  const float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
  if (distance >= 1000.0f) return;
  explosionFlashTime_ = static_cast<uint32_t>(GetGameTime());
  explosionFlash_ = (1000.0f - distance) * 0.001f;
}

void CNetDoc::GetViewerPosition(float* x, float* y, float* z) const {
  if (viewer_) {
    *x = viewer_->position.x;
    *y = viewer_->position.y;
    *z = viewer_->position.z;
  } else if (localPlayer_) {
    *x = localPlayer_->GetX();
    *y = localPlayer_->GetY();
    *z = localPlayer_->GetZ();
  } else {
    *x = *y = *z = 0.0f;
  }
}
