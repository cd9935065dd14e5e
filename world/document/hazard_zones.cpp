// Hazard zones and surface hits.
#include "game/net_doc.h"

// Will hurt the ship inside a zone and set the hazard flash.
void CNetDoc::ApplyHazardZones() {}
