// Level-group effects: the groups' properties (damage and hit points,
// buttons, hazard zones, arcs, lights) and the group callback.
#include "game/net_doc.h"
#include "world/document/level_group_effects.h"

// Will read the groups' properties into the document's lists.
void CNetDoc::ParseGroupProperties() {}

// Will press and release the level's buttons.
void CNetDoc::UpdateButtons() {}

// Will discharge the level's arcs.
void CNetDoc::UpdateArcs() {}

// Will pass a mover's end (1), a push (2), a trigger (3) or a touch (4) on to
// the group's door, movement, sensor or event.
void CNetDoc::OnGroupEvent(PolygonGroup* /*group*/, int /*code*/) {}

// Will let the object owning the instance react to the push.
void InstanceCollisionCallback(Instance* /*instance*/, int /*code*/) {}
