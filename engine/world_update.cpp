#include "engine/path.h"
#include "engine/polygon_group.h"
#include "engine/world.h"

void WorldUpdate(World* world, int milliseconds) {
  if (!world || milliseconds <= 0) return;
  const float seconds = static_cast<float>(milliseconds) * 0.001f;
  WorldUpdateMovers(world, seconds);
  Instance* next = nullptr;
  for (Instance* instance = world->firstInstance; instance; instance = next) {
    next = instance->next;
    InstanceFollowPath(instance, seconds);
  }
}
