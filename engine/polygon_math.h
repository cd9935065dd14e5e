#pragma once
// Vector helpers of the polygon, surface and BSP code. In their own namespace
// so that they never meet another module's helpers of the same name.
#include <cmath>

#include "engine/records.h"

namespace polymath {

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline bool operator==(Vec3 a, Vec3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float LengthSquared(Vec3 a) { return Dot(a, a); }
// Unit vector along a; the zero vector stays zero.
inline Vec3 Normalise(Vec3 a) {
  const float length = std::sqrt(LengthSquared(a));
  return length > 0.0f ? a * (1.0f / length) : Vec3{0.0f, 0.0f, 0.0f};
}

// A point as a row vector (w = 1) times a 16-float matrix.
inline Vec3 MapPoint(const float* m, Vec3 p) {
  return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
          p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}
// A direction (w = 0) times a matrix: rotation only.
inline Vec3 MapDirection(const float* m, Vec3 d) {
  return {d.x * m[0] + d.y * m[4] + d.z * m[8], d.x * m[1] + d.y * m[5] + d.z * m[9],
          d.x * m[2] + d.y * m[6] + d.z * m[10]};
}

}  // namespace polymath
