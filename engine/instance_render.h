#pragma once
// Model instances in the software pass. Normally each instance node is cut
// into instance fragments that hang in the BSP leaves it crosses; when the
// pass reaches a leaf side, QueueInstanceFragmentSoftware clips, lights and
// projects the faces of the fragments there into the face queue, and
// DrawSortedPolysSoftware draws the queue nearest first into the coverage
// buffer, so that instances and world interleave without a depth buffer.
// With the software z-buffer, instances stay out of the BSP and RenderWorld
// draws every instance node after the world with DrawInstanceZBuffered.
//
// The queue and the per-vertex caches grow to the largest face, leaf side
// and mesh they meet; nothing is dropped for want of room.
#include <cstdint>

#include "engine/records.h"

// Appends the faces of the fragment that lie on side (1 front, -1 back) of
// the node being drawn (the end of the recorded leaf chain) to the face
// queue. The caller has emptied the queue.
void QueueInstanceFragmentSoftware(InstanceFragment* fragment, int side);
// Sorts the face queue by depth key, nearest first, and draws it.
void DrawSortedPolysSoftware();
// Draws the node's faces against the software z-buffer.
void DrawInstanceZBuffered(InstanceNode* node);

// The face queue of one leaf side.
void InstanceFaceQueueClear();
int InstanceFaceQueueCount();
// Depth key (largest rounded vertex depth) of entry i in queue order, and
// the order DrawSortedPolysSoftware drew them in (entry indices, nearest
// first) after its last call.
std::int32_t InstanceFaceQueueKey(int i);
int InstanceFaceQueueDrawnOrder(int k);
// Appends a face record directly (tests): values as a record holds them.
void InstanceFaceQueueAppend(Texture* texture, std::int32_t key, int vertexCount, const std::int32_t* values);
