// A small world built in memory for the world simulation's tests: named
// polygon groups with properties and a few polygons or axis lines, and world
// properties (macros). The world is freed with the fixture.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/records.h"

class ScriptWorld {
 public:
  ScriptWorld();
  ~ScriptWorld();
  ScriptWorld(const ScriptWorld&) = delete;
  ScriptWorld& operator=(const ScriptWorld&) = delete;

  World* world() const { return world_; }
  // A top-level group with its own properties.
  PolygonGroup* Group(const std::string& name, const std::vector<std::pair<std::string, std::string>>& props = {});
  // A square face (4 vertices) or an axis line (2) appended to the group.
  WorldPolygon* Face(PolygonGroup* group, float x = 0, float y = 0, float z = 0);
  WorldPolygon* Line(PolygonGroup* group, Vec3 from, Vec3 to);
  void WorldProperty(const std::string& name, const std::string& text);

 private:
  World* world_;
};
