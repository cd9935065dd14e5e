#include "tools/builder/palette_builder.h"

#include <algorithm>
#include <cstdlib>

#include "engine/records.h"

namespace {

int Clamp255(int value) { return std::clamp(value, 0, 255); }

struct Colour {
  int r, g, b;
};

// The twenty colours the system keeps for itself.
constexpr Colour kSystemLow[10] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
                                   {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
constexpr Colour kSystemHigh[10] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
                                    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};

// Saturated base of each hue ramp.
constexpr Colour kHues[kDemoHueCount] = {
    {220, 40, 30},    // red
    {240, 130, 30},   // orange
    {150, 88, 50},    // rust
    {240, 215, 60},   // yellow
    {128, 140, 60},   // olive
    {50, 180, 60},    // green
    {40, 150, 140},   // teal
    {60, 200, 235},   // cyan
    {40, 80, 220},    // blue
    {100, 120, 150},  // steel
    {140, 60, 200},   // purple
    {200, 170, 120},  // sand
};

void Set(BuilderPalette* palette, int index, Colour c) {
  palette->red[index] = Clamp255(c.r);
  palette->green[index] = Clamp255(c.g);
  palette->blue[index] = Clamp255(c.b);
}

// Step t of a ramp: dark to the full hue over the first three quarters,
// then part of the way to white for highlights.
Colour RampColour(Colour base, int t, int steps) {
  const double b = static_cast<double>(t + 1) / steps;
  if (b <= 0.75) {
    const double f = b / 0.75;
    return {static_cast<int>(base.r * f + 0.5), static_cast<int>(base.g * f + 0.5), static_cast<int>(base.b * f + 0.5)};
  }
  const double w = (b - 0.75) / 0.25 * 0.6;
  return {static_cast<int>(base.r + (255 - base.r) * w + 0.5), static_cast<int>(base.g + (255 - base.g) * w + 0.5),
          static_cast<int>(base.b + (255 - base.b) * w + 0.5)};
}

}  // namespace

int NearestGameColour(const BuilderPalette& palette, int red, int green, int blue) {
  red = Clamp255(red);
  green = Clamp255(green);
  blue = Clamp255(blue);
  const int end = std::min(palette.count, 246);
  int best = 10;
  int bestDistance = -1;
  for (int i = 10; i < end; ++i) {
    const int distance =
        std::abs(palette.red[i] - red) + 2 * std::abs(palette.green[i] - green) + std::abs(palette.blue[i] - blue);
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

std::vector<uint8_t> MakeShadeTable(const BuilderPalette& palette) {
  std::vector<uint8_t> shade(32 * 256);
  for (int row = 0; row < 32; ++row) {
    for (int column = 0; column < 256; ++column) {
      uint8_t& entry = shade[row * 256 + column];
      if (column == 255) {
        entry = 255;
        continue;
      }
      entry = static_cast<uint8_t>(NearestGameColour(
          palette, palette.red[column] * row / 30, palette.green[column] * row / 30, palette.blue[column] * row / 30));
    }
  }
  return shade;
}

std::array<uint8_t, 256> MakeColourRemap(const BuilderPalette& palette) {
  std::array<uint8_t, 256> remap{};
  for (int i = 0; i < 256; ++i) {
    remap[i] = static_cast<uint8_t>(NearestGameColour(palette, (palette.red[i] + 255) / 2, (palette.green[i] + 255) / 2,
                                                      (palette.blue[i] + 255) / 2));
  }
  return remap;
}

BuilderPalette MakeDemoPalette() {
  BuilderPalette palette;
  palette.count = 256;
  for (int i = 0; i < 10; ++i) {
    Set(&palette, i, kSystemLow[i]);
    Set(&palette, 246 + i, kSystemHigh[i]);
  }
  for (int t = 0; t < kDemoGreySteps; ++t) {
    const int v = t * 255 / (kDemoGreySteps - 1);
    Set(&palette, kDemoGreyFirst + t, {v, v, v});
  }
  for (int h = 0; h < kDemoHueCount; ++h) {
    for (int t = 0; t < kDemoHueSteps; ++t) {
      Set(&palette, kDemoHueFirst + h * kDemoHueSteps + t, RampColour(kHues[h], t, kDemoHueSteps));
    }
  }
  // The pictures' colour key doubles as the front end's black (the screen is
  // cleared with it until a level names its own black), and opaque HUD text
  // drawn over a game frame shows it: it must be black in the game's palette
  // too. It replaces the yellow ramp's palest step; matching picks index 10
  // for black, so textures never use it.
  Set(&palette, kPictureColourKey, {0, 0, 0});
  palette.shade = MakeShadeTable(palette);
  palette.remap = MakeColourRemap(palette);
  return palette;
}
