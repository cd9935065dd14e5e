#pragma once
// Single-span drawers of the end-of-frame see-through pass: each draws the
// one span in g_Raster (spanLine, spanFirst, spanEnd exclusive, spanTarget =
// address of its first pixel) exactly like one perspective piece of a hooked
// filler with the gradients already prepared, claims nothing, and writes the
// z entries of the whole span (transparent texels included) when the
// z-buffer exists.

// Family F: colour-keyed.
void DrawPolyTexKey();
// Family H: colour-keyed and translucent; sets the stipple row parity.
void DrawPolyTexKeyTranslucent();
// Family G: translucent; sets the stipple row parity.
void DrawPolyTexTranslucent();
