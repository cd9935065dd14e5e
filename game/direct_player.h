#pragma once
// One ship of the game: the player's own, which this program flies, or
// another player's, which shows where its owner last reported it. The record
// carries the 124-byte state block that the network shares as player data,
// health and shields, and the 3-D instance that draws a remote ship.
//
// Files: game/direct_player.cpp (record, Reset, Respawn),
// direct_player_controls.cpp (ReadControls), direct_player_flight.cpp
// (Update, Bump), direct_player_damage.cpp (damage, death, shake).
#include <cstddef>
#include <cstdint>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "platform/framework/runtime_class.h"
#include "platform/types.h"

// The bytes the network shares as a player's data (offsets in the block;
// written field by field, little-endian, never as a struct).
struct PlayerStateBlock {
  uint32_t time;             //   0 game time of the last publication
  uint32_t flags;            //   4 kPlayerState* bits
  float thrust[3];           //   8 in ship axes: right, down, forward
  float angularAccel[3];     //  20 pitch, yaw, roll
  Matrix matrix;             //  32 rows: x axis, y axis, heading, position
  float velocity[3];         //  96 world units per second
  float angularVelocity[3];  // 108 pitch, yaw, roll
  float radius;              // 120 collision radius
};
inline constexpr uint32_t kPlayerStateCompact = 1;
inline constexpr uint32_t kPlayerStateShown = 2;
inline constexpr uint32_t kPlayerStateDead = 4;

// Health and shields at their fullest.
inline constexpr float kShipMaxHealth = 40.0f;
inline constexpr float kShipMaxShieldsSingle = 160.0f;
inline constexpr float kShipMaxShieldsNetwork = 80.0f;
// The radius of a ship when the document has no ship instance to measure.
inline constexpr float kShipDefaultRadius = 10.0f;

// The state block's two forms on the wire: the full 124-byte block (the
// data a player is created with) and the 36-byte compact one published
// while the ship flies (time, flags, position, three angles, bank).
inline constexpr size_t kPlayerStateFullSize = 124;
inline constexpr size_t kPlayerStateCompactSize = 36;
// The three angles of the compact form from a matrix's rows, and back (the
// position row and the fourth column are left alone).
void PlayerStateAngles(const Matrix matrix, float* a, float* b, float* c);
void PlayerStateMatrix(float a, float b, float c, Matrix matrix);
// The full block, field by field, little-endian.
void PlayerStateWriteFull(const PlayerStateBlock& state, uint8_t out[kPlayerStateFullSize]);

class CArchive;
// One byte each: 1 or 0; any non-zero byte loads as true.
void ArchiveStoreBool(CArchive& archive, bool value);
void ArchiveLoadBool(CArchive& archive, bool& value);

class CDirectPlayer;
// The next object of a saved game, which must be a CDirectPlayer (null
// otherwise).
void ExtractDirectPlayer(CArchive& archive, CDirectPlayer*& player);

class CDirectPlayer : public CObject {
  DECLARE_SERIAL_CLASS(CDirectPlayer)
 public:
  // Empty names, then Reset (saved games make records this way).
  CDirectPlayer();
  // The local side's record (network games): Init. The network layer gives
  // it a player id when a session exists.
  CDirectPlayer(const CString& shortName, const CString& longName);
  // A record of another player, or the single-play record: Init, the id
  // given, remote.
  CDirectPlayer(const CString& shortName, const CString& longName, DPID id);
  // Leaves the document's player map and deletes the record's instance.
  ~CDirectPlayer() override;
  CDirectPlayer(const CDirectPlayer&) = delete;
  CDirectPlayer& operator=(const CDirectPlayer&) = delete;

  // This program controls the ship: local, and the record's own instance
  // goes (the document's ship instance draws the local ship).
  void MarkLocal();
  // Full health and shields, alive, no motion, the radius from the
  // document's ship instance (0.95 x its radius; kShipDefaultRadius without
  // one), shown, identity matrix. For the local ship the document resets the
  // player's equipment first.
  void Reset();
  // Back into the game: Reset; the local ship shown; a network game's next
  // start position; each coordinate moved by -0.2, 0 or +0.2 x the radius at
  // random; a respawn light there; the chase camera to the ship. In single
  // play the placement the level start gave is kept through the reset.
  void Respawn();

  // ---- Controls and flight (direct_player_controls.cpp, _flight.cpp) ----
  // The six targets and the document's fire flag to 0.
  void StopMotion();
  // The local ship's controls into the six targets, the document's steering
  // code and fire flag, missile launch, satellite and weapon cycling.
  // frameRead: the first reading of a frame, which alone takes the mouse's
  // motion and the joystick's turning (scaled by frameMs), so that neither
  // depends on the frame rate. Returns 1.
  int ReadControls(bool frameRead = false, int frameMs = 0);
  // Once per frame: a remote ship's instance follows its state block; the
  // local ship collides, steps its physics and publishes its state.
  void Update();
  // Collision response along a push-out vector (local ship only).
  void Bump(float dx, float dy, float dz);
  // The state block is shared (SendState), at most every 80 ms (160 ms
  // once exploded).
  void PublishState();

