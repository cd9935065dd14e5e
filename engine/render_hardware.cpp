#include "engine/render_hardware.h"

#include "engine/bsp_visit.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

PolyQueue g_PolyQueue;

void PolyQueueReset(ViewDrawPolygonFn drawPolygon) {
  g_PolyQueue.count = 0;
  g_PolyQueue.writeIndex = 0;
  g_PolyQueue.drawPolygon = drawPolygon;
}

PolyVertex* PolyQueueWritePosition() { return g_PolyQueue.vertices + g_PolyQueue.writeIndex; }

int PolyQueueSpace() { return kPolyQueueVertices - g_PolyQueue.writeIndex; }

int PolyQueueAppend(int vertexCount, int colour, Texture* texture) {
  PolyQueue& q = g_PolyQueue;
  if (vertexCount <= 0 || q.count >= kPolyQueuePolygons || vertexCount > PolyQueueSpace()) return 0;
  q.firstVertex[q.count] = q.vertices + q.writeIndex;
  q.vertexCount[q.count] = vertexCount;
  q.colour[q.count] = colour;
  q.texture[q.count] = texture;
  ++q.count;
  q.writeIndex += vertexCount;
  return 1;
}

void PolyQueueHandOver() {
  PolyQueue& q = g_PolyQueue;
  q.firstVertex[q.count] = q.vertices + q.writeIndex;
  const int count = q.count;
  q.count = 0;
  q.writeIndex = 0;
  if (!q.drawPolygon) return;
  for (int k = count - 1; k >= 0; --k) {
    const int vertices = static_cast<int>(q.firstVertex[k + 1] - q.firstVertex[k]);
    q.drawPolygon(vertices, q.firstVertex[k], q.texture[k], q.colour[k]);
  }
}

void RenderBspHardware(BspNode* node, int mask) {
  if (!node) return;
  node->visited = 0;
  if (g_Coverage.openLineCount == 0) return;
  View* view = g_CurrentView;
  if (BspNodeCulled(node, &mask, view)) return;
  ++g_StatNodes;
  node->visited = 1;
  BspNodeSortParticles(node);
  BspNodePushInstanceFragments(node);

  const int side = BspNodeDistance(node, g_CameraPosition) >= 0.0f ? 1 : -1;
  node->side = side;
  BspNode* nearChild = side == 1 ? node->front : node->back;
  BspNode* farChild = side == 1 ? node->back : node->front;
  RenderBspHardware(nearChild, mask);
  BspNodeDrawParticles(node, side, view);
  if (node->firstInstanceFragment && (!node->front || !node->back)) BspRecordLeafChain(node);
  if (!nearChild) QueueLeafInstanceFaces(node, side);
  for (BspFragment* fragment = node->firstFragment; fragment; fragment = fragment->next)
    QueueFragmentHardware(fragment, side);
  node->side = -side;
  BspNodeDrawParticles(node, -side, view);
  if (!farChild) QueueLeafInstanceFaces(node, -side);
  RenderBspHardware(farChild, mask);
}
