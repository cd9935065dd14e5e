#include "render/render_stats.h"

std::uint32_t g_PixelsDrawn = 0;
std::uint32_t g_StatPolysVisible = 0;
std::uint32_t g_StatPolysRendered = 0;
std::uint32_t g_StatSpanNodesExhausted = 0;
std::uint32_t g_StatSeeThroughSpansDropped = 0;
std::uint32_t g_StatSeeThroughPolysDropped = 0;
