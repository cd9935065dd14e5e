#pragma once
// Between the model reader's files: every record read from "OBJECTS" in the
// current load, so that the whole graph can be checked before anything uses
// it and, when it is bad, freed record by record without following a single
// link that came from the file.
#include <vector>

#include "engine/object_graph.h"
#include "engine/records.h"

struct ModelGraph {
  std::vector<Model*> models;
  std::vector<MeshNode*> nodes;
  std::vector<RotationKey*> rotationKeys;
  std::vector<PositionKey*> positionKeys;
  std::vector<PathJunction*> junctions;
  std::vector<PathSegment*> segments;
};

// The graph of the load in progress (ModelsReload).
extern ModelGraph g_ModelGraph;

// Record readers (object graph), in the stored order of each kind
// (engine/model.h, engine/path.h). Each one records its object in
// g_ModelGraph first.
ObjBody ModelRead(Model* model);
ObjBody MeshNodeRead(MeshNode* node);
ObjBody RotationKeyRead(RotationKey* key);
ObjBody PositionKeyRead(PositionKey* key);
ObjBody PathJunctionRead(PathJunction* junction);
ObjBody PathSegmentRead(PathSegment* segment);

// 1 when the records read form well-shaped models with root first on their
// list: see engine/model.h. Shared-vertex entries of index -1 get a null node.
int ModelGraphValid(const ModelGraph& graph, Model* root);
// Frees every record of the graph on its own (arrays, properties, texture
// references), following no links.
void ModelGraphFreeAll(ModelGraph* graph);
