#pragma once
// The HUD's and the radar's search for a colour in the game palette.

// The game entry (10 .. min(palette count, 246) - 1) nearest to the colour
// by plain squared distance: the first entry nearer than 5 is taken at once,
// otherwise the nearest (the first of equals); 0 when the palette has no game
// entries.
int FindNearestPaletteIndex(int r, int g, int b);
