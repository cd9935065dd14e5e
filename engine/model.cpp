#include "engine/model.h"

#include <cmath>
#include <cstring>

#include "engine/intrusive_list.h"
#include "engine/matrix.h"
#include "engine/name_hash.h"
#include "engine/object_graph.h"
#include "engine/path.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/texture.h"

Model* g_ModelListHead = nullptr;

namespace {

void FreeKeys(MeshNode* node) {
  for (RotationKey* key = node->firstRotKey; key;) {
    RotationKey* next = key->next;
    PoolDelete(key);
    key = next;
  }
  for (PositionKey* key = node->firstPosKey; key;) {
    PositionKey* next = key->next;
    PoolDelete(key);
    key = next;
  }
  node->firstRotKey = node->lastRotKey = nullptr;
  node->firstPosKey = node->lastPosKey = nullptr;
}

// A node without a model is one freed on its own after a bad read, its links
// already cleared.
void DetachFromModel(MeshNode* node) {
  if (Model* model = node->model) {
    ListUnlink(model->firstNode, model->lastNode, node, &MeshNode::prevInModel, &MeshNode::nextInModel);
  }
}

// The node's own transform at rest: the first rotation key's matrix with the
// first position key's position added to its translation row.
void RestLocal(const MeshNode* node, float out[16]) {
  std::memcpy(out, node->firstRotKey ? node->firstRotKey->matrix : kMatrixIdentity, sizeof(Matrix));
  if (const PositionKey* key = node->firstPosKey) {
    out[12] += key->position.x;
    out[13] += key->position.y;
    out[14] += key->position.z;
  }
}

}  // namespace

Model* ModelListHead() { return g_ModelListHead; }

Model* ModelFindByHash(int hash) {
  for (Model* model = g_ModelListHead; model; model = model->next) {
    if (model->nameHash == hash) return model;
  }
  return nullptr;
}

Model* ModelFindByFileName(const char* fileName) {
  if (!fileName) return nullptr;
  const char* base = fileName;
  for (const char* c = fileName; *c; ++c) {
    if (*c == '\\' || *c == ':') base = c + 1;
  }
  return ModelFindByHash(NameHash(base));
}

void ModelFree(Model* model) {
  if (!model) return;
  PropFreeList(&model->props);
  while (PathJunction* junction = model->firstJunction) {
    while (junction->firstIn) PathSegmentFree(junction->firstIn);
    while (junction->firstOut) PathSegmentFree(junction->firstOut);
    ListUnlink(model->firstJunction, model->lastJunction, junction, &PathJunction::prev, &PathJunction::next);
    PoolDelete(junction);
  }
  // Each call takes a whole subtree off the list, so "the first node" is
  // always one that is still alive.
  while (model->firstNode) MeshNodeFree(model->firstNode);
  ListUnlink(g_ModelListHead, model, &Model::prev, &Model::next);
  PoolDelete(model);
}

void MeshNodeFree(MeshNode* node) {
  if (!node) return;
  TreeDetach(node);
  DetachFromModel(node);
  while (node->firstChild) MeshNodeFree(node->firstChild);
  PropFreeList(&node->props);
  FreeKeys(node);
  const int v = node->vertexCount;
  const int f = node->faceCount;
  if (node->faceTexture) {
    for (int i = 0; i < f; ++i) ReleaseTexture(node->faceTexture[i]);
  }
  ObjFreeArray(node->x, v);
  ObjFreeArray(node->y, v);
  ObjFreeArray(node->z, v);
  ObjFreeArray(node->nx, v);
  ObjFreeArray(node->ny, v);
  ObjFreeArray(node->nz, v);
  ObjFreeArray(node->u, v);
  ObjFreeArray(node->v, v);
  ObjFreeArray(node->sharedIndex, v);
  ObjFreeArray(node->sharedNode, v);
  ObjFreeArray(node->faceVertices, f);
  ObjFreeArray(node->faceNx, f);
  ObjFreeArray(node->faceNy, f);
  ObjFreeArray(node->faceNz, f);
  ObjFreeArray(node->faceD, f);
  ObjFreeArray(node->faceTexture, f);
  ObjFreeArray(node->faceRadius, f);
  ObjFreeArray(node->faceData, node->faceDataBytes / 4);
  PoolDelete(node);
}

void MeshNodeSetParent(MeshNode* node, MeshNode* parent) {
  if (node) TreeSetParent(node, parent);
}

void MeshNodeLoadRestTransform(const MeshNode* node) {
  Matrix local;
  RestLocal(node, local);
  MatrixLoad(local);
  // The tree is at most kMeshMaxDepth deep when read; the bound also keeps a
  // hand-made cycle from looping.
  int depth = 0;
  for (const MeshNode* up = node->parent; up && depth < kMeshMaxDepth; up = up->parent, ++depth) {
    RestLocal(up, local);
    MatrixMultiply(local);
  }
}

void ModelComputeBounds(Model* model) {
  if (!model) return;
  Matrix saved;
  MatrixGet(saved);
  Vec3 lo = {1, 1, 1}, hi = {-1, -1, -1};
  bool first = true;
  float radius = 0.0f;
  // Every node of the model is on its node list, children included.
  for (const MeshNode* node = model->firstNode; node; node = node->nextInModel) {
    MeshNodeLoadRestTransform(node);
    for (int i = 0; i < node->vertexCount; ++i) {
      float x, y, z;
      MatrixTransformPoint(node->x[i], node->y[i], node->z[i], &x, &y, &z);
      if (first) {
        lo = hi = {x, y, z};
        first = false;
      } else {
        lo = {std::fmin(lo.x, x), std::fmin(lo.y, y), std::fmin(lo.z, z)};
        hi = {std::fmax(hi.x, x), std::fmax(hi.y, y), std::fmax(hi.z, z)};
      }
      radius = std::fmax(radius, std::sqrt(x * x + y * y + z * z));
    }
  }
  const Vec3 half = {(hi.x - lo.x) / 2, (hi.y - lo.y) / 2, (hi.z - lo.z) / 2};
  model->centre = {lo.x + half.x, lo.y + half.y, lo.z + half.z};
  model->halfExtent = {half.x * 1.1f, half.y * 1.1f, half.z * 1.1f};
  model->radius = radius;
  MatrixLoad(saved);
}

void ModelCentroid(Model* model, float* x, float* y, float* z, int transformed) {
  if (!model) return;
  Matrix saved;
  MatrixGet(saved);
  double cx = 0, cy = 0, cz = 0;
  int counted = 0;
  for (const MeshNode* node = model->firstNode; node; node = node->nextInModel) {
    const int n = node->vertexCount;
    if (n <= 0) continue;
    if (transformed) MeshNodeLoadRestTransform(node);
    double sx = 0, sy = 0, sz = 0;
    for (int i = 0; i < n; ++i) {
      float px = node->x[i], py = node->y[i], pz = node->z[i];
      if (transformed) MatrixTransformPoint(node->x[i], node->y[i], node->z[i], &px, &py, &pz);
      sx += px;
      sy += py;
      sz += pz;
    }
    ++counted;
    cx += (sx / n - cx) / counted;
    cy += (sy / n - cy) / counted;
    cz += (sz / n - cz) / counted;
  }
  MatrixLoad(saved);
  if (!counted) return;
  *x = static_cast<float>(cx);
  *y = static_cast<float>(cy);
  *z = static_cast<float>(cz);
}
