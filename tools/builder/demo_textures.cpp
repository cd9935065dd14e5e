#include "tools/builder/demo_textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/paths.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/demo_effect_textures.h"
#include "tools/builder/procedural.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

// Grit: a colour darkened and lightened by fractal noise.
Rgb Grit(Rgb base, const Canvas& c, uint32_t seed, int x, int y, int cell, float amount) {
  const float n = TileFractal(seed, static_cast<float>(x), static_cast<float>(y), cell, c.Width(), c.Height());
  return base * (1.0f - amount + 2.0f * amount * n);
}

// A raised rectangle: light top and left edges, dark bottom and right.
void Bevel(Canvas& c, int x, int y, int w, int h, float light, float dark) {
  c.Scale(x, y, w, 1, light);
  c.Scale(x, y + 1, 1, h - 1, light);
  c.Scale(x, y + h - 1, w, 1, dark);
  c.Scale(x + w - 1, y, 1, h - 1, dark);
}

void Rivet(Canvas& c, int cx, int cy) {
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      const int d2 = dx * dx + dy * dy;
      if (d2 > 5) continue;
      c.Set(cx + dx, cy + dy, c.Get(cx + dx, cy + dy) * (dx + dy < 0 ? 1.45f : (d2 >= 4 ? 0.55f : 1.1f)));
    }
  }
}

Canvas Bricks(int w, int h, uint32_t seed, Rgb brick, Rgb mortar, int brickW, int brickH) {
  Canvas c(w, h, mortar);
  for (int row = 0; row * brickH < h; ++row) {
    const int offset = (row % 2) * brickW / 2;
    for (int col = 0; col * brickW < w; ++col) {
      const float tint = 0.8f + 0.35f * Hash01(seed, col, row);
      const int x0 = col * brickW + offset, y0 = row * brickH;
      for (int y = y0 + 1; y < y0 + brickH - 1; ++y)
        for (int x = x0 + 1; x < x0 + brickW - 1; ++x) c.Set(x, y, Grit(brick * tint, c, seed, x, y, 8, 0.18f));
      Bevel(c, x0 + 1, y0 + 1, brickW - 2, brickH - 2, 1.2f, 0.7f);
    }
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (c.Get(x, y).r == mortar.r && c.Get(x, y).g == mortar.g) c.Set(x, y, Grit(mortar, c, seed + 7, x, y, 4, 0.2f));
  return c;
}

Canvas ConcretePanels(int w, int h, uint32_t seed, Rgb base, int panel) {
  Canvas c(w, h, base);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const float stain = TileNoise(seed + 3, static_cast<float>(x), static_cast<float>(y), 64, w, h);
      Rgb colour = Grit(base, c, seed, x, y, 16, 0.15f) * (0.85f + 0.25f * stain);
      const int px = x % panel, py = y % panel;
      if (px == 0 || py == 0)
        colour = colour * 0.45f;
      else if (px == 1 || py == 1)
        colour = colour * 1.2f;
      c.Set(x, y, colour);
    }
  }
  return c;
}

Canvas MetalPlate(int w, int h, uint32_t seed, Rgb base, bool rivets) {
  Canvas c(w, h, base);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // Brushed: noise stretched along x.
      const float n = TileNoise(seed, static_cast<float>(x) / 8, static_cast<float>(y), 2, w / 8, h);
      c.Set(x, y, base * (0.85f + 0.3f * n));
    }
  Bevel(c, 0, 0, w, h, 1.35f, 0.55f);
  Bevel(c, 1, 1, w - 2, h - 2, 1.15f, 0.75f);
  if (rivets) {
    const int inset = 5;
    for (int x = inset; x < w; x += std::max(16, w / 4))
      for (int y : {inset, h - inset - 1}) Rivet(c, x, y);
  }
  return c;
}

Canvas HazardStripes(int w, int h, uint32_t seed) {
  const Rgb yellow = {235, 200, 40}, black = {28, 28, 28};
  Canvas c(w, h, yellow);
  const int period = 32;  // divides every size, so the stripes tile
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool dark = ((x + y) % period) < period / 2;
      const float wear = TileFractal(seed, static_cast<float>(x), static_cast<float>(y), 16, w, h);
      Rgb colour = dark ? black : yellow;
      if (wear > 0.68f) colour = Mix(colour, {90, 80, 70}, 0.7f);  // scuffed to bare metal
      c.Set(x, y, colour * (0.9f + 0.2f * wear));
    }
  Bevel(c, 0, 0, w, h, 1.2f, 0.6f);
  return c;
}

Canvas FloorTiles(int w, int h, uint32_t seed, Rgb a, Rgb b, int tile) {
  Canvas c(w, h, a);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool odd = ((x / tile) + (y / tile)) % 2 != 0;
      c.Set(x, y, Grit(odd ? b : a, c, seed, x, y, 8, 0.12f));
    }
  for (int ty = 0; ty < h; ty += tile)
    for (int tx = 0; tx < w; tx += tile) Bevel(c, tx, ty, tile, tile, 1.25f, 0.5f);
  return c;
}

