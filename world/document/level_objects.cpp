// Animated objects, level pick-ups, respawn points and spinning clocks.
#include "game/net_doc.h"

// Will make the animation records, the level's pick-ups and the respawn
// points.
void CNetDoc::SetUpLevelObjects() {}

// Will make the instance's animation record from its properties.
void CNetDoc::AddAnimatedObject(Instance* /*instance*/) {}

// The animation half will advance the animated objects; the healing half
// is the level-group effects'.
void CNetDoc::UpdateAnimatedObjects() { HealFromObjects(); }

// Will find the hour, minute and second hands of the level's clocks.
void CNetDoc::FindSpinningClocks() {}

// Will turn the clock hands to the local time.
void CNetDoc::UpdateSpinningClocks() {}
