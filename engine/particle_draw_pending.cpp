// TEMPORARY stand-in, see particle_draw_pending.h.
#include "engine/particle_draw_pending.h"

void DrawParticle(Particle*, View*) {}
