// Each sound is a few layers of tone and noise under an envelope, chosen so
// that it is recognisable for what it is: shots are bursts, explosions are
// long dark rumbles, beeps are short tones, power-ups sweep upward.
#include "tools/builder/demo_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/paths.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/wave_writer.h"

namespace {

constexpr int kRate = 11025;
constexpr float kPi = 3.14159265f;

enum class Wave { Sine, Square, Saw };
enum class Shape { Decay, Flat, Pulse };

struct Layer {
  float f0, f1;     // tone sweep (Hz); 0: no tone
  Wave wave;
  float noise;      // noise amount 0..1
  float dark;       // noise low-pass 0 (bright) .. 0.98 (dark)
  float level;
};

struct Recipe {
  const char* name;
  float seconds;
  Shape shape;
  float rate;  // decay speed, or pulse rate (Hz)
  Layer a, b;
};

constexpr Layer kNone{0, 0, Wave::Sine, 0, 0, 0};

// Table names first (ids 0..46), then the ones the level script names.
const Recipe kRecipes[] = {
    {"bzzzt", 0.35f, Shape::Flat, 0, {110, 110, Wave::Square, 0, 0, 0.6f}, {165, 165, Wave::Saw, 0, 0, 0.3f}},
    {"confirm", 0.25f, Shape::Pulse, 8, {660, 990, Wave::Sine, 0, 0, 0.7f}, kNone},
    {"actvbutt", 0.08f, Shape::Decay, 40, {1200, 800, Wave::Square, 0.2f, 0.3f, 0.5f}, kNone},
    {"playgame", 0.9f, Shape::Decay, 3, {300, 1200, Wave::Saw, 0, 0, 0.5f}, {0, 0, Wave::Sine, 0.4f, 0.5f, 0.3f}},
    {"playded1", 1.4f, Shape::Decay, 2, {500, 60, Wave::Saw, 0, 0, 0.6f}, {0, 0, Wave::Sine, 0.5f, 0.9f, 0.4f}},
    {"machgun1", 0.12f, Shape::Decay, 30, {90, 60, Wave::Square, 0.8f, 0.2f, 0.8f}, kNone},
    {"bulltric", 0.3f, Shape::Decay, 12, {3000, 1200, Wave::Sine, 0.3f, 0.1f, 0.6f}, kNone},
    {"laser1", 0.25f, Shape::Decay, 10, {1800, 400, Wave::Square, 0, 0, 0.6f}, kNone},
    {"laserric", 0.2f, Shape::Decay, 15, {2500, 900, Wave::Sine, 0.2f, 0.2f, 0.6f}, kNone},
    {"laser3", 0.3f, Shape::Decay, 8, {1200, 300, Wave::Saw, 0, 0, 0.6f}, {2400, 600, Wave::Sine, 0, 0, 0.2f}},
    {"mgr", 0.35f, Shape::Decay, 8, {220, 90, Wave::Square, 0.3f, 0.5f, 0.6f}, kNone},
    {"mgrric", 0.25f, Shape::Decay, 12, {1600, 700, Wave::Square, 0.2f, 0.3f, 0.5f}, kNone},
    {"launch1", 0.6f, Shape::Decay, 4, {150, 400, Wave::Saw, 0.6f, 0.6f, 0.6f}, kNone},
    {"launch3", 0.7f, Shape::Decay, 3, {120, 500, Wave::Saw, 0.7f, 0.7f, 0.6f}, kNone},
    {"lobnuke", 0.5f, Shape::Decay, 5, {400, 200, Wave::Sine, 0.4f, 0.8f, 0.6f}, kNone},
    {"sat", 1.5f, Shape::Pulse, 6, {900, 300, Wave::Saw, 0.3f, 0.5f, 0.6f}, kNone},
    {"rocktexp", 1.2f, Shape::Decay, 3, {70, 30, Wave::Sine, 0.9f, 0.9f, 0.9f}, kNone},
    {"nukexplod", 2.2f, Shape::Decay, 1.5f, {50, 25, Wave::Sine, 1.0f, 0.95f, 1.0f}, kNone},
    {"lock2", 0.3f, Shape::Pulse, 12, {1760, 1760, Wave::Square, 0, 0, 0.5f}, kNone},
    {"nukebnce", 0.4f, Shape::Decay, 10, {420, 400, Wave::Square, 0.2f, 0.5f, 0.5f}, {1130, 1100, Wave::Sine, 0, 0, 0.3f}},
    {"ship3", 1.0f, Shape::Flat, 0, {55, 55, Wave::Saw, 0.3f, 0.95f, 0.5f}, {110, 110, Wave::Sine, 0, 0, 0.2f}},
    {"recharg2", 0.8f, Shape::Decay, 2, {400, 1600, Wave::Sine, 0, 0, 0.6f}, {800, 3200, Wave::Sine, 0, 0, 0.2f}},
    {"armorrpr", 0.8f, Shape::Pulse, 10, {300, 900, Wave::Square, 0, 0, 0.5f}, kNone},
    {"ammo1", 0.2f, Shape::Pulse, 15, {0, 0, Wave::Sine, 0.8f, 0.1f, 0.7f}, kNone},
    {"radiate", 0.6f, Shape::Flat, 0, {0, 0, Wave::Sine, 1.0f, 0.0f, 0.5f}, {60, 60, Wave::Square, 0, 0, 0.2f}},
    {"electric", 0.5f, Shape::Pulse, 25, {120, 120, Wave::Saw, 0.5f, 0.1f, 0.7f}, kNone},
    {"thud", 0.3f, Shape::Decay, 12, {80, 40, Wave::Sine, 0.4f, 0.9f, 0.9f}, kNone},
    {"changwpn2", 0.2f, Shape::Decay, 12, {600, 900, Wave::Square, 0.3f, 0.4f, 0.5f}, kNone},
    {"objclose", 0.5f, Shape::Decay, 6, {100, 70, Wave::Square, 0.5f, 0.9f, 0.7f}, kNone},
    {"shlddam3", 0.4f, Shape::Decay, 7, {800, 200, Wave::Saw, 0.4f, 0.3f, 0.6f}, kNone},
    {"armordam", 0.4f, Shape::Decay, 8, {200, 80, Wave::Square, 0.6f, 0.6f, 0.7f}, kNone},
    {"ricco2w", 0.4f, Shape::Decay, 7, {0, 0, Wave::Sine, 1.0f, 0.5f, 0.6f}, {900, 300, Wave::Sine, 0, 0, 0.2f}},
    {"molnia", 0.7f, Shape::Decay, 5, {0, 0, Wave::Sine, 1.0f, 0.0f, 0.8f}, {45, 30, Wave::Sine, 0, 0, 0.3f}},
    {"molniarc", 0.3f, Shape::Pulse, 30, {0, 0, Wave::Sine, 1.0f, 0.2f, 0.6f}, kNone},
    {"fletchet", 0.15f, Shape::Decay, 25, {140, 90, Wave::Saw, 0.7f, 0.3f, 0.8f}, kNone},
    {"fltchric", 0.25f, Shape::Decay, 14, {2200, 1500, Wave::Square, 0.3f, 0.2f, 0.5f}, kNone},
    {"respawn", 0.9f, Shape::Decay, 2.5f, {200, 800, Wave::Sine, 0.2f, 0.7f, 0.6f}, {400, 1600, Wave::Sine, 0, 0, 0.2f}},
    {"notify1", 0.4f, Shape::Pulse, 5, {880, 1320, Wave::Sine, 0, 0, 0.7f}, kNone},
    {"uncloak", 0.7f, Shape::Decay, 3, {2000, 300, Wave::Sine, 0.3f, 0.6f, 0.6f}, kNone},
    {"lava", 0.8f, Shape::Pulse, 7, {90, 60, Wave::Sine, 0.6f, 0.9f, 0.7f}, kNone},
    {"outoammo", 0.15f, Shape::Decay, 25, {180, 180, Wave::Square, 0.1f, 0.5f, 0.6f}, kNone},
    {"textbeep", 0.04f, Shape::Flat, 0, {1500, 1500, Wave::Square, 0, 0, 0.4f}, kNone},
    {"combeep1", 0.12f, Shape::Flat, 0, {600, 600, Wave::Sine, 0, 0, 0.6f}, kNone},
    {"combeep2", 0.12f, Shape::Flat, 0, {800, 800, Wave::Sine, 0, 0, 0.6f}, kNone},
    {"combeep3", 0.12f, Shape::Flat, 0, {1000, 1000, Wave::Sine, 0, 0, 0.6f}, kNone},
    {"combeep4", 0.12f, Shape::Flat, 0, {1200, 1200, Wave::Sine, 0, 0, 0.6f}, kNone},
    {"frcfield", 1.0f, Shape::Flat, 0, {150, 150, Wave::Saw, 0.2f, 0.5f, 0.4f}, {151, 151, Wave::Saw, 0, 0, 0.3f}},
    {"satwarn", 1.0f, Shape::Pulse, 2, {700, 1100, Wave::Square, 0, 0, 0.5f}, kNone},
    {"rumble", 1.0f, Shape::Flat, 0, {35, 35, Wave::Sine, 1.0f, 0.97f, 1.0f}, kNone},
    // The title picture's sound.
    {"korvane", 1.2f, Shape::Decay, 2, {110, 220, Wave::Saw, 0.2f, 0.8f, 0.5f}, {330, 660, Wave::Sine, 0, 0, 0.3f}},
    {"alarm", 1.0f, Shape::Pulse, 4, {900, 600, Wave::Square, 0, 0, 0.5f}, kNone},
    // The script countdown's tick, once a second.
    {"counter", 0.08f, Shape::Decay, 45, {1400, 1400, Wave::Square, 0, 0, 0.5f}, kNone},
    // The doors' start and stop.
    {"dooropen", 0.6f, Shape::Flat, 0, {80, 120, Wave::Saw, 0.4f, 0.8f, 0.5f}, kNone},
    {"doorstop", 0.3f, Shape::Decay, 10, {70, 40, Wave::Square, 0.6f, 0.9f, 0.8f}, kNone},
};

const Recipe* Find(const std::string& name) {
  for (const Recipe& r : kRecipes)
    if (name == r.name) return &r;
  return nullptr;
}

float Oscillator(Wave wave, float phase) {
  const float t = phase - std::floor(phase);
  switch (wave) {
    case Wave::Sine:
      return std::sin(2 * kPi * t);
    case Wave::Square:
      return t < 0.5f ? 1.0f : -1.0f;
    case Wave::Saw:
      return 2 * t - 1;
  }
  return 0;
}

std::vector<float> Render(const Recipe& r) {
  const int n = static_cast<int>(r.seconds * kRate);
  std::vector<float> out(n, 0.0f);
  uint32_t seed = 0x1234567u;
  for (const Layer* layer : {&r.a, &r.b}) {
    float phase = 0, low = 0;
    for (int i = 0; i < n; ++i) {
      const float t = static_cast<float>(i) / n;
      const float f = layer->f0 + (layer->f1 - layer->f0) * t;
      phase += f / kRate;
      seed = seed * 1664525u + 1013904223u;
      const float white = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
      low = layer->dark * low + (1 - layer->dark) * white;
      const float noise = layer->dark > 0 ? low * (1.0f + 4.0f * layer->dark) : white;
      const float tone = layer->f0 > 0 ? Oscillator(layer->wave, phase) : 0.0f;
      out[i] += layer->level * ((1 - layer->noise) * tone + layer->noise * noise);
    }
  }
  for (int i = 0; i < n; ++i) {
    const float seconds = static_cast<float>(i) / kRate;
    float envelope = 1.0f;
    if (r.shape == Shape::Decay) envelope = std::exp(-r.rate * seconds);
    if (r.shape == Shape::Pulse) envelope = std::sin(kPi * r.rate * seconds) > 0 ? 1.0f : 0.15f;
    // 5 ms in and out, so no sound starts or ends with a click.
    const float edge = std::min(1.0f, std::min(seconds, r.seconds - seconds) / 0.005f);
    out[i] *= envelope * std::max(edge, 0.0f);
  }
  return out;
}

}  // namespace

