#pragma once
// The table of half-way colours: entry (i, j) of g_BlendTable
// (render/raster_state.h) is the game colour nearest to the mean of colours i
// and j. The software rasteriser's translucent spans and the pictures'
// cross-fade read it; the picture loader builds it once per run from the
// first picture's colour table, and it is never rebuilt.
#include <cstdint>

#include "platform/gdi.h"

// Builds the table from colours: every entry 0; for i and j in 10..245 the
// mean (r_i + r_j) / 2 (and so for green and blue, halves dropped) matched
// by squared distance against 10..245, a later colour replacing the best only
// when strictly closer and the search stopping at the first distance below 5;
// the diagonal holds i and the table is symmetric. Marks the table built.
void BuildBlendTable(const RGBQUAD colours[256]);
// Whether BuildBlendTable has run in this run.
bool BlendTableBuilt();
// Forgets that the table was built (tests start each case from none).
void BlendTableReset();

// The cross-fade of one pixel from old to new at alpha 0..255: alpha 0 gives
// old; otherwise the table is walked from the alpha's top bit down, each step
// moving old (bit 1) or new (bit 0) to the half-way colour, until the bits
// left are all 0; the last half-way colour is the result. 128 gives the
// half-way colour, 192 three quarters of the way to new.
uint8_t BlendStep(uint8_t oldColour, uint8_t newColour, uint8_t alpha);
