#include "world/objects/free_moving_object.h"

// Will build a CFreeMovingObj that takes the instance out of the world.
CGenericObject* MakeFreeMovingObject(Instance* /*instance*/) { return nullptr; }
