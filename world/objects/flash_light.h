#pragma once
// Flash lights: a short burst of colourless light that fades out by itself
// (an enemy's muzzle flash), and the respawn light, which also plays
// "playgame" where a ship (re)appears. The fade rate grows by 3 every
// second; size and radius follow the intensity (20 x and 60 x).
//
// Saved record after the base: x, y, z, intensity, fade rate. A loaded
// plain flash light is not started (the manager drops it); a respawn light
// goes on fading.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

inline constexpr int kLightMessageBytes = 40;

class CFlashLight : public CGenericObject {
  DECLARE_SERIAL_CLASS(CFlashLight)
 public:
  CFlashLight() = default;
  // Started unless the fade rate is negative (left for a subclass).
  CFlashLight(DPID owner, uint32_t objectId, float x, float y, float z, float intensity, float fadeRate);
  ~CFlashLight() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;

  virtual BOOL Start();
  virtual BOOL Stop();

  void WriteCreateMessage(uint8_t out[kLightMessageBytes]) const;
  float GetIntensity() const { return intensity_; }
  float GetFadeRate() const { return fadeRate_; }
  Light* GetLight() const { return light_; }

 protected:
  float x_ = 0, y_ = 0, z_ = 0;
  Light* light_ = nullptr;
  float intensity_ = 0.0f;
  float fadeRate_ = 0.0f;
};

class CRespawnLight : public CFlashLight {
  DECLARE_SERIAL_CLASS(CRespawnLight)
 public:
  CRespawnLight() = default;
  // Intensity 5, fade rate 2.5; plays "playgame" there (every copy).
  CRespawnLight(DPID owner, uint32_t objectId, float x, float y, float z);
  void Serialize(CArchive& ar) override;
};
