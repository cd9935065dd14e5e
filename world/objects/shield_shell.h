#pragma once
// The shell of textured polygons round a ship (the vortex and static
// shields) or an uncloaking enemy (the sphere): two caps of twelve triangles
// round the poles and two bands of twelve quadrilaterals down to the
// equator, turned by an angle about the vertical. The near and far halves
// are wound in opposite senses of their own, so that both face the viewer.
// Effect polygons (flags 0x74); the caller owns and deletes them.
#include "engine/records.h"

inline constexpr int kShellPolygons = 48;
// The height of the poles over the equator as a share of the radius: the
// shields are a little flattened, the sphere nearly round.
inline constexpr float kShieldShellHeight = 0.9f;
inline constexpr float kSphereShellHeight = 0.99f;

// Fills out with the 48 polygons in order (caps -y, +y, then bands -y, +y),
// null where the engine made none; every one carries texture with a
// reference of its own. Returns how many were made (0 without a world or
// texture).
int BuildShieldShell(World* world, const float centre[3], float radius, float angle, float heightFactor,
                     Texture* texture, const float viewer[3], WorldPolygon* out[kShellPolygons]);
// Deletes the polygons that exist and empties every slot.
void DeleteShieldShell(WorldPolygon* shell[kShellPolygons]);
