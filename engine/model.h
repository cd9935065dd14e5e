#pragma once
// Models: hierarchies of mesh nodes (vertices, faces with textures, keyframes)
// and path networks, read from a mission archive's "OBJECTS" member onto one
// global list. Instances (engine/instance.h) place copies of them in a world.
//
// "OBJECTS" is an object graph (engine/object_graph.h) holding one reference
// to the first model; its body brings in the rest of the list through the
// next links. Stored bodies, in order (refs are graph references; i32 and
// float little-endian; names 64 bytes, NUL-padded but not always ended):
//
//   Model:        property list; i32 nameHash; name; refs firstNode,
//                 lastNode (mesh nodes), prev, next (models), firstJunction,
//                 lastJunction (path junctions)
//   MeshNode:     property list; i32 code; name; i32 code2; text; 3 floats
//                 pivot; float radius; i32 V, i32 F, i32 C (faceData values);
//                 refs firstRotKey, lastRotKey, firstPosKey, lastPosKey,
//                 prevInModel, nextInModel, model, parent, prevSibling,
//                 nextSibling, firstChild, lastChild; floats x, y, z, nx, ny,
//                 nz [V]; i32 u, v [V]; floats faceRadius [F]; i32
//                 sharedIndex [V]; floats faceNx, faceNy, faceNz, faceD [F];
//                 i32 faceData [C]; F x {i32 offset into faceData, i32
//                 texture id}; V refs sharedNode
//   RotationKey:  float time; 16 floats matrix; 3 floats axis; float angle;
//                 4 floats; refs prev, next (rotation keys), node
//   PositionKey:  float time; 3 floats position; 4 floats; refs prev, next,
//                 node
//   PathJunction: engine/path.h
//   PathSegment:  engine/path.h
//
// A face's list in faceData is a signed count n (n < 0: two-sided) and |n|
// vertex indices. u and v are 16.16: 65536 is one whole texture.
//
// Everything read is checked before the models are used: counts within the
// limits below, face offsets and lists inside faceData, vertex indices below
// V, shared vertices naming a vertex of another node of the same model, every
// list and the node tree well formed (each record on exactly one list, links
// both ways, no cycles), every float finite. A bad member fails the load and
// leaves no model behind.
#include "engine/records.h"

// Largest counts a mesh node may carry, and the deepest node tree.
inline constexpr int kMeshMaxVertices = 65536;
inline constexpr int kMeshMaxFaces = 65536;
inline constexpr int kMeshMaxFaceData = 1 << 20;
inline constexpr int kMeshFaceMaxVertices = 64;
inline constexpr int kMeshMaxDepth = 64;

// The first model; the list runs through Model::next.
extern Model* g_ModelListHead;

// Frees every model (as ModelFree), then reads the model list from the
// current archive member (the level loader positions it at "OBJECTS"). 1 on
// success with every model's bounds computed and useCount 1; 0 when the
// member is short or malformed, and then no model is left.
int ModelsReload();
Model* ModelListHead();
// The first model whose stored nameHash is hash; null for none.
Model* ModelFindByHash(int hash);
// The first model whose stored nameHash equals NameHash of the file name
// without its path (everything up to the last '\' or ':'). Null for null.
Model* ModelFindByFileName(const char* fileName);

// Frees the model's properties, path network and mesh nodes, takes it off
// the global list and frees it, whatever its useCount. Null-safe.
void ModelFree(Model* model);
// Frees the node with its whole subtree: properties, keys, face texture
// references, arrays; takes each node off its parent and its model's list
// first, so a walk that frees "the first node" until none is left frees each
// node once. Null-safe.
void MeshNodeFree(MeshNode* node);
// Moves node to the end of parent's children (null detaches it). A parent
// that is the node itself or lies below it is refused (nothing changes).
void MeshNodeSetParent(MeshNode* node, MeshNode* parent);

// Loads the node's rest transform into the current matrix: the first
// rotation key's matrix (identity without one), translated by the first
// position key, then times the parent's rest transform, up to the root.
void MeshNodeLoadRestTransform(const MeshNode* node);
// halfExtent (x 1.1), centre and radius over every vertex of every node
// taken through its rest transform. The current matrix is kept.
void ModelComputeBounds(Model* model);
// The mean over the model's nodes of each node's mean vertex (each node
// counts once; nodes without vertices are skipped), through the rest
// transform when transformed is non-zero. Nothing is written when no node
// has vertices.
void ModelCentroid(Model* model, float* x, float* y, float* z, int transformed);
// The same under the name the world simulation uses.
inline void InstanceCentroid(Model* model, float* x, float* y, float* z, int transformed) {
  ModelCentroid(model, x, y, z, transformed);
}
