// Messages, telefrag and the screen flashes.
#include "game/net_doc.h"

// Will give the current explosion flash strength.
float CNetDoc::GetExplosionFlash() { return 0.0f; }

// Will lower the hit flash by 13.333 per second.
void CNetDoc::DecayHitFlash() {}

// Will add to the hit flash, capped at 40.
void CNetDoc::AddHitFlash(float /*amount*/) {}

// Will kill the local ship when a respawn lands on it.
void CNetDoc::CheckTelefrag(float /*x*/, float /*y*/, float /*z*/) {}
