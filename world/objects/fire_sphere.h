#pragma once
// The level script's fireball: a ball of flame polygons ("FIREWAVE.BMP")
// that swells from radius 3 to its final radius in the given time, fainter
// as it grows, and bursts with a blast of strength 1000 within 0.98 x the
// final radius. Rebuilt each update from up to 68 polygons over seven
// latitude steps, leaving out most of those turned from the viewer. Not
// sent: every program runs the script and makes its own.
//
// Saved record after the base: position, radius, final radius, duration.
#include <cstdint>
#include <vector>

#include "engine/records.h"
#include "world/objects/generic_object.h"

inline constexpr int kFireSphereMaxPolygons = 68;

// (a . b) / sqrt(|a|^2 |b|^2); 0 when that product is below 1e-6.
float VectorCosine(float ax, float ay, float az, float bx, float by, float bz);

class CFireSphere : public CGenericObject {
  DECLARE_SERIAL_CLASS(CFireSphere)
 public:
  CFireSphere() = default;
  // A duration of 0 or less is taken as 1 ms (the factory refuses those).
  CFireSphere(DPID owner, uint32_t objectId, float x, float y, float z, float finalRadius, int32_t durationMs);
  ~CFireSphere() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  BOOL Start();
  BOOL Stop();
  void DeletePolygons();
  void BuildSphere();

  float GetRadius() const { return radius_; }
  float GetFinalRadius() const { return finalRadius_; }
  int32_t GetDuration() const { return duration_; }
  const std::vector<WorldPolygon*>& GetPolygons() const { return polygons_; }

 private:
  float position_[3] = {};
  float radius_ = 3.0f;
  float finalRadius_ = 0.0f;
  std::vector<WorldPolygon*> polygons_;
  int32_t duration_ = 1;
};
