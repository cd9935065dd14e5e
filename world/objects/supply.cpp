#include "world/objects/supply.h"

// Will hide the supply and start its respawn countdown.
void CSupply::Hide(bool /*announce*/) {}

// Will show the supply again.
void CSupply::Show(bool /*announce*/) {}

// Will take the supply's fields from the message.
CCommonSupply::CCommonSupply(DPID /*owner*/, const uint8_t* /*message*/) {}
