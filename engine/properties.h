#pragma once
// Property lists: {NameHash(name), string value} pairs that hang off worlds,
// groups, polygons, instances, models, mesh nodes, lights, surfaces and
// textures, carrying the level editor's named settings to the game.
//
// Stored in an archive as: i32 count, then count x {i32 key; NUL-terminated
// value}. Each value is a pool block of strlen + 1 bytes.
#include "engine/records.h"

// The library-wide list, searched last by every lookup. Nothing in the game
// fills it; it is there for tools and tests.
extern PropertyEntry* g_LibraryProperties;

// The value of the first entry with key, or null (a null list gives null).
const char* PropFind(const PropertyEntry* list, int key);
// With a value: stores a pool copy of it under key (a missing key gets a new
// entry at the head; an existing entry's old value is freed). With null:
// unlinks and frees the entry with that key, if any.
void PropSet(PropertyEntry** list, int key, const char* value);
// Frees every entry and value; *list is null afterwards.
void PropFreeList(PropertyEntry** list);
// Reads a stored list into *list in file order. A short read frees what was
// read, leaves *list null and fails; a count of 0 or less is an empty list.
int PropReadList(PropertyEntry** list);

// Lookups by name (hashed with NameHash); the first value found, or null:
// - an instance: its own list, its model's, its world's, the library list;
// - a polygon: its own, its group's (when it has one), its world's, the
//   library list;
// - a group: its own, its world's, the library list;
// - a world: its own, the library list.
// Missing owners (no model, no world) are skipped.
const char* InstanceGetProperty(const Instance* instance, const char* name);
const char* PolygonGetProperty(const WorldPolygon* polygon, const char* name);
const char* GroupGetProperty(const PolygonGroup* group, const char* name);
const char* WorldGetProperty(const World* world, const char* name);
