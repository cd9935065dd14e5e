#pragma once
// The nuke's ring of fire: segments of a flat textured band between an inner
// and an outer arc round the explosion, each lit on its outer edge. Every
// update a segment rolls outwards (its outer edge a little faster each
// time), burns what stands within reach, dies where a wall blocks it or 600
// units out, and splits in two once too wide. Never announced.
//
// Corners 0 and 3 on the inner arc, 1 and 2 on the outer; distances to the
// centre in x and z only. Saved record after the base: the four corner x,
// the four y, the four z, centre x, height, centre z, speed.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

inline constexpr float kFireWaveReach = 600.0f;

class CFireWave : public CGenericObject {
  DECLARE_SERIAL_CLASS(CFireWave)
 public:
  CFireWave() = default;
  // corners: (x, z) of corners 0..3; started.
  CFireWave(DPID owner, uint32_t objectId, const float corners[8], float centreX, float height, float centreZ,
            float speed);
  ~CFireWave() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  // Corner 0.
  void GetPosition(float& x, float& y, float& z) override;

  BOOL Start();
  BOOL Stop();
  // The band's polygon (facing the local ship) and its light.
  void Build();

  float GetCornerX(int i) const { return cornerX_[i]; }
  float GetCornerZ(int i) const { return cornerZ_[i]; }
  float GetSpeed() const { return speed_; }
  WorldPolygon* GetPolygon() const { return polygon_; }
  Light* GetLight() const { return light_; }

 private:
  float cornerX_[4] = {};
  float cornerY_[4] = {};
  float cornerZ_[4] = {};
  float centreX_ = 0.0f;
  float height_ = 0.0f;
  float centreZ_ = 0.0f;
  float speed_ = 0.0f;
  WorldPolygon* polygon_ = nullptr;
  Light* light_ = nullptr;
};

// The band's mapping: origin P1, u along P1 -> P2, v in the plane away from
// P0, both 256 x |P0 - P1| / (height - 1) long (a 1-texel-high texture
// counts as 2). Takes over the texture reference.
Surface* MakeWaveSurface(World* world, const float p0[3], const float p1[3], const float p2[3], Texture* texture);
