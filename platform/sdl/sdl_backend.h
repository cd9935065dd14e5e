#pragma once
// The SDL2 back end: a real window scaled to the desktop, keyboard, mouse.
#include <memory>

#include "platform/backend.h"

// Null when SDL2 cannot start (for example no usable display).
std::unique_ptr<PlatformBackend> SdlBackendCreate();
