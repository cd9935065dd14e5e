#pragma once
// The targets that self-seeking missiles took in the current object tick, so
// that two missiles searching in the same tick do not choose the same one.
// The object manager empties the list at the start and end of every tick.
// A target key is the 64-bit value of world/document targets: a player's
// DPID in the high half, or an enemy's id; 0 names no target.
#include <cstdint>

void AddTargetLock(uint64_t key);
// True when the key was locked in this tick (both 32-bit halves equal).
bool IsTargetLocked(uint64_t key);
void ClearTargetLocks();
// How many keys are held (for tests and diagnostics).
int TargetLockCount();
