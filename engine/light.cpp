#include "engine/light.h"

#include "engine/data_archive.h"
#include "engine/intrusive_list.h"
#include "engine/object_graph.h"
#include "engine/pool.h"
#include "engine/properties.h"
#include "engine/world_internal.h"

std::uint32_t g_LightsChanged;

namespace {

void LightComputeDerived(Light* light) {
  ++g_LightsChanged;
  light->radiusSquared = light->radius * light->radius;
  light->halfPower = light->intensity * light->size / 2.0f;
}

void LightAppend(Light* light, Light*& first, Light*& last) {
  ++g_LightsChanged;
  ListAppend(first, last, light, &Light::prev, &Light::next);
}

// Callers take a light only off the list that holds it.
void LightUnlink(Light* light, Light*& first, Light*& last) {
  ++g_LightsChanged;
  ListUnlink(first, last, light, &Light::prev, &Light::next);
}

// A light's own links do not say which of the two lists holds it; the lists'
// ends do: a head or tail is compared directly, a light in the middle is
// followed to its list's tail.
bool LightOnSphereList(const Light* light, const World* world) {
  if (!light->prev) return world->firstSphereLight == light;
  if (!light->next) return world->lastSphereLight == light;
  for (const Light* l = light; l; l = l->next) {
    if (l == world->lastSphereLight) return true;
    if (l == world->lastLight) return false;
  }
  return false;
}

}  // namespace

Light* LightCreate(World* world, float x, float y, float z, float red, float green, float blue, float intensity,
                   float size, float radius, int type, int noColour) {
  if (!world) return nullptr;
  Light* light = PoolNew<Light>();
  if (!noColour) {
    light->red = red;
    light->green = green;
    light->blue = blue;
  }
  light->noColour = noColour;
  light->world = world;
  LightSet(light, x, y, z, intensity, size, radius, type);
  LightAppend(light, world->firstLight, world->lastLight);
  return light;
}

Light* LightSet(Light* light, float x, float y, float z, float intensity, float size, float radius, int type) {
  if (!light) return nullptr;
  light->x = x;
  light->y = y;
  light->z = z;
  light->intensity = intensity;
  light->size = size;
  light->radius = radius;
  light->type = type;
  LightComputeDerived(light);
  return light;
}

int LightDelete(Light* light) {
  if (!light) return 0;
  PropFreeList(&light->props);
  if (World* world = light->world) {
    if (LightOnSphereList(light, world)) {
      LightUnlink(light, world->firstSphereLight, world->lastSphereLight);
    } else if (light->prev || light->next || world->firstLight == light) {
      LightUnlink(light, world->firstLight, world->lastLight);
    }
  }
  PoolDelete(light);
  return 1;
}

void LightsSeparateSpheres(World* world) {
  if (!world) return;
  Light* light = world->firstLight;
  while (light) {
    Light* next = light->next;
    if (light->type == kLightTypeSphere) {
      LightUnlink(light, world->firstLight, world->lastLight);
      LightAppend(light, world->firstSphereLight, world->lastSphereLight);
    }
    light = next;
  }
}

ObjBody LightRead(Light* light) {
  if (!PropReadList(&light->props)) co_return 0;
  if (!ArchiveReadInt(&light->code) || !ArchiveReadVec3(&light->x, &light->y, &light->z) ||
      !ArchiveReadFloat(&light->intensity) || !ArchiveReadFloat(&light->size) || !ArchiveReadFloat(&light->radius) ||
      !ArchiveReadInt(&light->type) || !ArchiveReadFloat(&light->red) || !ArchiveReadFloat(&light->green) ||
      !ArchiveReadFloat(&light->blue) || !ArchiveReadInt(&light->noColour)) {
    co_return 0;
  }
  LightComputeDerived(light);
  int ok = co_await ObjRef<Light, LightRead>(&light->prev);
  if (ok) ok = co_await ObjRef<Light, LightRead>(&light->next);
  if (!ok) co_return 0;
  co_return ObjReadEarlierRecord(&light->world);
}
