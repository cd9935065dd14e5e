#include "engine/lighting.h"

#include <cmath>
#include <initializer_list>

#include "engine/depth_cue.h"
#include "engine/light_select.h"
#include "engine/polygon_math.h"
#include "engine/render_world.h"
#include "engine/view.h"

int g_SurfaceTakesLights = 1;
float g_InstanceAmbientDefault = 1.0f;
Vec3 g_InstanceEyePosition;

namespace {

// The vector from the point to the light when the light reaches it: inside
// its radius along every axis (strictly) and in all.
bool LightReaches(const Light* light, float lx, float ly, float lz, float x, float y, float z, Vec3* d,
                  float* distanceSquared) {
  *d = {lx - x, ly - y, lz - z};
  const float r = light->radius;
  if (!(std::fabs(d->x) < r && std::fabs(d->y) < r && std::fabs(d->z) < r)) return false;
  *distanceSquared = d->x * d->x + d->y * d->y + d->z * d->z;
  return *distanceSquared < light->radiusSquared;
}

int FinishLevel(float base, float eyeX, float eyeY, float eyeZ, float x, float y, float z) {
  if (!(base > 0.0f)) base = 0.0f;  // NaN too
  if (base > 1.0f) base = 1.0f;
  if (DepthCueOn()) {
    const float dx = x - eyeX, dy = y - eyeY, dz = z - eyeZ;
    base *= DepthCueFactor(dx * dx + dy * dy + dz * dz);
  }
  return LightLevelFromFloat(base);
}

}  // namespace

void SetInstanceAmbientDefault(float level) { g_InstanceAmbientDefault = level; }

int LightLevelFromFloat(float f) {
  if (!(f > 0.0f)) f = 0.0f;
  if (f > 1.0f) f = 1.0f;
  return static_cast<int>(std::lround(f * kLightLevelScale)) + kLightLevelBias;
}

int LightingAtPoint(float x, float y, float z, float nx, float ny, float nz, float base) {
  if (g_SurfaceTakesLights && g_CurrentWorld) {
    auto add = [&](const Light* light) {
      if (light->type == kLightTypeSphere) return;
      Vec3 d;
      float distanceSquared;
      if (!LightReaches(light, light->x, light->y, light->z, x, y, z, &d, &distanceSquared)) return;
      const float dot = d.x * nx + d.y * ny + d.z * nz;
      if (!(dot > 0.0f)) return;
      base += light->halfPower * dot / std::fmax(distanceSquared, 1.0f);
    };
    // The lights chosen for the fragment being drawn are those of the list
    // that can reach it, in list order.
    if (g_LightSelection.active) {
      for (int i = 0; i < g_LightSelection.count; ++i) add(g_LightSelection.lights[i]);
    } else {
      for (const Light* light = g_CurrentWorld->firstLight; light; light = light->next) add(light);
    }
  }
  return FinishLevel(base, g_CameraPosition.x, g_CameraPosition.y, g_CameraPosition.z, x, y, z);
}

namespace {

float InstanceLightsFrom(const Light* first, float x, float y, float z, float nx, float ny, float nz, float base) {
  for (const Light* light = first; light; light = light->next) {
    Vec3 d;
    float distanceSquared;
    if (!LightReaches(light, light->localX, light->localY, light->localZ, x, y, z, &d, &distanceSquared)) continue;
    if (light->type == kLightTypeSphere) {
      base += (1.0f - distanceSquared / light->radiusSquared) * light->intensity;
      continue;
    }
    const float dot = d.x * nx + d.y * ny + d.z * nz;
    if (!(dot > 0.0f)) continue;
    base += light->halfPower * dot / distanceSquared;
  }
  return base;
}

}  // namespace

int InstanceLightingAtPoint(float x, float y, float z, float nx, float ny, float nz, float base) {
  if (g_SurfaceTakesLights && g_CurrentWorld) {
    base = InstanceLightsFrom(g_CurrentWorld->firstSphereLight, x, y, z, nx, ny, nz, base);
    base = InstanceLightsFrom(g_CurrentWorld->firstLight, x, y, z, nx, ny, nz, base);
  }
  return FinishLevel(base, g_InstanceEyePosition.x, g_InstanceEyePosition.y, g_InstanceEyePosition.z, x, y, z);
}

void LightingPlaceInFrame(World* world, const float m[16]) {
  g_InstanceEyePosition = polymath::MapPoint(m, g_CameraPosition);
  if (!world) return;
  for (Light* list : {world->firstSphereLight, world->firstLight}) {
    for (Light* light = list; light; light = light->next) {
      const Vec3 local = polymath::MapPoint(m, {light->x, light->y, light->z});
      light->localX = local.x;
      light->localY = local.y;
      light->localZ = local.z;
    }
  }
}

int InstanceColourLightingAtPoint(float x, float y, float z, float nx, float ny, float nz, float base, float* red,
                                  float* green, float* blue) {
  if (g_SurfaceTakesLights && g_CurrentWorld) {
    for (const Light* first : {g_CurrentWorld->firstSphereLight, g_CurrentWorld->firstLight}) {
      for (const Light* light = first; light; light = light->next) {
        Vec3 d;
        float distanceSquared;
        if (!LightReaches(light, light->localX, light->localY, light->localZ, x, y, z, &d, &distanceSquared)) continue;
        float f;
        if (light->type == kLightTypeSphere) {
          f = 1.0f - distanceSquared / light->radiusSquared;
          base += f * light->intensity;
        } else {
          const float dot = d.x * nx + d.y * ny + d.z * nz;
          if (!(dot > 0.0f)) continue;
          f = dot / distanceSquared;
          base += light->halfPower * f;
        }
        *red += light->red * f;
        *green += light->green * f;
        *blue += light->blue * f;
      }
    }
  }
  return FinishLevel(base, g_InstanceEyePosition.x, g_InstanceEyePosition.y, g_InstanceEyePosition.z, x, y, z);
}
