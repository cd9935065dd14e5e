#pragma once
// The world's BSP tree. Polygons are inserted at run time (created, moved
// with their group) without rebalancing: a polygon descends the existing
// planes, is cut where a plane crosses it, and at most adds leaves with its
// own plane. Nodes that lose their last fragment and children are pruned.
#include "engine/records.h"

class ObjBody;  // a record reader (engine/object_graph.h)

// Statistics: BSP nodes in existence, and polygons inserted (BspInsertPolygon
// calls that got past their checks).
extern int g_BspNodeCount;
extern int g_StatBspInserts;

// Signed distance of p from the node's plane (in front when >= 0).
inline float BspNodeDistance(const BspNode* node, Vec3 p) {
  return node->normal.x * p.x + node->normal.y * p.y + node->normal.z * p.z - node->d;
}
// The node's plane in the frame whose matrix m maps local points into the
// world (rows 0..2 the local axes, row 3 the origin): the normal along each
// local axis, the distance from the plane at the frame's origin.
inline Plane BspNodePlaneInFrame(const BspNode* node, const float* m) {
  const Vec3 n = node->normal;
  return {m[0] * n.x + m[1] * n.y + m[2] * n.z, m[4] * n.x + m[5] * n.y + m[6] * n.z,
          m[8] * n.x + m[9] * n.y + m[10] * n.z, node->d - (n.x * m[12] + n.y * m[13] + n.z * m[14])};
}

// A node with that plane, no parent, children or contents, and an empty box
// (min above max, radius 0) that the first insertion through it sets.
BspNode* BspNodeCreate(float nx, float ny, float nz, float d);
// Frees the node and its whole subtree: fragments (no pruning), instance
// fragments (their instances marked for a rebuild); particle links move to
// the node's parent, or are detached when it has none. Clears the parent's
// pointer to it. Null-safe.
void BspNodeFree(BspNode* node);
// Inserts the polygon under root (see bsp.cpp). Nothing for a null root or
// polygon or a polygon of a hidden group.
void BspInsertPolygon(BspNode* root, WorldPolygon* polygon);

// Reads a node's stored body (object-graph reader): plane, centre, radius,
// box, fragment count, code, then the front, back and parent nodes. Its
// lists start empty and its fragment count at 0: the polygon block links the
// fragments in and counts them. 1 or 0.
ObjBody BspNodeRead(BspNode* node);
// The deepest BSP a world member may hold: the render passes walk the tree
// by recursion.
inline constexpr int kBspMaxLoadedDepth = 10000;
// 1 when the tree under root is a tree: root has no parent, every child's
// parent is the node holding it, no node is reached twice and no path from
// the root holds more than kBspMaxLoadedDepth nodes.
int BspTreeValid(const BspNode* root);
