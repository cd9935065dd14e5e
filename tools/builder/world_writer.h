#pragma once
// Writes a world member ("*.CCW") exactly as the engine's WorldLoad reads it
// (engine/world_read.cpp), from a world built in memory with the engine's
// own operations (polygons, groups, lights, surfaces, the BSP and the welded
// pool), plus the level's instances, which the builder describes by model
// file name because it holds no models.
//
// World body, in order: property list; refs firstLight, lastLight;
// firstGroup, lastGroup, firstMover; firstSurface, lastSurface; bspRoot;
// float depth-cue far distance; floats flat-shade low and high; the vertex
// pool (fragment count, used, capacity, 256 bucket heads, free head,
// welding, x, y, z, prev, next, refs); refs firstInstance, lastInstance; the
// polygon block with its fragments.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"
#include "tools/builder/object_graph_writer.h"

// An instance of a model of "OBJECTS", named by the model's file name
// ("player.3ds"; the engine finds it by NameHash of that name).
struct BuilderInstance {
  std::string model;
  Vec3 position;
  Vec3 angles;  // radians
  float animTime;
  std::string name;  // at most 64 characters are kept
  BuilderProperties properties;
};

// The world member's scalar settings.
struct WorldMemberSettings {
  float depthCueFar = -1.0f;  // -1: no depth cue
  float flatShadeLow = 0.0f;
  float flatShadeHigh = 1.0f;
};

// A reference to the group, its body at the first reference: property list,
// name, refs world (written before), prev, next, parent, prevSibling,
// nextSibling, firstChild, lastChild, prevMover, nextMover, mover type,
// speed, position, axis, pivot, angle, mover and world matrices, visible.
bool WriteGroupRef(ObjectGraphWriter& graph, const PolygonGroup* group);
// References to the first and last of the instances, as one list (each
// body's prev and next are its neighbours in the vector).
bool WriteInstanceList(ObjectGraphWriter& graph, const World* world, const std::vector<BuilderInstance>& instances);
// The whole member. False when a record could not be written (a reference
// the reader would refuse).
bool WriteWorldMember(const World* world, const std::vector<BuilderInstance>& instances,
                      const WorldMemberSettings& settings, std::vector<uint8_t>* member);
