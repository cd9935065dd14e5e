#pragma once
// A small kit for laying out a level in an engine world built in memory:
// textured quads facing a given way, rooms as boxes seen from inside with
// openings cut into their faces, solid blocks seen from outside, axis lines
// and lights. Polygons go through the engine's own creation and BSP
// insertion (or into a group, placed by the next group rebuild), so the
// world written afterwards is exactly what the engine makes at run time.
//
// Axes are the game's: y points down, so a floor lies at a larger y than its
// ceiling. Textures are named as in "TEXTURES.CAN"; the builder holds no
// pixels and maps every texture at about 1.5 world units per texel unless a
// mapping is given.
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/records.h"
#include "tools/builder/palette_builder.h"

// A surface mapping: origin and the world vectors spanning 256 texels along
// u and along v.
struct LevelMapping {
  Vec3 origin;
  Vec3 u;
  Vec3 v;
};

// The six faces of a box.
enum LevelFace : int { kFaceMinX, kFaceMaxX, kFaceCeiling, kFaceFloor, kFaceMinZ, kFaceMaxZ, kFaceCount };

// A hole in one face of a room: [a0, a1] along the face's first axis (z on
// the x faces, x on the z faces and on the floor and ceiling) and [b0, b1]
// along its second (y on the walls, z on the floor and ceiling), in world
// coordinates.
struct LevelOpening {
  LevelFace face;
  float a0, a1, b0, b1;
};

// What each face of a room is made of; a null texture leaves the face open.
struct LevelRoomStyle {
  const char* textures[kFaceCount];
  float light[kFaceCount];
};

// A closed room: walls all round, the floor a little lighter than the walls
// and the ceiling a little darker.
LevelRoomStyle LevelRoomStyleOf(const char* walls, const char* floor, const char* ceiling, float light);
// Sets a property of a group's or instance's list by its name.
void LevelSetProperty(PropertyEntry** list, const char* name, const char* value);

class LevelBuilder {
 public:
  // The world must have a BSP root and a vertex pool.
  LevelBuilder(World* world, const BuilderPalette& palette);
  LevelBuilder(const LevelBuilder&) = delete;
  LevelBuilder& operator=(const LevelBuilder&) = delete;

  // The standard mapping of a plane with this normal: walls upright (v down),
  // floors and ceilings along x and z; 1.5 units per texel.
  static LevelMapping StandardMapping(Vec3 normal);

  // A convex polygon of 3..8 points facing `facing` (the order is reversed
  // when the points turn the other way), every vertex with the light level,
  // textured, in the BSP, or in group (placed by the next rebuild). flags
  // are added to the polygon's. Null when the engine refuses the polygon.
  WorldPolygon* Polygon(const std::vector<Vec3>& points, Vec3 facing, const char* texture, float light,
                        PolygonGroup* group = nullptr, const LevelMapping* mapping = nullptr, int flags = 0);
  // An axis line (2 vertices) kept out of the BSP, in group when given.
  WorldPolygon* Line(Vec3 from, Vec3 to, PolygonGroup* group);

  // A box seen from inside: each face with its texture and light, cut
  // around the openings that lie in it.
  void Room(Vec3 min, Vec3 max, const LevelRoomStyle& style, const std::vector<LevelOpening>& openings);
  // A rectangle of a room face cut around holes, as the room cuts its faces.
  void FaceWithHoles(LevelFace face, float plane, float a0, float a1, float b0, float b1, bool inward,
                     const std::vector<LevelOpening>& holes, const char* texture, float light,
                     PolygonGroup* group = nullptr);
  // A box seen from outside, every face with the texture.
  void Block(Vec3 min, Vec3 max, const char* texture, float light, PolygonGroup* group = nullptr);

  // A point light (type 0) and a sphere light (type 4).
  Light* PointLight(Vec3 at, float intensity, float size, float radius, float red, float green, float blue);
  Light* SphereLight(Vec3 at, float intensity, float radius);

  // Drops the builder's own hold on the surfaces it made; call once the
  // layout is done (the polygons keep theirs).
  void ReleaseSurfaces();

 private:
  Surface* SurfaceFor(const char* texture, const LevelMapping& mapping);

  World* world_;
  BuilderPalette palette_;
  std::map<std::tuple<std::string, float, float, float, float, float, float, float, float, float>, Surface*> surfaces_;
};
