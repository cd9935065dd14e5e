// The document's settings and key bindings from the profile.
#include "game/net_doc.h"

// Will read the key bindings, mouse and joystick settings of the sections
// "Settings" and "Keys".
void CNetDoc::LoadSettings() {}