std::vector<std::string> DemoSoundNames() {
  std::vector<std::string> names;
  for (const Recipe& r : kRecipes) names.push_back(r.name);
  return names;
}

std::vector<uint8_t> DemoSoundWave(const std::string& name) {
  const Recipe* recipe = Find(name);
  return recipe ? WaveFile8(Render(*recipe), kRate) : std::vector<uint8_t>();
}

std::vector<uint8_t> DemoMusicWave(int track) {
  // Four bars of eighth notes over a bass line; a whole number of cycles of
  // every note fits each note's length, so the end meets the start.
  constexpr int kMusicRate = 22050;
  constexpr int kNote = kMusicRate / 4;  // 250 ms
  static const float kMelodies[3][16] = {
      {440, 523.25f, 659.25f, 523.25f, 392, 493.88f, 587.33f, 493.88f, 349.23f, 440, 523.25f, 440, 392, 493.88f,
       587.33f, 783.99f},
      {329.63f, 392, 329.63f, 293.66f, 261.63f, 293.66f, 329.63f, 392, 440, 392, 329.63f, 293.66f, 329.63f, 261.63f,
       246.94f, 220},
      // The finale's: low and minor, climbing at the end.
      {220, 261.63f, 220, 207.65f, 196, 233.08f, 196, 174.61f, 164.81f, 196, 220, 261.63f, 293.66f, 261.63f,
       329.63f, 440}};
  const float* melody = kMelodies[track == 4 ? 2 : track == 3 ? 1 : 0];
  std::vector<float> left, right;
  for (int note = 0; note < 16; ++note) {
    const float lead = melody[note];
    const float bass = melody[(note / 4) * 4] / 4;
    for (int i = 0; i < kNote; ++i) {
      const float s = static_cast<float>(i) / kMusicRate;
      const float fade = std::min(1.0f, std::min(i, kNote - i) / 200.0f);
      const float a = 0.3f * std::sin(2 * kPi * lead * s) * fade * std::exp(-3 * s);
      const float b = 0.25f * std::sin(2 * kPi * bass * s) * fade;
      left.push_back(a * 0.8f + b);
      right.push_back(a + b * 0.8f);
    }
  }
  return WaveFile16Stereo(left, right, kMusicRate);
}

bool WriteDemoSoundArchive(const std::string& path) {
  ArchiveWriter archive;
  for (const Recipe& r : kRecipes) archive.AddMember(std::string(r.name) + ".wav", DemoSoundWave(r.name));
  return archive.WriteFile(path);
}

bool WriteDemoSounds(const std::string& folder, std::string* error) {
  if (!WriteDemoSoundArchive(folder + "/SOUND.CAN")) {
    *error = "cannot write " + folder + "/SOUND.CAN";
    return false;
  }
  const std::string music = folder + "/music";
  CreateDirectory(music);
  for (int track : {2, 3, 4}) {
    const std::string path = music + "/track0" + std::to_string(track) + ".wav";
    if (!WriteBytesToFile(path, DemoMusicWave(track))) {
      *error = "cannot write " + path;
      return false;
    }
  }
  return true;
}
