#pragma once
// The world of one level: polygons, surfaces, lights, polygon groups,
// instances, particles, the BSP and the welded vertex pool. The level loader
// reads it from the mission archive's "*.CCW" member, the game document owns
// and frees it, and every simulation step advances its movers and the
// instances that follow paths.
#include "engine/records.h"

// The two ends of the flat-shading range of untextured polygons, as the world
// member stores them; the rasteriser's set-up reads them.
extern float g_FlatShadeLow;
extern float g_FlatShadeHigh;

// Reads the world from the member the archive reader is positioned at (the
// level loader finds it with ArchiveFindWildcard("*.CCW") and
// ArchiveFindMember) into *out, then gives every fragment vertex its texture
// coordinates from its polygon's surface. 1 on success. A short read, a
// reference of the wrong kind or out of place, or a vertex pool, list or
// hierarchy that does not hold together fails with 0, *out null and nothing
// of the member left allocated.
int WorldLoad(World** out);

// Frees the world and everything it owns (null-safe).
void WorldFree(World* world);

// One simulation step of milliseconds (nothing for 0 or less): the movers
// (engine/polygon_group.h, WorldUpdateMovers), then every instance of the
// world follows its path.
void WorldUpdate(World* world, int milliseconds);

// Frees every model, every texture and the library-wide property list (at
// program end).
void EngineFreeAll();
