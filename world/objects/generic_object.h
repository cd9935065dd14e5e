#pragma once
// The base of every dynamic object (missiles, bullets, explosions, effects,
// pick-ups): an object known across the network by its owner's player id and
// an object id, kept and updated by the object manager. Its virtual
// operations (update, position, creation message, mesh ownership) come with
// the world simulation's object base.
#include "platform/framework/runtime_class.h"

class CGenericObject : public CObject {};
