// The one-line account of the game's state that saving and loading write
// as debug output.
#include "engine/polygon_group.h"
#include "game/direct_player.h"
#include "game/net_doc.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/script/door.h"
#include "world/script/script_manager.h"

CString CNetDoc::DescribeGameState() const {
  CString line = "game state:";
  CString part;
  if (localPlayer_) {
    part.Format(" ship at %.1f %.1f %.1f, shields %.1f, health %.1f,", localPlayer_->GetX(), localPlayer_->GetY(),
                localPlayer_->GetZ(), localPlayer_->GetShields(), localPlayer_->GetHealth());
    line += part;
  }
  part.Format(" guns %u, missiles %u, ammunition", ownedGuns_, ownedMissiles_);
  line += part;
  for (int counter = 0; counter < kAmmoCounters; ++counter) {
    part.Format(" %d", ammo_[counter]);
    line += part;
  }
  line += ",";
  // A door's opening is its mover's position: 0 shut, 1 open.
  if (g_pScriptManager) {
    for (const auto& door : g_pScriptManager->Doors()) {
      float position = 0.0f, speed = 0.0f;
      if (!door || !door->GetGroup() || !GroupGetMoverState(door->GetGroup(), &position, &speed)) continue;
      part.Format(" door %s %.2f,", door->GetName(), position);
      line += part;
    }
  }
  part.Format(" objects %d, enemies %d", g_pObjectManager ? g_pObjectManager->GetCount() : 0,
              g_pEnemyManager ? g_pEnemyManager->GetEnemyCount() : 0);
  line += part;
  return line;
}
