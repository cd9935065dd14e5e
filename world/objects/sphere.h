#pragma once
// The flash of an enemy that uncloaks: a nearly round shell of "!STATIC"
// frames that grows from radius 0.2 to its final radius at 1.2 x the final
// radius a second, turning an eighth of a turn a second, and is gone once
// it passes the final radius. Each program shows the sphere its own enemy
// order makes; the creation message is sent but no program acts on it.
//
// Saved record after the base: position, radius, final radius, angle, a
// reserved 32-bit word (0), frame position, frame prefix.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"
#include "world/objects/shield_shell.h"

inline constexpr int kSphereMessageBytes = 20;

class CSphere : public CGenericObject {
  DECLARE_SERIAL_CLASS(CSphere)
 public:
  CSphere() = default;
  CSphere(DPID owner, uint32_t objectId, float x, float y, float z, float finalRadius);
  ~CSphere() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  BOOL Start();
  BOOL Stop();
  void BuildShell();

  void WriteCreateMessage(uint8_t out[kSphereMessageBytes]) const;
  float GetRadius() const { return radius_; }
  float GetFinalRadius() const { return finalRadius_; }
  float GetAngle() const { return angle_; }
  int GetFrameCount() const { return frameCount_; }
  int CountShell() const;
  WorldPolygon* GetShell(int slot) const { return shell_[slot]; }

 private:
  float position_[3] = {};
  float radius_ = 0.2f;
  float finalRadius_ = 0.0f;
  float angle_ = 0.0f;
  WorldPolygon* shell_[kShellPolygons] = {};
  Texture* frames_[31] = {};
  int frameCount_ = 0;
  float framePosition_ = 0.0f;
  CString framePrefix_;
};
