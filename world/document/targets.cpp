// Targets and line of sight: the target list, the selected target and the
// positions the radar shows.
#include "game/net_doc.h"

// Will move the selected target to the next entry of the target list.
void CNetDoc::SelectNextTarget() {}

// Will refresh the visible targets in range while homing missiles or the
// satellite transmitter are selected.
void CNetDoc::UpdateTargetList() {}

// Will fill the list with {key, x, y, z} of every shown enemy and every live
// player but the excluded one.
void CNetDoc::CollectTargetPositions(CPtrList& /*list*/, CDirectPlayer* /*excluded*/, bool /*skipMarked*/) {}
