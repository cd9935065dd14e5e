#include "engine/instance_frame.h"

#include "engine/lighting.h"
#include "engine/polygon_math.h"
#include "engine/render_math.h"
#include "engine/render_world.h"
#include "engine/view.h"

void InstanceFrameEnter(const InstanceNode* node, InstanceFrame* frame) {
  const float* w = node->worldMatrix;
  const float* c = g_CameraMatrix;
  for (int r = 0; r < 4; ++r) {
    for (int col = 0; col < 4; ++col) {
      frame->toScreen[r * 4 + col] =
          w[r * 4] * c[col] + w[r * 4 + 1] * c[4 + col] + w[r * 4 + 2] * c[8 + col] + w[r * 4 + 3] * c[12 + col];
    }
  }
  rendermath::AffineInverse(w, frame->toLocal);
  frame->eye = polymath::MapPoint(frame->toLocal, g_CameraPosition);
  if (g_InstanceVertexLighting) LightingPlaceInFrame(g_CurrentWorld, frame->toLocal);
}

Vec3 InstanceVertexPosition(const InstanceNode* node, const InstanceFrame& frame, int v) {
  const MeshNode* mesh = node->meshNode;
  const int shared = mesh->sharedIndex ? mesh->sharedIndex[v] : -1;
  if (shared >= 0 && mesh->sharedNode && node->vertexNode) {
    const MeshNode* other = mesh->sharedNode[v];
    const InstanceNode* otherNode = node->vertexNode[v];
    if (other && otherNode && shared < other->vertexCount) {
      const Vec3 world =
          polymath::MapPoint(otherNode->worldMatrix, {other->x[shared], other->y[shared], other->z[shared]});
      return polymath::MapPoint(frame.toLocal, world);
    }
  }
  return {mesh->x[v], mesh->y[v], mesh->z[v]};
}
