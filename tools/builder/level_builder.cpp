#include "tools/builder/level_builder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/light.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/polygon_math.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "tools/builder/demo_textures.h"

using namespace polymath;

namespace {

constexpr float kUnitsPerTexel = 1.5f;
constexpr float kSpan = 256.0f * kUnitsPerTexel;  // world length of 256 texels

// The colour a texture reads as from afar, for its polygons' flat colour.
struct TextureTone {
  const char* name;
  int red, green, blue;
};
constexpr TextureTone kTones[] = {
    {kDemoWallBrick, 140, 80, 55},    {kDemoWallConcrete, 138, 136, 130}, {kDemoWallTech, 95, 115, 145},
    {kDemoFloorTiles, 105, 105, 108}, {kDemoFloorGrating, 130, 135, 140}, {kDemoCeiling, 105, 105, 110},
    {kDemoMetalPlate, 120, 125, 135}, {kDemoHazardStripes, 200, 170, 40}, {kDemoLightPanel, 240, 220, 150},
    {kDemoLightStrip, 170, 220, 250}, {kDemoPipes, 150, 110, 70},         {kDemoDoor, 60, 130, 125},
    {kDemoComputer, 45, 50, 60},      {kDemoWater, 40, 80, 170},          {kDemoLava, 210, 90, 30},
    {kDemoSludge, 80, 120, 40},       {kDemoGrate, 140, 140, 150},
};

int FlatColour(const BuilderPalette& palette, const char* texture) {
  for (const TextureTone& tone : kTones) {
    if (std::strcmp(tone.name, texture) == 0) return NearestGameColour(palette, tone.red, tone.green, tone.blue);
  }
  return NearestGameColour(palette, 128, 128, 128);
}

// The first two axes of a face and its plane axis: 0 = x, 1 = y, 2 = z.
struct FaceAxes {
  int a, b, plane;
  float inward;  // sign of the inward normal along the plane axis
};
FaceAxes AxesOf(LevelFace face) {
  switch (face) {
    case kFaceMinX:
      return {2, 1, 0, 1.0f};
    case kFaceMaxX:
      return {2, 1, 0, -1.0f};
    case kFaceCeiling:
      return {0, 2, 1, 1.0f};
    case kFaceFloor:
      return {0, 2, 1, -1.0f};
    case kFaceMinZ:
      return {0, 1, 2, 1.0f};
    default:
      return {0, 1, 2, -1.0f};
  }
}

float& Axis(Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float AxisOf(Vec3 v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

Vec3 FacePoint(const FaceAxes& axes, float plane, float a, float b) {
  Vec3 p = {0, 0, 0};
  Axis(p, axes.plane) = plane;
  Axis(p, axes.a) = a;
  Axis(p, axes.b) = b;
  return p;
}

}  // namespace

LevelBuilder::LevelBuilder(World* world, const BuilderPalette& palette) : world_(world), palette_(palette) {}

LevelMapping LevelBuilder::StandardMapping(Vec3 normal) {
  if (std::fabs(normal.y) > 0.7f) return {{0, 0, 0}, {kSpan, 0, 0}, {0, 0, kSpan}};
  // Upright: v runs down (+y); u runs along the wall.
  const Vec3 down = {0, 1, 0};
  Vec3 along = Cross(down, normal);
  const float length = std::sqrt(Dot(along, along));
  along = {along.x / length * kSpan, along.y / length * kSpan, along.z / length * kSpan};
  return {{0, 0, 0}, along, {0, kSpan, 0}};
}

Surface* LevelBuilder::SurfaceFor(const char* texture, const LevelMapping& m) {
  const auto key = std::make_tuple(std::string(texture), m.origin.x, m.origin.y, m.origin.z, m.u.x, m.u.y, m.u.z, m.v.x,
                                   m.v.y, m.v.z);
  const auto found = surfaces_.find(key);
  if (found != surfaces_.end()) {
    Surface* surface = found->second;
    ++surface->refs;  // the new polygon's reference
    return surface;
  }
  // The builder holds no texture pixels: the placeholder of the texture's id
  // carries the id that the surface stores, and goes with its surfaces.
  Texture* placeholder = TextureFromId(NameHash(texture));
  Surface* surface = SurfaceCreate(world_, m.origin.x, m.origin.y, m.origin.z, m.u.x, m.u.y, m.u.z, m.v.x, m.v.y, m.v.z,
                                   0, 0, placeholder);
  if (surface) {
    ++surface->refs;  // the cache's own, dropped when the world is written
    surfaces_[key] = surface;
  }
  return surface;
}

WorldPolygon* LevelBuilder::Polygon(const std::vector<Vec3>& points, Vec3 facing, const char* texture, float light,
                                    PolygonGroup* group, const LevelMapping* mapping, int flags) {
  const int n = static_cast<int>(points.size());
  if (n < 3 || n > kPolygonMaxVertices) return nullptr;
  // The engine's corner normal at vertex 1: (P2 - P1) x (P0 - P1).
  const Vec3 normal = Cross(points[2] - points[1], points[0] - points[1]);
  std::vector<Vec3> ordered = points;
  if (Dot(normal, facing) < 0.0f) std::reverse(ordered.begin(), ordered.end());
  std::vector<float> x, y, z, l;
  for (const Vec3& p : ordered) {
    x.push_back(p.x);
    y.push_back(p.y);
    z.push_back(p.z);
    l.push_back(light);
  }
  LevelMapping m = mapping ? *mapping : StandardMapping(facing);
  if (!mapping) {
    // A surface is a mapping on one plane: the software renderer takes its
    // origin as a point of the polygon's plane. Moving the world origin
    // along the normal onto the plane keeps the texture where it was.
    const float length = std::sqrt(Dot(facing, facing));
    const Vec3 n = {facing.x / length, facing.y / length, facing.z / length};
    const float d = Dot(n, points[0]);
    m.origin = {n.x * d, n.y * d, n.z * d};
  }
  Surface* surface = texture ? SurfaceFor(texture, m) : nullptr;
  // Polygons of a group wait for the group rebuild to enter the BSP.
  WorldPolygon* polygon = PolygonCreate(world_, group ? -n : n, x.data(), y.data(), z.data(), l.data(), surface);
  if (!polygon) return nullptr;
  if (texture) {
    polygon->flatColour = texture[0] == '!' ? -1 : FlatColour(palette_, texture);
    if (texture[0] == '!') polygon->flags |= kPolygonColourKeyed;
  }
  polygon->lineColour = NearestGameColour(palette_, 255, 255, 255);
  polygon->flags |= flags;
  if (group) {
    PolygonSetGroup(polygon, group, 0);
    GroupInvalidate(group);
  }
  return polygon;
}

WorldPolygon* LevelBuilder::Line(Vec3 from, Vec3 to, PolygonGroup* group) {
  const float x[] = {from.x, to.x}, y[] = {from.y, to.y}, z[] = {from.z, to.z}, l[] = {1.0f, 1.0f};
  WorldPolygon* line = PolygonCreate(world_, -2, x, y, z, l, nullptr);
  if (!line) return nullptr;
  line->lineColour = NearestGameColour(palette_, 255, 255, 255);
  if (group) PolygonSetGroup(line, group, 0);
  return line;
}

void LevelBuilder::FaceWithHoles(LevelFace face, float plane, float a0, float a1, float b0, float b1, bool inward,
                                 const std::vector<LevelOpening>& holes, const char* texture, float light,
                                 PolygonGroup* group) {
  const FaceAxes axes = AxesOf(face);
  Vec3 facing = {0, 0, 0};
  Axis(facing, axes.plane) = inward ? axes.inward : -axes.inward;
  auto rect = [&](float ra0, float ra1, float rb0, float rb1) {
    if (ra1 - ra0 < 0.01f || rb1 - rb0 < 0.01f) return;
    Polygon({FacePoint(axes, plane, ra0, rb0), FacePoint(axes, plane, ra1, rb0), FacePoint(axes, plane, ra1, rb1),
             FacePoint(axes, plane, ra0, rb1)},
            facing, texture, light, group);
  };
  std::vector<LevelOpening> sorted;
  for (const LevelOpening& hole : holes) {
    if (hole.face == face) sorted.push_back(hole);
  }
  std::sort(sorted.begin(), sorted.end(), [](const LevelOpening& l, const LevelOpening& r) { return l.a0 < r.a0; });
  // Columns between the holes run the whole height; over each hole what
  // is left above and below it.
  float cursor = a0;
  for (const LevelOpening& hole : sorted) {
    const float h0 = std::max(hole.a0, a0), h1 = std::min(hole.a1, a1);
    rect(cursor, h0, b0, b1);
    rect(h0, h1, b0, std::max(b0, hole.b0));
    rect(h0, h1, std::min(b1, hole.b1), b1);
    cursor = std::max(cursor, h1);
  }
  rect(cursor, a1, b0, b1);
}

void LevelBuilder::Room(Vec3 min, Vec3 max, const LevelRoomStyle& style, const std::vector<LevelOpening>& openings) {
  for (int f = 0; f < kFaceCount; ++f) {
    if (!style.textures[f]) continue;
    const LevelFace face = static_cast<LevelFace>(f);
    const FaceAxes axes = AxesOf(face);
    const float plane = axes.inward > 0 ? AxisOf(min, axes.plane) : AxisOf(max, axes.plane);
    FaceWithHoles(face, plane, AxisOf(min, axes.a), AxisOf(max, axes.a), AxisOf(min, axes.b), AxisOf(max, axes.b), true,
                  openings, style.textures[f], style.light[f]);
  }
}

void LevelBuilder::Block(Vec3 min, Vec3 max, const char* texture, float light, PolygonGroup* group) {
  for (int f = 0; f < kFaceCount; ++f) {
    const LevelFace face = static_cast<LevelFace>(f);
    const FaceAxes axes = AxesOf(face);
    // Seen from outside: a face on the min side looks toward -axis.
    const float plane = axes.inward > 0 ? AxisOf(min, axes.plane) : AxisOf(max, axes.plane);
    FaceWithHoles(face, plane, AxisOf(min, axes.a), AxisOf(max, axes.a), AxisOf(min, axes.b), AxisOf(max, axes.b),
                  false, {}, texture, light, group);
  }
}

void LevelBuilder::ReleaseSurfaces() {
  for (auto& entry : surfaces_) SurfaceRelease(entry.second);
  surfaces_.clear();
}

Light* LevelBuilder::PointLight(Vec3 at, float intensity, float size, float radius, float red, float green,
                                float blue) {
  return LightCreate(world_, at.x, at.y, at.z, red, green, blue, intensity, size, radius, kLightTypePoint, 0);
}

Light* LevelBuilder::SphereLight(Vec3 at, float intensity, float radius) {
  return LightCreate(world_, at.x, at.y, at.z, 1, 1, 1, intensity, 1.0f, radius, kLightTypeSphere, 0);
}

LevelRoomStyle LevelRoomStyleOf(const char* walls, const char* floor, const char* ceiling, float light) {
  LevelRoomStyle style;
  for (LevelFace face : {kFaceMinX, kFaceMaxX, kFaceMinZ, kFaceMaxZ}) style.textures[face] = walls;
  style.textures[kFaceFloor] = floor;
  style.textures[kFaceCeiling] = ceiling;
  for (int f = 0; f < kFaceCount; ++f) style.light[f] = light;
  style.light[kFaceFloor] = light + 0.1f;
  style.light[kFaceCeiling] = light - 0.05f;
  return style;
}

void LevelSetProperty(PropertyEntry** list, const char* name, const char* value) {
  PropSet(list, NameHash(name), value);
}
