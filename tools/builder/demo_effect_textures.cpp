#include "tools/builder/demo_effect_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/builder/procedural.h"

namespace {

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

BuilderTexture Make(const BuilderPalette& palette, const std::string& name, const Canvas& canvas) {
  BuilderTexture texture;
  texture.name = name;
  texture.width = canvas.Width();
  texture.height = canvas.Height();
  texture.level0 = canvas.Quantise(palette);
  return texture;
}

// A ball of fire at progress 0..1 of its life: it swells, its core cools
// from white through yellow and orange to dark red, its edge frays with
// noise, and outside it the texture is clear.
Canvas Fireball(int size, float progress, uint32_t seed, Rgb hot, Rgb cool) {
  Canvas c(size, size, {0, 0, 0});
  const float r = size / 2.0f;
  const float radius = r * (0.35f + 0.6f * std::sqrt(progress));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = x + 0.5f - r, dy = y + 0.5f - r;
      const float d = std::sqrt(dx * dx + dy * dy);
      const float n = TileFractal(seed, static_cast<float>(x), static_cast<float>(y), 8, size, size);
      const float edge = radius * (0.75f + 0.45f * n);
      if (d > edge || n < progress * 0.7f) {
        c.SetTransparent(x, y);
        continue;
      }
      const float heat = Clamp01((1.0f - d / edge) * (1.3f - progress) + 0.3f * n);
      const Rgb core = Mix(hot, {255, 255, 220}, Clamp01(1.0f - progress * 2.0f));
      c.Set(x, y, heat > 0.5f ? Mix(hot, core, (heat - 0.5f) * 2.0f) : Mix(cool, hot, heat * 2.0f));
    }
  return c;
}

// A small star of sparks that fades.
Canvas Flash(int size, float progress, Rgb colour) {
  Canvas c(size, size, {0, 0, 0});
  const float r = size / 2.0f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = std::fabs(x + 0.5f - r), dy = std::fabs(y + 0.5f - r);
      const float star = std::min(dx * dy / (r * 0.6f), std::sqrt(dx * dx + dy * dy));
      const float k = 1.0f - star / (r * (1.0f - 0.6f * progress));
      if (k <= 0.05f) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, Mix(colour, {255, 255, 255}, Clamp01(k - 0.3f)) * (1.0f - 0.5f * progress));
      }
    }
  return c;
}

// A soft grey puff whose edge frays more as it thins out.
Canvas Puff(int size, float progress, uint32_t seed, Rgb grey) {
  Canvas c(size, size, {0, 0, 0});
  const float r = size / 2.0f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = x + 0.5f - r, dy = y + 0.5f - r;
      const float d = std::sqrt(dx * dx + dy * dy) / r;
      const float n = TileFractal(seed, static_cast<float>(x), static_cast<float>(y), 8, size, size);
      if (d > 0.55f + 0.4f * n || n < progress * 0.6f) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, grey * (0.7f + 0.5f * n));
      }
    }
  return c;
}

// A ring of blue light on a surface.
Canvas FieldRing(int size, float progress) {
  const float r = size / 2.0f;
  return GlowRing(size, r * (0.3f + 0.6f * progress), 3.0f, {40, 90, 230}, {200, 230, 255});
}

// A plasma ball: a white core in a glow of the colour that throbs with the
// frame.
Canvas PlasmaBall(int size, float progress, Rgb glow) {
  Canvas c(size, size, {0, 0, 0});
  const float r = size / 2.0f;
  const float reach = r * (0.8f + 0.15f * std::sin(progress * 6.2831853f));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = x + 0.5f - r, dy = y + 0.5f - r;
      const float d = std::sqrt(dx * dx + dy * dy) / reach;
      if (d >= 1.0f) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, Mix(glow, {255, 255, 255}, Clamp01(1.0f - 2.0f * d)) * (1.0f - 0.6f * d));
      }
    }
  return c;
}

// A swirl of blue bands that turns a little further each frame (the vortex
// shield's shell).
Canvas Vortex(int size, float progress) {
  Canvas c(size, size, {0, 0, 0});
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
      const float k = 0.5f + 0.5f * std::sin(6.2831853f * (2.0f * u + v + progress));
      if (k < 0.35f) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, Mix({30, 60, 200}, {170, 220, 255}, k));
      }
    }
  return c;
}

