#pragma once
// Texture coordinates of points on a surface: the point is written as
// origin + a U + b V + c (U x V) and (a, b) scaled to the texture, one unit
// along U spanning 256 texels.
#include "engine/records.h"

// From the surface's world frame, in texture sizes (1.0 = one repetition),
// offsets included. (0, 0) for no surface, no texture, or axes whose cross
// product is too short (|U x V|^2 below 0.0001).
void TexCoordsAtPoint(Surface* surface, float x, float y, float z, float* u, float* v);
// From the surface's stored frame, as 16.16 texels with the offsets added;
// the two offsets alone for too-short axes, (0, 0) for no surface.
void SurfaceTexelAtPoint(Surface* surface, float x, float y, float z, int* u, int* v);
// u and v of every vertex of every fragment of the polygon, from the pool
// positions and TexCoordsAtPoint.
void SurfaceComputeTexCoords(WorldPolygon* polygon);
