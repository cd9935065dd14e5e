#pragma once
// The software BSP pass: the world's BSP tree drawn front to back into the
// coverage buffer, so that later polygons only reach what is still
// uncovered and the pass can stop as soon as every scanline is covered.
// Called by RenderWorld between CoverageReset and FinishFrameSpans.
#include "engine/records.h"

// Per-fragment switches that RenderBspSoftware sets before each fragment:
// lighting (g_LightsOn and the polygon lacks flag 0x4) and light spots
// (g_LightSpotsOn and the polygon lacks flag 0x40).
extern int g_FragmentLighting;
extern int g_FragmentLightSpots;

// Walks the subtree with frustum and coverage culling and draws, per node:
// near subtree, near-side particles and instance faces, the node's
// fragments, far-side particles and instance faces, far subtree. planeMask
// holds the frustum planes the subtree may still cross; depth is the
// recursion depth (0 at the root).
void RenderBspSoftware(BspNode* node, int planeMask, int depth);

// Draws one world-polygon fragment whose vertices are in the frame's vertex
// cache: as a light-spot fan, unclipped from the cache, or (clip 1) through
// the 3-D clipper; a two-vertex fragment as a coverage line.
void RenderFragmentSoftware(BspFragment* fragment, int clip);

// The instance faces of one side (1 front, -1 back) of a BSP node without a
// child on that side: the node's instance fragments whose instance is drawn
// and whose sphere reaches that side are queued, sorted and drawn; every
// instance that queued a face is marked drawn.
void DrawLeafInstanceFaces(BspNode* node, int side);