// Bars over a dark pit; colour-keyed gratings have holes instead of the pit.
Canvas Grating(int w, int h, uint32_t seed, Rgb metal, bool keyed) {
  Canvas c(w, h, {20, 20, 24});
  const int cell = 8;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int gx = x % cell, gy = y % cell;
      const bool bar = gx < 2 || gy < 2;
      if (bar) {
        const float shade = (gx == 0 || gy == 0) ? 1.3f : 0.8f;
        c.Set(x, y, Grit(metal, c, seed, x, y, 4, 0.15f) * shade);
      } else if (keyed) {
        c.SetTransparent(x, y);
      } else {
        c.Set(x, y, Grit({34, 32, 30}, c, seed + 1, x, y, 16, 0.4f));
      }
    }
  return c;
}

Canvas LightPanel(int w, int h, Rgb glow) {
  Canvas c(w, h, {70, 70, 75});
  Bevel(c, 0, 0, w, h, 1.4f, 0.5f);
  const int m = std::max(3, w / 8);
  for (int y = m; y < h - m; ++y)
    for (int x = m; x < w - m; ++x) {
      const float dx = (x - w / 2.0f) / (w / 2.0f - m), dy = (y - h / 2.0f) / (h / 2.0f - m);
      const float core = Clamp01(1.0f - 0.5f * (dx * dx + dy * dy));
      c.Set(x, y, Mix(glow, {255, 255, 245}, core));
    }
  return c;
}

Canvas Pipes(int w, int h, uint32_t seed, Rgb metal) {
  Canvas c(w, h, {25, 25, 28});
  const int pipe = w / 2;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float t = static_cast<float>(x % pipe) / (pipe - 1);  // across one pipe
      const float light = 0.35f + 0.9f * std::sin(t * kPi) * (1.0f - 0.4f * t);
      Rgb colour = Grit(metal, c, seed, x, y, 8, 0.1f) * light;
      if (y % 64 < 4) colour = colour * (y % 64 < 2 ? 1.3f : 0.6f);  // joints
      c.Set(x, y, colour);
    }
  return c;
}

Canvas Door(int w, int h, uint32_t seed) {
  Canvas c = MetalPlate(w, h, seed, {60, 130, 125}, false);
  for (int y = 0; y < h; ++y) {
    c.Set(w / 2, y, {20, 20, 20});  // centre seam
    c.Set(w / 2 + 1, y, c.Get(w / 2 + 1, y) * 1.3f);
  }
  for (int band : {h / 4, 3 * h / 4}) {
    for (int y = band - 6; y < band + 6; ++y)
      for (int x = 4; x < w - 4; ++x) {
        const bool dark = ((x + y) / 8) % 2 == 0;
        c.Set(x, y, dark ? Rgb{30, 30, 30} : Rgb{230, 190, 40});
      }
  }
  Bevel(c, 8, h / 4 + 14, w - 16, h / 2 - 28, 0.7f, 1.3f);  // recessed panel
  return c;
}

Canvas Computer(int w, int h, uint32_t seed) {
  Canvas c(w, h, {45, 50, 60});
  Bevel(c, 0, 0, w, h, 1.3f, 0.5f);
  const Rgb lamps[] = {{220, 40, 30}, {50, 200, 60}, {240, 215, 60}, {60, 200, 235}};
  for (int y = 4; y + 4 < h; y += 6)
    for (int x = 4; x + 4 < w; x += 6) {
      const float r = Hash01(seed, x, y);
      if (r < 0.45f) continue;
      c.Fill(x, y, 4, 3, lamps[static_cast<int>(r * 100) % 4] * (0.6f + 0.4f * r));
    }
  return c;
}

Canvas Liquid(int w, int h, uint32_t seed, Rgb deep, Rgb bright, float crust) {
  Canvas c(w, h, deep);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float n = TileFractal(seed, static_cast<float>(x), static_cast<float>(y), 32, w, h);
      Rgb colour = Mix(deep, bright, Clamp01((n - 0.3f) * 2.0f));
      if (crust > 0 && n < crust) colour = colour * 0.35f;
      c.Set(x, y, colour);
    }
  return c;
}

// A beam across the texture: white core, coloured glow, dark edges.
Canvas Beam(int w, int h, Rgb glow, bool pulses) {
  Canvas c(w, h, {0, 0, 0});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float d = std::fabs((y + 0.5f) - h / 2.0f) / (h / 2.0f);
      float k = Clamp01(1.0f - d);
      if (pulses) k *= 0.6f + 0.4f * std::cos(2 * kPi * x / (w / 2.0f));
      c.Set(x, y, d < 0.15f ? Mix(glow, {255, 255, 255}, 1.0f - d / 0.15f) : glow * (k * k));
    }
  return c;
}

