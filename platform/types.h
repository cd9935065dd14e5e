#pragma once
// The handful of fixed-size types that the game's Windows-era interfaces are
// written in. Sizes are what the saved and network formats assume.
#include <cstdint>

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
// A network player's id (0 = none; in single play an object id of the
// document).
using DPID = uint32_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
