#pragma once
// The hardware pass: in a hardware frame (RenderFlags 0x1000) the engine
// does not rasterise; it walks the BSP front to back as the software pass
// does and turns what is visible into screen polygons of PolyVertex records
// in the frame's polygon queue, which RenderWorld hands to the view's
// drawPolygon callback from the last queued to the first (back to front).
//
// World fragments are lit per vertex with coloured light terms, clipped in
// world space and projected; opaque ones claim coverage, colour-keyed and
// translucent ones do not, so what lies behind them is still queued.
// Instance faces of each leaf side are listed, sorted by depth and queued
// nearest first; particles queue their octagons.
#include "engine/records.h"

extern PolyQueue g_PolyQueue;

// Empties the queue and takes the frame's drawPolygon.
void PolyQueueReset(ViewDrawPolygonFn drawPolygon);
// Where the next polygon's vertices are written, and how many records are
// left there.
PolyVertex* PolyQueueWritePosition();
int PolyQueueSpace();
// Records the vertexCount vertices just written at the write position as one
// polygon: 1, or 0 (nothing recorded; the next polygon overwrites them) when
// 3000 polygons are queued or the vertices do not fit in the pool.
int PolyQueueAppend(int vertexCount, int colour, Texture* texture);
// Hands every queued polygon to the queue's drawPolygon, the last queued
// first, each with the vertex count up to the next polygon's first vertex;
// the queue is empty afterwards.
void PolyQueueHandOver();

// The hardware traversal (see above). Bit i of mask: the subtree may still
// cross frustum plane i.
void RenderBspHardware(BspNode* node, int mask);
// Queues one world fragment of the node being drawn, seen from side (1 in
// front of the node plane, -1 behind). Two-vertex fragments (world lines)
// are not queued.
void QueueFragmentHardware(BspFragment* fragment, int side);
// The instance faces of one leaf side: listed (QueueInstanceFragmentHardware
// per fragment, at most 5,000 faces; more are dropped), then sorted by depth
// key and queued (QueueSortedPolysHardware).
extern InstancePolyList g_InstancePolyList;
void InstancePolyListClear();
void QueueInstanceFragmentHardware(InstanceFragment* fragment, int side);
void QueueSortedPolysHardware();
// The node's instance fragments seen from side, through the two above.
void QueueLeafInstanceFaces(BspNode* node, int side);
// Gives every fragment vertex of the world's textured polygons its texture
// coordinates, which hardware frames draw with (korvane3d's level start).
void WorldComputeHardwareTexCoords(World* world);
