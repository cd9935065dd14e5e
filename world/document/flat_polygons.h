#pragma once
// Flat polygons around a point: the discs and marks that effects and the
// camera's aim marker lay into the level.
#include "engine/records.h"

// An eight-sided disc of diameter size at (x, y, z) in the plane of the
// normal, with colour as its flat colour, added to the level; null when none
// was made.
WorldPolygon* CreateRoundMarkPolygon(float x, float y, float z, float nx, float ny, float nz, float size, int colour);
