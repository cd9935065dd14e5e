#pragma once
// TEMPORARY: the one engine service the rasteriser uses whose header has not
// landed on main yet (surfaces). A declaration only, with the signature the
// engine gives it; the definition lives in the engine. Replace by an include
// of engine/surface.h as soon as that header is on main, then delete this
// file.
#include "engine/records.h"

// Computes the surface's screen-space gradients once per frame stamp.
void ComputeSurfaceGradients(Surface* surface, int width, int height, const float* groupMatrix);
