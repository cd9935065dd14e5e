#pragma once
// Small helpers of the render passes: transforming by a 16-float matrix and
// turning camera-space positions into 16.16 screen positions without ever
// leaving the int range.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/records.h"

namespace rendermath {

// Screen positions further off the view than this (in 16.16, 16384 pixels)
// are held at it: the rasteriser's edge arithmetic stays exact, and a vertex
// that far out goes through the 3-D clipper instead.
inline constexpr float kScreenLimit16 = 1073741824.0f;  // 2^30
inline constexpr int kPixelLimit = 1 << 20;

inline void Transform(const float* m, float x, float y, float z, float* ox, float* oy, float* oz) {
  *ox = x * m[0] + y * m[4] + z * m[8] + m[12];
  *oy = x * m[1] + y * m[5] + z * m[9] + m[13];
  *oz = x * m[2] + y * m[6] + z * m[10] + m[14];
}

// A float held to [-limit, limit] (NaN gives 0), rounded to the nearest int.
inline std::int32_t RoundClamped(float value, float limit) {
  if (!(value > -limit)) return value != value ? 0 : static_cast<std::int32_t>(-limit);
  if (value > limit) value = limit;
  return static_cast<std::int32_t>(std::lrint(value));
}

// 16.16 screen coordinate of camera-space X (or Y) at depth z > 0.
inline std::int32_t Screen16(float X, float z) { return RoundClamped(X / z, kScreenLimit16); }
// 1 when X / z lies within the range Screen16 keeps exact.
inline bool ScreenInRange(float X, float z) { return std::fabs(X) < kScreenLimit16 * z; }
// Whole-pixel coordinate of camera-space X at depth z > 0, as the passes'
// rectangle tests use it.
inline int Pixel(float X, float z) { return RoundClamped(X * (1.0f / 65536.0f) / z, static_cast<float>(kPixelLimit)); }

// Whole-pixel rectangle round the eight corners of the box lo..hi mapped by
// m; false when a corner lies at or behind the eye, or (with a far limit) not
// nearer than it.
struct PixelRect {
  int minX, minY, maxX, maxY;
};
inline bool BoxPixelRect(const float* m, Vec3 lo, Vec3 hi, const float* farLimit, PixelRect* rect) {
  bool first = true;
  for (float x : {lo.x, hi.x}) {
    for (float y : {lo.y, hi.y}) {
      for (float z : {lo.z, hi.z}) {
        float X, Y, Z;
        Transform(m, x, y, z, &X, &Y, &Z);
        if (!(Z > 0.0f) || (farLimit && !(Z < *farLimit))) return false;
        const int px = Pixel(X, Z), py = Pixel(Y, Z);
        if (first) {
          *rect = {px, py, px, py};
          first = false;
        } else {
          rect->minX = std::min(rect->minX, px);
          rect->maxX = std::max(rect->maxX, px);
          rect->minY = std::min(rect->minY, py);
          rect->maxY = std::max(rect->maxY, py);
        }
      }
    }
  }
  return true;
}

// Rounded camera depth as the caches keep it.
inline std::int32_t Depth(float z) { return RoundClamped(z, 2147483520.0f); }

// Inverse of an affine row-vector matrix (rows 0..2 linear part, row 3
// translation); a singular linear part gives all zeros.
inline void AffineInverse(const float* m, float* out) {
  const double a = m[0], b = m[1], c = m[2], d = m[4], e = m[5], f = m[6], g = m[8], h = m[9], i = m[10];
  const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
  for (int k = 0; k < 16; ++k) out[k] = 0.0f;
  if (det == 0.0 || !std::isfinite(det)) return;
  const double s = 1.0 / det;
  const double inv[9] = {(e * i - f * h) * s, (c * h - b * i) * s, (b * f - c * e) * s,
                         (f * g - d * i) * s, (a * i - c * g) * s, (c * d - a * f) * s,
                         (d * h - e * g) * s, (b * g - a * h) * s, (a * e - b * d) * s};
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col) out[r * 4 + col] = static_cast<float>(inv[r * 3 + col]);
  const double tx = m[12], ty = m[13], tz = m[14];
  for (int col = 0; col < 3; ++col) {
    out[12 + col] = static_cast<float>(-(tx * inv[col] + ty * inv[3 + col] + tz * inv[6 + col]));
  }
  out[15] = 1.0f;
}

}  // namespace rendermath
