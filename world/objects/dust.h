#pragma once
// Dust: one coloured particle that circles slowly (radius 0.5, a turn every
// two seconds) round where it was made, drifts down (a positive size) or up
// with growing speed and shrinks by 0.3 a second until it is gone. The
// core-accelerator slugs leave trails of it. Never announced.
//
// Saved record after the base: position, start x, vertical speed, start z,
// size, phase, sinking, palette index.
#include <cstdint>

#include "engine/records.h"
#include "world/objects/generic_object.h"

// The Part's per-update speed change of 0.5 x phase, taken at this many
// updates a second and scaled by each update's time.
inline constexpr float kDustReferenceUpdatesPerSecond = 30.0f;

class CDust : public CGenericObject {
  DECLARE_SERIAL_CLASS(CDust)
 public:
  CDust() = default;
  // colour 0x00BBGGRR, dimmed at random to 80..100 %; size > 0 sinks, else
  // rises with |size|; started.
  CDust(DPID owner, uint32_t objectId, float x, float y, float z, uint32_t colour, float size);
  ~CDust() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;

  void Start();
  void Stop();
  // Makes or moves the particle; FALSE when none can be made.
  BOOL Draw();

  float GetSize() const { return size_; }
  float GetVerticalSpeed() const { return verticalSpeed_; }
  bool IsSinking() const { return sinking_; }
  int32_t GetPaletteIndex() const { return paletteIndex_; }
  Particle* GetParticle() const { return particle_; }

 private:
  float position_[3] = {};
  float startX_ = 0.0f;
  float verticalSpeed_ = 0.0f;
  float startZ_ = 0.0f;
  float size_ = 0.0f;
  float phase_ = 0.0f;
  bool sinking_ = false;
  Particle* particle_ = nullptr;
  int32_t paletteIndex_ = 0;
};