Canvas FireWave(int w, int h, uint32_t seed) {
  Canvas c(w, h, {0, 0, 0});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float n = TileFractal(seed, static_cast<float>(x), static_cast<float>(y), 16, w, h);
      const float heat = Clamp01(n * 1.6f - 0.25f);
      c.Set(x, y,
            heat > 0.66f ? Mix({250, 160, 30}, {255, 245, 150}, (heat - 0.66f) * 3)
                         : Mix({80, 10, 0}, {250, 160, 30}, heat * 1.5f));
    }
  return c;
}

// A round blob or hole; outside it the canvas stays as drawn (or clear).
Canvas Blob(int size, Rgb core, Rgb rim, bool keyed, uint32_t seed) {
  Canvas c(size, size, {0, 0, 0});
  const float r = size / 2.0f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float dx = x + 0.5f - r, dy = y + 0.5f - r;
      const float angle = std::atan2(dy, dx);
      const float ragged = r * (0.55f + 0.25f * Hash01(seed, static_cast<int>((angle + kPi) * 4), 0));
      const float d = std::sqrt(dx * dx + dy * dy);
      if (d < ragged * 0.6f) {
        c.Set(x, y, core);
      } else if (d < ragged) {
        c.Set(x, y, Mix(core, rim, (d - ragged * 0.6f) / (ragged * 0.4f)));
      } else if (keyed) {
        c.SetTransparent(x, y);
      }
    }
  return c;
}

Canvas Lightning(int w, int h, uint32_t seed) {
  Canvas c(w, h, {0, 0, 0});
  const int step = 8;
  for (int x = 0; x < w; ++x) {
    // A zigzag through random points every 8 texels, back at the middle at
    // both ends so that it tiles.
    auto pointAt = [&](int k) {
      const float edge = std::sin(kPi * (k * step) / w);
      return h / 2.0f + (Hash01(seed, k, 0) - 0.5f) * (h - 10) * edge;
    };
    const int k = x / step;
    const float y = pointAt(k) + (pointAt(k + 1) - pointAt(k)) * static_cast<float>(x % step) / step;
    for (int dy = -4; dy <= 4; ++dy) {
      const float glow = 1.0f - std::fabs(static_cast<float>(dy)) / 5.0f;
      const Rgb colour = dy == 0 ? Rgb{255, 255, 255} : Mix({40, 80, 220}, {200, 230, 255}, glow) * glow;
      c.Set(x, static_cast<int>(std::lround(y)) + dy, colour);
    }
  }
  return c;
}

Canvas ShipSkin(int w, int h, uint32_t seed, Rgb colour, bool wing) {
  Canvas c(w, h, colour);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.Set(x, y, Grit(colour, c, seed, x, y, 8, 0.1f));
  const int panel = wing ? 16 : 32;
  for (int py = 0; py < h; py += panel)
    for (int px = 0; px < w; px += panel) Bevel(c, px, py, panel, panel, 1.25f, 0.6f);
  // A pale stripe along the length.
  for (int y = h / 2 - 2; y < h / 2 + 2; ++y)
    for (int x = 0; x < w; ++x) c.Set(x, y, Mix(c.Get(x, y), {235, 235, 235}, 0.7f));
  return c;
}

// Frame n of the energy pulse: a glowing ring that widens frame by frame.
Canvas Pulse(int size, int frame) {
  const float r = size / 2.0f;
  return GlowRing(size, r * (0.25f + 0.07f * frame), 4.0f, {60, 200, 235}, {240, 255, 255});
}

BuilderTexture Make(const BuilderPalette& palette, const std::string& name, const Canvas& canvas) {
  BuilderTexture texture;
  texture.name = name;
  texture.width = canvas.Width();
  texture.height = canvas.Height();
  texture.level0 = canvas.Quantise(palette);
  return texture;
}

// The eight players' ship colours.
constexpr Rgb kPlayerColours[8] = {{200, 45, 35},  {45, 85, 215},  {50, 170, 60},  {230, 205, 60},
                                   {140, 65, 195}, {235, 130, 35}, {60, 190, 220}, {200, 200, 200}};

}  // namespace

