#pragma once
// Particles: small coloured points of a world, drawn as depth-cued octagons.
// Each has a link in the BSP that the render passes move down the tree with
// them, so that particles are drawn in order with the world's polygons.
#include "engine/records.h"

// A particle appended to the world's list, its link at the end of the BSP
// root's particle list (unattached while the world has no BSP). Null for a
// null world.
Particle* ParticleCreate(World* world, float x, float y, float z, float size, int colour);
// Sets position, size and colour (null-safe).
void ParticleSet(Particle* particle, float x, float y, float z, float size, int colour);
// Unlinks the particle from its world and its link from its node; frees both.
// Null-safe.
void ParticleDelete(Particle* particle);

// Appends the link to the node's particle list, taking it off the list of
// the node that held it.
void ParticleLinkAttach(BspNode* node, ParticleLink* link);
// Takes the link out of its node's list (nothing when it is in none).
void ParticleLinkDetach(ParticleLink* link);
