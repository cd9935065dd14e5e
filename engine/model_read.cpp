// Reading "OBJECTS": the model, mesh-node and key bodies, and the load that
// checks the whole graph before it replaces the model list.
#include <cstdint>
#include <cstdlib>

#include "engine/data_archive.h"
#include "engine/engine_error.h"
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

// Stored bytes per vertex (x, y, z, normal, u, v, shared index, shared-node
// reference), per face (radius, plane, offset, texture id) and per faceData
// value.
constexpr std::int64_t kVertexBytes = 40;
constexpr std::int64_t kFaceBytes = 28;
constexpr std::int64_t kFaceDataBytes = 4;

// The counts as stored, checked against the limits and against the member's
// bytes still to come, which must hold their arrays.
int CountsValid(int v, int f, int c) {
  if (v < 0 || v > kMeshMaxVertices || f < 0 || f > kMeshMaxFaces || c < 0 || c > kMeshMaxFaceData) {
    return EngineRefuse("mesh node of %d vertices, %d faces and %d face values is out of range", v, f, c);
  }
  const std::int64_t need = v * kVertexBytes + f * kFaceBytes + c * kFaceDataBytes;
  if (need > ArchiveMemberRemaining()) {
    return EngineRefuse("mesh node of %d vertices, %d faces and %d face values exceeds the member's %lld bytes", v, f,
                        c, static_cast<long long>(ArchiveMemberRemaining()));
  }
  return 1;
}

// Allocates the node's arrays for V vertices, F faces and C faceData values
// and only then records the counts, so a node is always freeable by them.
int AllocateArrays(MeshNode* node, int v, int f, int c) {
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
  // A failure here is memory running out, not the data.
  if (v > 0 && !(node->x && node->y && node->z && node->nx && node->ny && node->nz && node->u && node->v &&
                 node->sharedIndex && node->sharedNode)) {
    return 0;
  }
  if (f > 0 && !(node->faceVertices && node->faceNx && node->faceNy && node->faceNz && node->faceD &&
                 node->faceTexture && node->faceRadius)) {
    return 0;
  }
  if (c > 0 && !node->faceData) return 0;
  return 1;
}

// One face's {offset, texture id}: the list at offset must lie inside
// faceData with 1..kMeshFaceMaxVertices indices, each naming a vertex.
int ReadFace(MeshNode* node, int face) {
  int offset, id;
  if (!ArchiveReadInt(&offset) || !ArchiveReadInt(&id)) return 0;
  const int values = node->faceDataBytes / 4;
  if (offset < 0 || offset >= values) {
    return EngineRefuse("mesh node \"%s\": face %d starts at value %d of %d", node->name, face, offset, values);
  }
  const std::int32_t n = node->faceData[offset];
  if (n == 0 || n < -kMeshFaceMaxVertices || n > kMeshFaceMaxVertices || std::abs(n) > values - offset - 1) {
    return EngineRefuse("mesh node \"%s\": face %d has %d vertices at value %d of %d", node->name, face, n, offset,
                        values);
  }
  const int count = std::abs(n);
  const std::int32_t* indices = node->faceData + offset + 1;
  for (int k = 0; k < count; ++k) {
    if (indices[k] < 0 || indices[k] >= node->vertexCount) {
      return EngineRefuse("mesh node \"%s\": face %d names vertex %d of %d", node->name, face, indices[k],
                          node->vertexCount);
    }
  }
  node->faceVertices[face] = node->faceData + offset;
  node->faceTexture[face] = TextureFromId(id);
  return 1;
}

}  // namespace

ObjBody ModelRead(Model* model) {
  g_ModelGraph.models.push_back(model);
  if (!PropReadList(&model->props) || !ArchiveReadInt(&model->nameHash) || !ReadName(model->name)) co_return 0;
  int ok = co_await ObjRef<MeshNode, MeshNodeRead>(&model->firstNode);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&model->lastNode);
  if (ok) ok = co_await ObjRef<Model, ModelRead>(&model->prev);
  if (ok) ok = co_await ObjRef<Model, ModelRead>(&model->next);
  if (ok) ok = co_await ObjRef<PathJunction, PathJunctionRead>(&model->firstJunction);
  if (ok) ok = co_await ObjRef<PathJunction, PathJunctionRead>(&model->lastJunction);
  co_return ok;
}