std::vector<BuilderTexture> MakeDemoTextures(const BuilderPalette& p) {
  std::vector<BuilderTexture> t;
  t.push_back(Make(p, kDemoWallBrick, Bricks(128, 128, 11, {150, 75, 50}, {90, 85, 80}, 32, 16)));
  t.push_back(Make(p, kDemoWallConcrete, ConcretePanels(256, 256, 12, {140, 138, 132}, 64)));
  t.push_back(Make(p, kDemoWallTech, MetalPlate(64, 128, 13, {95, 115, 145}, true)));
  t.push_back(Make(p, kDemoFloorTiles, FloorTiles(128, 128, 14, {120, 118, 112}, {85, 90, 100}, 32)));
  t.push_back(Make(p, kDemoFloorGrating, Grating(256, 128, 15, {130, 135, 140}, false)));
  t.push_back(Make(p, kDemoCeiling, ConcretePanels(64, 64, 16, {105, 105, 110}, 32)));
  t.push_back(Make(p, kDemoMetalPlate, MetalPlate(64, 64, 17, {120, 125, 135}, true)));
  t.push_back(Make(p, kDemoHazardStripes, HazardStripes(128, 64, 18)));
  t.push_back(Make(p, kDemoLightPanel, LightPanel(32, 32, {240, 220, 150})));
  t.push_back(Make(p, kDemoLightStrip, LightPanel(32, 64, {170, 220, 250})));
  t.push_back(Make(p, kDemoPipes, Pipes(32, 128, 19, {150, 110, 70})));
  t.push_back(Make(p, kDemoDoor, Door(128, 256, 20)));
  t.push_back(Make(p, kDemoComputer, Computer(64, 32, 21)));
  // The big screen's other frames (the level animates "COMPUTR" 1 to 3).
  t.push_back(Make(p, "COMPUTR2.BMP", Computer(64, 32, 31)));
  t.push_back(Make(p, "COMPUTR3.BMP", Computer(64, 32, 32)));
  t.push_back(Make(p, kDemoWater, Liquid(64, 64, 22, {20, 40, 110}, {70, 150, 230}, 0)));
  t.push_back(Make(p, kDemoLava, Liquid(64, 64, 23, {170, 30, 10}, {255, 200, 60}, 0.3f)));
  t.push_back(Make(p, kDemoSludge, Liquid(64, 64, 24, {40, 70, 20}, {150, 190, 60}, 0)));
  t.push_back(Make(p, kDemoGrate, Grating(64, 64, 25, {140, 140, 150}, true)));

  t.push_back(Make(p, "RLASER.BMP", Beam(64, 32, {230, 40, 30}, false)));
  t.push_back(Make(p, "SLASER.BMP", Beam(64, 32, {60, 220, 90}, true)));
  t.push_back(Make(p, "FIREWAVE.BMP", FireWave(64, 64, 26)));
  t.push_back(Make(p, "RBULLET.BMP", Blob(32, {255, 240, 160}, {240, 120, 30}, false, 27)));
  t.push_back(Make(p, "!BHOLE1.BMP", Blob(32, {10, 10, 10}, {70, 65, 60}, true, 28)));
  t.push_back(Make(p, "!BHOLE2.BMP", Blob(32, {15, 12, 10}, {90, 80, 60}, true, 29)));
  t.push_back(Make(p, "MOLNIA.BMP", Lightning(128, 32, 30)));
  // A missile's smoke trail, bright at the missile and fading behind it.
  for (int frame = 1; frame <= 8; ++frame) {
    char name[16];
    std::snprintf(name, sizeof(name), "!hmi_%d.bmp", frame);
    const float fade = 255.0f - 22.0f * static_cast<float>(frame);
    t.push_back(Make(p, name, Blob(32, {fade, fade, fade - 20.0f}, {fade / 2, fade / 2, fade / 2}, true,
                                   static_cast<uint32_t>(60 + frame))));
  }
  for (int n = 0; n < 8; ++n) {
    char name[16];
    std::snprintf(name, sizeof(name), "BODY0%d.BMP", n + 1);
    t.push_back(Make(p, name, ShipSkin(64, 64, 40 + n, kPlayerColours[n], false)));
    std::snprintf(name, sizeof(name), "WING0%d.BMP", n + 1);
    t.push_back(Make(p, name, ShipSkin(64, 32, 50 + n, kPlayerColours[n], true)));
  }
  for (int frame = 0; frame < 8; ++frame) {
    char name[16];
    std::snprintf(name, sizeof(name), "!mpulse%d.bmp", frame);
    t.push_back(Make(p, name, Pulse(32, frame)));
  }
  AddDemoEffectTextures(p, &t);
  return t;
}

std::vector<std::string> DemoTextureNames() {
  std::vector<std::string> names;
  for (const BuilderTexture& texture : MakeDemoTextures(MakeDemoPalette())) names.push_back(texture.name);
  return names;
}

bool WriteDemoTextures(const std::string& folder, std::string* error) {
  const BuilderPalette palette = MakeDemoPalette();
  ArchiveWriter archive;
  if (!AddTextureArchive(&archive, palette, MakeDemoTextures(palette))) {
    *error = "cannot put the demo textures into TEXTURES.CAN";
    return false;
  }
  const std::string path = PathJoin(folder, "TEXTURES.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
