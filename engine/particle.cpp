#include "engine/particle.h"

#include "engine/pool.h"

Particle* ParticleCreate(World* world, float x, float y, float z, float size, int colour) {
  if (!world) return nullptr;
  Particle* particle = PoolNew<Particle>();
  particle->x = x;
  particle->y = y;
  particle->z = z;
  particle->size = size;
  particle->colour = colour;
  particle->alive = 1;
  particle->world = world;
  particle->prev = world->lastParticle;
  if (world->lastParticle) {
    world->lastParticle->next = particle;
  } else {
    world->firstParticle = particle;
  }
  world->lastParticle = particle;

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
    if (particle->prev) {
      particle->prev->next = particle->next;
    } else if (world->firstParticle == particle) {
      world->firstParticle = particle->next;
    }
    if (particle->next) {
      particle->next->prev = particle->prev;
    } else if (world->lastParticle == particle) {
      world->lastParticle = particle->prev;
    }
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
  link->next = nullptr;
  link->prev = node->lastParticleLink;
  if (node->lastParticleLink) {
    node->lastParticleLink->next = link;
  } else {
    node->firstParticleLink = link;
  }
  node->lastParticleLink = link;
}

void ParticleLinkDetach(ParticleLink* link) {
  if (!link || !link->node) return;
  BspNode* node = link->node;
  if (link->prev) {
    link->prev->next = link->next;
  } else if (node->firstParticleLink == link) {
    node->firstParticleLink = link->next;
  }
  if (link->next) {
    link->next->prev = link->prev;
  } else if (node->lastParticleLink == link) {
    node->lastParticleLink = link->prev;
  }
  link->prev = link->next = nullptr;
  link->node = nullptr;
}
