#pragma once
// Polygon set-up: the rasteriser's entry points for one polygon. A set-up
// loads g_Raster from the view, the polygon, its surface and its texture,
// and calls one polygon filler.
//
// World fragments compute their surface's perspective gradients lazily: the
// set-up installs PrepareSurfaceSpans as a per-line hook that the filler
// calls on the polygon's first span that reaches an uncovered pixel, so a
// hidden polygon costs no gradient computation and a surface is computed at
// most once per frame. Texture coordinates are divided exactly only every 4,
// 8, 16 or 32 pixels, or not at all, as ChoosePerspectiveStep decides from
// how much the polygon's depth varies.
#include "engine/records.h"
#include "render/screen_vertex.h"

// One BSP fragment of a world polygon, unlit (family C). A see-through
// polygon (flat colour below 0, or translucent) records its uncovered spans
// for the end of the frame instead of drawing.
void SetupTexturedFragment(View* view, ScreenVertex* vertices, ScreenVertex* end, BspFragment* fragment);
// The same with per-vertex light (families D and E).
void SetupShadedPolygon(View* view, ScreenVertexLit* vertices, ScreenVertexLit* end, BspFragment* fragment);

// The per-line hook: computes the hooked surface's gradients for this frame,
// copies them into g_Raster and chooses the perspective step.
void PrepareSurfaceSpans();

// Chooses affine drawing or a perspective step of 4..32 pixels from the Q
// gradients at the ring's vertices.
void ChoosePerspectiveStep();

// One queued instance face, affine, drawn through the coverage buffer.
void DrawQueuedPolyUnlit(View* view, ScreenVertexUV* vertices, ScreenVertexUV* end, Texture* texture);
void DrawQueuedPolyLit(View* view, ScreenVertexUVLit* vertices, ScreenVertexUVLit* end, Texture* texture);

// One instance face against the software z-buffer; nothing without a
// z-buffer or a texture.
void DrawPolyZUnlit(View* view, ScreenVertexZ* vertices, ScreenVertexZ* end, Texture* texture);
void DrawPolyZLit(View* view, ScreenVertexZLit* vertices, ScreenVertexZLit* end, Texture* texture);

// Pieces the set-ups share with the end-of-frame pass.
// Copies the view's target (first row, pitch, width, height) into g_Raster.
void RasterLoadTarget(const View* view);
// Copies the surface's gradients and offsets (v offset negated) into g_Raster.
void RasterLoadGradients(const Surface* surface);
// Stamps the texture as used this frame, loads its pixels when absent and
// takes its base-2 sizes. No pixels (and 0 returned) for a null texture.
int RasterLoadTexture(Texture* texture);
