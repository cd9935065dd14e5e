// The document's side of the player's ship: flow zones, the chase camera and
// the per-frame steps of the players, the camera and the objects.
#include "game/net_doc.h"

// Will read the level's flow zones and their "flow" properties.
void CNetDoc::LoadFlowLines() {}

// Will switch the chase camera on or off.
void CNetDoc::ToggleChaseCamera() {}

// Will move the chase camera onto the ship.
void CNetDoc::SyncCameraToShip() {}

// Will update the other ships, then the camera.
void CNetDoc::UpdatePlayers() {}

// Will update the objects, the script objects, the enemies and the fuses of
// destroyed level objects, each with at most 523 ms.
void CNetDoc::UpdateObjects(int /*dtMs*/) {}

// Will give a network game's start positions in turn.
void CNetDoc::NextStartPosition(float /*matrix*/[16]) {}
