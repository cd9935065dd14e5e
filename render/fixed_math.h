#pragma once
// Float-to-integer conversions of the rasteriser. Values outside the int32
// range saturate and NaN gives 0, so a degenerate polygon (a depth of 0, an
// edge of zero height) can produce odd pixels but never undefined behaviour.
#include <cmath>
#include <cstdint>

// Round to nearest (ties to even, as the FPU's default mode does).
inline std::int32_t RoundToInt32(double value) {
  if (!(value >= -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(std::nearbyint(value));
}

// Round to nearest into 64 bits, then keep the low 32 bits (z values are
// unsigned and wrap like the integer registers they were held in).
inline std::uint32_t RoundToUint32Wrapped(double value) {
  if (!(value > -9.0e18 && value < 9.0e18)) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(std::nearbyint(value)));
}

// Truncate toward zero.
inline std::int32_t TruncToInt32(double value) {
  if (!(value >= -2147483648.0)) return value != value ? 0 : INT32_MIN;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(value);
}

// 32-bit wrapping arithmetic on signed values (16.16 accumulators).
inline std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// First whole line at or below a 16.16 y: y rounded up to a whole pixel.
inline std::int32_t CeilLine(std::int32_t y) { return static_cast<std::int32_t>((std::int64_t{y} + 0xFFFF) >> 16); }
