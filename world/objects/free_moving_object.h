#pragma once
// The level's free-moving objects: scene instances named "physical_..."
// that fall and tumble as dynamic objects. The object manager turns each
// such instance into one when it is made.
#include "engine/records.h"

class CGenericObject;

// The free-moving object made from the instance, which then leaves the
// world's list; null when none can be made, the instance then stays as it
// is. (Until the free-moving objects are built this makes none.)
CGenericObject* MakeFreeMovingObject(Instance* instance);
