#pragma once
// The game palette as the data builder makes it: 256 colours with the
// system's twenty at 0..9 and 246..255, the game's 236 in between, and the
// tables that go with it (colour remap, 32-row shade table).
#include <array>
#include <cstdint>
#include <vector>

struct BuilderPalette {
  int count = 256;
  std::array<int, 256> red{};
  std::array<int, 256> green{};
  std::array<int, 256> blue{};
  std::array<uint8_t, 256> remap{};
  std::vector<uint8_t> shade;  // 32 rows x 256, row = light level
};

// Nearest game entry (10 .. min(count, 246) - 1) by |dR| + 2|dG| + |dB|, the
// first of equals winning, channels clamped to 0..255: the engine's
// FindPaletteColour, without its caches.
int NearestGameColour(const BuilderPalette& palette, int red, int green, int blue);

// Shade row r draws a colour at r / 30 of its brightness (row 30 is full,
// row 31 a little brighter); column 255 (transparent) stays 255.
std::vector<uint8_t> MakeShadeTable(const BuilderPalette& palette);
// Each colour to the game colour halfway to white (the line drawer's remap
// mode highlights what it crosses).
std::array<uint8_t, 256> MakeColourRemap(const BuilderPalette& palette);

// The demo palette: the system colours, a 32-step grey ramp at 10..41, then
// twelve 17-step hue ramps from near black to a pale highlight (reds,
// oranges, rust, yellows, olive, greens, teal, cyan, blues, steel, purple,
// sand), with its shade table and remap. Entry 109, the pictures' colour key,
// is black in place of the yellows' palest step.
BuilderPalette MakeDemoPalette();
// First game index of the grey ramp and of hue ramp h (0..11), and the
// ramps' lengths.
inline constexpr int kDemoGreyFirst = 10;
inline constexpr int kDemoGreySteps = 32;
inline constexpr int kDemoHueFirst = kDemoGreyFirst + kDemoGreySteps;
inline constexpr int kDemoHueSteps = 17;
inline constexpr int kDemoHueCount = 12;
