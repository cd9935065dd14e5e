#include "tools/builder/world_writer.h"

#include "engine/name_hash.h"
#include "tools/builder/world_geometry_writer.h"

namespace {

// The world is the root: its number exists before any body that names it.
bool WriteWorldRef(ObjectGraphWriter& graph, const World* world) {
  return WriteEarlierRef(graph, kObjKindWorld, world);
}

void WriteFloats(ByteWriter& out, const float* values, int count) {
  for (int i = 0; i < count; ++i) out.F32(values[i]);
}

bool WriteInstanceRef(ObjectGraphWriter& graph, const World* world, const std::vector<BuilderInstance>& instances,
                      size_t index) {
  if (index >= instances.size()) {
    graph.Null();
    return true;
  }
  const BuilderInstance& instance = instances[index];
  bool ok = true;
  const bool written = graph.Ref(kObjKindInstance, &instance, [&](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WritePropertyList(out, instance.properties);
    ok = WriteWorldRef(g, world) && ok;
    ok = WriteInstanceRef(g, world, instances, index == 0 ? instances.size() : index - 1) && ok;
    ok = WriteInstanceRef(g, world, instances, index + 1) && ok;
    out.I32(NameHash(instance.model.c_str()));
    out.F32(instance.position.x);
    out.F32(instance.position.y);
    out.F32(instance.position.z);
    out.F32(instance.angles.x);
    out.F32(instance.angles.y);
    out.F32(instance.angles.z);
    out.F32(instance.animTime);
    out.FixedString(instance.name, kInstanceNameLength);
  });
  return written && ok;
}

}  // namespace

bool WriteGroupRef(ObjectGraphWriter& graph, const PolygonGroup* group) {
  bool ok = true;
  const bool written = graph.Ref(kObjKindPolygonGroup, group, [group, &ok](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WriteEnginePropertyList(out, group->props);
    out.CString(group->name ? group->name : "");
    ok = WriteWorldRef(g, group->world) && ok;
    for (const PolygonGroup* link : {group->prev, group->next, group->parent, group->prevSibling, group->nextSibling,
                                     group->firstChild, group->lastChild, group->prevMover, group->nextMover}) {
      ok = WriteGroupRef(g, link) && ok;
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
  return written && ok;
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
  bool ok = true;
  const bool written = graph.Ref(kObjKindWorld, world, [&](ObjectGraphWriter& g) {
    WriteEnginePropertyList(out, world->props);
    ok = WriteLightRef(g, world->firstLight) && ok;
    ok = WriteLightRef(g, world->lastLight) && ok;
    ok = WriteGroupRef(g, world->firstGroup) && ok;
    ok = WriteGroupRef(g, world->lastGroup) && ok;
    ok = WriteGroupRef(g, world->firstMover) && ok;
    ok = WriteSurfaceRef(g, world->firstSurface) && ok;
    ok = WriteSurfaceRef(g, world->lastSurface) && ok;
    ok = WriteBspNodeRef(g, world->bspRoot) && ok;
    out.F32(settings.depthCueFar);
    out.F32(settings.flatShadeLow);
    out.F32(settings.flatShadeHigh);
    WriteVertexPool(out, world);
    ok = WriteInstanceList(g, world, instances) && ok;
    ok = WritePolygonBlock(g, world) && ok;
  });
  if (!written || !ok || !graph.Ok()) return false;
  *member = out.Take();
  return true;
}
