#pragma once
// Drawing the interface's pictures: an RGB canvas clipped at its edges, with
// a key mask for the pixels that are to stay see-through, the shapes menus
// and panels are made of, and the step to an 8-bit picture in the game
// palette (BmpFileBytes writes it).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/builder/bmp_writer.h"
#include "tools/builder/palette_builder.h"
#include "tools/builder/procedural.h"

class PictureCanvas {
 public:
  PictureCanvas(int width, int height, Rgb fill);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Reads clamp to the edge; writes outside the canvas are dropped.
  Rgb Get(int x, int y) const;
  void Set(int x, int y, Rgb colour);
  // Mixes colour in by alpha (0 keeps the old colour, 1 replaces it).
  void Blend(int x, int y, Rgb colour, float alpha);
  void SetKey(int x, int y);
  bool IsKey(int x, int y) const { return Inside(x, y) && pixels_[Index(x, y)].key != 0; }

  void Fill(int x, int y, int w, int h, Rgb colour);
  void FillKey(int x, int y, int w, int h);
  void FillBlend(int x, int y, int w, int h, Rgb colour, float alpha);
  void VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom);
  // A one-pixel outline of thickness rings.
  void Frame(int x, int y, int w, int h, Rgb colour, int thickness = 1);
  // Raised (or, with light and dark swapped, sunken) edges: light on the top
  // and left, dark on the bottom and right.
  void Bevel(int x, int y, int w, int h, Rgb light, Rgb dark, int thickness = 1);
  void Line(int x0, int y0, int x1, int y1, Rgb colour);
  // A filled disc with a soft edge one pixel wide.
  void Disc(float cx, float cy, float radius, Rgb colour);
  // Multiplies every pixel of a rectangle by factor.
  void Scale(int x, int y, int w, int h, float factor);

  // The picture in the matcher's game colours, nearest by NearestGameColour
  // (so never index 109 for a drawn pixel); key pixels become keyIndex
  // (109 for pictures and fonts, 255 for overlay bitmaps). With dither, a
  // 4x4 ordered dither smooths gradients over the palette's steps.
  BuilderPicture Quantise(class PaletteMatcher* matcher, int keyIndex, bool dither) const;

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
  int width_, height_;
  // Eight bits a channel are plenty: the palette has far coarser steps. The
  // fourth byte is 1 where the pixel is see-through.
  struct Pixel {
    uint8_t r, g, b, key;
  };
  static Pixel Pack(Rgb colour);
  static Rgb Unpack(Pixel pixel) { return {float(pixel.r), float(pixel.g), float(pixel.b)}; }
  std::vector<Pixel> pixels_;
};

// Nearest game colours of a palette, remembered on a 32-level grid per
// channel so that whole screens quantise quickly. Keep one for all the
// pictures of a palette.
class PaletteMatcher {
 public:
  // Refers to the palette, which must outlive the matcher.
  explicit PaletteMatcher(const BuilderPalette& palette);
  PaletteMatcher(BuilderPalette&&) = delete;
  // Channels are clamped to 0..255.
  int Nearest(int red, int green, int blue);

 private:
  const BuilderPalette& palette_;
  std::vector<uint8_t> cache_;  // 0 = not looked up yet (0 is never a game colour)
};

// Colours of the demo's menus, in RGB.
namespace MenuColour {
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kSteelDark{28, 34, 46};
inline constexpr Rgb kSteel{70, 84, 108};
inline constexpr Rgb kSteelLight{140, 158, 186};
inline constexpr Rgb kAmber{240, 150, 40};
inline constexpr Rgb kAmberLight{255, 214, 130};
inline constexpr Rgb kCyan{90, 200, 235};
inline constexpr Rgb kRed{220, 50, 35};
inline constexpr Rgb kGreen{60, 190, 70};
}  // namespace MenuColour
