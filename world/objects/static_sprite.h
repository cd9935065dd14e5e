#pragma once
// Sprites: animated pictures on a square that faces the camera (the flash of
// a hit, puffs of static smoke, a force field's flash, explosions). Each
// update advances the animation by the elapsed time and builds the square
// again toward the viewer; the sprite ends after its last frame. Explosions
// may light their surroundings, wait out a delay and deal a blast of radius
// 1.5 x size to what this program simulates, every copy its own. The
// document's factories make them (world/document/object_factories.cpp).
//
// Saved record after the base: frame prefix, x, y, z, size, frames per
// second, frame position, current frame, damage enabled, damage, light
// value, variant, fixed facing, facing normal, delay. The quad, the light
// and the random-up flag are not saved; a loaded sprite starts again.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"

inline constexpr int kMaxFrames = 31;
inline constexpr int kSpriteMessageBytes = 48;

class CStaticSprite : public CGenericObject {
  DECLARE_SERIAL_CLASS(CStaticSprite)
 public:
  CStaticSprite() = default;
  // Delay -1, blast on, light value 0, variant 0, the bullet-mark frames.
  CStaticSprite(DPID owner, uint32_t objectId, float x, float y, float z, float damage);
  ~CStaticSprite() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  // The 48-byte message; never for bullet marks, laser marks, static smoke.
  void SendCreate(DPID to) override;

  // A random up vector when asked; without a delay the blast and the first
  // square (FALSE, inactive, when it can't be made); active; announced when
  // local.
  virtual BOOL Start();
  // The square and the light go; inactive.
  virtual BOOL Stop();

  // The creation message as SendCreate sends it.
  void WriteCreateMessage(uint8_t out[kSpriteMessageBytes]) const;

  WorldPolygon* GetQuad() const { return quad_; }
  Light* GetLight() const { return light_; }
  int GetFrameCount() const { return frameCount_; }
  int GetCurrentFrame() const { return currentFrame_; }
  float GetFramePosition() const { return framePosition_; }
  Texture* GetFrame(int index) const { return index >= 0 && index < frameCount_ ? frames_[index] : nullptr; }
  float GetSize() const { return size_; }
  float GetDamage() const { return damage_; }
  int32_t GetDelay() const { return delay_; }
  uint8_t GetVariant() const { return variant_; }
  const CString& GetFramePrefix() const { return framePrefix_; }

 protected:
  // The frames of prefix from the document's frame sequences.
  void SetFrames(const char* prefix);
  // The square of the current frame toward the viewer (or along the facing
  // normal); FALSE when the engine refuses it.
  BOOL BuildQuad();
  void ApplyBlast();

  CString framePrefix_;
  Texture* frames_[kMaxFrames] = {};
  int frameCount_ = 0;
  float x_ = 0, y_ = 0, z_ = 0;
  float size_ = 6.0f;
  float framesPerSecond_ = 30.0f;
  float framePosition_ = 0.0f;
  int32_t currentFrame_ = 0;
  int32_t delay_ = -1;
  WorldPolygon* quad_ = nullptr;
  Light* light_ = nullptr;
  bool damageEnabled_ = true;
  float damage_ = 0.0f;
  float lightValue_ = 0.0f;
  uint8_t variant_ = 0;
  bool fixedFacing_ = false;
  bool randomUp_ = false;
  float facing_[3] = {0.0f, 0.0f, 1.0f};
  // The blast already went off: a sprite loaded after its delay ran out
  // (or that never had one) does not blast a second time.
  bool blastDone_ = false;
};

class CBulletMarkObject : public CStaticSprite {
  DECLARE_SERIAL_CLASS(CBulletMarkObject)
 public:
  CBulletMarkObject() = default;
  CBulletMarkObject(DPID owner, uint32_t objectId, float x, float y, float z);
  void Serialize(CArchive& ar) override;
};

class CLaserMarkObject : public CStaticSprite {
  DECLARE_SERIAL_CLASS(CLaserMarkObject)
 public:
  CLaserMarkObject() = default;
  CLaserMarkObject(DPID owner, uint32_t objectId, float x, float y, float z);
  void Serialize(CArchive& ar) override;
};

class CStaticSmoke : public CStaticSprite {
  DECLARE_SERIAL_CLASS(CStaticSmoke)
 public:
  CStaticSmoke() = default;
  // size 0 or less: 1.7.
  CStaticSmoke(DPID owner, uint32_t objectId, float x, float y, float z, float size);
  void Serialize(CArchive& ar) override;
};

class CForceField : public CStaticSprite {
  DECLARE_SERIAL_CLASS(CForceField)
 public:
  CForceField() = default;
  // Faces along the normal, 0.1 off the surface; size 0.6 x size.
  CForceField(DPID owner, uint32_t objectId, float x, float y, float z, float nx, float ny, float nz, float size);
  void Serialize(CArchive& ar) override;
};

class CExplosionObject : public CStaticSprite {
  DECLARE_SERIAL_CLASS(CExplosionObject)
 public:
  CExplosionObject() = default;
  // Variant 1 "!2exp_", 2 "!3exp_", else "!exp_" or "!4exp" at random (0
  // when seen from steeply above or below); a light of 2 x size.
  CExplosionObject(DPID owner, uint32_t objectId, float x, float y, float z, float size, float damage,
                   uint8_t variant, int32_t delay);
  void Serialize(CArchive& ar) override;
};

class CSmallExplosionObject : public CStaticSprite {
  DECLARE_SERIAL_CLASS(CSmallExplosionObject)
 public:
  CSmallExplosionObject() = default;
  // Size 6, damage 5.
  CSmallExplosionObject(DPID owner, uint32_t objectId, float x, float y, float z);
  void Serialize(CArchive& ar) override;
};
