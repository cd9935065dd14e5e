#pragma once
// korvanesw's bitmap texture loader: an engine texture from an uncompressed
// 8-bit BMP file outside the archives (the cockpit picture "!cockpit.bmp";
// a leading '!' makes it colour-keyed), stretched or shrunk by nearest
// neighbour to power-of-two sides of 32..256, its colours remapped to the
// game palette, with its smaller levels and previews. While no texture
// exists yet, the bitmap's own colours become the engine palette.
//
// Everything from the file is checked before use: the signature "BM", an
// information header of 40 bytes, one plane, 8 bits per pixel, no
// compression, a width of 1..1008, a height of 1..1008 either way (a
// negative height stores the rows top first), at most 256 colours, the
// colour table and the pixel rows inside the file. The path is at most 79
// characters; '/' and '\' both separate folders.
#include "engine/records.h"

inline constexpr int kBitmapPathMax = 79;
inline constexpr int kBitmapSideMax = 1008;

// The texture, or the one of the same name (case-insensitive) with one more
// reference; null when the file can't be read or is not such a bitmap
// (nothing is then kept of the try).
Texture* LoadTextureBitmap(const char* path);

// Installs count colours (at most 255) as the engine palette, entry 255
// white: the colour caches are emptied, textures already in memory are
// remapped to their nearest new colours, the contrast remap is rebuilt
// (black for light colours, white for dark ones) and the shade table with
// the stored factors.
void SetTexturePalette(int count, const int* red, const int* green, const int* blue);

// Rebuilds the 32-level shade table for brightness factors low..high
// (stored for the next palette): level L shows each colour at
// low + L x (high - low) / 31 of its brightness, by the nearest game colour
// under sqrt(dR^2 + 1.2 dG^2 + dB^2).
void BuildShadeTable(float low, float high);

inline constexpr float kShadeLowDefault = 0.1f;
inline constexpr float kShadeHighDefault = 1.5f;
