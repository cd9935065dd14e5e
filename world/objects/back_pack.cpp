#include "world/objects/back_pack.h"

// Will take the back pack's goods and position from the message.
CBackPack::CBackPack(DPID /*owner*/, const uint8_t* /*message*/) {}
