#pragma once
// The shapes the demo's interface pictures share, so that the title, the
// menus, the HUD and the cockpit look like one game: deep space with stars
// and a planet, brushed-steel panels with rivets, glowing amber accents.
#include <cstdint>

#include "tools/builder/picture_canvas.h"
#include "tools/builder/picture_text.h"

// Brushed-steel letters with a dark outline and a shadow shadowOffset down
// and right: titles and the logo.
TextStyle MetalTextStyle(int shadowOffset);
// Letters shaded from colour to three quarters of it, with a shadow:
// captions and subtitles.
TextStyle ShadedTextStyle(Rgb top, Rgb bottom);

// Dark blue space with a scatter of stars of a few sizes and tints.
void DrawStarfield(PictureCanvas* canvas, uint32_t seed);
// A lit planet of the given radius centred at (cx, cy), light from the upper
// left, with banded clouds and a thin atmosphere rim.
void DrawPlanet(PictureCanvas* canvas, float cx, float cy, float radius, Rgb land, Rgb atmosphere, uint32_t seed);
// Brushed dark steel: fine horizontal streaks over a vertical gradient.
void DrawBrushedMetal(PictureCanvas* canvas, int x, int y, int w, int h, Rgb top, Rgb bottom, uint32_t seed);
// A raised steel panel with bevelled edges and a rivet in each corner.
void DrawPanel(PictureCanvas* canvas, int x, int y, int w, int h, uint32_t seed);
// A sunken screen area: near-black with a thin bright frame, for text, lists
// and pictures shown over the panel.
void DrawInset(PictureCanvas* canvas, int x, int y, int w, int h, Rgb frame);
// A glowing horizontal accent line, brightest at its middle.
void DrawGlowLine(PictureCanvas* canvas, int x, int y, int w, Rgb colour);