  // ---- Damage, death, shake (direct_player_damage.cpp) ----
  void AddHealth(float amount);
  void AddShields(float amount);
  float GetMaxShields() const;
  bool IsInvulnerable() const;
  void CheckDeath();
  void TakeHit(float amount);
  void TakeZoneDamage(float amount);
  void TakeDamage(float amount, CDirectPlayer* source);
  void TakeDamageFrom(float amount, CDirectPlayer* source);
  void ExplosionDamage(float x, float y, float z, float radius, float strength, CDirectPlayer* source);
  void Die();
  void Kill();
  void Explode();
  // The matrix stack holds the ship's matrix: it banks by factor x the bank
  // angle and shakes with the document's shake level.
  void ApplyShake(float factor);
  void ToggleGodMode();
  bool IsGodMode() const { return godMode_ != 0; }
  bool IsExploded() const { return exploded_ != 0; }
  bool IsLongDeath() const { return longDeath_ != 0; }
  int GetCountdown() const { return countdown_; }
  float GetBank() const { return bank_; }
  float GetSpeed() const { return speed_; }
  // Tests and saved games set the flight state directly.
  PlayerStateBlock& State() { return state_; }
  void SetHealth(float health) { health_ = health; }
  void SetShields(float shields) { shields_ = shields; }
  // Network state (game/direct_player_state.cpp).
  // The local record's DirectPlay player, created with the full block as its
  // data (nothing without a session); false when DirectPlay refuses.
  bool CreateNetworkPlayer();
  void DestroyNetworkPlayer();
  // The local ship's compact block as its player data (PublishState's
  // network part; nothing without a session).
  void SendState();
  // Another player's block: compact when flags bit 0 is set, else full. A
  // block shorter than its form, older than the last one, with a float that
  // is not finite, or (full) a radius not in (0, 100 x the ship's own] is
  // refused: false.
  bool ApplyRemoteState(const void* data, size_t size);
  uint32_t GetLastRemoteTime() const { return lastRemoteTime_; }
  void Serialize(CArchive& archive) override;

  DPID GetId() const { return id_; }
  const CString& GetName() const { return shortName_; }
  const CString& GetLongName() const { return longName_; }
  bool IsLocal() const { return local_ != 0; }
  bool IsRemote() const { return remote_ != 0; }
  bool IsDead() const { return dead_ != 0; }
  // Any velocity component above 22.5 or turn rate above 5 in magnitude.
  bool IsTooFast() const {
    for (int i = 0; i < 3; ++i) {
      if (state_.velocity[i] > 22.5f || state_.velocity[i] < -22.5f) return true;
      if (state_.angularVelocity[i] > 5.0f || state_.angularVelocity[i] < -5.0f) return true;
    }
    return false;
  }
  float GetHealth() const { return health_; }
  float GetShields() const { return shields_; }
  float GetRadius() const { return state_.radius; }
  void SetRadius(float radius) { state_.radius = radius; }
  float GetX() const { return state_.matrix[12]; }
  float GetY() const { return state_.matrix[13]; }
  float GetZ() const { return state_.matrix[14]; }
  void GetPosition(float* x, float* y, float* z) const;
  // The heading row of the matrix.
  void GetDirection(float* x, float* y, float* z) const;
  // The 16-float orientation-and-position block.
  float* GetOrientation() { return state_.matrix; }
  const PlayerStateBlock& GetState() const { return state_; }
  Instance* GetInstance() const { return instance_; }

 private:
  // Names, times and flags cleared; an instance of the document's ship model
  // dressed in the skins the long name selects; Reset.
  void Init(const CString& shortName, const CString& longName);

  DPID id_ = 0;                     // network player id; in single play an object id; 0 none
  CString shortName_;               // the player's name ("ego" in single play)
  CString longName_;                // two-letter ship code ("EE" in single play): the skins
  uint32_t lastStepTime_ = 0;       // local: game time of the last physics step, 0 not yet
  uint32_t lastKeepAlive_ = 0;      // local: game time of the last forced publication
  uint32_t lastRemoteTime_ = 0;     // remote: time stamp of the last state block applied
  uint32_t lastRemoteArrival_ = 0;  // remote: game time it arrived
  PlayerStateBlock state_ = {};
  uint8_t local_ = 0;   // this program flies the ship
  uint8_t remote_ = 0;  // no network player of this program stands behind the record
  uint8_t dead_ = 0;
  uint8_t godMode_ = 0;
  float speed_ = 0.0f;            // |velocity| after the last step
  int32_t smokeTime_ = 0;         // a dead ship's smoke-trail clock
  Instance* instance_ = nullptr;  // draws a remote ship; none for the local one
  float health_ = 0.0f;           // 0..40
  float shields_ = 0.0f;          // 0..80 in a network game, 0..160 in single play
  uint8_t exploded_ = 0;
  uint8_t longDeath_ = 0;  // the wreck falls and drifts before it explodes
  int32_t countdown_ = 0;  // ms until the wreck explodes
  float bank_ = 0.0f;      // radians
  float steerVertical_ = 0.0f;
  float steerHorizontal_ = 0.0f;
  // Real time of the last gun and missile scroll (250 ms apart at least).
  uint32_t lastGunScroll_ = 0;
  uint32_t lastMissileScroll_ = 0;

  void UpdateRemote();
  // One physics step of h seconds with the flow's velocity and roll;
  // true when the move collided.
  bool Integrate(float h, const float flow[3], float flowRoll);
  // The move from old to the new position with the world (pushes new out).
  bool MoveWithCollision(const float from[3], float to[3]);
};
