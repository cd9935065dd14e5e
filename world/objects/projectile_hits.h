#pragma once
// What the plasma and rubber balls do to an instance their ray meets: its
// damage event, and the damage (to the enemy that owns it, else to the
// local ship when it is that; every program hurts only its own player).
#include "platform/types.h"

struct Instance;

// "damage_event", else "damageevent", of the instance raised from_object.
void RaiseInstanceDamageEvent(Instance* instance);
// The enemy whose instance it is takes the damage (from the shooter's
// instance, null when unknown); failing that, the local ship when it is the
// instance, with the owner's player as the source.
void DamageInstanceFrom(Instance* instance, float damage, DPID owner, const Instance* shooter);
