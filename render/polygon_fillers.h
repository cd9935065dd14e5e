#pragma once
// The polygon fillers: each walks the polygon in g_Raster edge by edge,
// scanline by scanline, and hands the pieces of every line to a span family.
// They take no arguments; a set-up (polygon_setup.h) loads g_Raster first.
//
// | filler                  | ring              | edges            | coverage               | families   |
// | DrawPolyTexHooked       | ScreenVertex      | floating         | claims; records        | C          |
// |                         |                   |                  | see-through pieces     |            |
// | DrawPolyTexShadedHooked | ScreenVertexLit   | floating         | as above               | D or E     |
// | DrawPolyTex             | ScreenVertexUV    | 16.16, affine    | claims                 | C          |
// | DrawPolyTexShaded       | ScreenVertexUVLit | 16.16, affine    | claims                 | D or E     |
// | DrawPolyTexZ            | ScreenVertexZ     | floating, affine | none: z-buffer         | A          |
// | DrawPolyTexGouraudZ     | ScreenVertexZLit  | floating, affine | none: z-buffer         | B          |
//
// The hooked fillers draw perspective-correct pieces (exact u, v every
// g_Raster.step pixels, or one affine segment), call the per-line hook on
// the first piece they draw, and write the z entries of their opaque pieces
// when the z-buffer exists. A texture whose size has no span routines is
// never drawn (the texture store refuses such textures; asserted here).

void DrawPolyTexHooked();
void DrawPolyTexShadedHooked();
void DrawPolyTex();
void DrawPolyTexShaded();
void DrawPolyTexZ();
void DrawPolyTexGouraudZ();
