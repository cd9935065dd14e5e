#include "world/script/sensor.h"

// Will take the radius and the two flags from the message.
void CSensor::RestoreState(const uint8_t* /*message*/) {}
