// The document's HUD message log.
#include "game/net_doc.h"

// Will add the text to the seven-line message log, split at 42 characters.
void CNetDoc::AddMessage(const char* /*text*/, int /*colour*/, BOOL /*keep*/) {}
