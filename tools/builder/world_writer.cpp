#include "tools/builder/world_writer.h"

#include "engine/name_hash.h"
#include "tools/builder/world_geometry_writer.h"

namespace {

// The world is the root: its number exists before any body that names it.
void WriteWorldRef(ObjectGraphWriter& graph, const World* world) { graph.EarlierRef(kObjKindWorld, world); }

void WriteFloats(ByteWriter& out, const float* values, int count) {
  for (int i = 0; i < count; ++i) out.F32(values[i]);
}

bool WriteInstanceRef(ObjectGraphWriter& graph, const World* world, const std::vector<BuilderInstance>& instances,
                      size_t index) {
  if (index >= instances.size()) {
    graph.Null();
    return true;
  }
  const BuilderInstance* instance = &instances[index];
  const std::vector<BuilderInstance>* all = &instances;
  return graph.Ref(kObjKindInstance, instance, [world, all, index, instance](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WritePropertyList(out, instance->properties);
    WriteWorldRef(g, world);
    WriteInstanceRef(g, world, *all, index == 0 ? all->size() : index - 1);
    WriteInstanceRef(g, world, *all, index + 1);
    out.I32(NameHash(instance->model.c_str()));
    out.F32(instance->position.x);
    out.F32(instance->position.y);
    out.F32(instance->position.z);
    out.F32(instance->angles.x);
    out.F32(instance->angles.y);
    out.F32(instance->angles.z);
    out.F32(instance->animTime);
    out.FixedString(instance->name, kInstanceNameLength);
  });
}

}  // namespace

bool WriteGroupRef(ObjectGraphWriter& graph, const PolygonGroup* group) {
  return graph.Ref(kObjKindPolygonGroup, group, [group](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WriteEnginePropertyList(out, group->props);
    out.CString(group->name ? group->name : "");
    WriteWorldRef(g, group->world);
    for (const PolygonGroup* link : {group->prev, group->next, group->parent, group->prevSibling, group->nextSibling,
                                     group->firstChild, group->lastChild, group->prevMover, group->nextMover}) {
      WriteGroupRef(g, link);
    }
    out.I32(group->moverType);
    out.F32(group->speed);
    out.F32(group->position);
    out.F32(group->axis.x);
    out.F32(group->axis.y);
    out.F32(group->axis.z);
    out.F32(group->pivot.x);
    out.F32(group->pivot.y);
    out.F32(group->pivot.z);
    out.F32(group->angle);
    WriteFloats(out, group->moverMatrix, kMatrixElements);
    WriteFloats(out, group->worldMatrix, kMatrixElements);
    out.I32(group->visible);
  });
}

bool WriteInstanceList(ObjectGraphWriter& graph, const World* world, const std::vector<BuilderInstance>& instances) {
  const bool first = WriteInstanceRef(graph, world, instances, 0);
  const bool last = WriteInstanceRef(graph, world, instances, instances.empty() ? 0 : instances.size() - 1);
  return first && last;
}

bool WriteWorldMember(const World* world, const std::vector<BuilderInstance>& instances,
                      const WorldMemberSettings& settings, std::vector<uint8_t>* member) {
  ByteWriter out;
  ObjectGraphWriter graph(out);
  // The body runs before this Ref returns, so it may hold this function's
  // locals by reference; a failure inside it shows in graph.Ok().
  const bool written = graph.Ref(kObjKindWorld, world, [&](ObjectGraphWriter& g) {
    WriteEnginePropertyList(g.Out(), world->props);
    WriteLightRef(g, world->firstLight);
    WriteLightRef(g, world->lastLight);
    WriteGroupRef(g, world->firstGroup);
    WriteGroupRef(g, world->lastGroup);
    WriteGroupRef(g, world->firstMover);
    WriteSurfaceRef(g, world->firstSurface);
    WriteSurfaceRef(g, world->lastSurface);
    WriteBspNodeRef(g, world->bspRoot);
    g.Out().F32(settings.depthCueFar);
    g.Out().F32(settings.flatShadeLow);
    g.Out().F32(settings.flatShadeHigh);
    WriteVertexPool(g.Out(), world);
    WriteInstanceList(g, world, instances);
    WritePolygonBlock(g, world);
  });
  if (!written || !graph.Ok()) return false;
  *member = out.Take();
  return true;
}
