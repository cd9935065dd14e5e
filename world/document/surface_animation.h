#pragma once
// Surfaces that move without a script: polygon groups whose light pulses
// between two levels ("flash"), model textures named "#..." that cycle
// through their numbered frames, and world polygons that play timed frame
// lists ("aniframe1", "aniframe2" ...), numbered frame sets ("animated",
// "fps") and slides ("sliding", "u", "v"). Built when a level is loaded,
// stepped once a frame, dropped with the level: the model slots get their
// load-time texture back first, since the models outlive nothing but the
// slots' pointers must not dangle into frames of another level.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/records.h"

// A group whose vertex light ramps between min and max; rate is in sweeps a
// second and its sign is the direction.
struct FlashingGroup {
  PolygonGroup* group = nullptr;
  float level = 1.0f;
  float rate = 0.0f;
  float min = 0.0f;
  float max = 1.0f;
  bool random = true;  // no bound given: each turn draws the opposite bound
};

// One entry of a model node's texture table cycling through its frames.
struct TextureSequence {
  Texture** slot = nullptr;
  Texture* loaded = nullptr;  // what the slot held when the level was loaded
  std::vector<Texture*> frames;
  int index = 0;
};

struct TimedFrame {
  Texture* texture = nullptr;
  int32_t durationMs = 0;
};

// "aniframe1", "aniframe2" ...: each frame shown for its own time.
struct TimedTextureAnimation {
  WorldPolygon* polygon = nullptr;
  std::vector<TimedFrame> frames;
  int current = 0;
  int32_t elapsedMs = 0;
};

// "animated" and/or "sliding".
struct PolygonTextureAnimation {
  WorldPolygon* polygon = nullptr;
  std::vector<Texture*> frames;  // empty for a slide alone
  float position = 0.0f;         // in frames
  float fps = 0.0f;              // below 0.0001: a random frame each update
  float u = 0.0f, v = 0.0f;      // slide offsets, 0..1
  float uSpeed = 0.0f, vSpeed = 0.0f;
  bool random = false;  // the slide jitters
};

// 0..32767, like the C runtime's rand().
using SurfaceRandom = std::function<int()>;
// Raises a level event with no source.
using SurfaceEventRaiser = std::function<void(const char* text)>;

// The most frames a timed list or a numbered set has; higher numbers are
// ignored (a texture named "slime99999999" must not size a table).
inline constexpr int kSurfaceMaxFrames = 255;
// A timed frame without a usable duration is shown this long.
inline constexpr int32_t kTimedFrameDefaultMs = 100;
// Neither clock counts more than this in one frame.
inline constexpr int32_t kSurfaceClockCapMs = 523;

// The number that follows prefix (compared without regard to case) in the
// texture's name, or -1 when the name does not go on with a digit there.
// Numbers too large for an int give INT32_MAX.
int TextureFrameNumber(const char* prefix, const Texture* texture);

class SurfaceAnimation {
 public:
  explicit SurfaceAnimation(SurfaceRandom random);
  ~SurfaceAnimation();
  SurfaceAnimation(const SurfaceAnimation&) = delete;
  SurfaceAnimation& operator=(const SurfaceAnimation&) = delete;

  // Every group of the world with "flash" above 0 ("path_" groups aside).
  void LoadFlashingGroups(World* world);
  // The timed frames, frame sets and slides of the world's textured
  // polygons of three or more vertices (never of lines). False,
  // with *missing the name, when a timed frame names no texture (the level is
  // unusable); the records read before it are kept.
  bool LoadGroupTextureAnimations(World* world, std::string* missing);
  // The "#" textures of every model from first on (the global model list).
  void BuildTextureSequences(Model* first);

  // The group lights; now is the game time in ms.
  void UpdateFlashingGroups(uint32_t now);
  // The model sequences, timed frames, frame sets and slides. clock is the
  // document's texture-animation clock (kept in saved games).
  void UpdateTextureAnimations(uint32_t now, uint32_t& clock, const SurfaceEventRaiser& raise);

  // Gives every model slot its load-time texture back and drops the records.
  void Release();

  const std::vector<FlashingGroup>& FlashingGroups() const { return flashing_; }
  const std::vector<TextureSequence>& Sequences() const { return sequences_; }
  const std::vector<TimedTextureAnimation>& TimedAnimations() const { return timed_; }
  const std::vector<PolygonTextureAnimation>& PolygonAnimations() const { return polygons_; }
  std::vector<FlashingGroup>& FlashingGroups() { return flashing_; }
  std::vector<PolygonTextureAnimation>& PolygonAnimations() { return polygons_; }

 private:
  void StepSequences();
  void StepTimed(int32_t dt);
  void StepPolygon(PolygonTextureAnimation& animation, float seconds, const SurfaceEventRaiser& raise);

  SurfaceRandom random_;
  uint32_t flashClock_ = 0;
  std::vector<FlashingGroup> flashing_;
  std::vector<TextureSequence> sequences_;
  std::vector<TimedTextureAnimation> timed_;
  std::vector<PolygonTextureAnimation> polygons_;
};
