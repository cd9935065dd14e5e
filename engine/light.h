#pragma once
// Lights of a world. A world keeps two lists: point lights, and sphere lights
// (type 4), which LightsSeparateSpheres moves to their own list once after a
// level is loaded. The world simulation makes, moves and deletes its moving
// and temporary lights at run time.
#include "engine/records.h"

class ObjBody;  // a record reader (engine/object_graph.h)

// Grows whenever a light is made, read, changed through LightSet, deleted or
// moved between lists, so that what is worked out from the lights (the
// frame's choice of lights, engine/light_select.h) knows when to start
// again. Code that writes a light's position, size, radius or type itself
// must add 1.
extern std::uint32_t g_LightsChanged;

// A light appended to the world's point-light list: no properties, colour
// (0, 0, 0) when noColour is set, radiusSquared and halfPower (intensity x
// size / 2) computed. Null for a null world.
Light* LightCreate(World* world, float x, float y, float z, float red, float green, float blue, float intensity,
                   float size, float radius, int type, int noColour);
// Updates position, intensity, size, radius and type and recomputes the
// derived values; the colour stays. Returns the light (null for null).
Light* LightSet(Light* light, float x, float y, float z, float intensity, float size, float radius, int type);
// Frees the light with its property list after unlinking it from whichever of
// its world's two lists holds it. 0 for null, else 1.
int LightDelete(Light* light);
// Moves every type-4 light from the point-light list to the end of the
// sphere-light list, keeping their order.
void LightsSeparateSpheres(World* world);

// Reads a light's stored body (object-graph reader): property list, code,
// position, intensity, size, radius, type, colour, noColour, then the prev
// and next lights and the world (which must have been read before it).
// radiusSquared and halfPower are computed. 1 or 0.
ObjBody LightRead(Light* light);
