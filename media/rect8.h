#pragma once
// Plain rectangles in the 2-D target (CBackBufferAccess), each copied to the
// screen afterwards (CInterfaceDisplay::BlitRect): the menus' selection
// fills and frames, the HUD's gauge boxes. The rectangle covers columns
// x1..x2-1 and rows y1..y2-1; reversed corners are put in order first, then
// the rectangle is clipped to the target, so nothing is written outside it
// wherever the corners lie.

void FillRect8(int x1, int y1, int x2, int y2, unsigned char colour);
// The rectangle's outline one pixel wide: its top and bottom rows and its
// left and right columns, as far as they lie inside the target.
void FrameRect8(int x1, int y1, int x2, int y2, unsigned char colour);
