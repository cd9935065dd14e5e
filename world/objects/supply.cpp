#include "world/objects/supply.h"

// Will hide the supply and start its respawn countdown.
void CSupply::Hide(bool /*announce*/) {}

// Will show the supply again.
void CSupply::Show(bool /*announce*/) {}

// Will give the item's name, instance and countdown state.
const char* CSupply::GetName() const { return ""; }
Instance* CSupply::GetInstance() const { return nullptr; }
bool CSupply::IsRespawnPending() const { return false; }

// Will take the supply's fields from the message.
CCommonSupply::CCommonSupply(DPID /*owner*/, const uint8_t* /*message*/) {}
