#pragma once
// One ship of the game: the player's own, which this program flies, or
// another player's, which shows where its owner last reported it. The record
// carries the 124-byte state block that the network shares as player data,
// health and shields, and the 3-D instance that draws a remote ship.
//
// Built so far: the record, its construction, Reset and Respawn (what a
// level start needs). The controls, flight, damage, death and the state
// block's publication come with the ship's own work and the network's.
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
};
