// Animated objects, level pick-ups, respawn points and spinning clocks.
#include "game/net_doc.h"

// Will make the animation records, the level's pick-ups and the respawn
// points.
void CNetDoc::SetUpLevelObjects() {}

// Will advance the animated objects.
void CNetDoc::UpdateAnimatedObjects() {}

// Will find the hour, minute and second hands of the level's clocks.
void CNetDoc::FindSpinningClocks() {}

// Will turn the clock hands to the local time.
void CNetDoc::UpdateSpinningClocks() {}
