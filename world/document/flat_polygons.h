#pragma once
// Flat polygons around a point: the discs and marks that effects and the
// camera's aim marker lay into the level, in the plane across a direction
// (the viewer's, for camera-facing squares). Effect polygons; the caller
// owns and deletes them (usually the next frame).
#include "engine/records.h"

// An eight-sided disc of diameter size at (x, y, z) in the plane of the
// normal, with colour as its flat colour, added to the level; null when none
// was made (no world, or a figure the engine refuses, such as size 0).
WorldPolygon* CreateRoundMarkPolygon(float x, float y, float z, float nx, float ny, float nz, float size, int colour);
// A textured square of side size; the texture gains one reference for its
// surface. Null when none was made.
WorldPolygon* CreateSquareMarkPolygon(float x, float y, float z, float nx, float ny, float nz, float size,
                                      Texture* texture);
