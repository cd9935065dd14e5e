// Reading "OBJECTS": the model, mesh-node and key bodies, and the load that
// checks the whole graph before it replaces the model list.
#include <cstdint>
#include <cstdlib>

#include "engine/data_archive.h"
#include "engine/model.h"
#include "engine/model_graph.h"
#include "engine/object_graph.h"
#include "engine/properties.h"
#include "engine/texture.h"

ModelGraph g_ModelGraph;

namespace {

// A stored 64-byte name into a 65-byte field whose last byte stays NUL.
int ReadName(char (&name)[kModelNameLength + 1]) {
  name[kModelNameLength] = 0;
  return ArchiveReadBytes(name, kModelNameLength);
}

int ReadVec3(Vec3* v) { return ArchiveReadVec3(&v->x, &v->y, &v->z); }

int ModelBody(Model* model) {
  return PropReadList(&model->props) && ArchiveReadInt(&model->nameHash) && ReadName(model->name) &&
         ObjReadRecord<MeshNode, MeshNodeRead>(&model->firstNode) &&
         ObjReadRecord<MeshNode, MeshNodeRead>(&model->lastNode) && ObjReadRecord<Model, ModelRead>(&model->prev) &&
         ObjReadRecord<Model, ModelRead>(&model->next) &&
         ObjReadRecord<PathJunction, PathJunctionRead>(&model->firstJunction) &&
         ObjReadRecord<PathJunction, PathJunctionRead>(&model->lastJunction);
}

// Allocates the node's arrays for V vertices, F faces and C faceData values
// and only then records the counts, so a node is always freeable by them.
int AllocateArrays(MeshNode* node, int v, int f, int c) {
  if (v < 0 || v > kMeshMaxVertices || f < 0 || f > kMeshMaxFaces || c < 0 || c > kMeshMaxFaceData) return 0;
  node->vertexCount = v;
  node->faceCount = f;
  node->faceDataBytes = 4 * c;
  node->x = ObjAllocArray<float>(v);
  node->y = ObjAllocArray<float>(v);
  node->z = ObjAllocArray<float>(v);
  node->nx = ObjAllocArray<float>(v);
  node->ny = ObjAllocArray<float>(v);
  node->nz = ObjAllocArray<float>(v);
  node->u = ObjAllocArray<std::int32_t>(v);
  node->v = ObjAllocArray<std::int32_t>(v);
  node->sharedIndex = ObjAllocArray<std::int32_t>(v);
  node->sharedNode = ObjAllocArray<MeshNode*>(v);
  node->faceVertices = ObjAllocArray<std::int32_t*>(f);
  node->faceNx = ObjAllocArray<float>(f);
  node->faceNy = ObjAllocArray<float>(f);
  node->faceNz = ObjAllocArray<float>(f);
  node->faceD = ObjAllocArray<float>(f);
  node->faceTexture = ObjAllocArray<Texture*>(f);
  node->faceRadius = ObjAllocArray<float>(f);
  node->faceData = ObjAllocArray<std::int32_t>(c);
  if (v > 0 && !(node->x && node->y && node->z && node->nx && node->ny && node->nz && node->u && node->v &&
                 node->sharedIndex && node->sharedNode)) {
    return 0;
  }
  if (f > 0 && !(node->faceVertices && node->faceNx && node->faceNy && node->faceNz && node->faceD &&
                 node->faceTexture && node->faceRadius)) {
    return 0;
  }
  return c == 0 || node->faceData;
}

// One face's {offset, texture id}: the list at offset must lie inside
// faceData with 1..kMeshFaceMaxVertices indices, each naming a vertex.
int ReadFace(MeshNode* node, int face) {
  int offset, id;
  if (!ArchiveReadInt(&offset) || !ArchiveReadInt(&id)) return 0;
  const int values = node->faceDataBytes / 4;
  if (offset < 0 || offset >= values) return 0;
  const std::int32_t n = node->faceData[offset];
  if (n == 0 || n < -kMeshFaceMaxVertices || n > kMeshFaceMaxVertices) return 0;
  const int count = std::abs(n);
  if (count > values - offset - 1) return 0;
  const std::int32_t* indices = node->faceData + offset + 1;
  for (int k = 0; k < count; ++k) {
    if (indices[k] < 0 || indices[k] >= node->vertexCount) return 0;
  }
  node->faceVertices[face] = node->faceData + offset;
  node->faceTexture[face] = TextureFromId(id);
  return 1;
}

int MeshNodeBody(MeshNode* node) {
  int v, f, c;
  if (!PropReadList(&node->props) || !ArchiveReadInt(&node->code) || !ReadName(node->name) ||
      !ArchiveReadInt(&node->code2) || !ReadName(node->text) || !ReadVec3(&node->pivot) ||
      !ArchiveReadFloat(&node->radius) || !ArchiveReadInt(&v) || !ArchiveReadInt(&f) || !ArchiveReadInt(&c) ||
      !AllocateArrays(node, v, f, c)) {
    return 0;
  }
  if (!ObjReadRecord<RotationKey, RotationKeyRead>(&node->firstRotKey) ||
      !ObjReadRecord<RotationKey, RotationKeyRead>(&node->lastRotKey) ||
      !ObjReadRecord<PositionKey, PositionKeyRead>(&node->firstPosKey) ||
      !ObjReadRecord<PositionKey, PositionKeyRead>(&node->lastPosKey) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->prevInModel) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->nextInModel) || !ObjReadRecord<Model, ModelRead>(&node->model) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->parent) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->prevSibling) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->nextSibling) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->firstChild) ||
      !ObjReadRecord<MeshNode, MeshNodeRead>(&node->lastChild)) {
    return 0;
  }
  if (!ArchiveReadFloats(node->x, v) || !ArchiveReadFloats(node->y, v) || !ArchiveReadFloats(node->z, v) ||
      !ArchiveReadFloats(node->nx, v) || !ArchiveReadFloats(node->ny, v) || !ArchiveReadFloats(node->nz, v) ||
      !ArchiveReadInts(node->u, v) || !ArchiveReadInts(node->v, v) || !ArchiveReadFloats(node->faceRadius, f) ||
      !ArchiveReadInts(node->sharedIndex, v) || !ArchiveReadFloats(node->faceNx, f) ||
      !ArchiveReadFloats(node->faceNy, f) || !ArchiveReadFloats(node->faceNz, f) ||
      !ArchiveReadFloats(node->faceD, f) || !ArchiveReadInts(node->faceData, c)) {
    return 0;
  }
  for (int i = 0; i < f; ++i) {
    if (!ReadFace(node, i)) return 0;
  }
  for (int i = 0; i < v; ++i) {
    if (!ObjReadRecord<MeshNode, MeshNodeRead>(&node->sharedNode[i])) return 0;
  }
  return 1;
}

