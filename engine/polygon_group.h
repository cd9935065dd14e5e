#pragma once
// Polygon groups: named sets of world polygons that move together. This
// header starts with the membership operation that polygon creation and
// deletion need; the movers, hierarchy and rebuild join it.
#include "engine/records.h"

// When the group differs: the polygon leaves its old group's table (that
// table's last polygon takes its slot and index) and is appended to the new
// one's (grown by 10 when full); null leaves it ungrouped. With reinsert, its
// world plane is recomputed and it is inserted into the world's BSP again.
// 0 for a null polygon, else 1.
int PolygonSetGroup(WorldPolygon* polygon, PolygonGroup* group, int reinsert);