// Crackling white static: sparse noise that changes with every frame.
Canvas Static(int size, int frame) {
  Canvas c(size, size, {0, 0, 0});
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float n = TileFractal(static_cast<uint32_t>(90 + frame), static_cast<float>(x), static_cast<float>(y), 4,
                                  size, size);
      if (n < 0.55f) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, Mix({120, 140, 200}, {255, 255, 255}, Clamp01((n - 0.55f) * 3.0f)));
      }
    }
  return c;
}

// The satellite strike's wall: vertical streaks of cyan energy over a deep
// blue that run across with the frame (a wall texture: no see-through
// texels).
Canvas EnergyWall(int size, float progress) {
  Canvas c(size, size, {0, 0, 0});
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float u = static_cast<float>(x) / size;
      const float n = TileFractal(99, static_cast<float>(x), static_cast<float>(y), 8, size, size);
      const float k = 0.5f + 0.5f * std::sin(6.2831853f * (3.0f * u + progress) + 3.0f * n);
      c.Set(x, y, k < 0.3f ? Rgb{10, 25, 70} : Mix({40, 120, 220}, {220, 255, 255}, k));
    }
  return c;
}

void Sequence(const BuilderPalette& p, std::vector<BuilderTexture>* t, const char* prefix, int first, int count,
              Canvas (*draw)(int frame, int count)) {
  for (int i = 0; i < count; ++i) {
    char name[24];
    std::snprintf(name, sizeof(name), "%s%d.bmp", prefix, first + i);
    t->push_back(Make(p, name, draw(i, count)));
  }
}

float Progress(int frame, int count) { return static_cast<float>(frame) / static_cast<float>(count); }

}  // namespace

void AddDemoEffectTextures(const BuilderPalette& p, std::vector<BuilderTexture>* t) {
  Sequence(p, t, "!exp_", 1, 12, [](int f, int n) { return Fireball(64, Progress(f, n), 61, {250, 150, 40}, {120, 30, 10}); });
  Sequence(p, t, "!4exp", 1, 12, [](int f, int n) { return Fireball(64, Progress(f, n), 62, {255, 180, 60}, {140, 40, 20}); });
  Sequence(p, t, "!2exp_", 1, 12, [](int f, int n) { return Fireball(64, Progress(f, n), 63, {255, 120, 30}, {110, 20, 10}); });
  Sequence(p, t, "!3exp_", 1, 12, [](int f, int n) { return Fireball(64, Progress(f, n), 64, {255, 200, 90}, {150, 50, 20}); });
  Sequence(p, t, "!sht_", 1, 4, [](int f, int n) { return Flash(32, Progress(f, n), {255, 210, 120}); });
  Sequence(p, t, "!grn_", 1, 4, [](int f, int n) { return Flash(32, Progress(f, n), {90, 255, 110}); });
  Sequence(p, t, "!field", 1, 6, [](int f, int n) { return FieldRing(32, Progress(f, n)); });
  Sequence(p, t, "!smok", 1, 16, [](int f, int n) { return Puff(32, Progress(f, n), 65, {150, 150, 150}); });
  Sequence(p, t, "!smkd", 1, 16, [](int f, int n) { return Puff(32, Progress(f, n), 66, {95, 90, 85}); });
  Sequence(p, t, "!smo", 0, 8, [](int f, int n) { return Puff(32, Progress(f, n), 67, {120, 120, 115}); });
  Sequence(p, t, "!gpulse", 1, 8, [](int f, int n) { return PlasmaBall(32, Progress(f, n), {60, 255, 80}); });
  Sequence(p, t, "!dpulse", 1, 8, [](int f, int n) { return PlasmaBall(32, Progress(f, n), {60, 240, 255}); });
  Sequence(p, t, "!VORTX", 1, 8, [](int f, int n) { return Vortex(32, Progress(f, n)); });
  Sequence(p, t, "!STATIC", 1, 6, [](int f, int) { return Static(32, f); });
  Sequence(p, t, "EMP", 1, 8, [](int f, int n) { return EnergyWall(32, Progress(f, n)); });
}
