#pragma once
// Small tools for drawing procedural textures in RGB before they are
// matched to the palette: a canvas, tileable noise and a seeded generator
// (the builder never uses the C library's rand()).
#include <cstdint>
#include <vector>

#include "tools/builder/palette_builder.h"

struct Rgb {
  float r, g, b;
};

inline Rgb operator*(Rgb c, float f) { return {c.r * f, c.g * f, c.b * f}; }
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }

// An RGB picture with a transparency mask; coordinates wrap, so what is drawn
// across an edge continues on the other side and the texture tiles.
class Canvas {
 public:
  Canvas(int width, int height, Rgb fill);
  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb Get(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, Rgb colour);
  void SetTransparent(int x, int y) { transparent_[Index(x, y)] = true; }
  bool IsTransparent(int x, int y) const { return transparent_[Index(x, y)]; }
  // Multiplies or adds over a rectangle (wrapping).
  void Scale(int x, int y, int w, int h, float factor);
  void Fill(int x, int y, int w, int h, Rgb colour);
  // Palette indices of the game range, 255 where transparent.
  std::vector<uint8_t> Quantise(const BuilderPalette& palette) const;

 private:
  int Index(int x, int y) const;
  int width_, height_;
  std::vector<Rgb> pixels_;
  std::vector<bool> transparent_;
};

// Value noise in 0..1 over cells of cellSize texels, repeating every
// periodX texels across and periodY down (multiples of cellSize), smooth
// between cells.
float TileNoise(uint32_t seed, float x, float y, int cellSize, int periodX, int periodY);
// Sum of octaves from cellSize down to 2 texels, weights halving, in 0..1.
float TileFractal(uint32_t seed, float x, float y, int cellSize, int periodX, int periodY);
// A hash of integers to 0..1.
float Hash01(uint32_t seed, int x, int y);
// A square of size texels, clear but for a ring of light round its centre:
// radius ringRadius, fading from core (on the ring) to edge over halfWidth
// texels either side.
Canvas GlowRing(int size, float ringRadius, float halfWidth, Rgb edge, Rgb core);
