#pragma once
// The hardware pass: in a hardware frame (RenderFlags 0x1000) the engine
// does not rasterise; it walks the BSP front to back as the software pass
// does and turns what is visible into screen polygons of PolyVertex records
// in the frame's polygon queue, which RenderWorld hands to the view's
// drawPolygon callback from the last queued to the first (back to front).
//
// Built so far: the queue with its hand-over, and the traversal with the
// steps it shares with the software pass (culling, particle links,
// instance-fragment pushes, eye sides, leaf chains). Still to come with the
// Direct3D back end: queueing world fragments (lighting, light spots,
// clipping, coverage claims), the instance faces of each leaf side
// (QueueInstanceFragmentHardware, QueueSortedPolysHardware) and particles
// in a hardware frame. Until then a hardware frame hands over only what
// other code queued.
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
