#pragma once
// Surfaces: a texture mapped onto a plane (origin and the world length of one
// repetition along u and v), shared by the world polygons that refer to it
// and counted by them. Each frame a surface that is drawn gets its screen
// gradients, which the rasteriser's span set-up evaluates per pixel.
#include "engine/records.h"

class ObjBody;  // a record reader (engine/object_graph.h)

// A surface with refs 1 and stamp kStampNever, its world frame equal to its
// own, no properties, appended to the world's surface list. It takes over the
// caller's texture reference. Null (and the texture reference left with the
// caller) for a null world or texture.
Surface* SurfaceCreate(World* world, float ox, float oy, float oz, float ux, float uy, float uz, float vx, float vy,
                       float vz, int uOffset, int vOffset, Texture* texture);
// One reference less; at 0 the property list is freed, the texture released,
// the surface unlinked from its world and freed. Null-safe.
void SurfaceRelease(Surface* surface);

// Once per frame stamp. In a hardware frame: the world frame (worldOrigin,
// worldU, worldV) from the group matrix, or copied without one. Otherwise the
// nine perspective gradients for a width x height target, through the group
// matrix (when given) and the current matrix (the camera): S, T and Q, each
// as x step, y step and centre value. A surface seen edge-on (its plane
// through the eye) gets a constant mapping (S = T = 0, Q = (0, 0, 1)) so that
// nothing infinite or NaN reaches the rasteriser.
void ComputeSurfaceGradients(Surface* surface, int width, int height, const float* groupMatrix);

// Reads a surface's stored body (object-graph reader): property list,
// origin, u and v axes, offsets, texture id (its texture from TextureFromId),
// then the prev and next surfaces and the world (read before it). refs is 0:
// each polygon's counted reference adds one. 1 or 0.
ObjBody SurfaceRead(Surface* surface);