ObjBody MeshNodeRead(MeshNode* node) {
  g_ModelGraph.nodes.push_back(node);
  int v, f, c;
  if (!PropReadList(&node->props) || !ArchiveReadInt(&node->code) || !ReadName(node->name) ||
      !ArchiveReadInt(&node->code2) || !ReadName(node->text) || !ReadVec3(&node->pivot) ||
      !ArchiveReadFloat(&node->radius) || !ArchiveReadInt(&v) || !ArchiveReadInt(&f) || !ArchiveReadInt(&c)) {
    co_return 0;
  }
  int ok = co_await ObjRef<RotationKey, RotationKeyRead>(&node->firstRotKey);
  if (ok) ok = co_await ObjRef<RotationKey, RotationKeyRead>(&node->lastRotKey);
  if (ok) ok = co_await ObjRef<PositionKey, PositionKeyRead>(&node->firstPosKey);
  if (ok) ok = co_await ObjRef<PositionKey, PositionKeyRead>(&node->lastPosKey);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->prevInModel);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->nextInModel);
  if (ok) ok = co_await ObjRef<Model, ModelRead>(&node->model);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->parent);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->prevSibling);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->nextSibling);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->firstChild);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->lastChild);
  if (!ok) co_return 0;
  // The arrays follow the references, so the nodes nested in those are read
  // before this one allocates: only one node's arrays ever wait for their
  // data, and the member's remaining bytes bound them.
  if (!CountsValid(v, f, c)) co_return 0;
  if (!AllocateArrays(node, v, f, c)) co_return EngineRefuse("no memory for a mesh node of %d vertices", v);
  if (!ArchiveReadFloats(node->x, v) || !ArchiveReadFloats(node->y, v) || !ArchiveReadFloats(node->z, v) ||
      !ArchiveReadFloats(node->nx, v) || !ArchiveReadFloats(node->ny, v) || !ArchiveReadFloats(node->nz, v) ||
      !ArchiveReadInts(node->u, v) || !ArchiveReadInts(node->v, v) || !ArchiveReadFloats(node->faceRadius, f) ||
      !ArchiveReadInts(node->sharedIndex, v) || !ArchiveReadFloats(node->faceNx, f) ||
      !ArchiveReadFloats(node->faceNy, f) || !ArchiveReadFloats(node->faceNz, f) ||
      !ArchiveReadFloats(node->faceD, f) || !ArchiveReadInts(node->faceData, c)) {
    co_return 0;
  }
  for (int i = 0; i < f; ++i) {
    if (!ReadFace(node, i)) co_return 0;
  }
  for (int i = 0; i < v; ++i) {
    ok = co_await ObjRef<MeshNode, MeshNodeRead>(&node->sharedNode[i]);
    if (!ok) co_return 0;
  }
  co_return 1;
}

ObjBody RotationKeyRead(RotationKey* key) {
  g_ModelGraph.rotationKeys.push_back(key);
  if (!ArchiveReadFloat(&key->time) || !ArchiveReadFloats(key->matrix, kMatrixElements) || !ReadVec3(&key->axis) ||
      !ArchiveReadFloat(&key->angle) || !ArchiveReadFloats(key->extra, 4)) {
    co_return 0;
  }
  int ok = co_await ObjRef<RotationKey, RotationKeyRead>(&key->prev);
  if (ok) ok = co_await ObjRef<RotationKey, RotationKeyRead>(&key->next);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&key->node);
  co_return ok;
}

ObjBody PositionKeyRead(PositionKey* key) {
  g_ModelGraph.positionKeys.push_back(key);
  if (!ArchiveReadFloat(&key->time) || !ReadVec3(&key->position) || !ArchiveReadFloats(key->extra, 4)) co_return 0;
  int ok = co_await ObjRef<PositionKey, PositionKeyRead>(&key->prev);
  if (ok) ok = co_await ObjRef<PositionKey, PositionKeyRead>(&key->next);
  if (ok) ok = co_await ObjRef<MeshNode, MeshNodeRead>(&key->node);
  co_return ok;
}

int ModelsReload() {
  while (g_ModelListHead) ModelFree(g_ModelListHead);
  g_ModelGraph = ModelGraph{};
  Model* root = nullptr;
  EngineSetError(kEngineErrorNone, 0);
  ObjTableReset();
  const int read = ObjReadRecord<Model, ModelRead>(&root);
  ObjTableFree();
  if (!read || !ModelGraphValid(g_ModelGraph, root)) {
    EngineRefuse("the model records are damaged");
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
