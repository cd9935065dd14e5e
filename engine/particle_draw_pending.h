#pragma once
// TEMPORARY: the particle drawer belongs to the lighting and particle code
// that is still being written on another branch. Until it lands this
// declares it, and particle_draw_pending.cpp draws nothing, so that the
// render passes link. Delete both files when the real one arrives.
#include "engine/records.h"

void DrawParticle(Particle* particle, View* view);
