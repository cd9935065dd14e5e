// The document's side of the player's ship: flow zones, the chase camera and
// the per-frame steps of the players, the camera and the objects.
#include <algorithm>
#include <cstdint>

#include "game/net_doc.h"
#include "world/enemies/enemy_manager.h"
#include "world/objects/object_manager.h"
#include "world/script/script_manager.h"

namespace {

constexpr int kObjectStepLimitMs = 523;

}  // namespace

// Will read the level's flow zones and their "flow" properties.
void CNetDoc::LoadFlowLines() {}

// Will switch the chase camera on or off.
void CNetDoc::ToggleChaseCamera() {}

// Will move the chase camera onto the ship.
void CNetDoc::SyncCameraToShip() {}

// Will update the other ships, then the camera.
void CNetDoc::UpdatePlayers() {}

// The dynamic objects, the script objects and the enemies; the fuses of
// destroyed level objects come with their own work.
void CNetDoc::UpdateObjects(int dtMs) {
  // A long stall (a loading pause, a debugger) is not simulated in one step.
  const uint32_t elapsed = static_cast<uint32_t>(std::clamp(dtMs, 0, kObjectStepLimitMs));
  if (g_pObjectManager) g_pObjectManager->Update(elapsed);
  if (g_pScriptManager) g_pScriptManager->FrameUpdate();
  if (g_pEnemyManager) g_pEnemyManager->Update();
}

// Will give a network game's start positions in turn.
void CNetDoc::NextStartPosition(float /*matrix*/[16]) {}
