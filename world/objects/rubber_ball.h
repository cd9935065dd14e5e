#pragma once
// The bouncing bolt of the plasma coil and of some enemy weapons: it flies
// straight and casts a ray along each step like the plasma ball, but passes
// through ships and other instances, hurting each once as it goes through,
// and bounces off the level's polygons up to five times, losing 8 % of its
// damage at each. A liquid surface swallows it with a splash. Behind it a
// trail of up to eight small squares winds round its path in a spiral, each
// with the trail texture of its age ("!mpulse0".."!mpulse7"). Drawn as an
// animated square facing the viewer ("!mpulse"); gone after 1800 units.
//
// Saved record after the base: position, velocity, distance, finished,
// frame rate, frame position, size, frame prefix, damage, bounces. The
// trail, the spiral angle, the ignored instance and the square start afresh.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"

inline constexpr int kRubberBallMessageBytes = kShotCreateBytes;
// The single-precision number just above 1800.
inline constexpr float kRubberBallRange = 1800.0001f;
inline constexpr int kRubberBallMaxBounces = 5;
inline constexpr int kRubberBallTrail = 8;
inline constexpr uint32_t kRubberBallSparks = 0x0032FF;

class CRubberBall : public CGenericObject {
  DECLARE_SERIAL_CLASS(CRubberBall)
 public:
  CRubberBall() = default;
  // A random spiral angle 0..pi; started, announced when local.
  CRubberBall(DPID owner, uint32_t objectId, Instance* ignored, float x, float y, float z, float vx, float vy,
              float vz, float damage);
  ~CRubberBall() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  BOOL Start();
  BOOL Stop();

  void WriteCreateMessage(uint8_t out[kRubberBallMessageBytes]) const;
  bool IsFinished() const { return finished_; }
  int GetBounces() const { return bounces_; }
  float GetDamage() const { return damage_; }
  float GetDistance() const { return distance_; }
  const float* GetVelocity() const { return velocity_; }
  float GetSpiralAngle() const { return spiralAngle_; }
  WorldPolygon* GetSquare() const { return square_; }
  WorldPolygon* GetTrail(int slot) const { return trail_[slot]; }
  int GetFrameCount() const { return frameCount_; }

 private:
  void ShiftTrail(int m);
  void LayTrail(const float step[3], float length, int m, const float viewer[3]);

  float position_[3] = {};
  float velocity_[3] = {};
  float distance_ = 0.0f;
  WorldPolygon* square_ = nullptr;
  Instance* ignored_ = nullptr;
  // The instance the ball is passing through: hurt when the ball entered
  // it, not again until the ball has left it.
  Instance* passing_ = nullptr;
  bool finished_ = false;
  float frameRate_ = 30.0f;
  float framePosition_ = 0.0f;
  float size_ = 1.8f;
  CString framePrefix_;
  Texture* frames_[31] = {};
  int frameCount_ = 0;
  int32_t bounces_ = 0;
  float damage_ = 0.0f;
  WorldPolygon* trail_[kRubberBallTrail] = {};
  float spiralAngle_ = 0.0f;
};
