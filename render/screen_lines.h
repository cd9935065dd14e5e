#pragma once
// Lines on a view's 8-bit render target.
#include "engine/records.h"

// An overlay line in screen pixels, clipped to the view (endpoints may lie
// outside). solid != 0 draws the colour; solid = 0 remaps the pixels through
// g_ColourRemap in dashes of four. In a hardware frame the clipped line goes
// to the view's drawPolygon as a two-vertex primitive instead.
void DrawLine2D(View* view, int x0, int y0, int x1, int y1, int colour, int solid);

// A world line during a software frame: writes only still-uncovered pixels
// and claims each one it writes. pattern 0 = dashes of four, 1 = solid.
void CoverageLine(View* view, int x0, int y0, int x1, int y1, int colour, int pattern);
