#include "tools/builder/world_geometry_writer.h"

namespace {

void WriteVec3(ByteWriter& out, Vec3 v) {
  out.F32(v.x);
  out.F32(v.y);
  out.F32(v.z);
}

}  // namespace

void WriteEnginePropertyList(ByteWriter& out, const PropertyEntry* list) {
  int32_t count = 0;
  for (const PropertyEntry* entry = list; entry; entry = entry->next) ++count;
  out.I32(count);
  for (const PropertyEntry* entry = list; entry; entry = entry->next) {
    out.I32(entry->key);
    out.CString(entry->value ? entry->value : "");
  }
}

bool WriteLightRef(ObjectGraphWriter& graph, const Light* light) {
  return graph.Ref(kObjKindLight, light, [light](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WriteEnginePropertyList(out, light->props);
    out.I32(light->code);
    WriteVec3(out, Vec3{light->x, light->y, light->z});
    out.F32(light->intensity);
    out.F32(light->size);
    out.F32(light->radius);
    out.I32(light->type);
    out.F32(light->red);
    out.F32(light->green);
    out.F32(light->blue);
    out.I32(light->noColour);
    WriteLightRef(g, light->prev);
    WriteLightRef(g, light->next);
    g.EarlierRef(kObjKindWorld, light->world);
  });
}

bool WriteSurfaceRef(ObjectGraphWriter& graph, const Surface* surface) {
  return graph.Ref(kObjKindSurface, surface, [surface](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WriteEnginePropertyList(out, surface->props);
    WriteVec3(out, surface->origin);
    WriteVec3(out, surface->uAxis);
    WriteVec3(out, surface->vAxis);
    out.I32(surface->uOffset);
    out.I32(surface->vOffset);
    out.I32(surface->texture ? surface->texture->id : 0);
    WriteSurfaceRef(g, surface->prev);
    WriteSurfaceRef(g, surface->next);
    g.EarlierRef(kObjKindWorld, surface->world);
  });
}

bool WriteBspNodeRef(ObjectGraphWriter& graph, const BspNode* node) {
  return graph.Ref(kObjKindBspNode, node, [node](ObjectGraphWriter& g) {
    ByteWriter& out = g.Out();
    WriteVec3(out, node->normal);
    out.F32(node->d);
    WriteVec3(out, node->centre);
    out.F32(node->radius);
    WriteVec3(out, node->boxMin);
    WriteVec3(out, node->boxMax);
    out.I32(node->fragmentCount);
    out.I32(node->code);
    WriteBspNodeRef(g, node->front);
    WriteBspNodeRef(g, node->back);
    WriteBspNodeRef(g, node->parent);
  });
}

void WriteVertexPool(ByteWriter& out, const World* world) {
  const VertexPool& pool = world->vertexPool;
  out.I32(world->fragmentCount);
  out.I32(pool.used);
  out.I32(pool.capacity);
  for (int32_t head : pool.buckets) out.I32(head);
  out.I32(pool.freeHead);
  out.I32(pool.welding);
  for (const float* array : {pool.x, pool.y, pool.z}) {
    for (int i = 0; i < pool.used; ++i) out.F32(array[i]);
  }
  for (const int32_t* array : {pool.prev, pool.next, pool.refCount}) {
    for (int i = 0; i < pool.used; ++i) out.I32(array[i]);
  }
}

bool WritePolygonBlock(ObjectGraphWriter& graph, const World* world) {
  ByteWriter& out = graph.Out();
  int32_t count = 0;
  for (const WorldPolygon* p = world->firstPolygon; p; p = p->next) ++count;
  out.I32(count);
  bool ok = true;
  for (const WorldPolygon* p = world->firstPolygon; p; p = p->next) {
    out.I32(p->vertexCount);
    WriteEnginePropertyList(out, p->props);
    for (int i = 0; i < p->vertexCount; ++i) {
      const PolygonVertex& v = p->vertices[i];
      for (float value : {v.x, v.y, v.z, v.light, v.colour1, v.colour2, v.colour3}) out.F32(value);
    }
    WriteVec3(out, p->normal);
    out.F32(p->d);
    ok = WriteSurfaceRef(graph, p->surface) && ok;
    out.I32(p->flatColour);
    out.I32(p->lineColour);
    out.I32(p->flags);
    graph.EarlierRef(kObjKindPolygonGroup, p->group);
    int32_t fragments = 0;
    for (const BspFragment* f = p->firstFragment; f; f = f->nextInPolygon) ++fragments;
    out.I32(fragments);
    for (const BspFragment* f = p->firstFragment; f; f = f->nextInPolygon) {
      out.I32(f->vertexCount);
      for (int i = 0; i < f->vertexCount; ++i) {
        const FragmentVertex& v = f->vertices[i];
        out.I32(v.vertex);
        for (float value : {v.light, v.colour1, v.colour2, v.colour3, v.u, v.v}) out.F32(value);
      }
      ok = WriteBspNodeRef(graph, f->node) && ok;
      out.I32(f->back);
      out.I32(f->renderMark);
    }
  }
  return ok;
}
