#include "tools/builder/mesh_shapes.h"

#include <algorithm>
#include <cmath>

#include "engine/polygon_math.h"

using namespace polymath;

namespace {

constexpr float kPi = 3.14159265358979f;

Vec3 Normalised(Vec3 v) {
  const float length = std::sqrt(Dot(v, v));
  return length > 0 ? Vec3{v.x / length, v.y / length, v.z / length} : v;
}

int32_t Fixed(float value) { return static_cast<int32_t>(std::lround(value * 65536.0f)); }

}  // namespace

Solid BoxSolid(Vec3 h) {
  const Vec3 p[8] = {{-h.x, -h.y, -h.z}, {h.x, -h.y, -h.z}, {h.x, h.y, -h.z}, {-h.x, h.y, -h.z},
                     {-h.x, -h.y, h.z},  {h.x, -h.y, h.z},  {h.x, h.y, h.z},  {-h.x, h.y, h.z}};
  Solid solid;
  solid.faces = {{p[0], p[1], p[2], p[3]}, {p[4], p[5], p[6], p[7]}, {p[0], p[1], p[5], p[4]},
                 {p[3], p[2], p[6], p[7]}, {p[0], p[3], p[7], p[4]}, {p[1], p[2], p[6], p[5]}};
  return solid;
}

Solid FrustumSolid(float r0, float r1, float length, int sides) {
  std::vector<Vec3> base, top;
  for (int i = 0; i < sides; ++i) {
    const float a = 2 * kPi * static_cast<float>(i) / static_cast<float>(sides);
    base.push_back({r0 * std::cos(a), r0 * std::sin(a), 0});
    top.push_back({r1 * std::cos(a), r1 * std::sin(a), length});
  }
  Solid solid;
  solid.faces.push_back(base);
  const Vec3 apex = {0, 0, length};
  for (int i = 0; i < sides; ++i) {
    const int j = (i + 1) % sides;
    if (r1 > 0) {
      solid.faces.push_back({base[i], base[j], top[j], top[i]});
    } else {
      solid.faces.push_back({base[i], base[j], apex});
    }
  }
  if (r1 > 0) solid.faces.push_back(top);
  return solid;
}

Solid SphereSolid(float r, int rings, int segments) {
  // ring k (1..rings-1) lies at polar angle k x pi / rings from -y.
  std::vector<std::vector<Vec3>> ring(static_cast<size_t>(rings + 1));
  for (int k = 1; k < rings; ++k) {
    const float polar = kPi * static_cast<float>(k) / static_cast<float>(rings);
    for (int i = 0; i < segments; ++i) {
      const float a = 2 * kPi * static_cast<float>(i) / static_cast<float>(segments);
      ring[k].push_back({r * std::sin(polar) * std::cos(a), -r * std::cos(polar), r * std::sin(polar) * std::sin(a)});
    }
  }
  const Vec3 top = {0, -r, 0}, bottom = {0, r, 0};
  Solid solid;
  for (int i = 0; i < segments; ++i) {
    const int j = (i + 1) % segments;
    solid.faces.push_back({top, ring[1][i], ring[1][j]});
    for (int k = 1; k + 1 < rings; ++k) solid.faces.push_back({ring[k][i], ring[k + 1][i], ring[k + 1][j], ring[k][j]});
    solid.faces.push_back({ring[rings - 1][i], bottom, ring[rings - 1][j]});
  }
  return solid;
}

Solid SlabSolid(const std::vector<std::pair<float, float>>& outline, float thickness) {
  const float h = thickness / 2;
  std::vector<Vec3> upper, lower;
  for (const auto& [x, z] : outline) {
    upper.push_back({x, -h, z});
    lower.push_back({x, h, z});
  }
  Solid solid;
  solid.faces.push_back(upper);
  solid.faces.push_back(lower);
  for (size_t i = 0; i < outline.size(); ++i) {
    const size_t j = (i + 1) % outline.size();
    solid.faces.push_back({upper[i], upper[j], lower[j], lower[i]});
  }
  return solid;
}

Solid Transformed(const Solid& solid, const std::array<float, 16>& m) {
  Solid out;
  for (const std::vector<Vec3>& face : solid.faces) {
    std::vector<Vec3> moved;
    for (const Vec3& p : face) moved.push_back(MapPoint(m.data(), p));
    out.faces.push_back(moved);
  }
  return out;
}

Solid Moved(const Solid& solid, Vec3 d) {
  return Transformed(solid, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, d.x, d.y, d.z, 1});
}

Solid Scaled(const Solid& solid, Vec3 f) {
  return Transformed(solid, {f.x, 0, 0, 0, 0, f.y, 0, 0, 0, 0, f.z, 0, 0, 0, 0, 1});
}

Solid Turned(const Solid& solid, Vec3 axis, float angle) { return Transformed(solid, AxisAngleMatrix(axis, angle)); }

void AddSolid(BuilderMeshNode* node, const Solid& solid, const SurfaceStyle& style) {
  Vec3 centre = {0, 0, 0};
  int count = 0;
  for (const std::vector<Vec3>& face : solid.faces) {
    for (const Vec3& p : face) {
      centre = {centre.x + p.x, centre.y + p.y, centre.z + p.z};
      ++count;
    }
  }
  if (count) centre = {centre.x / count, centre.y / count, centre.z / count};
  for (std::vector<Vec3> points : solid.faces) {
    Vec3 mean = {0, 0, 0};
    for (const Vec3& p : points) mean = {mean.x + p.x, mean.y + p.y, mean.z + p.z};
    const float n = static_cast<float>(points.size());
    mean = {mean.x / n, mean.y / n, mean.z / n};
    Vec3 normal = NewellNormal(points);
    if (Dot(normal, mean - centre) < 0) {
      std::reverse(points.begin(), points.end());
      normal = {-normal.x, -normal.y, -normal.z};
    }
    // Texture axes in the face's plane: u along the first edge.
    const Vec3 u = Normalised(points[1] - points[0]);
    const Vec3 v = Cross(normal, u);
    float uMin = 0, uMax = 0, vMin = 0, vMax = 0;
    for (const Vec3& p : points) {
      const Vec3 d = p - points[0];
      uMin = std::min(uMin, Dot(d, u));
      uMax = std::max(uMax, Dot(d, u));
      vMin = std::min(vMin, Dot(d, v));
      vMax = std::max(vMax, Dot(d, v));
    }
    BuilderFace face;
    face.texture = style.texture;
    for (const Vec3& p : points) {
      const Vec3 d = p - points[0];
      BuilderVertex vertex;
      vertex.position = p;
      vertex.normal = normal;
      if (style.repeat > 0) {
        vertex.u = Fixed(Dot(d, u) / style.repeat);
        vertex.v = Fixed(Dot(d, v) / style.repeat);
      } else {
        vertex.u = Fixed(uMax > uMin ? (Dot(d, u) - uMin) / (uMax - uMin) : 0);
        vertex.v = Fixed(vMax > vMin ? (Dot(d, v) - vMin) / (vMax - vMin) : 0);
      }
      face.vertices.push_back(static_cast<int32_t>(node->vertices.size()));
      node->vertices.push_back(vertex);
    }
    node->faces.push_back(face);
  }
}
