#include "engine/particle.h"

#include <gtest/gtest.h>

#include "engine/bsp.h"
#include "engine/world_polygon.h"
#include "tests/engine/world_fixture.h"

using ParticleTest = WorldTest;

TEST_F(ParticleTest, CreateLinksIntoTheWorldAndTheRoot) {
  Particle* a = ParticleCreate(world_, 1, 2, 3, 0.5f, 77);
  Particle* b = ParticleCreate(world_, 4, 5, 6, 1.0f, 78);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->x, 1.0f);
  EXPECT_EQ(a->z, 3.0f);
  EXPECT_EQ(a->size, 0.5f);
  EXPECT_EQ(a->colour, 77);
  EXPECT_EQ(a->alive, 1);
  EXPECT_EQ(a->world, world_);
  EXPECT_EQ(world_->firstParticle, a);
  EXPECT_EQ(world_->lastParticle, b);
  EXPECT_EQ(b->prev, a);
  ASSERT_NE(a->link, nullptr);
  EXPECT_EQ(a->link->particle, a);
  EXPECT_EQ(a->link->node, root_);
  EXPECT_EQ(root_->firstParticleLink, a->link);
  EXPECT_EQ(root_->lastParticleLink, b->link);
  EXPECT_EQ(b->link->prev, a->link);
  EXPECT_EQ(ParticleCreate(nullptr, 0, 0, 0, 1, 1), nullptr);
}

TEST_F(ParticleTest, SetMovesAndDeleteUnlinksBothRecords) {
  Particle* a = ParticleCreate(world_, 0, 0, 0, 1, 1);
  Particle* b = ParticleCreate(world_, 0, 0, 0, 1, 1);
  Particle* c = ParticleCreate(world_, 0, 0, 0, 1, 1);
  ParticleSet(b, 7, 8, 9, 2.5f, 99);
  EXPECT_EQ(b->y, 8.0f);
  EXPECT_EQ(b->size, 2.5f);
  EXPECT_EQ(b->colour, 99);
  ParticleSet(nullptr, 1, 1, 1, 1, 1);
  ParticleDelete(b);
  EXPECT_EQ(a->next, c);
  EXPECT_EQ(c->prev, a);
  EXPECT_EQ(a->link->next, c->link);
  EXPECT_EQ(c->link->prev, a->link);
  ParticleDelete(a);
  EXPECT_EQ(world_->firstParticle, c);
  EXPECT_EQ(root_->firstParticleLink, c->link);
  ParticleDelete(c);
  EXPECT_EQ(world_->firstParticle, nullptr);
  EXPECT_EQ(world_->lastParticle, nullptr);
  EXPECT_EQ(root_->firstParticleLink, nullptr);
  EXPECT_EQ(root_->lastParticleLink, nullptr);
  ParticleDelete(nullptr);
}

TEST_F(ParticleTest, LinksMoveBetweenNodes) {
  TestPolygon(world_, RectXY(0, 0, 1, 1, 10));
  BspNode* leaf = root_->front;
  Particle* p = ParticleCreate(world_, 0, 0, 20, 1, 1);
  Particle* q = ParticleCreate(world_, 0, 0, 20, 1, 1);
  ParticleLinkDetach(p->link);
  EXPECT_EQ(p->link->node, nullptr);
  EXPECT_EQ(root_->firstParticleLink, q->link);
  ParticleLinkDetach(p->link);  // in no list: nothing
  ParticleLinkAttach(leaf, p->link);
  EXPECT_EQ(p->link->node, leaf);
  EXPECT_EQ(leaf->firstParticleLink, p->link);
  ParticleLinkAttach(leaf, q->link);  // straight from the root's list
  EXPECT_EQ(root_->firstParticleLink, nullptr);
  EXPECT_EQ(leaf->lastParticleLink, q->link);
  EXPECT_EQ(q->link->prev, p->link);
}

// A particle link in a node that is pruned must not be left pointing at the
// freed node: it moves up to the surviving ancestor.
TEST_F(ParticleTest, PruningMovesParticleLinksUpToTheSurvivingNode) {
  WorldPolygon* a = TestPolygon(world_, RectXY(0, 0, 1, 1, 10));
  WorldPolygon* b = TestPolygon(world_, RectXY(0, 0, 1, 1, 20));
  BspNode* leafB = root_->front->front;
  ASSERT_NE(leafB, nullptr);
  Particle* p = ParticleCreate(world_, 0, 0, 25, 1, 1);
  Particle* q = ParticleCreate(world_, 0, 0, 15, 1, 1);
  ParticleLinkAttach(leafB, p->link);
  ParticleLinkAttach(root_->front, q->link);
  PolygonDelete(a);
  PolygonDelete(b);  // frees leaf B, then the emptied leaf A
  EXPECT_EQ(root_->front, nullptr);
  EXPECT_EQ(p->link->node, root_);
  EXPECT_EQ(q->link->node, root_);
  EXPECT_EQ(root_->firstParticleLink, q->link);
  EXPECT_EQ(root_->lastParticleLink, p->link);
  ParticleDelete(p);
  EXPECT_EQ(root_->firstParticleLink, q->link);
  EXPECT_EQ(q->link->next, nullptr);

  // Freeing the whole tree leaves the links detached, so that deleting the
  // particles afterwards (as the world's teardown does) touches no freed node.
  BspNodeFree(root_);
  world_->bspRoot = nullptr;
  EXPECT_EQ(q->link->node, nullptr);
  ParticleDelete(q);
  EXPECT_EQ(world_->firstParticle, nullptr);
}
