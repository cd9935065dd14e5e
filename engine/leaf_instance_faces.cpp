#include "engine/bsp_visit.h"
#include "engine/instance_render.h"
#include "engine/render_software.h"

void DrawLeafInstanceFaces(BspNode* node, int side) {
  if (!node->firstInstanceFragment) return;
  InstanceFaceQueueClear();
  for (InstanceFragment* fragment = node->firstInstanceFragment; fragment; fragment = fragment->nextInBsp) {
    InstanceNode* instanceNode = InstanceFragmentDrawnOnSide(node, fragment, side);
    if (!instanceNode) continue;
    const int before = InstanceFaceQueueCount();
    QueueInstanceFragmentSoftware(fragment, side);
    // Every instance that has a face in the queue is drawn this frame.
    if (InstanceFaceQueueCount() > before) instanceNode->instance->drawn = 1;
  }
  if (InstanceFaceQueueCount() > 0) DrawSortedPolysSoftware();
}
