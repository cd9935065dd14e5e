// Damage and destruction of level objects.
#include "game/net_doc.h"

// Will break the object up and raise its destroy event.
BOOL CNetDoc::DestroyLevelObject(PolygonGroup* /*group*/) { return FALSE; }

// Will take the damage off the group's hit points and break it up.
void CNetDoc::DentObject(PolygonGroup* /*group*/, float /*damage*/) {}
