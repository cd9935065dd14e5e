#pragma once
// BSP fragments: the pieces of world polygons that node planes cut them into.
// A fragment lies in its node's plane and refers to welded pool vertices,
// one reference each, with its own light, colours and texture coordinates.
#include "engine/records.h"

// Distances closer than this to a node plane count as on it when inserting.
inline constexpr float kBspClassifyEpsilon = 0.5f;
// How far outside a fragment's edges another may reach and still be inside it.
inline constexpr float kFragmentContainSlack = 2.5f;

// A fragment of n (2..16) pool vertices, taking over the caller's references.
// Light and colours may be null for 0. In a hardware frame the surface's
// world frame is refreshed and u, v computed, else they are 0. Counted in the
// world, appended to the polygon's list and, with a node, to the end of the
// node's list (back set from the two normals). Null for a null polygon or
// indices, or n outside 2..16 (the references then stay with the caller).
BspFragment* FragmentCreate(BspNode* node, WorldPolygon* polygon, int n, const int* indices, const float* light,
                            const float* colour1, const float* colour2, const float* colour3);
// Counts the fragment in its polygon's world and appends it to the polygon's
// list and, with a node, to the end of the node's list (fragmentCount + 1).
void FragmentLink(BspFragment* fragment, BspNode* node);
// Moves the fragment to the node: out of its current node's list (also when
// that is this node), then in before the first fragment of the node's list
// that contains it, else at the end, so that a decal inside a larger coplanar
// polygon is drawn first. back = 1 when the polygon's world normal faces away
// from the node's normal.
void FragmentSetNode(BspFragment* fragment, BspNode* node);
// 1 when every vertex of inner lies within 2.5 units inside every edge of
// outer (edges measured in outer's polygon's world plane).
int FragmentContains(const BspFragment* outer, const BspFragment* inner);
// Uncounts the fragment, releases its vertices, unlinks it from its polygon
// and node and frees it; with prune, nodes left with no children and no
// fragments are freed upward (never the root). 0 for null, else 1.
int FragmentFree(BspFragment* fragment, int prune);

// 0 on the plane, 1 in front, -1 behind, 2 spanning: a vertex is in front
// beyond epsilon, behind below -epsilon.
int BspClassifyFragment(float nx, float ny, float nz, float d, BspFragment* fragment, float epsilon);
// Cuts the fragment by the plane into a front piece (distances >= 0) in
// frontNode and a back piece in backNode, welding the cut points; a piece
// with too few vertices (or more than a fragment holds) is not made and its
// *front or *back is null. The fragment itself is left as it was.
void BspSplitFragment(BspFragment* fragment, BspFragment** front, BspNode* frontNode, BspFragment** back,
                      BspNode* backNode, float nx, float ny, float nz, float d);
// Frees the polygon's fragments (pruning), then, unless its group is hidden,
// welds its vertices (by the group's world matrix when grouped) into one
// fragment in the node. Null when hidden or without vertices.
BspFragment* PolygonMakeFragment(WorldPolygon* polygon, BspNode* node);

// 1 when every vertex index of the fragment names a live entry of the world's
// pool (below its used count): fragments read from a file are checked so.
int FragmentVerticesValid(const World* world, const BspFragment* fragment);