int RotationKeyBody(RotationKey* key) {
  return ArchiveReadFloat(&key->time) && ArchiveReadFloats(key->matrix, kMatrixElements) && ReadVec3(&key->axis) &&
         ArchiveReadFloat(&key->angle) && ArchiveReadFloats(key->extra, 4) &&
         ObjReadRecord<RotationKey, RotationKeyRead>(&key->prev) &&
         ObjReadRecord<RotationKey, RotationKeyRead>(&key->next) && ObjReadRecord<MeshNode, MeshNodeRead>(&key->node);
}

int PositionKeyBody(PositionKey* key) {
  return ArchiveReadFloat(&key->time) && ReadVec3(&key->position) && ArchiveReadFloats(key->extra, 4) &&
         ObjReadRecord<PositionKey, PositionKeyRead>(&key->prev) &&
         ObjReadRecord<PositionKey, PositionKeyRead>(&key->next) && ObjReadRecord<MeshNode, MeshNodeRead>(&key->node);
}

}  // namespace

int ModelGraphEnter() { return ++g_ModelGraph.nesting <= kObjectsMaxNesting; }
void ModelGraphLeave() { --g_ModelGraph.nesting; }

int ModelRead(Model* model) { return ModelGraphReadBody(model, g_ModelGraph.models, ModelBody); }
int MeshNodeRead(MeshNode* node) { return ModelGraphReadBody(node, g_ModelGraph.nodes, MeshNodeBody); }
int RotationKeyRead(RotationKey* key) { return ModelGraphReadBody(key, g_ModelGraph.rotationKeys, RotationKeyBody); }
int PositionKeyRead(PositionKey* key) { return ModelGraphReadBody(key, g_ModelGraph.positionKeys, PositionKeyBody); }

int ModelsReload() {
  while (g_ModelListHead) ModelFree(g_ModelListHead);
  g_ModelGraph = ModelGraph{};
  Model* root = nullptr;
  ObjTableReset();
  const int read = ObjReadRecord<Model, ModelRead>(&root);
  ObjTableFree();
  if (!read || !ModelGraphValid(g_ModelGraph, root)) {
    ModelGraphFreeAll(&g_ModelGraph);
    return 0;
  }
  for (Model* model = root; model; model = model->next) {
    ModelComputeBounds(model);
    model->useCount = 1;
  }
  g_ModelListHead = root;
  g_ModelGraph = ModelGraph{};
  return 1;
}
