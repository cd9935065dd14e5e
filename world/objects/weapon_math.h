#pragma once
// Small vector arithmetic for the weapons' flight and aiming code.
#include <cmath>

struct V3 {
  float x, y, z;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float LengthSquared(V3 a) { return Dot(a, a); }
inline float Length(V3 a) { return std::sqrt(Dot(a, a)); }
// The usual right-handed cross product.
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
// Scaled to the length; a vector of squared length at most 1e-6 is
// multiplied by 1000 x the length instead (it has no direction to keep).
inline V3 ScaledTo(V3 v, float length) {
  const float q = Dot(v, v);
  return q > 1e-6f ? v * (length / std::sqrt(q)) : v * (1000.0f * length);
}
inline V3 Load3(const float* p) { return {p[0], p[1], p[2]}; }
inline void Store3(float* p, V3 v) {
  p[0] = v.x;
  p[1] = v.y;
  p[2] = v.z;
}
// A fresh rand() / 32767.
float Random01();
// r^2 x x with r = rand() / 32767, negated when a second rand() is even.
float RandomSignedSquare(float x);
