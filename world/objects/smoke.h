#pragma once
// A puff of smoke: an animated translucent square that faces the viewer,
// rises with growing speed (30 units per second squared), swells as it goes
// and is gone when its animation has played once ("!smok" or "!smkd" at 8
// frames a second) or the update after it runs into the level. A wreck's
// smoke and crippled enemies make them; a puff made from another player's
// message is never announced again.
//
// Saved record after the base: position, velocity, finished, frame rate,
// frame position, size, frame prefix, no-send.
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"

inline constexpr int kSmokeMessageBytes = 36;

class CSmoke : public CGenericObject {
  DECLARE_SERIAL_CLASS(CSmoke)
 public:
  CSmoke() = default;
  // size 0 or less: 1.8; started (announced when local and noSend is off).
  CSmoke(DPID owner, uint32_t objectId, bool noSend, float x, float y, float z, float size);
  ~CSmoke() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;

  BOOL Start();
  BOOL Stop();

  void WriteCreateMessage(uint8_t out[kSmokeMessageBytes]) const;
  float GetSize() const { return size_; }
  float GetFramePosition() const { return framePosition_; }
  int GetFrameCount() const { return frameCount_; }
  bool IsFinished() const { return finished_; }
  bool IsNoSend() const { return noSend_; }
  WorldPolygon* GetSquare() const { return square_; }
  const CString& GetFramePrefix() const { return framePrefix_; }

 private:
  float position_[3] = {};
  float velocity_[3] = {};
  WorldPolygon* square_ = nullptr;
  bool finished_ = false;
  bool noSend_ = false;
  float frameRate_ = 8.0f;
  float framePosition_ = 0.0f;
  float size_ = 1.8f;
  CString framePrefix_;
  Texture* frames_[31] = {};
  int frameCount_ = 0;
};
