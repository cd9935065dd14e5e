#include "engine/animation.h"

#include "engine/instance_fragment.h"
#include "engine/matrix.h"
#include "engine/model.h"
#include "engine/render_world.h"

namespace {

// Interpolation share between a key and its successor: 0 when there is no
// later successor to move towards.
template <typename Key>
float Share(const Key* key, float time) {
  const Key* next = key->next;
  if (!next || !(next->time > key->time)) return 0.0f;
  const float f = (time - key->time) / (next->time - key->time);
  return f < 0.0f ? 0.0f : (f > 1.0f ? 1.0f : f);
}

// The key to pose from: starting at the first, move on while time is
// greater than the next key's time.
template <typename Key>
const Key* KeyAt(const Key* first, float time) {
  const Key* key = first;
  while (key && key->next && time > key->next->time) key = key->next;
  return key;
}

void PoseLocal(const InstanceNode* node, float time) {
  if (node->animated) {
    MeshNodeLoadKeyPose(node->meshNode, time);
  } else {
    MatrixLoad(node->localMatrix);
    MatrixTranslate(node->localOffset.x, node->localOffset.y, node->localOffset.z);
  }
}

void UpdateSubtree(InstanceNode* node, float time, int depth) {
  PoseLocal(node, time);
  if (node->parent) {
    MatrixMultiply(node->parent->worldMatrix);
  } else if (const Instance* instance = node->instance) {
    MatrixMultiply(instance->matrix);
    if (instance->parentGroup) MatrixMultiply(instance->parentGroup->worldMatrix);
  }
  const Vec3& pivot = node->meshNode->pivot;
  MatrixTransformPoint(pivot.x, pivot.y, pivot.z, &node->pivotWorld.x, &node->pivotWorld.y, &node->pivotWorld.z);
  MatrixGet(node->worldMatrix);
  if (!g_InstancesZBuffered) {
    while (node->firstFragment) InstanceFragmentFree(node->firstFragment);
    if (node->world && node->world->bspRoot) InstanceFragmentCreate(node, node->world->bspRoot, nullptr, 0);
  }
  // Trees read from a file are at most kMeshMaxDepth deep; the bound keeps a
  // hand-made loop from recursing for ever.
  if (depth >= kMeshMaxDepth) return;
  for (InstanceNode* child = node->firstChild; child; child = child->nextSibling) {
    UpdateSubtree(child, time, depth + 1);
  }
}

}  // namespace

void MeshNodeLoadKeyPose(const MeshNode* node, float time) {
  MatrixIdentity();
  if (!node) return;
  if (const RotationKey* key = KeyAt(node->firstRotKey, time)) {
    MatrixLoad(key->matrix);
    if (key->next && key->next->time > key->time) {
      const RotationKey* next = key->next;
      MatrixRotateAxis(next->axis.x, next->axis.y, next->axis.z, next->angle * Share(key, time));
    }
  }
  if (const PositionKey* key = KeyAt(node->firstPosKey, time)) {
    MatrixTranslate(key->position.x, key->position.y, key->position.z);
    if (key->next && key->next->time > key->time) {
      const PositionKey* next = key->next;
      const float f = Share(key, time);
      MatrixTranslate(f * (next->position.x - key->position.x), f * (next->position.y - key->position.y),
                      f * (next->position.z - key->position.z));
    }
  }
}

void InstanceNodeUpdate(InstanceNode* node, float time) {
  if (!node || !node->meshNode) return;
  Matrix saved;
  MatrixGet(saved);
  UpdateSubtree(node, time, 0);
  MatrixLoad(saved);
}
