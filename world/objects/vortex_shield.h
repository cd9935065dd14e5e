#pragma once
// The shell of animated polygons that turns round a ship for a while. Two
// modes: the vortex shield ("!VORTX", the tuning table's lifetime), which
// the player fires as a missile weapon and some enemies raise when hit, and
// which keeps the local ship from all damage while it surrounds it; and the
// static shield ("!STATIC", always 2000 ms), raised round a ship that takes
// damage, while which the factory raises no second one. The shell is
// rebuilt each update a quarter turn a second further on; a pilot never
// sees his own ship's shell from the cockpit.
//
// A shield follows a player or an enemy by id, looked up every update, and
// ends when the one it follows is gone. The document's two flags for the
// local ship are held by a count of the local shields of each mode: set by
// the first, cleared when the last of that mode ends. An enemy's shield
// tells the enemies (enemy_effect_hooks.h) when it ends, with its mode.
// Only player shields travel over the network.
//
// Saved record after the base: position, radius, angle, time left, frame
// position, frame prefix, follows the local player (byte), enemy id (64
// bits, 0 none), static (byte).
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "world/objects/generic_object.h"
#include "world/objects/shield_shell.h"

inline constexpr int kShieldMessageBytes = 20;
inline constexpr int32_t kStaticShieldLifetime = 2000;

class CVortexShield : public CGenericObject {
  DECLARE_SERIAL_CLASS(CVortexShield)
 public:
  CVortexShield() = default;
  // Round the owner's ship (0: the local player's); an owner that is no
  // known player gets the HUD's error line and a shield that ends at once.
  CVortexShield(DPID owner, uint32_t objectId, bool staticMode);
  // Round the enemy with that 64-bit id; the local player owns it.
  CVortexShield(uint32_t objectId, uint64_t enemyId, float radius, int32_t lifetimeMs, bool staticMode);
  ~CVortexShield() override;

  void Serialize(CArchive& ar) override;
  BOOL Update(uint32_t elapsedMs) override;
  void GetPosition(float& x, float& y, float& z) override;
  void SendCreate(DPID to) override;
  BOOL Start();
  BOOL Stop();
  // The shell for the current position, radius, angle and frame.
  void BuildShell();

  void WriteCreateMessage(uint8_t out[kShieldMessageBytes]) const;
  bool IsStatic() const { return static_; }
  float GetRadius() const { return radius_; }
  float GetAngle() const { return angle_; }
  int32_t GetTimeLeft() const { return timeLeft_; }
  float GetFramePosition() const { return framePosition_; }
  int GetFrameCount() const { return frameCount_; }
  Texture* GetFrame(int k) const { return k >= 0 && k < frameCount_ ? frames_[k] : nullptr; }
  const CString& GetFramePrefix() const { return framePrefix_; }
  DPID GetPlayerId() const { return player_; }
  uint64_t GetEnemyId() const { return enemy_; }
  // The shell's polygons that exist.
  int CountShell() const;
  WorldPolygon* GetShell(int slot) const { return shell_[slot]; }
  // Tests set the animation's place.
  void SetFramePosition(float position) { framePosition_ = position; }

  // The local shields of each mode alive now (the document's flags follow).
  static int LocalShieldCount(bool staticMode);

 private:
  void LoadFrames();
  // Counts this shield as the local ship's and sets that mode's flag.
  void HoldLocalFlag();
  void ReleaseLocalFlag();
  // The followed one's position; false when it is gone.
  bool Follow();
  bool FollowsLocalPlayer() const;

  float position_[3] = {};
  float radius_ = 0.0f;
  float angle_ = 0.0f;
  int32_t timeLeft_ = 0;
  DPID player_ = 0;    // the followed player's id; 0 none
  uint64_t enemy_ = 0;  // the followed enemy's id; 0 none
  bool holdsFlag_ = false;
  WorldPolygon* shell_[kShellPolygons] = {};
  Texture* frames_[31] = {};
  int frameCount_ = 0;
  float framePosition_ = 0.0f;
  CString framePrefix_;
  bool static_ = false;
};
