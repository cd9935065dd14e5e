#include "engine/collision.h"

#include "engine/collision_internal.h"

float g_CollideVerticalScale = 0.25f;
int g_CollidePushOut = 1;
int g_CollideMode = kCollideWorldAndInstances;

namespace collide {

WorldPolygon* g_LastHit = nullptr;
Instance* g_Ignore = nullptr;
int g_InstanceChecks = 0;

}  // namespace collide

void CollideSetMode(int mode) {
  if (mode == kCollideWorldAndInstances || mode == kCollideWorldOnly || mode == kCollideInstancesOnly) {
    g_CollideMode = mode;
  }
}

Instance* CollideSetIgnore(Instance* instance) {
  collide::g_Ignore = instance;
  return instance;
}

Instance* CollideIgnored() { return collide::g_Ignore; }

int CollideInstanceChecks() { return collide::g_InstanceChecks; }

int CollideSetInstanceChecks(int on) {
  collide::g_InstanceChecks = on;
  return on;
}

WorldPolygon* CollideLastHit() { return collide::g_LastHit; }

void CollideForgetPolygon(WorldPolygon* polygon) {
  if (polygon && collide::g_LastHit == polygon) collide::g_LastHit = nullptr;
}

void CollideForgetInstance(Instance* instance) {
  if (instance && collide::g_Ignore == instance) collide::g_Ignore = nullptr;
}
