#pragma once
// The steps that the software and the hardware BSP passes share for every
// node they visit: culling against the frustum and the coverage buffer,
// moving particle links down the tree, pushing instance fragments into the
// children, and recording the leaf chain that the instance-face code reads
// the bounding planes of the current leaf from.
#include "engine/bsp.h"
#include "engine/records.h"

// Nodes of this radius or more get the screen-rectangle test.
inline constexpr float kBspRectTestRadius = 85.0f;

// 1 when the eye lies inside the node's box (min <= eye <= max).
int BspEyeInBox(const BspNode* node);
// Frustum and coverage culling of one node: 1 when the node is culled.
// Planes whose bit is set in *mask are tested (planes 0 to 4, and the far
// plane 5 only while the depth cue is on) by sphere, then by box; a plane
// the sphere lies wholly inside is cleared from *mask for the subtree. Then a
// node of radius 85 or more is culled when its box projects to an empty or
// covered rectangle (unless a corner lies at or behind the eye or beyond the
// far limit).
int BspNodeCulled(const BspNode* node, int* mask, View* view);

// Moves each of the node's particle links into the child whose box holds the
// particle on its side of the plane, or records in the link the side (1 in
// front, -1 behind) it is drawn with here.
void BspNodeSortParticles(BspNode* node);

// The world centre and the radius of an instance node's bounding sphere.
Vec3 InstanceNodeCentre(const InstanceNode* node);
float InstanceNodeRadius(const InstanceNode* node);
// 1 when the instance node's sphere is inside or crossing all six frustum
// planes.
int InstanceNodeInFrustum(const InstanceNode* node);
// The fragment's instance node when a leaf draws it on that side (1 in
// front, -1 behind): its instance collides, its sphere is in the frustum and
// reaches that side of the node's plane. Null otherwise.
InstanceNode* InstanceFragmentDrawnOnSide(const BspNode* node, const InstanceFragment* fragment, int side);

// Draws the particles linked to the node whose link records that side.
void BspNodeDrawParticles(BspNode* node, int side, View* view);

// Pushes each instance fragment of the node that lies in the frustum into
// the front child (when its sphere reaches in front) and the back child
// (when it reaches behind), once each, counting every push in g_StatNewPres.
void BspNodePushInstanceFragments(BspNode* node);

// Records the leaf chain: the path from the root down to node, read by
// LeafChainFirst / LeafChainNext while node's instance faces are drawn.
void BspRecordLeafChain(BspNode* node);
BspNode* LeafChainFirst();
// The next node down the chain, null after the node it was recorded for.
BspNode* LeafChainNext(const BspNode* node);

// Instance faces of a leaf side, in either pass. True when the cube round
// an instance node's sphere (centre c, radius r) projects to a rectangle the
// coverage buffer has wholly covered.
bool InstanceNodeCubeHidden(Vec3 c, float r, View* view);
// Appends the leaf planes the sphere crosses after the six frustum planes,
// in the node's frame and facing the side drawn (g_FrustumPlaneCount says
// how many are in force); false when the sphere lies outside the leaf.
bool InstanceLeafPlanesAppend(const InstanceNode* node, Vec3 c, float r);
