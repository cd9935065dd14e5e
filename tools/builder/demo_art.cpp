#include "tools/builder/demo_art.h"

#include <algorithm>
#include <cmath>

TextStyle MetalTextStyle(int shadowOffset) {
  TextStyle style;
  style.top = {236, 242, 252};
  style.bottom = {90, 110, 144};
  style.outline = true;
  style.outlineColour = {6, 8, 14};
  style.shadow = true;
  style.shadowOffset = shadowOffset;
  return style;
}

TextStyle ShadedTextStyle(Rgb top, Rgb bottom) {
  TextStyle style;
  style.top = top;
  style.bottom = bottom;
  style.shadow = true;
  return style;
}

void DrawStarfield(PictureCanvas* canvas, uint32_t seed) {
  const int w = canvas->Width(), h = canvas->Height();
  canvas->VerticalGradient(0, 0, w, h, {3, 4, 14}, {12, 16, 40});
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float n = Hash01(seed, x, y);
      if (n < 0.996f) continue;
      const float brightness = 0.35f + 0.65f * Hash01(seed + 1, x, y);
      const float tint = Hash01(seed + 2, x, y);
      const Rgb star = tint < 0.2f ? Rgb{255, 210, 170} : tint < 0.4f ? Rgb{170, 200, 255} : Rgb{255, 255, 255};
      canvas->Blend(x, y, star, brightness);
      if (n > 0.9993f) {  // a few bright ones with a small cross
        canvas->Blend(x - 1, y, star, brightness * 0.4f);
        canvas->Blend(x + 1, y, star, brightness * 0.4f);
        canvas->Blend(x, y - 1, star, brightness * 0.4f);
        canvas->Blend(x, y + 1, star, brightness * 0.4f);
      }
    }
  }
}

void DrawPlanet(PictureCanvas* canvas, float cx, float cy, float radius, Rgb land, Rgb atmosphere, uint32_t seed) {
  const float lx = -0.6f, ly = -0.55f, lz = 0.58f;  // towards the light
  const int x0 = std::max(0, static_cast<int>(cx - radius - 12));
  const int x1 = std::min(canvas->Width() - 1, static_cast<int>(cx + radius + 12));
  const int y0 = std::max(0, static_cast<int>(cy - radius - 12));
  const int y1 = std::min(canvas->Height() - 1, static_cast<int>(cy + radius + 12));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float dx = (x + 0.5f - cx) / radius, dy = (y + 0.5f - cy) / radius;
      const float d2 = dx * dx + dy * dy;
      const float d = std::sqrt(d2);
      if (d > 1.0f) {
        // The atmosphere's glow fades out over a few per cent of the radius.
        const float glow = std::max(0.0f, 1.0f - (d - 1.0f) * radius / 10.0f);
        const float lit = std::clamp(0.3f - (dx * lx + dy * ly) / d * 0.9f, 0.0f, 1.0f);
        canvas->Blend(x, y, atmosphere, glow * glow * lit * 0.8f);
        continue;
      }
      const float dz = std::sqrt(1.0f - d2);
      const float light = std::clamp(dx * lx + dy * ly + dz * lz, 0.0f, 1.0f);
      // Bands of cloud follow the latitude, broken up by noise.
      const float u = std::atan2(dx, dz) * 0.5f + 2.0f, v = dy;
      const float bands = 0.5f + 0.5f * std::sin(v * 14.0f + TileFractal(seed, u * 60, v * 60, 16, 256, 256) * 5.0f);
      const float rough = TileFractal(seed + 7, u * 120, v * 120, 8, 256, 256);
      Rgb surface = Mix(land * 0.55f, land, bands) * (0.8f + 0.4f * rough);
      surface = Mix(surface, atmosphere, std::pow(1.0f - dz, 3.0f) * 0.7f);
      canvas->Set(x, y, surface * (0.06f + 0.94f * light));
    }
  }
}

void DrawBrushedMetal(PictureCanvas* canvas, int x, int y, int w, int h, Rgb top, Rgb bottom, uint32_t seed) {
  for (int j = 0; j < h; ++j) {
    const Rgb base = Mix(top, bottom, h > 1 ? static_cast<float>(j) / (h - 1) : 0.0f);
    // Streaks: each row has its own shade, varying slowly along it.
    const float row = Hash01(seed, 0, y + j);
    for (int i = 0; i < w; ++i) {
      const float streak = 0.7f * row + 0.3f * Hash01(seed, (x + i) >> 4, y + j);
      canvas->Set(x + i, y + j, base * (0.88f + 0.24f * streak));
    }
  }
}

void DrawPanel(PictureCanvas* canvas, int x, int y, int w, int h, uint32_t seed) {
  DrawBrushedMetal(canvas, x, y, w, h, MenuColour::kSteel * 0.9f, MenuColour::kSteelDark * 1.2f, seed);
  canvas->Frame(x, y, w, h, MenuColour::kBlack);
  canvas->Bevel(x + 1, y + 1, w - 2, h - 2, MenuColour::kSteelLight, MenuColour::kSteelDark * 0.6f, 2);
  for (int corner = 0; corner < 4; ++corner) {
    const float rx = corner & 1 ? x + w - 9.5f : x + 9.5f;
    const float ry = corner & 2 ? y + h - 9.5f : y + 9.5f;
    canvas->Disc(rx + 0.7f, ry + 0.7f, 2.6f, MenuColour::kBlack);
    canvas->Disc(rx, ry, 2.4f, MenuColour::kSteelLight);
    canvas->Blend(static_cast<int>(rx) - 1, static_cast<int>(ry) - 1, MenuColour::kWhite, 0.8f);
  }
}

void DrawInset(PictureCanvas* canvas, int x, int y, int w, int h, Rgb frame) {
  canvas->VerticalGradient(x, y, w, h, {6, 10, 18}, {2, 4, 8});
  canvas->Bevel(x - 2, y - 2, w + 4, h + 4, MenuColour::kSteelDark * 0.5f, MenuColour::kSteelLight, 1);
  canvas->Frame(x - 1, y - 1, w + 2, h + 2, frame * 0.7f);
}

void DrawGlowLine(PictureCanvas* canvas, int x, int y, int w, Rgb colour) {
  for (int i = 0; i < w; ++i) {
    const float t = 1.0f - std::abs(2.0f * i / std::max(1, w - 1) - 1.0f);
    canvas->Blend(x + i, y, colour, 0.3f + 0.7f * t);
    canvas->Blend(x + i, y - 1, colour, 0.35f * t);
    canvas->Blend(x + i, y + 1, colour, 0.35f * t);
  }
}
