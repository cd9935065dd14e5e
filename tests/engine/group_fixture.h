#pragma once
// Polygon groups built in memory for the group, mover and rebuild tests.
#include <vector>

#include "engine/records.h"
#include "tests/engine/world_fixture.h"

// A polygon through the points, put into the group (not yet in the BSP: the
// next rebuild places it).
WorldPolygon* TestGroupPolygon(PolygonGroup* group, const std::vector<Vec3>& points);
// World positions of the vertices of all fragments of the polygon.
std::vector<Vec3> FragmentPoints(const WorldPolygon* polygon);
// Number of fragments of the polygon.
int FragmentCount(const WorldPolygon* polygon);

// A world fixture whose groups are freed with it.
class GroupTest : public WorldTest {};
