#include "engine/collision_internal.h"

namespace collide {

namespace {

bool GroupOnList(const World* world, const PolygonGroup* group) {
  for (const PolygonGroup* g = world->firstGroup; g; g = g->next) {
    if (g == group) return true;
  }
  return false;
}

bool InstanceOnList(const World* world, const Instance* instance) {
  for (const Instance* i = world->firstInstance; i; i = i->next) {
    if (i == instance) return true;
  }
  return false;
}

}  // namespace

void PendingCalls::Run(World* world) {
  for (int i = 0; i < calls_.Count(); ++i) {
    const Call call = calls_.At(i);
    // Nothing has run before the first call, so its record is alive; after
    // that any callback may have deleted a record we still hold.
    if (call.group) {
      if (i > 0 && !GroupOnList(world, call.group)) continue;
      if (GroupCallback callback = call.group->callback) callback(call.group, call.code);
    } else if (call.instance) {
      if (i > 0 && !InstanceOnList(world, call.instance)) continue;
      if (InstanceCallback callback = call.instance->callback) callback(call.instance, call.code);
    }
  }
}

}  // namespace collide
