#pragma once
// The SDL2 set: a real window scaled to the desktop with its keyboard and
// mouse; the devices that have no implementation yet are their null
// stand-ins.
#include "platform/backend.h"

// Fills *out with the set; false (and *out untouched) when SDL2 can't start,
// for example with no usable display.
bool SdlBackendCreate(PlatformBackend* out);
