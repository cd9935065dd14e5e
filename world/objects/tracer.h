#pragma once
// Sparks: a glowing head that flies in steps of 30 ms under gravity 120,
// bounces off walls and floors with 0.6 of its speed (while the "Collision"
// option is on), dims by 0.9 colour units a step and drops a particle for
// every unit it flies; the trail's particles fade by the fade rate per
// second. The tracer goes when its last particle has faded. Never announced.
//
// Saved record after the base: x, y, z, vx, vy, vz, particle size, fade
// rate, red, green, blue, step remainder, trail length, threshold, dying,
// life, bounces. The trail is not saved; a loaded spark starts with one
// particle at its head.
#include <cstdint>
#include <vector>

#include "engine/records.h"
#include "world/objects/generic_object.h"

class CTracer : public CGenericObject {
  DECLARE_SERIAL_CLASS(CTracer)
 public:
  CTracer() = default;
  // colour 0x00BBGGRR; size 4 or 5 as the factories pass; started.
  CTracer(DPID owner, uint32_t objectId, float x, float y, float z, float vx, float vy, float vz, uint32_t colour,
          float size, bool bounces);
  ~CTracer() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;

  // The first particle; active.
  BOOL Start();
  // Every particle goes; inactive.
  BOOL Stop();
  // A particle at the head in its colour (nothing when the engine has none).
  void AddSegment();

  struct Segment {
    Particle* particle;
    int red, green, blue;
  };
  const std::vector<Segment>& GetTrail() const { return trail_; }
  bool IsDying() const { return dying_; }
  int GetRed() const { return red_; }
  int GetGreen() const { return green_; }
  int GetBlue() const { return blue_; }
  float GetThreshold() const { return threshold_; }
  float GetFadeRate() const { return fadeRate_; }
  int32_t GetLife() const { return life_; }
  const float* GetVelocity() const { return velocity_; }

 private:
  float position_[3] = {};
  float velocity_[3] = {};
  float particleSize_ = 0.0f;
  float fadeRate_ = 0.0f;
  std::vector<Segment> trail_;
  int32_t red_ = 0, green_ = 0, blue_ = 0;
  float stepRemainder_ = 0.0f;
  float trailLength_ = 0.0f;
  float threshold_ = 0.0f;
  bool dying_ = false;
  int32_t life_ = 0;
  bool bounces_ = false;
};
