#pragma once
// The world simulation's engine callbacks: what a level group or an
// instance does when the engine reports a contact or a mover's end.
#include "engine/records.h"

// Stored in an instance's callback field; WorldCollideSphere calls it with
// code 2 after pushing a sphere off the instance.
void InstanceCollisionCallback(Instance* instance, int code);
