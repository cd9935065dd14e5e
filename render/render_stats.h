#pragma once
// Frame counters of the software rasteriser. RenderWorld zeroes the first
// three at the start of a frame; the statistics overlay shows them.
// The overflow counters say how much of a frame the fixed-size rasteriser
// lists could not hold; CoverageReset zeroes them.
#include <cstdint>

// Pixels claimed or written by the coverage buffer and the span routines.
extern std::uint32_t g_PixelsDrawn;
// Set-up polygons that wrote or claimed at least one pixel.
extern std::uint32_t g_StatPolysVisible;
// Polygons handed to a set-up or a polygon fill.
extern std::uint32_t g_StatPolysRendered;

// Claims that needed a new span node while the pool was empty: the claimed
// piece stayed uncovered (a farther polygon may draw over it).
extern std::uint32_t g_StatSpanNodesExhausted;
// See-through spans not recorded because the span list was full.
extern std::uint32_t g_StatSeeThroughSpansDropped;
// See-through polygons dropped (with their spans) because the polygon list
// was full.
extern std::uint32_t g_StatSeeThroughPolysDropped;
