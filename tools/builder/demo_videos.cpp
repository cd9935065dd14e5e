#include "tools/builder/demo_videos.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "tools/builder/procedural.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr uint32_t kFrameMicros = 66670;  // 15 frames a second
constexpr uint32_t kSoundRate = 11025;
constexpr float kPi = 3.14159265f;

// An 8-bit picture the size of the videos.
struct Picture {
  std::vector<uint8_t> pixels = std::vector<uint8_t>(kWidth * kHeight, 0);

  void Set(int x, int y, int colour) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) pixels[y * kWidth + x] = static_cast<uint8_t>(colour);
  }
  uint8_t Get(int x, int y) const { return pixels[y * kWidth + x]; }
  void Fill(int x0, int y0, int w, int h, int colour) {
    for (int y = y0; y < y0 + h; ++y) {
      for (int x = x0; x < x0 + w; ++x) Set(x, y, colour);
    }
  }
};

// 5x7 capitals for the titles, a row of five cells a string.
const std::array<std::string_view, 7>* Glyph(char c) {
  static const std::array<std::string_view, 7> kA = {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"};
  static const std::array<std::string_view, 7> kD = {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."};
  static const std::array<std::string_view, 7> kE = {"#####", "#....", "#....", "####.", "#....", "#....", "#####"};
  static const std::array<std::string_view, 7> kH = {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"};
  static const std::array<std::string_view, 7> kK = {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"};
  static const std::array<std::string_view, 7> kN = {"#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"};
  static const std::array<std::string_view, 7> kO = {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};
  static const std::array<std::string_view, 7> kR = {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"};
  static const std::array<std::string_view, 7> kT = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};
  static const std::array<std::string_view, 7> kV = {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."};
  switch (c) {
    case 'A':
      return &kA;
    case 'D':
      return &kD;
    case 'E':
      return &kE;
    case 'H':
      return &kH;
    case 'K':
      return &kK;
    case 'N':
      return &kN;
    case 'O':
      return &kO;
    case 'R':
      return &kR;
    case 'T':
      return &kT;
    case 'V':
      return &kV;
    default:
      return nullptr;  // a space
  }
}

struct TextBox {
  int x, y, width, height;
};

// Text centred across the picture at row y, each cell scale pixels square;
// colour(x, y) gives each lit pixel's colour. Returns where it went.
template <typename Colour>
TextBox DrawTitle(Picture* picture, std::string_view text, int y, int scale, Colour colour) {
  const int advance = 6 * scale;
  const int width = static_cast<int>(text.size()) * advance - scale;
  const int x0 = (kWidth - width) / 2;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto* glyph = Glyph(text[i]);
    if (!glyph) continue;
    for (int row = 0; row < 7; ++row) {
      for (int column = 0; column < 5; ++column) {
        if ((*glyph)[row][column] != '#') continue;
        const int left = x0 + static_cast<int>(i) * advance + column * scale, top = y + row * scale;
        for (int py = top; py < top + scale; ++py) {
          for (int px = left; px < left + scale; ++px) picture->Set(px, py, colour(px, py));
        }
      }
    }
  }
  return {x0, y, width, 7 * scale};
}

// A disc cut off at row bottom, each pixel's colour from colour(x, y).
template <typename Colour>
void DrawDisc(Picture* picture, int cx, int cy, int radius, int bottom, Colour colour) {
  for (int y = std::max(0, cy - radius); y < std::min(bottom, cy + radius); ++y) {
    const int half = static_cast<int>(std::sqrt(static_cast<float>(radius * radius - (y - cy) * (y - cy))));
    for (int x = std::max(0, cx - half); x < std::min(kWidth, cx + half); ++x) picture->Set(x, y, colour(x, y));
  }
}

using Palette = std::vector<uint8_t>;  // 256 RGB triples

void Ramp(Palette* palette, int first, int count, Rgb from, Rgb to) {
  for (int i = 0; i < count; ++i) {
    const Rgb c = Mix(from, to, count > 1 ? static_cast<float>(i) / (count - 1) : 0.0f);
    uint8_t* entry = &(*palette)[3 * (first + i)];
    entry[0] = static_cast<uint8_t>(std::clamp(c.r, 0.0f, 255.0f));
    entry[1] = static_cast<uint8_t>(std::clamp(c.g, 0.0f, 255.0f));
    entry[2] = static_cast<uint8_t>(std::clamp(c.b, 0.0f, 255.0f));
  }
}

// Entries first .. first + count - 1 at brightness 0..1.
Palette Faded(Palette palette, float brightness, int first = 0, int count = 256) {
  for (int i = 3 * first; i < 3 * (first + count); ++i) {
    palette[i] = static_cast<uint8_t>(std::lround(palette[i] * std::clamp(brightness, 0.0f, 1.0f)));
  }
  return palette;
}

// Sound built as floats in -1..1 and stored as unsigned 8-bit samples.
class SoundTrack {
 public:
  explicit SoundTrack(float seconds) : mix_(static_cast<size_t>(seconds * kSoundRate), 0.0f) {}

  // A sine gliding from one pitch to another, rising in 20 ms and decaying
  // with the given time (0: held, with a 20 ms fall at the end).
  void Tone(float start, float length, float fromHz, float toHz, float level, float decay) {
    float phase = 0.0f;
    const size_t first = static_cast<size_t>(start * kSoundRate);
    const size_t count = static_cast<size_t>(length * kSoundRate);
    for (size_t i = 0; i < count && first + i < mix_.size(); ++i) {
      const float t = static_cast<float>(i) / kSoundRate;
      phase += 2.0f * kPi * (fromHz + (toHz - fromHz) * t / length) / kSoundRate;
      float envelope = std::min(1.0f, t / 0.02f);
      envelope *= decay > 0.0f ? std::exp(-t / decay) : std::min(1.0f, (length - t) / 0.02f);
      mix_[first + i] += level * envelope * std::sin(phase);
    }
  }

  SmackerSound Sound() const {
    SmackerSound sound;
    sound.rate = kSoundRate;
    for (float s : mix_)
      sound.samples.push_back(static_cast<int16_t>(128 + std::lround(127 * std::clamp(s, -1.0f, 1.0f))));
    return sound;
  }

 private:
  std::vector<float> mix_;
};

SmackerMovie EmptyMovie() {
  SmackerMovie movie;
  movie.width = kWidth;
  movie.height = kHeight;
  movie.frameMicros = kFrameMicros;
  return movie;
}

float Seconds(int frames) { return static_cast<float>(frames) * kFrameMicros / 1e6f; }

}  // namespace

// The name in steel letters fades in, a light sweeps across it with a chime,
// and it fades out.
SmackerMovie DemoLogoMovie() {
  constexpr int kFadeIn = 12, kSweep = 16, kFadeOut = 8;
  constexpr int kSteel = 16, kShine = 48;  // 32-step ramps
  Palette palette(768, 0);
  Ramp(&palette, kSteel, 32, {30, 45, 80}, {170, 200, 235});
  Ramp(&palette, kShine, 32, {200, 170, 90}, {255, 250, 220});

  Picture base;
  const TextBox box = DrawTitle(&base, "KORVANE", 96, 6, [](int, int y) { return kSteel + (y - 96) * 31 / 41; });
  base.Fill(box.x, box.y + box.height + 8, box.width, 3, kSteel + 20);

  SmackerMovie movie = EmptyMovie();
  for (int f = 0; f < kFadeIn + kSweep + kFadeOut; ++f) {
    Picture picture = base;
    if (f >= kFadeIn && f < kFadeIn + kSweep) {
      // A slanted band of light: lit pixels inside it take the shine ramp.
      const int centre = box.x - 40 + (box.width + 80) * (f - kFadeIn) / (kSweep - 1);
      for (int y = box.y; y < box.y + box.height + 11; ++y) {
        for (int x = std::max(0, centre - 60); x < std::min(kWidth, centre + 60); ++x) {
          const int along = x + (y - box.y) / 2 - centre;
          const uint8_t p = picture.Get(x, y);
          if (p >= kSteel && p < kSteel + 32 && std::abs(along) < 12) picture.Set(x, y, p - kSteel + kShine);
        }
      }
    }
    float brightness = 1.0f;
    if (f < kFadeIn) brightness = static_cast<float>(f + 1) / kFadeIn;
    if (f >= kFadeIn + kSweep) brightness = static_cast<float>(kFadeIn + kSweep + kFadeOut - 1 - f) / kFadeOut;
    movie.frames.push_back({std::move(picture.pixels), Faded(palette, brightness)});
  }
  SoundTrack sound(Seconds(static_cast<int>(movie.frames.size())));
  sound.Tone(Seconds(kFadeIn), 1.2f, 880.0f, 880.0f, 0.35f, 0.35f);
  sound.Tone(Seconds(kFadeIn), 1.2f, 1320.0f, 1320.0f, 0.2f, 0.25f);
  movie.sound = sound.Sound();
  return movie;
}

// Stars rush past while a planet rises; the title fades in over it, to a
// rising hum.
SmackerMovie DemoIntroMovie() {
  constexpr int kFrames = 48, kTitleFrom = 30;
  constexpr int kStar = 11, kPlanet = 42, kTitle = 74;  // 31-, 32- and 32-step ramps
  Palette palette(768, 0);
  Ramp(&palette, kStar, 31, {40, 40, 60}, {255, 255, 255});
  Ramp(&palette, kPlanet, 32, {5, 10, 40}, {90, 200, 230});
  Ramp(&palette, kTitle, 32, {150, 60, 10}, {255, 220, 120});

  SmackerMovie movie = EmptyMovie();
  for (int f = 0; f < kFrames; ++f) {
    Picture picture;
    for (int s = 0; s < 140; ++s) {
      // Each star keeps its direction and comes nearer by a fixed step.
      const float dx = Hash01(11, s, 0) * 2.0f - 1.0f, dy = Hash01(11, s, 1) * 2.0f - 1.0f;
      const float z = 1.0f - std::fmod(Hash01(11, s, 2) + f * 0.02f, 1.0f) * 0.95f;
      const int x = kWidth / 2 + static_cast<int>(dx * 60.0f / z), y = kHeight / 2 + static_cast<int>(dy * 45.0f / z);
      const int colour = kStar + std::min(30, static_cast<int>((1.0f - z) * 34.0f));
      const int size = z < 0.3f ? 2 : 1;
      picture.Fill(x, y, size, size, colour);
    }
    // The planet's top rises from below the frame; it is lit from the upper left.
    const int cx = 160, radius = 150, cy = kHeight + radius - 10 - f * 2;
    DrawDisc(&picture, cx, cy, radius, kHeight, [&](int x, int y) {
      const float light =
          1.0f - std::hypot(static_cast<float>(x - (cx - 60)), static_cast<float>(y - (cy - 90))) / 260.0f;
      return kPlanet + std::clamp(static_cast<int>(light * 32.0f), 0, 31);
    });
    DrawTitle(&picture, "KORVANE", 30, 5, [](int, int y) { return kTitle + (y - 30) * 31 / 34; });
    // The title's ramp is black until its time, then fades in.
    const float title = std::clamp(static_cast<float>(f - kTitleFrom + 1) / 12.0f, 0.0f, 1.0f);
    movie.frames.push_back({std::move(picture.pixels), Faded(palette, title, kTitle, 32)});
  }
  SoundTrack sound(Seconds(kFrames));
  sound.Tone(0.0f, Seconds(kFrames), 55.0f, 110.0f, 0.3f, 0.0f);
  sound.Tone(0.0f, Seconds(kFrames), 82.5f, 165.0f, 0.2f, 0.0f);
  sound.Tone(Seconds(kTitleFrom), 1.0f, 440.0f, 440.0f, 0.3f, 0.4f);
  movie.sound = sound.Sound();
  return movie;
}

// The sun sets into the sea, "THE END" comes up, and all fades to black, to
// a soft chord.
SmackerMovie DemoEndingMovie() {
  constexpr int kFrames = 48, kTextFrom = 20, kFadeFrom = 40;
  constexpr int kSky = 11, kSea = 51, kSun = 67, kText = 74, kHorizon = 168, kTextTop = 36;
  auto SkyColour = [](int y) { return kSky + y * 39 / (kHorizon - 1); };
  Palette palette(768, 0);
  Ramp(&palette, kSky, 40, {40, 20, 80}, {250, 140, 60});
  Ramp(&palette, kSea, 16, {60, 40, 70}, {10, 15, 40});
  Ramp(&palette, kSun, 7, {255, 180, 60}, {255, 245, 170});
  Ramp(&palette, kText, 32, {200, 200, 220}, {255, 255, 255});

  SmackerMovie movie = EmptyMovie();
  for (int f = 0; f < kFrames; ++f) {
    Picture picture;
    for (int y = 0; y < kHorizon; ++y) picture.Fill(0, y, kWidth, 1, SkyColour(y));
    for (int y = kHorizon; y < kHeight; ++y)
      picture.Fill(0, y, kWidth, 1, kSea + (y - kHorizon) * 15 / (kHeight - kHorizon - 1));
    const int sunX = 200, sunY = 96 + f * 2, sunRadius = 28;
    DrawDisc(&picture, sunX, sunY, sunRadius, kHorizon, [&](int x, int y) {
      const int d2 = (x - sunX) * (x - sunX) + (y - sunY) * (y - sunY);
      return kSun + 6 - d2 * 7 / (sunRadius * sunRadius + 1);
    });
    // The sun's path on the water: short bright strokes that shift each frame.
    for (int y = kHorizon + 2; y < kHeight; y += 3) {
      const int length = 6 + static_cast<int>(Hash01(5, y, f / 2) * 24.0f);
      picture.Fill(sunX - length / 2 + static_cast<int>(Hash01(7, y, f / 2) * 10.0f) - 5, y, length, 1, kSun + 1);
    }
    DrawTitle(&picture, "THE END", kTextTop, 4, [](int, int y) { return kText + (y - kTextTop) * 31 / 27; });
    // The letters start as the sky behind them and turn white.
    const float text = std::clamp(static_cast<float>(f - kTextFrom + 1) / 12.0f, 0.0f, 1.0f);
    Palette shown = palette;
    for (int k = 0; k < 32; ++k) {
      const int sky = SkyColour(kTextTop + k * 27 / 31);
      for (int c = 0; c < 3; ++c) {
        shown[3 * (kText + k) + c] = static_cast<uint8_t>(
            std::lround(palette[3 * sky + c] + (palette[3 * (kText + k) + c] - palette[3 * sky + c]) * text));
      }
    }
    if (f >= kFadeFrom) shown = Faded(shown, static_cast<float>(kFrames - 1 - f) / (kFrames - 1 - kFadeFrom));
    movie.frames.push_back({std::move(picture.pixels), shown});
  }
  SoundTrack sound(Seconds(kFrames));
  for (float hz : {220.0f, 277.2f, 329.6f}) sound.Tone(0.2f, Seconds(kFrames) - 0.4f, hz, hz, 0.2f, 1.5f);
  movie.sound = sound.Sound();
  return movie;
}

bool WriteDemoVideos(const std::string& folder, std::string* error) {
  return WriteSmackerFile(folder + "/logo.smk", DemoLogoMovie(), error) &&
         WriteSmackerFile(folder + "/intro.smk", DemoIntroMovie(), error) &&
         WriteSmackerFile(folder + "/ENDING.SMK", DemoEndingMovie(), error);
}
