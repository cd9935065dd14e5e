#pragma once
// The SDL2 set: a real window scaled to the desktop with its keyboard and
// mouse; the devices that have no implementation yet are their null
// stand-ins.
#include "platform/backend.h"

// Fills *out with the set; false (and *out untouched) when SDL2 can't start,
// for example with no usable display.
bool SdlBackendCreate(PlatformBackend* out);

// The SDL2 display drawing into memory instead of a window: a target of
// width x height that frames are scaled into exactly as into the window
// (SDL2's software renderer), for measuring and testing that path without a
// display. Null when SDL2 can't make it.
std::unique_ptr<PlatformDisplay> SdlMemoryDisplayCreate(int width, int height);
