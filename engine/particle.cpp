#include "engine/particle.h"

#include "engine/intrusive_list.h"
#include "engine/pool.h"

Particle* ParticleCreate(World* world, float x, float y, float z, float size, int colour) {
  if (!world) return nullptr;
  Particle* particle = PoolNew<Particle>();
  ParticleSet(particle, x, y, z, size, colour);
  particle->alive = 1;
  particle->world = world;
  ListAppend(world->firstParticle, world->lastParticle, particle, &Particle::prev, &Particle::next);

  ParticleLink* link = PoolNew<ParticleLink>();
  link->particle = particle;
  particle->link = link;
  if (world->bspRoot) ParticleLinkAttach(world->bspRoot, link);
  return particle;
}

void ParticleSet(Particle* particle, float x, float y, float z, float size, int colour) {
  if (!particle) return;
  particle->x = x;
  particle->y = y;
  particle->z = z;
  particle->size = size;
  particle->colour = colour;
}

void ParticleDelete(Particle* particle) {
  if (!particle) return;
  if (World* world = particle->world) {
    ListUnlink(world->firstParticle, world->lastParticle, particle, &Particle::prev, &Particle::next);
  }
  if (ParticleLink* link = particle->link) {
    ParticleLinkDetach(link);
    PoolDelete(link);
  }
  PoolDelete(particle);
}

void ParticleLinkAttach(BspNode* node, ParticleLink* link) {
  if (!node || !link) return;
  ParticleLinkDetach(link);
  link->node = node;
  ListAppend(node->firstParticleLink, node->lastParticleLink, link, &ParticleLink::prev, &ParticleLink::next);
}

void ParticleLinkDetach(ParticleLink* link) {
  if (!link || !link->node) return;
  BspNode* node = link->node;
  ListUnlink(node->firstParticleLink, node->lastParticleLink, link, &ParticleLink::prev, &ParticleLink::next);
  link->node = nullptr;
}
