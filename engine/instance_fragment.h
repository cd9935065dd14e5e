#pragma once
// Instance fragments: the faces of one instance node sorted against one BSP
// node's plane, so that instance faces are drawn in BSP order with the world.
// A fragment's faces array holds its front faces from the start, then its
// spanning faces, and its back faces at the end (filled from the last slot
// backwards); faceCount = front + span + back.
#include "engine/records.h"

// Classifies faces of the node against bspNode's plane into a new fragment
// linked at the end of the node's and the BSP node's lists. Without a parent
// fragment every face of the mesh node is classified; with one, side 1 takes
// the parent's front and spanning faces and side -1 its spanning and back
// faces, and nothing is made (null) when there are none. The BSP node's box
// and radius grow to cover the cube of the mesh node's radius around the
// node's position. Null for a null node or BSP node.
InstanceFragment* InstanceFragmentCreate(InstanceNode* node, BspNode* bspNode, InstanceFragment* parentFragment,
                                         int side);
// Takes the fragment off its instance node's and its BSP node's lists and
// frees it with its faces. Null-safe.
void InstanceFragmentFree(InstanceFragment* fragment);
