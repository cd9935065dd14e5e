// Flashing lights and texture animation of the level's groups.
#include "game/net_doc.h"

// Will read the flashing groups.
void CNetDoc::LoadFlashingGroups() {}

// Will read the groups' texture animations.
void CNetDoc::LoadGroupTextureAnimations() {}

// Will collect the texture sequences by name.
void CNetDoc::BuildTextureSequences() {}

// Will flash the groups' lights.
void CNetDoc::UpdateFlashingGroups() {}

// Will step the texture animations.
void CNetDoc::UpdateTextureAnimations() {}
