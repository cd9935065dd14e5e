#pragma once
// World polygons: flat convex polygons of 2 to 8 vertices (2 = a line that
// carries geometry for doors, movements and paths) with a plane, a surface,
// colours and flags. The world simulation creates and deletes them all the
// time (effects, sprites, shields); the world member brings the level's own.
#include "engine/records.h"

// A polygon of abs(n) vertices from the coordinate and per-vertex arrays
// (light and colours may be null for all 0). n > 0 inserts it into the
// world's BSP; n = 0 or n < 0 keeps it out (drawn by other means, or an axis
// line). Clears the engine error, and on failure sets it and returns null:
// 1 "Invalid vertex number" (abs(n) not 0 and not 2..8), 2 "Normal too small"
// (no corner gives a usable normal), 3 "Concave polygon" (a corner turns the
// other way, or three vertices in a row are collinear). The polygon takes
// over the caller's surface reference in every outcome: a failed creation
// releases it. Null, with no error set, for a null world or vertex arrays.
WorldPolygon* PolygonCreateEx(World* world, int n, const float* x, const float* y, const float* z, const float* light,
                              const float* colour1, const float* colour2, const float* colour3, Surface* surface);
// PolygonCreateEx with colour1..3 all 0.
WorldPolygon* PolygonCreate(World* world, int n, const float* x, const float* y, const float* z, const float* light,
                            Surface* surface);
// Takes the polygon out of its group, frees its property list and its
// fragments (pruning BSP nodes left empty), unlinks it from the world's lists,
// releases its surface and frees it. 0 for null, else 1.
int PolygonDelete(WorldPolygon* polygon);

// Appends the polygon to the world's polygon list and, with 2 vertices, to
// its line list; sets its world.
void PolygonAppendToWorld(WorldPolygon* polygon, World* world);

// The world's polygon list (null-safe).
WorldPolygon* WorldFirstPolygon(World* world);
WorldPolygon* PolygonNext(WorldPolygon* polygon);

// World plane from the plane: copied for an ungrouped polygon; for a grouped
// one the normal rotated by the group's world matrix and the distance through
// the first vertex mapped by the whole matrix.
void PolygonUpdateWorldPlane(WorldPolygon* polygon);

// Reads the world member's polygon block: i32 count, then per polygon its
// vertex count (0..8), property list, vertices, plane, counted surface,
// colours, flags, group, and its fragments (i32 count; per fragment a vertex
// count of 2..16, the vertices, the node, back, a render mark). The world
// plane is the stored plane; the polygon joins its group's table, the world's
// list and (2 vertices) the line list; fragments join their polygon and node
// and are counted in the world (whose count starts again at 0). A fragment
// naming a vertex that is not a live pool entry fails the read, so the pool
// must be read first. 1 or 0.
int PolygonsRead(World* world);
