#pragma once
// What both instance drawers need of an instance node for one frame: the
// map from the node's frame to the screen, the map back from the world into
// the node's frame, the eye there and (with instance lighting) the lights'
// scratch positions there. Engine-internal.
#include "engine/records.h"

struct InstanceFrame {
  Matrix toScreen;  // node frame -> camera space (the world matrix times the camera matrix)
  Matrix toLocal;   // world -> node frame
  Vec3 eye;         // the eye in the node's frame
};

void InstanceFrameEnter(const InstanceNode* node, InstanceFrame* frame);

// Position of mesh vertex v of the node in the node's frame: its own, or for
// a vertex that follows another node's vertex, that vertex moved by the
// other node's world matrix and brought back into this frame.
Vec3 InstanceVertexPosition(const InstanceNode* node, const InstanceFrame& frame, int v);
