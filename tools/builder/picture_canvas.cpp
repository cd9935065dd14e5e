#include "tools/builder/picture_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/records.h"

PictureCanvas::PictureCanvas(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, Pack(fill)) {}

PictureCanvas::Pixel PictureCanvas::Pack(Rgb colour) {
  auto channel = [](float value) { return static_cast<uint8_t>(std::clamp(value + 0.5f, 0.0f, 255.0f)); };
  return {channel(colour.r), channel(colour.g), channel(colour.b), 0};
}

Rgb PictureCanvas::Get(int x, int y) const {
  return Unpack(pixels_[Index(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1))]);
}

void PictureCanvas::Set(int x, int y, Rgb colour) {
  if (!Inside(x, y)) return;
  pixels_[Index(x, y)] = Pack(colour);
}

void PictureCanvas::Blend(int x, int y, Rgb colour, float alpha) {
  if (!Inside(x, y) || alpha <= 0) return;
  const size_t i = Index(x, y);
  // Blending over a key pixel starts from black, as the key shows black.
  const Rgb under = pixels_[i].key ? Rgb{0, 0, 0} : Unpack(pixels_[i]);
  pixels_[i] = Pack(Mix(under, colour, std::min(alpha, 1.0f)));
}

void PictureCanvas::SetKey(int x, int y) {
  if (Inside(x, y)) pixels_[Index(x, y)].key = 1;
}

void PictureCanvas::Fill(int x, int y, int w, int h, Rgb colour) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j, colour);
}

void PictureCanvas::FillKey(int x, int y, int w, int h) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) SetKey(i, j);
}

void PictureCanvas::FillBlend(int x, int y, int w, int h, Rgb colour, float alpha) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Blend(i, j, colour, alpha);
}

void PictureCanvas::VerticalGradient(int x, int y, int w, int h, Rgb top, Rgb bottom) {
  for (int j = 0; j < h; ++j) {
    const Rgb c = Mix(top, bottom, h > 1 ? static_cast<float>(j) / (h - 1) : 0.0f);
    for (int i = 0; i < w; ++i) Set(x + i, y + j, c);
  }
}

void PictureCanvas::Frame(int x, int y, int w, int h, Rgb colour, int thickness) {
  Bevel(x, y, w, h, colour, colour, thickness);
}

void PictureCanvas::Bevel(int x, int y, int w, int h, Rgb light, Rgb dark, int thickness) {
  for (int t = 0; t < thickness; ++t) {
    const int l = x + t, r = x + w - 1 - t, tp = y + t, b = y + h - 1 - t;
    if (l > r || tp > b) return;
    for (int i = l; i <= r; ++i) {
      Set(i, tp, light);
      Set(i, b, dark);
    }
    for (int j = tp + 1; j < b; ++j) {
      Set(l, j, light);
      Set(r, j, dark);
    }
  }
}

void PictureCanvas::Line(int x0, int y0, int x1, int y1, Rgb colour) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    Set(x0, y0, colour);
    if (x0 == x1 && y0 == y1) return;
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void PictureCanvas::Disc(float cx, float cy, float radius, Rgb colour) {
  const int x0 = std::max(0, static_cast<int>(std::floor(cx - radius - 1)));
  const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(cx + radius + 1)));
  const int y0 = std::max(0, static_cast<int>(std::floor(cy - radius - 1)));
  const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(cy + radius + 1)));
  const float inner = std::max(0.0f, radius - 0.5f), outer = radius + 0.5f;
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      const float d2 = dx * dx + dy * dy;
      if (d2 >= outer * outer) continue;
      if (d2 <= inner * inner) {
        Set(x, y, colour);
      } else {
        Blend(x, y, colour, outer - std::sqrt(d2));  // the soft rim
      }
    }
  }
}

void PictureCanvas::Scale(int x, int y, int w, int h, float factor) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i)
      if (Inside(i, j)) pixels_[Index(i, j)] = Pack(Unpack(pixels_[Index(i, j)]) * factor);
}

BuilderPicture PictureCanvas::Quantise(PaletteMatcher* matcher, int keyIndex, bool dither) const {
  // Bayer thresholds, centred on 0, scaled to about half a ramp step.
  static constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  BuilderPicture picture;
  picture.width = width_;
  picture.height = height_;
  picture.pixels.resize(pixels_.size());
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const size_t i = Index(x, y);
      const Pixel p = pixels_[i];
      if (p.key) {
        picture.pixels[i] = static_cast<uint8_t>(keyIndex);
        continue;
      }
      const int offset = dither ? (kBayer[y & 3][x & 3] - 8) * 4 / 5 : 0;
      picture.pixels[i] = static_cast<uint8_t>(matcher->Nearest(p.r + offset, p.g + offset, p.b + offset));
    }
  }
  return picture;
}

PaletteMatcher::PaletteMatcher(const BuilderPalette& palette) : palette_(palette), cache_(32 * 32 * 32, 0) {}

int PaletteMatcher::Nearest(int red, int green, int blue) {
  red = std::clamp(red, 0, 255) >> 3;
  green = std::clamp(green, 0, 255) >> 3;
  blue = std::clamp(blue, 0, 255) >> 3;
  uint8_t& entry = cache_[(static_cast<size_t>(red) << 10) | (green << 5) | blue];
  if (entry == 0) {
    // The middle of the grid cell stands for the whole cell.
    entry = static_cast<uint8_t>(NearestGameColour(palette_, red * 8 + 4, green * 8 + 4, blue * 8 + 4));
  }
  return entry;
}
