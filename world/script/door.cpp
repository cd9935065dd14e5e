#include "world/script/door.h"

// Will take the radii, kind, counter and state bits from the message.
void CDoor::RestoreState(const uint8_t* /*message*/) {}
