#include "tools/builder/procedural.h"

#include <algorithm>
#include <cmath>

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, fill),
      transparent_(static_cast<size_t>(width) * height, false) {}

int Canvas::Index(int x, int y) const {
  x %= width_;
  y %= height_;
  if (x < 0) x += width_;
  if (y < 0) y += height_;
  return y * width_ + x;
}

void Canvas::Set(int x, int y, Rgb colour) {
  const int i = Index(x, y);
  pixels_[i] = colour;
  transparent_[i] = false;
}

void Canvas::Scale(int x, int y, int w, int h, float factor) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) pixels_[Index(i, j)] = pixels_[Index(i, j)] * factor;
}

void Canvas::Fill(int x, int y, int w, int h, Rgb colour) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j, colour);
}

std::vector<uint8_t> Canvas::Quantise(const BuilderPalette& palette) const {
  std::vector<uint8_t> out(pixels_.size());
  for (size_t i = 0; i < pixels_.size(); ++i) {
    if (transparent_[i]) {
      out[i] = 255;
      continue;
    }
    const Rgb c = pixels_[i];
    out[i] =
        static_cast<uint8_t>(NearestGameColour(palette, static_cast<int>(std::lround(c.r)),
                                               static_cast<int>(std::lround(c.g)), static_cast<int>(std::lround(c.b))));
  }
  return out;
}

float Hash01(uint32_t seed, int x, int y) {
  uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^ static_cast<uint32_t>(y) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float TileNoise(uint32_t seed, float x, float y, int cellSize, int periodX, int periodY) {
  const int cellsX = std::max(1, periodX / cellSize), cellsY = std::max(1, periodY / cellSize);
  const float fx = x / cellSize, fy = y / cellSize;
  const int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
  const float tx = fx - x0, ty = fy - y0;
  auto corner = [&](int cx, int cy) {
    cx %= cellsX;
    cy %= cellsY;
    if (cx < 0) cx += cellsX;
    if (cy < 0) cy += cellsY;
    return Hash01(seed, cx, cy);
  };
  const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  const float top = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * sx;
  const float bottom = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * sx;
  return top + (bottom - top) * sy;
}

float TileFractal(uint32_t seed, float x, float y, int cellSize, int periodX, int periodY) {
  float sum = 0, weight = 1, total = 0;
  for (int cell = cellSize; cell >= 2; cell /= 2) {
    sum += TileNoise(seed + static_cast<uint32_t>(cell), x, y, cell, periodX, periodY) * weight;
    total += weight;
    weight *= 0.5f;
  }
  return total > 0 ? sum / total : 0.5f;
}

Canvas GlowRing(int size, float ringRadius, float halfWidth, Rgb edge, Rgb core) {
  Canvas c(size, size, {0, 0, 0});
  const float r = size / 2.0f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float d = std::sqrt((x + 0.5f - r) * (x + 0.5f - r) + (y + 0.5f - r) * (y + 0.5f - r));
      const float k = 1.0f - std::fabs(d - ringRadius) / halfWidth;
      if (k <= 0) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, Mix(edge, core, k));
      }
    }
  return c;
}
