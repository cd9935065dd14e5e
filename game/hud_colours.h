#pragma once
// The HUD's and the radar's colours: the search for a colour in the game
// palette and the weapon slots' refill dot.

// The game entry (10 .. min(palette count, 246) - 1) nearest to the colour
// by plain squared distance: the first entry nearer than 5 is taken at once,
// otherwise the nearest (the first of equals); 0 when the palette has no game
// entries.
int FindNearestPaletteIndex(int r, int g, int b);

// Three pixels (x, y) .. (x + 2, y) in colour, clipped to the 2-D target,
// then copied to the screen (CInterface::BlitRect).
void PlotHudDot(int colour, int x, int y);
