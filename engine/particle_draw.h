#pragma once
// Particles as small depth-cued octagons, drawn by the BSP passes when they
// meet a particle's link (so particles sort with the world's polygons).
#include "engine/records.h"

inline constexpr int kParticleMaxPixels = 30;

// Where and how a particle shows in the current frame.
struct ParticleShape {
  int left, top, right, bottom;  // screen box, ends exclusive, inside the view
  float depth;                   // camera depth Z
  float shade;                   // 1 - Z / far with the depth cue on, else 1
  int colour;                    // palette index of the shaded colour
};

// Projects the particle with the current matrix (the camera matrix):
// nothing (0) when it lies behind the eye, beyond the depth cue's far
// distance, or when its centre falls outside the view (column or row 0
// included) or its colour is not a palette index. The box is
// round(size / Z x focal) + 1 pixels (at most 30) round the centre, clipped
// to the view; the colour is the nearest game colour to the particle's
// palette colour times the shade.
int ParticleProject(const Particle* particle, const View* view, ParticleShape* shape);

// The octagon of the hardware pass: the box with its corners cut at a
// third, eight vertices in 16.16 pixels at the particle's depth, light =
// shade, no texture.
void ParticleOctagon(const ParticleShape& shape, PolyVertex out[8]);

// Draws the particle into the frame. Software frame: row by row the
// octagon's spans are claimed in the coverage buffer, and a span any part
// of which was still uncovered is painted whole in the colour. Hardware
// frame: the octagon goes to the view's polygon sink.
void DrawParticle(Particle* particle, View* view);
