#pragma once
// TEMPORARY stand-in for the engine service that the rasteriser uses and
// that is still on another branch (surface gradients). Only the behaviour the
// rasteriser's tests and benchmarks rely on; include from exactly one source
// file of a program. Delete as soon as engine/surface.h is on main (the link
// then fails with a duplicate symbol).
#include "engine/frame_stamp.h"
#include "render/pending_engine_api.h"

// Stamps the surface; the gradients stay as the test set them.
void ComputeSurfaceGradients(Surface* surface, int, int, const float*) {
  if (surface) surface->stamp = g_FrameStamp;
}
