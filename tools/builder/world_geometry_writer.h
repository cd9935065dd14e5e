#pragma once
// Writers of the world member's geometry, from a world built in memory with
// the engine's own operations (polygons created and inserted into the BSP by
// the engine, so the tree, fragments and welded pool are exactly what the
// engine makes at run time): lights, surfaces, BSP nodes, the vertex pool and
// the polygon block with its fragments. Each mirrors its engine reader field
// for field (engine/geometry_read.cpp).
//
// The world and the polygon groups are written before these records (the
// world is the graph's root, the groups come before the polygons): a
// reference to one that has no number yet cannot be written, and the graph
// is then not Ok. Each writer returns false when a reference names a record
// written before as another kind; failures inside the bodies it leads to
// show in the graph's Ok().
#include "engine/records.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/object_graph_writer.h"

// An engine property list as stored: count, then {key, NUL-terminated value}
// in list order.
void WriteEnginePropertyList(ByteWriter& out, const PropertyEntry* list);

// A reference to the light (body at its first reference), its prev and next
// lights following inside the body.
bool WriteLightRef(ObjectGraphWriter& graph, const Light* light);
// A reference to the surface; its texture is written as the texture's id.
bool WriteSurfaceRef(ObjectGraphWriter& graph, const Surface* surface);
// A reference to the node, its subtree and parent inside its body.
bool WriteBspNodeRef(ObjectGraphWriter& graph, const BspNode* node);
// The world's fragment count and vertex pool, as the world member holds them.
void WriteVertexPool(ByteWriter& out, const World* world);
// Every polygon of the world with its fragments, in list order.
bool WritePolygonBlock(ObjectGraphWriter& graph, const World* world);
