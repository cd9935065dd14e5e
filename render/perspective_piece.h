#pragma once
// One perspective-correct piece of a line, shared by the hooked fillers and
// the single-span drawers. Rasteriser-internal.
#include <cstdint>

#include "render/span_families.h"

// Draws columns [x0, x1) of line (rowStart = address of column 0) with the
// gradients in g_Raster: calls the per-line hook first when the gradients are
// not prepared, divides exactly every g_Raster.step pixels (or once for an
// affine piece), selects the texture level per segment (entry = the
// texture's own), then writes the piece's z entries when the z-buffer exists.
void DrawPerspectivePiece(int line, int x0, int x1, std::uint8_t* rowStart, int entry, const SpanRoutine* family);

// The texture entry of g_Raster's texture, or -1 (asserted) when its size has
// no span routines or it has no pixels.
int RasterTextureEntry();
