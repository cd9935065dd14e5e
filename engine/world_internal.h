#pragma once
// What the world modules share among themselves (not for callers).
#include "engine/object_graph.h"
#include "engine/records.h"

// Reads a world body (the object graph's reader for the world record).
ObjBody WorldRead(World* world);
// After a successful WorldRead, with the object table still holding every
// record read: 1 when the world holds together (see world_check.cpp).
int WorldCheck(World* world);
// After a failed read or check, with the object table still holding every
// record read: frees every record of the table and every polygon linked to
// world (which may be null), each once, whatever state it was left in.
void WorldDiscardRead(World* world);
