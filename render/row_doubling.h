#pragma once
// Row doubling for half-resolution frames.
#include <cstdint>

// Each of the width source pixels becomes two equal horizontal pixels on the
// destination row and, pitch bytes further, on the row below it.
void CopyRowDoubled(std::uint8_t* source, int width, std::uint8_t* destination, int pitch);
