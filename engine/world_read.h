#pragma once
// The world member's reader, for the record readers whose bodies refer back
// to their world (groups, lights, surfaces, instances).
#include "engine/records.h"

// Reads a world body (the object graph's reader for kObjKindWorld). Only one
// world is read at a time: a world reference met while one is being read
// must name it, never bring a second one.
int WorldRead(World* world);
