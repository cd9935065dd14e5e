#pragma once
// Placing a level instance: the shared routine of the enemies, the level
// objects and the level start, which read a marker's placement as a matrix.
#include "engine/records.h"

// Rebuilds the instance's matrix from its stored position and angles
// (rotated about x, then y, then z, then translated) and gives it to the
// instance as a set matrix (InstanceSetMatrix, animation time 0). The
// engine's current matrix is kept. Null-safe.
void InstanceApplyPlacement(Instance* instance);
