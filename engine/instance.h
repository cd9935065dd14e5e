#pragma once
// Instances: models placed in a world. Each instance owns a tree of instance
// nodes mirroring its model's mesh nodes; a node carries its world matrix for
// the current pose (engine/animation.h) and the fragments of its faces sorted
// against the world's BSP (engine/instance_fragment.h).
//
// Stored body of an instance inside the world member (read by InstanceRead):
// property list; refs world (the world being read), prev, next (instances);
// i32 model name hash; 3 floats x, y, z; 3 floats angleX, angleY, angleZ;
// float animTime; 64 bytes name.
#include <cstdint>

#include "engine/records.h"

class ObjBody;  // a record reader (engine/object_graph.h)

// A new instance of model at the tail of world's list: name empty, radius
// the model's, dirty, collidable, own ambient -1 (the default), no segment,
// one more use of the model, and a node for every mesh node linked as the
// model's are, shared vertices pointing at the nodes made for their mesh
// nodes. Null for a null world or model.
Instance* InstanceCreate(World* world, Model* model, float x, float y, float z, float angleX, float angleY,
                         float angleZ, float animTime);
// Frees the instance's properties, texture remap and nodes, takes it off its
// world's list and frees it; the model goes too when this was its last use.
// 0 for null, else 1.
int InstanceDelete(Instance* instance);
// Sets position, angles and animTime; the matrix is rebuilt from them at the
// next update and path following ends. Null-safe.
void InstanceSetPlacement(Instance* instance, float x, float y, float z, float angleX, float angleY, float angleZ,
                          float animTime);
// Takes the matrix as given (position from its translation row); path
// following ends. Null-safe.
void InstanceSetMatrix(Instance* instance, const float matrix[16], float animTime);
// When dirty and not given a matrix: matrix = rotate X, then Y, then Z by the
// angles, then translate by the position. Clears dirty. Null-safe; the
// current matrix is kept.
void InstanceUpdateMatrix(Instance* instance);
void InstanceSetAmbient(Instance* instance, float level);
InstanceNode* InstanceFirstNode(Instance* instance);

// A node for meshNode: no fragments, a cleared shared-vertex table of the
// mesh node's vertex count, animated, identity matrices; appended to the
// world's and (when given) the instance's node lists and under parent.
InstanceNode* InstanceNodeCreate(World* world, MeshNode* meshNode, InstanceNode* parent, Instance* instance);
// Moves the node to the end of parent's children (null detaches). A parent
// that is the node itself or lies below it is refused.
void InstanceNodeSetParent(InstanceNode* node, InstanceNode* parent);
// Frees the node with its subtree: fragments, shared-vertex table,
// properties; takes each node off its parent, its world's and its instance's
// lists first, so freeing "the first node of the list" until none is left
// frees each node once. Null-safe.
void InstanceNodeFree(InstanceNode* node);

// The object-graph reader of an instance body. The model is found by its
// hash on the model list (a missing model fails), its use count grows, the
// nodes are built as InstanceCreate builds them, and the rest is set as
// InstanceCreate sets it. The world reference must name the world already
// being read. On failure the instance holds no nodes, no model and no
// properties; its links are as far as they were read.
ObjBody InstanceRead(Instance* instance);
// The bytes of instance nodes InstanceRead may still build (each instance
// builds one node per mesh node of its model, with a slot per vertex), so
// that a few kilobytes of instances of a large model cannot ask for
// gigabytes. WorldLoad sets it from the size of the member it reads and
// lifts it again (INT64_MAX) when done; an instance over it is refused.
extern std::int64_t g_InstanceReadBudget;
