#include "engine/bsp_visit.h"
#include "engine/instance_render.h"
#include "engine/render_software.h"

void DrawLeafInstanceFaces(BspNode* node, int side) {
  if (!node->firstInstanceFragment) return;
  InstanceFaceQueueClear();
  for (InstanceFragment* fragment = node->firstInstanceFragment; fragment; fragment = fragment->nextInBsp) {
    InstanceNode* instanceNode = fragment->node;
    if (!instanceNode || !instanceNode->instance || !instanceNode->instance->collidable) continue;
    if (!InstanceNodeInFrustum(instanceNode)) continue;
    const float r = InstanceNodeRadius(instanceNode);
    const float s = BspNodeDistance(node, InstanceNodeCentre(instanceNode));
    if (side == 1 ? !(s > -r) : !(s < r)) continue;
    const int before = InstanceFaceQueueCount();
    QueueInstanceFragmentSoftware(fragment, side);
    // Every instance that has a face in the queue is drawn this frame.
    if (InstanceFaceQueueCount() > before) instanceNode->instance->drawn = 1;
  }
  if (InstanceFaceQueueCount() > 0) DrawSortedPolysSoftware();
}
